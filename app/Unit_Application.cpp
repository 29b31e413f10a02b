// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Unit_Application.h"

#include "app/LMK_Utils.h"

#include <QIcon>
#include <QLibraryInfo>
#include <QPalette>
#include <QStyleFactory>

namespace lmk {

TLumikonApplication::TLumikonApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("LMK Lumikon"));
    setQuitOnLastWindowClosed(true);
    if (FQtGerman.load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(&FQtGerman);
    ApplyDarkStyle(*this);
    // Breeze's dark variant suits the dark tool bar; the plain theme fills in missing names.
    // The system's icon folders are named explicitly: without a desktop session (the offscreen
    // platform, for one) Qt searches only its own resources.
    QIcon::setThemeSearchPaths(QIcon::themeSearchPaths() << QStringLiteral("/usr/share/icons"));
    QIcon::setThemeName(QStringLiteral("breeze-dark"));
    QIcon::setFallbackThemeName(QStringLiteral("breeze"));
}

void TLumikonApplication::ApplyDarkStyle(QApplication &app)
{
    app.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QPalette p;
    const QColor window(0x33, 0x33, 0x33), base(0x25, 0x25, 0x25), text(0xE6, 0xE6, 0xE6);
    const QColor button(0x3C, 0x3C, 0x3C), highlight(0x2A, 0x82, 0xDA), disabled(0x80, 0x80, 0x80);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, window);
    p.setColor(QPalette::ToolTipBase, QColor(0xFF, 0xFF, 0xE1));
    p.setColor(QPalette::ToolTipText, Qt::black);
    p.setColor(QPalette::PlaceholderText, disabled);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, button);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::BrightText, Qt::white);
    p.setColor(QPalette::Highlight, highlight);
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Link, highlight.lighter(130));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, disabled);
    p.setColor(QPalette::Disabled, QPalette::Light, window);
    app.setPalette(p);
}

bool TLumikonApplication::notify(QObject *receiver, QEvent *event)
{
    return ReportEscapedErrors([&] { return QApplication::notify(receiver, event); });
}

bool TLumikonApplication::ReportEscapedErrors(const std::function<bool()> &deliver)
{
    try {
        return deliver();
    } catch (const std::bad_alloc &) {
        MsgBox(QStringLiteral("Nicht genügend Arbeitsspeicher für diesen Vorgang!"), MsgKind::Error, MsgButtons::OK);
    } catch (const std::exception &error) {
        MsgBox(QString::fromLocal8Bit(error.what()), MsgKind::Error, MsgButtons::OK);
    }
    return false;
}

}  // namespace lmk
