// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's commands: the enabling of its buttons and menu entries, the keyboard table,
// the menus' places, the two views, and picture operations through the real command path.
#include "app/Unit_Lumikon.h"
#include "app/Unit_PictureArchive.h"
#include "app/Unit_Var.h"
#include "controls/TLMKRibbonToolBar.h"
#include "controls/TLMKRibbonTransButton.h"
#include "controls/TLMKSmoothImage.h"
#include "controls/TThumbsList.h"
#include "tests/app/MainWindowHome.h"
#include "tests/support/ModalDialogs.h"
#include "tests/support/Pixels.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QComboBox>
#include <QDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <map>
#include <optional>

using namespace lmk;

namespace {

class MainCommands : public lmktest::MainWindowHome {
protected:
    // The window in one of the states the tables name.
    enum class State { NoPicture, Picture, Edited };

    std::unique_ptr<TForm_Lumikon> Window(State state, int w = 40, int h = 30)
    {
        auto window = std::make_unique<TForm_Lumikon>(state == State::NoPicture ? QString() : Picture(w, h));
        window->show();
        if (state != State::NoPicture) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return window->PicturePresent(); }));
        }
        if (state == State::Edited)
            window->Document().ApplyEdit(Edited());
        return window;
    }
    static TLMKRibbonToolBar &Ribbon(TForm_Lumikon &window)
    {
        return *window.findChild<TLMKRibbonToolBar *>(QStringLiteral("RibbonToolBar_LK"));
    }
    static TToolButtonCollectionItem &RibbonItem(TForm_Lumikon &window, const QString &caption)
    {
        TLMKRibbonToolBar &bar = Ribbon(window);
        for (int i = 0; i < bar.ToolButtonCount(); ++i)
            if (bar.ToolButton(i).Caption() == caption)
                return bar.ToolButton(i);
        ADD_FAILURE() << "no ribbon button " << caption;
        return bar.ToolButton(0);
    }
    static QList<TLMKRibbonTransButton *> QuickButtons(TForm_Lumikon &window)
    {
        return window.findChild<QWidget *>(QStringLiteral("Panel_QuickToolBar"))->findChildren<TLMKRibbonTransButton *>();
    }
    static QMenu *Menu(TForm_Lumikon &window, const char *name)
    {
        return window.findChild<QMenu *>(QString::fromLatin1(name));
    }
    static QAction *Entry(QMenu *menu, const QString &caption)
    {
        for (QAction *action : menu->actions()) {
            if (action->text().section('\t', 0, 0) == caption)
                return action;
            if (action->menu())
                if (QAction *inner = Entry(action->menu(), caption))
                    return inner;
        }
        return nullptr;
    }

    lmktest::TMessageBoxAnswerer Answerer{QStringLiteral("OK")};  // the start's notes
};

const QStringList kRibbonCaptions = {"Foto scannen", "Bilddatei öffnen", "Bearbeiten", "Rückgängig",
                                     "Ansicht",      "Archiv",           "Foto drucken", "Foto speichern",
                                     "Hilfe- themen", "Info",            "Programm beenden"};

