// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Unit_Message.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

namespace lmk {

TForm_Message::TForm_Message(QWidget *owner, const QString &message)
    // A tool window with a title but without title-bar buttons, above the other windows.
    : QWidget(owner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint),
      FLabel(new QLabel(message, this))
{
    setWindowTitle(QStringLiteral("Information"));
    FLabel->setAlignment(Qt::AlignCenter);
    FLabel->setWordWrap(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 0);
    layout->addWidget(FLabel);
    setFixedSize(kClientWidth, kClientHeight);

    const QScreen *screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        QRect frame(QPoint(0, 0), size());
        frame.moveCenter(screen->geometry().center());
        move(frame.topLeft());
    }
}

QString TForm_Message::Message() const { return FLabel->text(); }

void TForm_Message::ShowNow()
{
    show();
    raise();
    repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace lmk
