// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/LMK_Utils.h"

#include <QApplication>
#include <QMessageBox>
#include <QPrinterInfo>
#include <QPushButton>
#include <QStandardPaths>

namespace lmk {

QString MsgBoxTitle(MsgKind kind)
{
    switch (kind) {
    case MsgKind::Error: return QStringLiteral("Fehlermeldung");
    case MsgKind::Question: return QStringLiteral("Bestätigung");
    case MsgKind::Warning: return QStringLiteral("Hinweis");
    case MsgKind::Information: return QStringLiteral("Information");
    }
    return {};
}

static QMessageBox::Icon IconOf(MsgKind kind)
{
    switch (kind) {
    case MsgKind::Error: return QMessageBox::Critical;
    case MsgKind::Question: return QMessageBox::Question;
    case MsgKind::Warning: return QMessageBox::Warning;
    case MsgKind::Information: return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

namespace {
struct ButtonSpec {
    QMessageBox::StandardButton button;
    const char *text;
    MsgResult result;
};
}  // namespace

static std::vector<ButtonSpec> ButtonsOf(MsgButtons buttons)
{
    const ButtonSpec ok{QMessageBox::Ok, "OK", MsgResult::OK};
    const ButtonSpec cancel{QMessageBox::Cancel, "Abbrechen", MsgResult::Cancel};
    const ButtonSpec yes{QMessageBox::Yes, "Ja", MsgResult::Yes};
    const ButtonSpec no{QMessageBox::No, "Nein", MsgResult::No};
    switch (buttons) {
    case MsgButtons::OK: return {ok};
    case MsgButtons::OKCancel: return {ok, cancel};
    case MsgButtons::YesNoCancel: return {yes, no, cancel};
    case MsgButtons::YesNo: return {yes, no};
    }
    return {ok};
}

MsgResult MsgBox(const QString &text, MsgKind kind, MsgButtons buttons)
{
    QWidget *owner = QApplication::activeWindow();
    QMessageBox box(IconOf(kind), MsgBoxTitle(kind), text, QMessageBox::NoButton, owner);
    if (!owner)  // a message of the start must not hide behind the splash window
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
    const std::vector<ButtonSpec> specs = ButtonsOf(buttons);
    for (const ButtonSpec &spec : specs)
        box.addButton(spec.button)->setText(QString::fromUtf8(spec.text));
    box.setDefaultButton(specs.front().button);
    // Qt picks the escape button itself: the only button, else Cancel, else No.
    const auto pressed = static_cast<QMessageBox::StandardButton>(box.exec());
    for (const ButtonSpec &spec : specs)
        if (spec.button == pressed)
            return spec.result;
    return specs.size() == 1 ? specs.front().result : MsgResult::Cancel;
}

QString GetSpecialFolder(SpecialFolder kind)
{
    const QString path = QStandardPaths::writableLocation(
        kind == SpecialFolder::RoamingAppData ? QStandardPaths::GenericConfigLocation
                                              : QStandardPaths::DocumentsLocation);
    return path.isEmpty() ? QString() : path + '/';
}

static TFormatSettings &MutableFormatSettings()
{
    static TFormatSettings settings;
    return settings;
}

void InitFormatSettings()
{
    // A copy of the locale taken now: later changes of the system's settings do not reach it.
    MutableFormatSettings() = TFormatSettings{QLocale::system()};
}

const TFormatSettings &FormatSettings() { return MutableFormatSettings(); }

bool PrinterAvailable() { return !QPrinterInfo::availablePrinterNames().isEmpty(); }

void WarnNoPrinter()
{
    MsgBox(QStringLiteral(
               "Es wurde kein Drucker gefunden! Ohne Drucker können Probleme während der "
               "Programmausführung auftreten.\n\n"
               "Bitte richten Sie in den Druckereinstellungen Ihres Systems ein Gerät als "
               "Standarddrucker ein. Sind keine Geräte vorhanden, können Sie einen kostenlosen "
               "PDF-Drucker wie z.B. \"CUPS-PDF\" installieren und das Problem beheben."),
           MsgKind::Information, MsgButtons::OK);
}

}  // namespace lmk