// Buttons whose commands this program offers follow the enabling rules; the others
// (scanning, printing, the about box and the tool dialogs still to come) stay disabled.
TEST_F(MainCommands, ButtonsAreEnabledExactlyWhileTheirConditionHolds)
{
    struct Row {
        State state;
        std::map<QString, bool> ribbon;  // caption → enabled
    };
    const std::vector<Row> table = {
        {State::NoPicture,
         {{"Bilddatei öffnen", true}, {"Archiv", true}, {"Hilfe- themen", true}, {"Programm beenden", true},
          {"Bearbeiten", false}, {"Rückgängig", false}, {"Ansicht", false}, {"Foto speichern", false}}},
        {State::Picture,
         {{"Bilddatei öffnen", true}, {"Archiv", true}, {"Bearbeiten", true}, {"Rückgängig", false},
          {"Ansicht", true}, {"Foto speichern", true}}},
        {State::Edited, {{"Rückgängig", true}, {"Bearbeiten", true}, {"Foto speichern", true}}},
    };
    for (const Row &row : table) {
        auto window = Window(row.state);
        QTest::qWait(350);  // one round of the enabling timer
        for (const auto &[caption, enabled] : row.ribbon)
            EXPECT_EQ(RibbonItem(*window, caption).Enabled(), enabled) << caption << " in state " << int(row.state);
        for (TLMKRibbonTransButton *button : QuickButtons(*window)) {
            const bool offered = button->Hint() != "Bildausschnitt" && button->Hint() != "Bildfehler korrigieren"
                                 && button->Hint() != "Text einfügen" && button->Hint() != "Bilderrahmen wählen"
                                 && button->Hint() != "Bild mit Schatten";
            EXPECT_EQ(button->Enabled(), offered && row.state != State::NoPicture)
                << button->Hint() << " in state " << int(row.state);
        }
    }
}

TEST_F(MainCommands, TheKeyboardTableRunsACommandOnlyUnderItsCondition)
{
    const auto ctrl = Qt::ControlModifier;
    const auto none = Qt::NoModifier;
    struct Row {
        int key;
        Qt::KeyboardModifiers modifiers;
        std::optional<TCommand> noPicture, picture, edited;
    };
    const std::nullopt_t no = std::nullopt;
    const std::vector<Row> table = {
        {Qt::Key_A, ctrl, no, TCommand::ViewMenu, TCommand::ViewMenu},
        {Qt::Key_B, ctrl, no, TCommand::EditMenu, TCommand::EditMenu},
        {Qt::Key_C, ctrl, no, TCommand::Copy, TCommand::Copy},
        {Qt::Key_D, ctrl, no, TCommand::Print, TCommand::Print},
        {Qt::Key_N, ctrl, TCommand::Scan, TCommand::Scan, TCommand::Scan},
        {Qt::Key_O, ctrl, TCommand::Open, TCommand::Open, TCommand::Open},
        {Qt::Key_R, ctrl, no, no, TCommand::Reverse},
        {Qt::Key_S, ctrl, no, TCommand::Save, TCommand::Save},
        {Qt::Key_V, ctrl, no, TCommand::Paste, TCommand::Paste},
        {Qt::Key_Z, ctrl, no, no, TCommand::Undo},
        {Qt::Key_Z, ctrl | Qt::ShiftModifier | Qt::AltModifier, no, no, TCommand::Undo},
        {Qt::Key_E, none, TCommand::FitToImage, TCommand::FitToImage, TCommand::FitToImage},
        {Qt::Key_E, Qt::ShiftModifier, TCommand::FitToImage, TCommand::FitToImage, TCommand::FitToImage},
        {Qt::Key_O, none, no, TCommand::OriginalView, TCommand::OriginalView},
        {Qt::Key_V, none, no, TCommand::Fullscreen, TCommand::Fullscreen},
        {Qt::Key_W, none, TCommand::ExpandArchive, TCommand::ExpandArchive, TCommand::ExpandArchive},
        {Qt::Key_X, none, no, no, no},  // a PNG file carries no EXIF data
        {Qt::Key_F1, none, TCommand::Help, TCommand::Help, TCommand::Help},
        {Qt::Key_F2, none, TCommand::About, TCommand::About, TCommand::About},
        {Qt::Key_F3, none, no, TCommand::ViewMenu, TCommand::ViewMenu},
        {Qt::Key_F4, none, TCommand::ArchiveMenu, TCommand::ArchiveMenu, TCommand::ArchiveMenu},
        {Qt::Key_F11, none, no, TCommand::Fullscreen, TCommand::Fullscreen},
        // the other table never applies: Ctrl+E is no command, plain C or S neither
        {Qt::Key_E, ctrl, no, no, no},
        {Qt::Key_W, ctrl, no, no, no},
        {Qt::Key_C, none, no, no, no},
        {Qt::Key_S, none, no, no, no},
        {Qt::Key_F1, ctrl, no, no, no},
    };
    for (const State state : {State::NoPicture, State::Picture, State::Edited}) {
        auto window = Window(state);
        for (const Row &row : table) {
            const std::optional<TCommand> wanted =
                state == State::NoPicture ? row.noPicture : state == State::Picture ? row.picture : row.edited;
            EXPECT_EQ(window->KeyCommand(row.key, row.modifiers), wanted)
                << QKeySequence(row.key | row.modifiers.toInt()).toString().toStdString() << " in state "
                << int(state);
        }
    }
}

