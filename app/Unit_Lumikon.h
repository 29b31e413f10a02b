// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: the ribbon tool bar, the quick buttons, the photo in one or two views, the
// archive panel and the status bar, and every command. It owns the photo document.
#pragma once

#include "app/MainCommands.h"
#include "app/Unit_DialogPrompts.h"
#include "app/Unit_PhotoDocument.h"

#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

class QAction;
class QMenu;

namespace lmk {

class TLMKRibbonToolBar;
class TLMKRibbonTransButton;
class TLMKSmoothImage;
class TPictureArchive;
class TVistaGradPanel;

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
    TPictureArchive &Archive() { return *FArchive; }
    bool PicturePresent() const { return FDocument.HasPicture(); }
    bool OriginalViewShown() const;
    bool FitToImageMode() const;

    // Runs a command as its button, menu entry or key does. A command this program does not
    // offer yet does nothing; its buttons and entries stay disabled.
    void RunCommand(TCommand command);
    bool CommandAvailable(TCommand command) const;
    // The command that a key press runs in the present state, if any.
    std::optional<TCommand> KeyCommand(int key, Qt::KeyboardModifiers modifiers) const;

    void ToggleOriginalView();
    void ToggleFitToImage();
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
    // plain rows. A row acts only while its need holds; the key still reaches the control.
    struct TKeyCommand {
        int Key;
        bool Ctrl;
        TNeed Need;
        TCommand Command;
    };
    // A tool-bar button or quick button and what its enabling follows.
    struct TCommandButton {
        std::function<void(bool)> SetEnabled;
        std::function<bool()> IsEnabled;
        TCommand Command;
        TNeed Need;
    };

    void PrepareFolders();
    void BuildLayout();
    QWidget *BuildRibbon();
    QWidget *BuildQuickToolBar();
    QWidget *BuildViews();
    QWidget *BuildStatusBar();
    void BuildCommands();
    void BuildMenus();
    QMenu *BuildEditMenu();
    QMenu *BuildViewMenu();
    bool Holds(TNeed need) const;
    QMenu *MenuOf(TCommand command) const;
    void PopupBelowButton(QMenu *menu, const QWidget *button);
    void PopupFromKeyboard(QMenu *menu, int x);
    void UpdateEnabling();
    void UpdateEditMenu();
    void UpdateViewMenu();
    void ShowCurrentPicture();
    void ShowOriginalPicture();
    void FitOriginalPanel();

    // Commands with more to do than one call.
    void OpenPictureCommand();
    void DpiCommand();
    void ColorizeCommand();

    TDialogPrompts FPrompts{this};
    TPhotoDocument FDocument{FPrompts};
    QString FPictureArgument;
    bool FFirstShow = true;
    std::map<TCommand, std::function<void()>> FCommands;
    std::vector<TKeyCommand> FKeyTable;
    std::vector<TCommandButton> FButtons;
    std::map<TCommand, QAction *> FMenuActions;

    TLMKRibbonToolBar *RibbonToolBar_LK = nullptr;
    QWidget *Panel_Foto_Original = nullptr;
    QWidget *Panel_Original = nullptr;
    QWidget *Panel_Foto = nullptr;
    QWidget *Panel_Thumbs = nullptr;
    TVistaGradPanel *GradPanel_Original_Titel = nullptr;
    TVistaGradPanel *GradPanel_Foto_Titel = nullptr;
    TLMKSmoothImage *Image_Original = nullptr;
    TLMKSmoothImage *Image_Foto = nullptr;
    TVistaGradPanel *StatusBar_Quelle = nullptr;
    TVistaGradPanel *StatusBar_Size = nullptr;
    TVistaGradPanel *StatusBar_DPI = nullptr;
    QMenu *PopupMenu_Edit = nullptr;
    QMenu *PopupMenu_View = nullptr;
    std::unique_ptr<TPictureArchive> FArchive;
};

}  // namespace lmk
