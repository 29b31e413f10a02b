// SPDX-License-Identifier: GPL-3.0-or-later
// TDLG_Resolution: asks for a new picture size in pixels and resizes the picture it was given
// (the main window's copy of the current picture) in place when the user confirms. With
// "Proportionen beibehalten" the edit the user types into drives the other one in the picture's
// own proportion.
#pragma once

#include "imaging/Unit_Graph.h"

#include <QDialog>
#include <cstdint>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace lmk {

class Bitmap;

class TDLG_Resolution : public QDialog {
    Q_OBJECT
public:
    // `picture` must outlive the dialog; it changes only when the dialog closes with OK.
    TDLG_Resolution(QWidget *owner, Bitmap &picture);

    // A digits-only entry as a number; nullopt when it is empty or holds anything but digits.
    // Very long digit strings stay at a ceiling far beyond any picture size instead of
    // overflowing, so they read as "too large", never as a small number.
    static std::optional<std::int64_t> ParseSize(const QString &text);
    // The other side for a typed side: Round(typed * otherSide / ownSide), the product in
    // 64 bits. nullopt when the typed side or the result is longer than any picture the program
    // can hold (a 1 GiB picture one pixel high); the other edit is then left as it stands.
    static std::optional<std::int64_t> CoupledSize(std::int64_t typed, int ownSide, int otherSide);

    enum class TSizeCheck { Accepted, NotANumber, TooSmall, TooLarge };
    // The checks of OK, in their order: both entries whole numbers, both above 0, and a
    // picture of that size fits in memory.
    static TSizeCheck CheckSize(const QString &width, const QString &height);
    // The error message of a refused size.
    static QString CheckMessage(TSizeCheck check);
    // "HighQualityBicubic" and "HighQualityBilinear" by name; any other entry is HighQuality.
    static InterpolationMode ModeFor(const QString &entry);

    QLabel *Label_Width;
    QLineEdit *Edit_Width;
    QLabel *Label_Height;
    QLineEdit *Edit_Height;
    QCheckBox *CheckBox_Proportional;
    QLabel *Label_InterpolationMode;
    QComboBox *ComboBox_InterpolationMode;
    QPushButton *Button_OK;
    QPushButton *Button_Cancel;
    QPushButton *Button_Help;

private:
    // Writes the other edit when `typed` has the focus and the coupling is on.
    void Couple(QLineEdit *typed, QLineEdit *other, int ownSide, int otherSide);
    void Button_OKClick();

    Bitmap &FBitmap;
};

}  // namespace lmk