TEST_F(MainCommands, KeysRunTheirCommandsAndStillReachTheFocusedControl)
{
    auto window = Window(State::Picture);
    QWidget *list = window->Archive().ThumbsList();
    list->setFocus();
    QWidget *thumbs = window->findChild<QWidget *>(QStringLiteral("Panel_Thumbs"));
    const int narrow = thumbs->width();

    struct KeySpy : QObject {
        int Keys = 0;
        bool eventFilter(QObject *, QEvent *event) override
        {
            Keys += event->type() == QEvent::KeyPress;
            return false;
        }
    } spy;
    list->installEventFilter(&spy);

    QTest::keyClick(list, Qt::Key_W);
    EXPECT_EQ(thumbs->width(), 272);
    QTest::keyClick(list, Qt::Key_O);
    EXPECT_TRUE(window->OriginalViewShown());
    QTest::keyClick(list, Qt::Key_E);
    EXPECT_TRUE(window->FitToImageMode());
    EXPECT_TRUE(window->findChild<TLMKSmoothImage *>(QStringLiteral("Image_Original"))->FitToImage());
    QTest::keyClick(list, Qt::Key_W);
    QTest::keyClick(list, Qt::Key_O);
    QTest::keyClick(list, Qt::Key_E);
    EXPECT_EQ(thumbs->width(), narrow);
    EXPECT_FALSE(window->OriginalViewShown());
    EXPECT_FALSE(window->FitToImageMode());
    EXPECT_EQ(spy.Keys, 6);
}

