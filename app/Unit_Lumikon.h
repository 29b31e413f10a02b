// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: the photo in one or two views, the archive panel, the status bar and the
// commands. It owns the photo document.
#pragma once

#include "app/Unit_DialogPrompts.h"
#include "app/Unit_PhotoDocument.h"

#include <QWidget>
#include <functional>
#include <stdexcept>
#include <vector>

class QLabel;
class QToolButton;

namespace lmk {

class TLMKSmoothImage;

// Raised while the main window is created when the program cannot go on (a folder that cannot
// be made); the message has already been shown.
class StartAborted : public std::runtime_error {
public:
    StartAborted() : std::runtime_error("start aborted") {}
};

class TForm_Lumikon : public QWidget {
    Q_OBJECT
public:
    // `pictureArgument`: the picture named on the command line, opened at the first showing.
    explicit TForm_Lumikon(const QString &pictureArgument = QString(), QWidget *parent = nullptr);
    ~TForm_Lumikon() override;

    TPhotoDocument &Document() { return FDocument; }
    bool PicturePresent() const { return FDocument.HasPicture(); }
    bool OriginalViewShown() const;

    // The commands, as the tool bar, menus and keys run them.
    void TB_OpenClick();
    void TB_SaveClick();
    void TB_UndoClick();
    void TB_HelpClick();
    void PM_CopyClick();
    void PM_PasteClick();
    void PM_ReverseClick();

    void ShowPictureSize();
    void ShowDpiValue();

    // The window's name in the title bar.
    static QString Caption();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // One row of the keyboard table: with Ctrl held only the Ctrl rows apply, otherwise only the
    // plain rows. A row acts only while its condition holds; the key still reaches the control.
    struct TKeyCommand {
        int Key;
        bool Ctrl;
        std::function<bool()> Condition;
        std::function<void()> Action;
    };

    void PrepareFolders();
    void BuildLayout();
    QWidget *BuildToolBar();
    QWidget *BuildViews();
    QWidget *BuildStatusBar();
    void BuildKeyTable();
    bool HandleKey(int key, Qt::KeyboardModifiers modifiers);
    void UpdateEnabling();
    void ShowCurrentPicture();
    void ShowOriginalPicture();

    TDialogPrompts FPrompts{this};
    TPhotoDocument FDocument{FPrompts};
    QString FPictureArgument;
    bool FFirstShow = true;
    std::vector<TKeyCommand> FKeyTable;

    QWidget *Panel_Original = nullptr;
    QWidget *Panel_Foto = nullptr;
    QWidget *Panel_Thumbs = nullptr;
    QLabel *GradPanel_Original_Titel = nullptr;
    QLabel *GradPanel_Foto_Titel = nullptr;
    TLMKSmoothImage *Image_Original = nullptr;
    TLMKSmoothImage *Image_Foto = nullptr;
    QLabel *StatusBar_Quelle = nullptr;
    QLabel *StatusBar_Size = nullptr;
    QLabel *StatusBar_DPI = nullptr;
    QToolButton *TB_Undo = nullptr;
    QToolButton *TB_Save = nullptr;
};

}  // namespace lmk
