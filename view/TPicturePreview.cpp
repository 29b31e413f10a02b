// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/TPicturePreview.h"

#include <QPaintEvent>
#include <QPainter>

namespace lmk {

TPicturePreview::TPicturePreview(QWidget *parent) : QWidget(parent) {}

void TPicturePreview::SetPicture(std::shared_ptr<const Bitmap> picture)
{
    const bool resized = !FPicture || !picture || FPicture->Width() != picture->Width() ||
                         FPicture->Height() != picture->Height();
    FPicture = std::move(picture);
    if (resized)
        updateGeometry();
    update();
}

QRect TPicturePreview::PictureRect() const
{
    if (!FPicture)
        return {};
    const QSize size(FPicture->Width(), FPicture->Height());
    return {QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size};
}

QSize TPicturePreview::sizeHint() const
{
    return FPicture ? QSize(FPicture->Width(), FPicture->Height()) : QSize(0, 0);
}

void TPicturePreview::paintEvent(QPaintEvent *event)
{
    if (!FPicture || FPicture->Empty())
        return;
    QPainter painter(this);
    // Only the damaged part is drawn: a scrolled full-size photo repaints a strip, not the whole.
    const QRect target = PictureRect();
    const QRect damaged = event->rect() & target;
    painter.drawImage(damaged, FPicture->WrapAsQImage(), damaged.translated(-target.topLeft()));
}

}  // namespace lmk