TEST_F(MainCommands, RotateRightThroughItsButtonThenUndo)
{
    auto window = Window(State::Picture, 4000, 3000);
    QTest::qWait(350);
    TLMKRibbonTransButton *rotate = nullptr;
    for (TLMKRibbonTransButton *button : QuickButtons(*window))
        if (button->Hint() == "Bild um 90º nach rechts drehen")
            rotate = button;
    ASSERT_NE(rotate, nullptr);
    EXPECT_FALSE(RibbonItem(*window, "Rückgängig").Enabled());
    const Bitmap before = window->Document().Current();

    QTest::mouseClick(rotate, Qt::LeftButton);
    EXPECT_EQ(StatusText(*window, "StatusBar_Size"), "3000 x 4000 Pixel");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    const Bitmap &turned = window->Document().Current();
    EXPECT_EQ(turned.Format(), PixelFormat::pf32bit);
    EXPECT_TRUE(window->Document().PhotoChanged());
    QTRY_VERIFY_WITH_TIMEOUT(RibbonItem(*window, "Rückgängig").Enabled(), 400);

    PressKey(*window, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(StatusText(*window, "StatusBar_Size"), "4000 x 3000 Pixel");
    EXPECT_EQ(window->Document().Current().ByteCount(), before.ByteCount());
    QTRY_VERIFY_WITH_TIMEOUT(!RibbonItem(*window, "Rückgängig").Enabled(), 400);
}

TEST_F(MainCommands, TheSecondUndoAfterTwoOperationsDoesNothing)
{
    auto window = Window(State::Picture, 6, 4);
    window->RunCommand(TCommand::RotateRight);
    window->RunCommand(TCommand::FlipHorizontal);
    window->RunCommand(TCommand::Undo);
    EXPECT_EQ(StatusText(*window, "StatusBar_Size"), "4 x 6 Pixel");
    window->RunCommand(TCommand::Undo);
    EXPECT_EQ(StatusText(*window, "StatusBar_Size"), "4 x 6 Pixel");
    EXPECT_FALSE(window->Document().CanUndo());
}

TEST_F(MainCommands, TheOriginalViewAlwaysTakesHalfTheCentralWidthPlusFour)
{
    auto window = Window(State::Picture);
    QWidget *central = window->findChild<QWidget *>(QStringLiteral("Panel_Foto_Original"));
    QWidget *original = window->findChild<QWidget *>(QStringLiteral("Panel_Original"));
    QWidget *fotoTitle = window->findChild<QWidget *>(QStringLiteral("GradPanel_Foto_Titel"));
    EXPECT_FALSE(fotoTitle->isVisible());
    window->ToggleOriginalView();
    EXPECT_TRUE(fotoTitle->isVisible());
    for (const QSize size : {QSize(1000, 700), QSize(1301, 800), QSize(700, 600)}) {
        window->resize(size);
        QTRY_COMPARE(original->width(), central->width() / 2 + 4);
    }
    window->ToggleOriginalView();
    EXPECT_FALSE(original->isVisible());
    EXPECT_FALSE(fotoTitle->isVisible());
}

TEST_F(MainCommands, MenusOpenBelowTheirButtonOrAtTheirKeyboardPlace)
{
    auto window = Window(State::Picture);
    window->move(0, 0);
    QTest::qWait(350);
    TLMKRibbonToolBar &bar = Ribbon(*window);
    struct Row {
        const char *caption;
        const char *menu;
        int key;
        Qt::KeyboardModifiers modifiers;
        int keyboardX;
    };
    for (const Row &row : {Row{"Bearbeiten", "PopupMenu_Edit", Qt::Key_B, Qt::ControlModifier, 120},
                           Row{"Ansicht", "PopupMenu_View", Qt::Key_F3, Qt::NoModifier, 262},
                           Row{"Archiv", "PopupMenu_Archiv", Qt::Key_F4, Qt::NoModifier, 315}}) {
        QMenu *menu = Menu(*window, row.menu);
        ASSERT_NE(menu, nullptr) << row.menu;
        TLMKRibbonToolButton *button = RibbonItem(*window, row.caption).Button();
        QTest::mouseClick(button, Qt::LeftButton);
        ASSERT_TRUE(menu->isVisible()) << row.menu;
        EXPECT_EQ(menu->pos(), bar.mapToGlobal(QPoint(button->x(), bar.height()))) << row.menu;
        menu->close();
        PressKey(*window, row.key, row.modifiers);
        ASSERT_TRUE(menu->isVisible()) << row.menu;
        EXPECT_EQ(menu->pos(), window->mapToGlobal(QPoint(row.keyboardX, bar.height()))) << row.menu;
        menu->close();
    }
}

TEST_F(MainCommands, EditAndViewMenuEntriesFollowThePhotoWhenTheyOpen)
{
    QApplication::clipboard()->clear();
    auto window = Window(State::Picture);
    QMenu *edit = Menu(*window, "PopupMenu_Edit");
    QMenu *view = Menu(*window, "PopupMenu_View");
    const auto openAndClose = [](QMenu *menu) {
        menu->popup(QPoint(0, 0));
        menu->close();
    };

    openAndClose(edit);
    EXPECT_FALSE(Entry(edit, "Aus der Zwischenablage &einfügen")->isEnabled());
    EXPECT_FALSE(Entry(edit, "Originalbi&ld wieder herstellen")->isEnabled());
    EXPECT_TRUE(Entry(edit, "In &Graustufenbild umwandeln")->isEnabled());
    EXPECT_TRUE(Entry(edit, "Nach &rechts drehen")->isEnabled());
    EXPECT_EQ(Entry(edit, "In die Zwischenablage &kopieren")->text(), "In die Zwischenablage &kopieren\tStrg+C");

    window->RunCommand(TCommand::Copy);
    window->RunCommand(TCommand::Grayscale);
    openAndClose(edit);
    EXPECT_TRUE(Entry(edit, "Aus der Zwischenablage &einfügen")->isEnabled());
    EXPECT_TRUE(Entry(edit, "Originalbi&ld wieder herstellen")->isEnabled());

    openAndClose(view);
    EXPECT_FALSE(Entry(view, "&Originalbild (O)")->isChecked());
    EXPECT_FALSE(Entry(view, "Bild &einpassen (E)")->isChecked());
    EXPECT_FALSE(Entry(view, "E&XIF-Daten (X)")->isEnabled());
    window->ToggleOriginalView();
    window->ToggleFitToImage();
    openAndClose(view);
    EXPECT_TRUE(Entry(view, "&Originalbild (O)")->isChecked());
    EXPECT_TRUE(Entry(view, "Bild &einpassen (E)")->isChecked());
    Entry(view, "&Originalbild (O)")->trigger();
    EXPECT_FALSE(window->OriginalViewShown());
}

TEST_F(MainCommands, TheEditMenuHasItsEntriesInOrder)
{
    auto window = Window(State::NoPicture);
    QStringList captions;
    for (QAction *action : Menu(*window, "PopupMenu_Edit")->actions()) {
        captions << (action->isSeparator() ? QStringLiteral("-") : action->text());
        if (action->menu())
            for (QAction *inner : action->menu()->actions())
                captions << "  " + (inner->isSeparator() ? QStringLiteral("-") : inner->text());
    }
    EXPECT_EQ(captions.join('|'),
              "&Automatische Tonwertkorrektur|&Helligkeit und Kontrast verbessern|-|&Bildgröße ändern...|"
              "DPI-Wert einstellen...|&Farben, Helligkeit und Kontrast anpassen...|Bild &schärfen|"
              "&Moire oder Kratzer entfernen (Bild glätten)|&Rotation und Spiegelung|  Nach &links drehen|"
              "  Nach &rechts drehen|  -|  &Horizontal spiegeln|  &Vertikal spiegeln|"
              "Bilda&usrichtung korrigieren...|Bildauss&chnitt...|Bil&dfehler korrigieren...|"
              "In &Graustufenbild umwandeln|&Invertieren (Negativbild/Tonwertumkehr)|R&ote Augen entfernen...|"
              "&Text einfügen...|Bilderrahmen &wählen...|Bild mit Schatten|-|Se&pia-Färbung (Dunkelkammer-Effekt)|"
              "Bild ei&nfärben (Tönung mit einer bestimmten Farbe)|-|In die Zwischenablage &kopieren\tStrg+C|"
              "Aus der Zwischenablage &einfügen\tStrg+V|-|Originalbi&ld wieder herstellen\tStrg+R");
}

TEST_F(MainCommands, TheDpiCommandShowsTheChosenValue)
{
    auto window = Window(State::Picture);
    lmktest::WhenModalShown([](QWidget *dialog) {
        auto *list = dialog->findChild<QComboBox *>(QStringLiteral("ComboBox_DPI"));
        list->setCurrentIndex(list->count() - 1);
        dialog->findChild<QPushButton *>(QStringLiteral("Button_OK"))->click();
    });
    window->RunCommand(TCommand::Dpi);
    EXPECT_EQ(StatusText(*window, "StatusBar_DPI"), "1200 DPI");
    QWidget *field = window->findChild<QWidget *>(QStringLiteral("StatusBar_DPI"));
    EXPECT_EQ(field->width(), field->fontMetrics().horizontalAdvance("1200 DPI") + 10);
}

TEST_F(MainCommands, CancellingTheColourChooserLeavesThePhotoAlone)
{
    auto window = Window(State::Picture);
    lmktest::WhenModalShown([](QWidget *dialog) { static_cast<QDialog *>(dialog)->reject(); });
    window->RunCommand(TCommand::Colorize);
    EXPECT_FALSE(window->Document().CanUndo());
    EXPECT_FALSE(window->Document().PhotoChanged());
}

TEST_F(MainCommands, TheRibbonKeepsItsPlaceAndHeightWhenTheWindowChanges)
{
    auto window = Window(State::NoPicture);
    TLMKRibbonToolBar &bar = Ribbon(*window);
    for (const QSize size : {QSize(700, 600), QSize(1920, 1050)}) {
        window->resize(size);
        QTRY_COMPARE(bar.width(), window->width());
        EXPECT_EQ(bar.geometry().topLeft(), QPoint(0, 0));
        EXPECT_EQ(bar.height(), 77);
    }
    // every button lies inside the bar at the minimum width, and none overlaps the next
    window->resize(700, 600);
    int right = 0;
    for (int i = 0; i < bar.ToolButtonCount(); ++i) {
        const QRect button = bar.ToolButton(i).Button()->geometry();
        EXPECT_GE(button.left(), right) << i;
        right = button.right() + 1;
    }
    EXPECT_LE(right, 700);
}

}  // namespace

