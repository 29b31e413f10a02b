// SPDX-License-Identifier: GPL-3.0-or-later
// TLMKSmoothImage: the image view of the main window and of the full-screen view. It paints a
// solid background and the picture scaled with interpolation, either letterboxed (normal mode)
// or covering the whole view (fit mode).
#pragma once

#include "imaging/Bitmap.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QWidget>
#include <memory>

namespace lmk {

struct TSmoothImageOptions {
    bool Center = false;        // centre the drawn picture in the view
    bool Proportional = false;  // keep the proportions when a large picture is reduced
    bool Stretch = false;       // always scale the picture to the view, also enlarging it
    bool FitToImage = false;    // fit mode: cover the whole view, cutting off the overflow
};

// The rectangle the whole picture is scaled into, in the view's coordinates. It may reach
// beyond the view (fit mode cuts the overflow off). Empty when there is nothing to draw: no
// picture pixels or no view area.
QRect SmoothImageDrawRect(QSize client, QSize picture, const TSmoothImageOptions &options);

// The part of the picture that has to be scaled to cover `visible` when the whole picture is
// drawn into `drawRect`: `Source` in picture pixels, `Target` where that part lands in the
// view. Scaling only this part keeps the work and the memory bounded by the view's size even
// when fit mode blows a narrow picture up far beyond the view.
struct TSmoothImagePiece {
    QRect Source;
    QRect Target;
    bool operator==(const TSmoothImagePiece &) const = default;
};
TSmoothImagePiece SmoothImageVisiblePiece(QRect drawRect, QSize picture, QRect visible);

class TLMKSmoothImage : public QWidget {
    Q_OBJECT
public:
    explicit TLMKSmoothImage(QWidget *parent = nullptr);

    // The picture shown. The view shares it read-only and keeps it alive; callers hand over a
    // new picture after every change instead of changing the shared one. Setting it repaints.
    void SetPicture(std::shared_ptr<const Bitmap> picture);
    void SetPicture(Bitmap picture);
    void ClearPicture();
    const Bitmap *Picture() const { return FPicture.get(); }
    bool HasPicture() const { return FPicture && !FPicture->Empty(); }

    bool Center() const { return FOptions.Center; }
    void SetCenter(bool value);
    bool Proportional() const { return FOptions.Proportional; }
    void SetProportional(bool value);
    bool Stretch() const { return FOptions.Stretch; }
    void SetStretch(bool value);
    bool FitToImage() const { return FOptions.FitToImage; }
    void SetFitToImage(bool value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value);
    QColor BrushColor() const { return FBrushColor; }
    void SetBrushColor(const QColor &color);

    // Where the picture is drawn at the view's current size.
    QRect DrawRect() const;

signals:
    void DoubleClicked(QMouseEvent *event);
    void MousePressed(QMouseEvent *event);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void SetOption(bool TSmoothImageOptions::*option, bool value);
    // The scaled copy of the visible part, rebuilt only when the picture or the piece changes.
    const QImage &ScaledPiece(const TSmoothImagePiece &piece);

    std::shared_ptr<const Bitmap> FPicture;
    TSmoothImageOptions FOptions;
    bool FTransparent = false;
    QColor FBrushColor = QColor(0x19, 0x19, 0x19);

    TSmoothImagePiece FCachedPiece;
    QImage FCachedImage;
};

}  // namespace lmk
