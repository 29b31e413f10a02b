// SPDX-License-Identifier: GPL-3.0-or-later
// TLMKDsgGroupBox: the group box of the dialogs. A frame in one colour, optionally with rounded
// corners, interrupted behind its caption (and an optional small image); caption and frame
// take a second colour while a control inside the box has the keyboard focus.
#pragma once

#include <QColor>
#include <QList>
#include <QMargins>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <QWidget>

namespace lmk {

enum class TBorderStyle { bsNone, bsSingle, bsDouble };
enum class TCaptionPosition { cpTopLeft, cpTopRight, cpTopCenter, cpBottomLeft, cpBottomRight, cpBottomCenter };

// Width of the frame lines the inner area keeps clear of.
int GroupBoxBorderThickness(TBorderStyle style, bool ctl3D);

// The box's layout in its own coordinates, worked out from the measured caption text and image.
struct TGroupBoxGeometry {
    QRect CaptionPart;  // image and caption together
    int TextLeft = 0;   // where the caption text starts inside CaptionPart
    QRect Frame;        // the frame is drawn on the outermost pixels of this rectangle
    QRect Inner;        // the area for the controls inside
    bool Interrupted = false;  // a caption or an image cuts the frame line
};
// `text` is the caption's single-line size (0 x 0 without caption), `image` the image's size
// (0 x 0 without image).
TGroupBoxGeometry GroupBoxGeometry(QSize box, QSize text, QSize image, TCaptionPosition position,
                                   TBorderStyle style, bool ctl3D);
// The margins between the box's edges and its inner area; they do not depend on the box's size.
QMargins GroupBoxInnerMargins(QSize text, QSize image, TCaptionPosition position, TBorderStyle style,
                              bool ctl3D);
// The caption measured as one line, with '&' taken literally; 0 x 0 for an empty caption.
QSize GroupBoxCaptionSize(const QFont &font, const QString &caption);

class TLMKDsgGroupBox : public QWidget {
    Q_OBJECT
public:
    explicit TLMKDsgGroupBox(QWidget *parent = nullptr);
    explicit TLMKDsgGroupBox(const QString &caption, QWidget *parent = nullptr);

    QString Caption() const { return FCaption; }
    void SetCaption(const QString &caption);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle style);
    TCaptionPosition CaptionPosition() const { return FCaptionPosition; }
    void SetCaptionPosition(TCaptionPosition position);
    bool RoundEdges() const { return FRoundEdges; }
    void SetRoundEdges(bool value);
    QColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(const QColor &color);
    QColor BorderFocusColor() const { return FBorderFocusColor; }
    void SetBorderFocusColor(const QColor &color);
    // The optional image left of the caption: Images[ImageIndex] when the index is valid.
    QList<QPixmap> Images() const { return FImages; }
    void SetImages(const QList<QPixmap> &images);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int index);
    // Transparent: the background is not painted, the parent shows through.
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value);
    // The three-dimensional look: thicker frames, a double frame drawn as white and grey pairs.
    bool Ctl3D() const { return FCtl3D; }
    void SetCtl3D(bool value);
    // Background colour; an invalid colour paints the palette's window colour.
    QColor Color() const { return FColor; }
    void SetColor(const QColor &color);

    // True while a control inside the box has the keyboard focus.
    bool Focused() const { return FFocused; }
    TGroupBoxGeometry Geometry() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    const QPixmap *CurrentImage() const;
    QSize ImageSize() const;
    void FocusChanged(QWidget *now);
    // Margins and repaint after anything that moves the caption or the frame.
    void GeometryChanged();
    void DrawFrame(QPainter &painter, const QRect &frame) const;

    QString FCaption;
    TBorderStyle FBorderStyle = TBorderStyle::bsSingle;
    TCaptionPosition FCaptionPosition = TCaptionPosition::cpTopLeft;
    bool FRoundEdges = false;
    QColor FBorderColor = QColor(0x9F, 0xAE, 0xC2);
    QColor FBorderFocusColor = QColor(0x24, 0x61, 0x7A);
    QList<QPixmap> FImages;
    int FImageIndex = -1;
    bool FTransparent = false;
    bool FCtl3D = false;
    QColor FColor;
    bool FFocused = false;
};

// Arial 13 px, the font of the dialogs' texts and group boxes.
QFont DialogFont();

// The dialogs' settings of a group box: frame #70706E with rounded corners, a light #F0F0F0
// background, Arial 13 px, and a light palette for the controls inside so their texts stay
// readable under the program's dark style.
void SetDialogLook(TLMKDsgGroupBox &box);

}  // namespace lmk