namespace {

// Counts the pixels a symbol actually draws.
int DrawnPixels(const QImage &symbol)
{
    int drawn = 0;
    for (int y = 0; y < symbol.height(); ++y)
        for (int x = 0; x < symbol.width(); ++x)
            drawn += qAlpha(symbol.pixel(x, y)) > 64;
    return drawn;
}

TEST_F(MainCommands, EveryButtonShowsASymbol)
{
    auto window = Window(State::NoPicture);
    TLMKRibbonToolBar &bar = Ribbon(*window);
    for (int i = 0; i < bar.ToolButtonCount(); ++i) {
        const TToolButtonCollectionItem &item = bar.ToolButton(i);
        if (item.ButtonMode() != TLMKRibbonToolButtonMode::bmButton)
            continue;
        const QImage symbol = bar.Images().value(item.ImageIndex());
        EXPECT_EQ(symbol.size(), QSize(32, 32)) << item.Caption();
        EXPECT_GT(DrawnPixels(symbol), 20) << item.Caption();
    }
    const QList<TLMKRibbonTransButton *> quick = QuickButtons(*window);
    EXPECT_EQ(quick.size(), 15);
    for (TLMKRibbonTransButton *button : quick) {
        EXPECT_LE(button->Symbol().width(), 28) << button->Hint();
        EXPECT_GT(DrawnPixels(button->Symbol()), 20) << button->Hint();
        EXPECT_EQ(button->size(), QSize(28, 28));
    }
}

}  // namespace

