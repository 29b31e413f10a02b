// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's commands: what each one runs, the Edit and View menus, the keyboard table
// and the enabling of buttons and menu entries. Every table here is in the order the user sees.
#include "app/HelpContexts.h"
#include "app/LMK_Utils.h"
#include "app/Unit_Lumikon.h"
#include "app/Unit_OpenPictureDialog.h"
#include "app/Unit_PictureArchive.h"
#include "app/Unit_ToolProtocol.h"
#include "app/Unit_Var.h"
#include "controls/TLMKRibbonToolBar.h"
#include "imaging/Unit_Graph.h"
#include "imaging/Unit_Tone.h"
#include "view/Unit_DLG_DPIValue.h"
#include "view/Unit_DLG_Editor.h"
#include "view/Unit_DLG_Resolution.h"
#include "view/Unit_DLG_Sharpen.h"

#include <QColorDialog>
#include <QFileInfo>
#include <QMenu>
#include <span>

namespace lmk {

namespace {

// The one-click operations, run on a 32-bit working copy of the current picture.
const std::pair<TCommand, TPictureOperation> kQuickOperations[] = {
    {TCommand::Improve, [](Bitmap &picture) { AutoLevels(picture); }},
    {TCommand::AutoAdjust, AutoAdjust},
    {TCommand::Antialias, [](Bitmap &picture) { Smooth(picture, 1); }},
    {TCommand::RotateLeft, [](Bitmap &picture) { RotateFlip(picture, 1); }},
    {TCommand::RotateRight, [](Bitmap &picture) { RotateFlip(picture, 0); }},
    {TCommand::FlipHorizontal, [](Bitmap &picture) { RotateFlip(picture, 2); }},
    {TCommand::FlipVertical, [](Bitmap &picture) { RotateFlip(picture, 3); }},
    {TCommand::Grayscale, Grayscale},
    {TCommand::Invert, InvertColors},
    {TCommand::Sepia, [](Bitmap &picture) { Sepia(picture, kSepiaAmount); }},
};

// A menu entry: a command, a separator (no caption) or a submenu.
struct TMenuEntry {
    const char *Caption = nullptr;
    TCommand Command = TCommand::Open;
    const char *Shortcut = nullptr;
    std::span<const TMenuEntry> Submenu = {};
};
constexpr TMenuEntry kSeparator{};

const TMenuEntry kRotationMenu[] = {
    {"Nach &links drehen", TCommand::RotateLeft},
    {"Nach &rechts drehen", TCommand::RotateRight},
    kSeparator,
    {"&Horizontal spiegeln", TCommand::FlipHorizontal},
    {"&Vertikal spiegeln", TCommand::FlipVertical},
};

const TMenuEntry kEditMenu[] = {
    {"&Automatische Tonwertkorrektur", TCommand::Improve},
    {"&Helligkeit und Kontrast verbessern", TCommand::AutoAdjust},
    kSeparator,
    {"&Bildgröße ändern...", TCommand::Resolution},
    {"DPI-Wert einstellen...", TCommand::Dpi},
    {"&Farben, Helligkeit und Kontrast anpassen...", TCommand::Editing},
    {"Bild &schärfen", TCommand::Sharpen},
    {"&Moire oder Kratzer entfernen (Bild glätten)", TCommand::Antialias},
    {"&Rotation und Spiegelung", TCommand::Open, nullptr, kRotationMenu},
    {"Bilda&usrichtung korrigieren...", TCommand::Correction},
    {"Bildauss&chnitt...", TCommand::Cutting},
    {"Bil&dfehler korrigieren...", TCommand::Repair},
    {"In &Graustufenbild umwandeln", TCommand::Grayscale},
    {"&Invertieren (Negativbild/Tonwertumkehr)", TCommand::Invert},
    {"R&ote Augen entfernen...", TCommand::RedEye},
    {"&Text einfügen...", TCommand::Text},
    {"Bilderrahmen &wählen...", TCommand::Frame},
    {"Bild mit Schatten", TCommand::Shade},
    kSeparator,
    {"Se&pia-Färbung (Dunkelkammer-Effekt)", TCommand::Sepia},
    {"Bild ei&nfärben (Tönung mit einer bestimmten Farbe)", TCommand::Colorize},
    kSeparator,
    {"In die Zwischenablage &kopieren", TCommand::Copy, "Strg+C"},
    {"Aus der Zwischenablage &einfügen", TCommand::Paste, "Strg+V"},
    kSeparator,
    {"Originalbi&ld wieder herstellen", TCommand::Reverse, "Strg+R"},
};

const TMenuEntry kViewMenu[] = {
    {"&Originalbild (O)", TCommand::OriginalView},
    {"Bild &einpassen (E)", TCommand::FitToImage},
    kSeparator,
    {"&Vollbildansicht (V)", TCommand::Fullscreen},
    kSeparator,
    {"E&XIF-Daten (X)", TCommand::Exif},
};

// Where the menus opened from the keyboard appear, in window coordinates.
constexpr int kEditMenuX = 120;
constexpr int kViewMenuX = 262;
constexpr int kArchiveMenuX = 315;

}  // namespace

void TForm_Lumikon::BuildCommands()
{
    for (const auto &[command, operation] : kQuickOperations)
        FCommands[command] = [this, operation] { ApplyQuickOperation(FDocument, operation); };

    FCommands[TCommand::Resolution] = [this] {
        // The resize dialog changes a copy in place; the copy is its result.
        auto copy = std::make_shared<Bitmap>(FDocument.Current());
        RunToolDialog<TDLG_Resolution>(
            FDocument, this,
            {[copy](QWidget *owner, const Bitmap &) { return std::make_unique<TDLG_Resolution>(owner, *copy); },
             [copy](TDLG_Resolution &) { return std::move(*copy); },
             QString()});
    };
    FCommands[TCommand::Editing] = [this] {
        RunToolDialog(FDocument, this, ToolDialogOf<TDLG_Editor, &TDLG_Editor::GetAdjustBitmap>());
    };
    FCommands[TCommand::Sharpen] = [this] {
        RunToolDialog(FDocument, this, ToolDialogOf<TDLG_Sharpen, &TDLG_Sharpen::GetSharpenBitmap>());
    };
    FCommands[TCommand::Colorize] = [this] { ColorizeCommand(); };
    FCommands[TCommand::Dpi] = [this] { DpiCommand(); };

    FCommands[TCommand::Open] = [this] { OpenPictureCommand(); };
    FCommands[TCommand::Save] = [this] { FDocument.SavePictureAs(); };
    FCommands[TCommand::Undo] = [this] { FDocument.Undo(); };
    FCommands[TCommand::Copy] = [this] { FDocument.CopyToClipboard(); };
    FCommands[TCommand::Paste] = [this] { FDocument.PasteFromClipboard(); };
    FCommands[TCommand::Reverse] = [this] { FDocument.RestoreOriginal(); };
    FCommands[TCommand::Help] = [] { ShowHelpContext(help::MainWindow); };
    FCommands[TCommand::Exit] = [this] { close(); };
    FCommands[TCommand::OriginalView] = [this] { ToggleOriginalView(); };
    FCommands[TCommand::FitToImage] = [this] { ToggleFitToImage(); };
    FCommands[TCommand::ExpandArchive] = [this] { FArchive->ToggleExpanded(); };
    FCommands[TCommand::EditMenu] = [this] { PopupFromKeyboard(PopupMenu_Edit, kEditMenuX); };
    FCommands[TCommand::ViewMenu] = [this] { PopupFromKeyboard(PopupMenu_View, kViewMenuX); };
    FCommands[TCommand::ArchiveMenu] = [this] { PopupFromKeyboard(FArchive->ArchiveMenu(), kArchiveMenuX); };

    FKeyTable = {
        {Qt::Key_A, true, TNeed::Picture, TCommand::ViewMenu},
        {Qt::Key_B, true, TNeed::Picture, TCommand::EditMenu},
        {Qt::Key_C, true, TNeed::Picture, TCommand::Copy},
        {Qt::Key_D, true, TNeed::Picture, TCommand::Print},
        {Qt::Key_N, true, TNeed::Nothing, TCommand::Scan},
        {Qt::Key_O, true, TNeed::Nothing, TCommand::Open},
        {Qt::Key_R, true, TNeed::Restore, TCommand::Reverse},
        {Qt::Key_S, true, TNeed::Picture, TCommand::Save},
        {Qt::Key_V, true, TNeed::Picture, TCommand::Paste},
        {Qt::Key_Z, true, TNeed::Undo, TCommand::Undo},
        {Qt::Key_E, false, TNeed::Nothing, TCommand::FitToImage},
        {Qt::Key_O, false, TNeed::Picture, TCommand::OriginalView},
        {Qt::Key_V, false, TNeed::Picture, TCommand::Fullscreen},
        {Qt::Key_W, false, TNeed::Nothing, TCommand::ExpandArchive},
        {Qt::Key_X, false, TNeed::Exif, TCommand::Exif},
        {Qt::Key_F1, false, TNeed::Nothing, TCommand::Help},
        {Qt::Key_F2, false, TNeed::Nothing, TCommand::About},
        {Qt::Key_F3, false, TNeed::Picture, TCommand::ViewMenu},
        {Qt::Key_F4, false, TNeed::Nothing, TCommand::ArchiveMenu},
        {Qt::Key_F11, false, TNeed::Picture, TCommand::Fullscreen},
    };
}

void TForm_Lumikon::RunCommand(TCommand command)
{
    const auto found = FCommands.find(command);
    if (found != FCommands.end())
        found->second();
}

bool TForm_Lumikon::CommandAvailable(TCommand command) const { return FCommands.count(command) != 0; }

bool TForm_Lumikon::Holds(TNeed need) const
{
    switch (need) {
    case TNeed::Nothing:
        return true;
    case TNeed::Picture:
        return PicturePresent();
    case TNeed::Undo:
        return PicturePresent() && FDocument.CanUndo();
    case TNeed::Restore:
        return PicturePresent() && FDocument.HasOriginal() && FDocument.PhotoChanged();
    case TNeed::Exif:
        return FDocument.ExifData() != nullptr;
    }
    return false;
}

std::optional<TCommand> TForm_Lumikon::KeyCommand(int key, Qt::KeyboardModifiers modifiers) const
{
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    for (const TKeyCommand &row : FKeyTable)
        if (row.Key == key && row.Ctrl == ctrl)
            return Holds(row.Need) ? std::optional(row.Command) : std::nullopt;
    return std::nullopt;
}

namespace {

void FillMenu(QMenu &menu, std::span<const TMenuEntry> entries, std::map<TCommand, QAction *> &actions,
              const std::function<void(TCommand)> &run)
{
    for (const TMenuEntry &entry : entries) {
        if (!entry.Caption) {
            menu.addSeparator();
        } else if (!entry.Submenu.empty()) {
            QMenu *submenu = menu.addMenu(QString::fromUtf8(entry.Caption));
            FillMenu(*submenu, entry.Submenu, actions, run);
        } else {
            QAction *action = menu.addAction(QString::fromUtf8(entry.Caption));
            if (entry.Shortcut)  // shown only: the window's keyboard table runs the keys
                action->setText(action->text() + '\t' + QString::fromUtf8(entry.Shortcut));
            const TCommand command = entry.Command;
            QObject::connect(action, &QAction::triggered, &menu, [run, command] { run(command); });
            actions[command] = action;
        }
    }
}

}  // namespace

void TForm_Lumikon::BuildMenus()
{
    const auto run = [this](TCommand command) { RunCommand(command); };
    PopupMenu_Edit = new QMenu(this);
    PopupMenu_Edit->setObjectName(QStringLiteral("PopupMenu_Edit"));
    FillMenu(*PopupMenu_Edit, kEditMenu, FMenuActions, run);
    connect(PopupMenu_Edit, &QMenu::aboutToShow, this, &TForm_Lumikon::UpdateEditMenu);

    PopupMenu_View = new QMenu(this);
    PopupMenu_View->setObjectName(QStringLiteral("PopupMenu_View"));
    FillMenu(*PopupMenu_View, kViewMenu, FMenuActions, run);
    FMenuActions[TCommand::OriginalView]->setCheckable(true);
    FMenuActions[TCommand::FitToImage]->setCheckable(true);
    connect(PopupMenu_View, &QMenu::aboutToShow, this, &TForm_Lumikon::UpdateViewMenu);
}

void TForm_Lumikon::UpdateEditMenu()
{
    for (const TMenuEntry &entry : kEditMenu)
        if (entry.Caption && entry.Submenu.empty())
            FMenuActions[entry.Command]->setEnabled(CommandAvailable(entry.Command));
    FMenuActions[TCommand::Paste]->setEnabled(TPhotoDocument::ClipboardHasPicture());
    FMenuActions[TCommand::Reverse]->setEnabled(FDocument.PhotoChanged() && FDocument.HasOriginal());
}

void TForm_Lumikon::UpdateViewMenu()
{
    FMenuActions[TCommand::OriginalView]->setChecked(OriginalViewShown());
    FMenuActions[TCommand::FitToImage]->setChecked(FitToImageMode());
    FMenuActions[TCommand::Fullscreen]->setEnabled(CommandAvailable(TCommand::Fullscreen) && PicturePresent());
    FMenuActions[TCommand::Exif]->setEnabled(CommandAvailable(TCommand::Exif) && Holds(TNeed::Exif));
}

QMenu *TForm_Lumikon::MenuOf(TCommand command) const
{
    switch (command) {
    case TCommand::EditMenu:
        return PopupMenu_Edit;
    case TCommand::ViewMenu:
        return PopupMenu_View;
    case TCommand::ArchiveMenu:
        return FArchive->ArchiveMenu();
    default:
        return nullptr;
    }
}

void TForm_Lumikon::PopupBelowButton(QMenu *menu, const QWidget *button)
{
    menu->popup(button->mapToGlobal(QPoint(0, button->parentWidget()->height() - button->y())));
}

void TForm_Lumikon::PopupFromKeyboard(QMenu *menu, int x)
{
    menu->popup(mapToGlobal(QPoint(x, RibbonToolBar_LK->geometry().bottom() + 1)));
}

void TForm_Lumikon::UpdateEnabling()
{
    for (const TCommandButton &button : FButtons) {
        const bool wanted = CommandAvailable(button.Command) && Holds(button.Need);
        if (button.IsEnabled() != wanted)
            button.SetEnabled(wanted);
    }
}

void TForm_Lumikon::OpenPictureCommand()
{
    const QString startFolder =
        FDocument.FileName().isEmpty() ? QString() : QFileInfo(FDocument.FileName()).absolutePath();
    const QString fileName = ChoosePictureFile(this, startFolder);
    if (!fileName.isEmpty())
        FDocument.OpenPictureFile(fileName, true);
}

void TForm_Lumikon::DpiCommand()
{
    TDLG_DPIValue dialog(this);
    if (dialog.exec() == QDialog::Accepted)
        ShowDpiValue();
}

void TForm_Lumikon::ColorizeCommand()
{
    // The colour is chosen before the working copy is made: cancelling the chooser leaves the
    // photo, its undo step and its changed flag as they were.
    const QColor tint = QColorDialog::getColor(Qt::black, this);
    if (tint.isValid())
        ApplyQuickOperation(FDocument, [tint](Bitmap &picture) { Colorize(picture, tint); });
}

}  // namespace lmk
