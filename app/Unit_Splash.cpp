// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Unit_Splash.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>

namespace lmk {

TForm_Splash::TForm_Splash()
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setFixedSize(400, 130);
    setCursor(Qt::WaitCursor);
    setAttribute(Qt::WA_DeleteOnClose, false);
}

void TForm_Splash::ShowNow()
{
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
    show();
    repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

// The program's logo: a dark band with the name, a line of purpose and a light rim.
void TForm_Splash::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient band(0, 0, 0, height());
    band.setColorAt(0.0, QColor(0x4A, 0x4A, 0x4A));
    band.setColorAt(1.0, QColor(0x1E, 0x1E, 0x1E));
    p.fillRect(rect(), band);
    p.setPen(QColor(0x2A, 0x82, 0xDA));
    p.drawRect(rect().adjusted(0, 0, -1, -1));

    // the mark: three overlapping rounded frames, like prints on a table
    const QColor frames[] = {QColor(0xE0, 0x8A, 0x2E), QColor(0x4F, 0xA3, 0x4F), QColor(0x2A, 0x82, 0xDA)};
    for (int i = 0; i < 3; ++i) {
        p.setPen(QPen(frames[i], 3));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(24 + 10 * i, 30 + 8 * i, 52, 44), 5, 5);
    }

    QFont title(QStringLiteral("Liberation Sans"));
    title.setPixelSize(34);
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRect(112, 22, 280, 44), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("LMK Lumikon"));
    QFont line(QStringLiteral("Liberation Sans"));
    line.setPixelSize(14);
    p.setFont(line);
    p.setPen(QColor(0xC8, 0xC8, 0xC8));
    p.drawText(QRect(114, 68, 280, 22), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Fotos scannen, bearbeiten und drucken"));
    p.setPen(QColor(0x90, 0x90, 0x90));
    p.drawText(QRect(114, 96, 280, 20), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Programm wird gestartet..."));
}

}  // namespace lmk