namespace {

// How a test answers the dialog a command opens, if any.
using TAnswer = std::function<void(QWidget *dialog)>;

void PressOk(QWidget *dialog)
{
    if (auto *chooser = qobject_cast<QColorDialog *>(dialog)) {
        chooser->setCurrentColor(QColor(255, 128, 0));
        chooser->accept();
        return;
    }
    auto *ok = dialog->findChild<QPushButton *>(QStringLiteral("Button_OK"));
    ASSERT_NE(ok, nullptr) << dialog->windowTitle().toStdString();
    QTRY_VERIFY(ok->isEnabled());
    ok->click();
}

void Cancel(QWidget *dialog) { static_cast<QDialog *>(dialog)->reject(); }

struct TPictureCommand {
    TCommand Command;
    bool Dialog;
};

const TPictureCommand kPictureCommands[] = {
    {TCommand::Improve, false},       {TCommand::AutoAdjust, false},   {TCommand::Antialias, false},
    {TCommand::RotateLeft, false},    {TCommand::RotateRight, false},  {TCommand::FlipHorizontal, false},
    {TCommand::FlipVertical, false},  {TCommand::Grayscale, false},    {TCommand::Invert, false},
    {TCommand::Sepia, false},         {TCommand::Colorize, true},      {TCommand::Resolution, true},
    {TCommand::Editing, true},        {TCommand::Sharpen, true},
};

// A picture with structure in every channel, so that each command changes something.
QString StructuredPicture(lmktest::TempFolder &home)
{
    Bitmap picture(24, 16, PixelFormat::pf24bit);
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x)
            lmktest::Set(picture, x, y, {(x * 9) % 256, (y * 13 + 40) % 256, ((x ^ y) * 17) % 256});
    const QString path = home.Path("struktur.png");
    EncodePngFile(picture, path, 72);
    return path;
}

