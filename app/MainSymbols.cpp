// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainSymbols.h"

#include <QDir>
#include <QDirIterator>
#include <QIcon>
#include <QPainter>
#include <QPainterPath>

namespace lmk {

namespace {

// The light strokes of the dark icon theme, so the drawn symbols look like their neighbours.
const QColor kStroke(0xFC, 0xFC, 0xFC);
const QColor kShade(0x7F, 0x8C, 0x8D);

QImage EmptySymbol(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// Drawing in a 32 × 32 design grid, scaled to the wanted size.
class TSymbolPainter : public QPainter {
public:
    TSymbolPainter(QImage &image, int size) : QPainter(&image)
    {
        setRenderHint(QPainter::Antialiasing);
        scale(size / 32.0, size / 32.0);
    }
};

// A half-filled triangle with a crisp edge: the picture becomes sharper.
void DrawSharpen(QImage &image, int size)
{
    TSymbolPainter painter(image, size);
    QPainterPath triangle;
    triangle.moveTo(16, 4);
    triangle.lineTo(29, 28);
    triangle.lineTo(3, 28);
    triangle.closeSubpath();
    painter.setPen(QPen(kStroke, 2, Qt::SolidLine, Qt::RoundCap, Qt::MiterJoin));
    painter.drawPath(triangle);
    painter.setClipRect(QRectF(16, 0, 16, 32));
    painter.fillPath(triangle, kStroke);
}

// A picture frame with its shadow falling to the lower right.
void DrawShadow(QImage &image, int size)
{
    TSymbolPainter painter(image, size);
    painter.fillRect(QRectF(10, 10, 19, 17), kShade);
    painter.fillRect(QRectF(4, 5, 19, 17), QColor(0x23, 0x26, 0x29));
    painter.setPen(QPen(kStroke, 2));
    painter.drawRect(QRectF(4, 5, 19, 17));
}

void DrawLetter(QImage &image, int size, QChar letter)
{
    TSymbolPainter painter(image, size);
    painter.setPen(QPen(kStroke, 2));
    painter.drawRoundedRect(QRectF(4, 4, 24, 24), 4, 4);
    QFont font = painter.font();
    font.setPixelSize(16);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(QRectF(4, 4, 24, 24), Qt::AlignCenter, QString(letter));
}

// The theme's drawing of `name` as a file, so that it can be drawn at any size: the theme keeps
// most symbols only at 16 and 22 pixels, and Qt draws those at their own size, not enlarged.
// The drawing made for `size` is taken if there is one, else the largest.
QString ThemeSymbolFile(const QString &name, int size)
{
    QString best;
    int bestSize = -1;
    const QString fileName = name + QStringLiteral(".svg");
    for (const QString &root : QIcon::themeSearchPaths()) {
        const QDir theme(root + '/' + QIcon::themeName());
        if (!theme.exists())
            continue;
        QDirIterator files(theme.path(), {fileName}, QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QFileInfo file(files.next());
            bool numeric = false;
            const int drawnFor = file.dir().dirName().toInt(&numeric);
            if (!numeric)
                continue;
            if (drawnFor == size)
                return file.filePath();
            if (drawnFor > bestSize) {
                bestSize = drawnFor;
                best = file.filePath();
            }
        }
    }
    return best;
}

}  // namespace

QImage MainSymbol(const QString &name, int size, QChar letter)
{
    QImage image = EmptySymbol(size);
    if (name == QLatin1String(kSymbolSharpen)) {
        DrawSharpen(image, size);
    } else if (name == QLatin1String(kSymbolShadow)) {
        DrawShadow(image, size);
    } else if (const QString file = ThemeSymbolFile(name, size); !file.isEmpty()) {
        QPainter painter(&image);
        QIcon(file).paint(&painter, QRect(0, 0, size, size));
    } else if (QIcon::hasThemeIcon(name)) {
        QPainter painter(&image);
        QIcon::fromTheme(name).paint(&painter, QRect(0, 0, size, size));
    } else {
        DrawLetter(image, size, letter);
    }
    return image;
}

}  // namespace lmk
