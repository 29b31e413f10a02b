// SPDX-License-Identifier: GPL-3.0-or-later
// TPicturePreview: shows a picture at 100 %, pixel for pixel, centred in the control's area.
// The dialogs' previews use it, so what the user sees is exactly the picture they will get.
#pragma once

#include "imaging/Bitmap.h"

#include <QWidget>
#include <memory>

namespace lmk {

class TPicturePreview : public QWidget {
    Q_OBJECT
public:
    explicit TPicturePreview(QWidget *parent = nullptr);

    // The picture shown, shared read-only: it is painted straight from its own pixels, never
    // copied. Hand over a new picture after every change instead of changing the shared one.
    void SetPicture(std::shared_ptr<const Bitmap> picture);
    const Bitmap *Picture() const { return FPicture.get(); }

    // Where the picture lies in the control: centred, cut off where it is larger.
    QRect PictureRect() const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::shared_ptr<const Bitmap> FPicture;
};

}  // namespace lmk