TEST_F(MainCommands, EveryPictureCommandRecordsAnUndoStepThatBringsThePictureBack)
{
    TForm_Lumikon window(StructuredPicture(Home));
    window.show();
    QTRY_VERIFY(window.PicturePresent());
    for (const TPictureCommand &row : kPictureCommands) {
        const std::shared_ptr<const Bitmap> before = window.Document().SharedCurrent();
        if (row.Dialog)
            lmktest::WhenModalShown(PressOk);
        window.RunCommand(row.Command);
        EXPECT_TRUE(window.Document().CanUndo()) << int(row.Command);
        EXPECT_TRUE(window.Document().PhotoChanged()) << int(row.Command);
        EXPECT_NE(window.Document().SharedCurrent(), before) << int(row.Command);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr) << int(row.Command);
        window.RunCommand(TCommand::Undo);
        EXPECT_EQ(window.Document().SharedCurrent(), before) << int(row.Command);
        EXPECT_FALSE(window.Document().CanUndo()) << int(row.Command);
    }
}

TEST_F(MainCommands, CancellingAToolDialogLeavesThePhotoAsItWas)
{
    TForm_Lumikon window(StructuredPicture(Home));
    window.show();
    QTRY_VERIFY(window.PicturePresent());
    for (const TPictureCommand &row : kPictureCommands) {
        if (!row.Dialog)
            continue;
        const std::shared_ptr<const Bitmap> before = window.Document().SharedCurrent();
        lmktest::WhenModalShown(Cancel);
        window.RunCommand(row.Command);
        EXPECT_EQ(window.Document().SharedCurrent(), before) << int(row.Command);
        EXPECT_FALSE(window.Document().CanUndo()) << int(row.Command);
        EXPECT_FALSE(window.Document().PhotoChanged()) << int(row.Command);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr) << int(row.Command);
    }
}

}  // namespace

namespace {

TEST_F(MainCommands, TheArchiveKeepsWhatTheOpenCommandAddedAcrossARestart)
{
    const QString path = Picture(400, 300);
    {
        TForm_Lumikon window;
        window.show();
        lmktest::WhenModalShown([path](QWidget *dialog) {
            auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(name, nullptr);
            name->setText(path);
            static_cast<QDialog *>(dialog)->accept();
        });
        QTest::mouseClick(RibbonItem(window, "Bilddatei öffnen").Button(), Qt::LeftButton);
        ASSERT_TRUE(window.PicturePresent());
        ASSERT_EQ(window.Archive().ThumbsList()->GetThumbsCount(), 1);
        PressKey(window, Qt::Key_W);
    }
    EXPECT_TRUE(QFileInfo::exists(Documents() + "/thumbs.dat"));
    TForm_Lumikon window;
    window.show();
    EXPECT_FALSE(window.PicturePresent());  // the archive only remembers, it opens nothing
    ASSERT_EQ(window.Archive().ThumbsList()->GetThumbsCount(), 1);
    EXPECT_EQ(window.findChild<QWidget *>(QStringLiteral("Panel_Thumbs"))->width(), 272);
}

}  // namespace
