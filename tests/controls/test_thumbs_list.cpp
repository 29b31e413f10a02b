// SPDX-License-Identifier: GPL-3.0-or-later
// The thumbnail list: layout, keys, mouse selection, events, painting and the wheel-scroll mode,
// on a real shown control.
#include "controls/TThumbsList.h"
#include "tests/support/TestFiles.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMenu>
#include <QScrollBar>
#include <QSet>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

using namespace lmk;

namespace {

const QRgb kNormalFill = qRgb(0x33, 0x33, 0x33), kNormalLight = qRgb(0x5D, 0x5D, 0x5D);
const QRgb kSelectedFill = qRgb(0x18, 0x3E, 0x4B), kSelectedLight = qRgb(0x45, 0x7A, 0x92);
const QRgb kHoverFill = qRgb(0x45, 0x45, 0x45), kHoverLight = qRgb(0x75, 0x75, 0x75);
const QRgb kDark = qRgb(0x19, 0x19, 0x19);

std::unique_ptr<Bitmap> Picture(int w, int h, std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    auto picture = std::make_unique<Bitmap>(w, h, PixelFormat::pf32bit);
    picture->Fill(r, g, b);
    return picture;
}

// A list with the archive panel's settings (tiles of 120 x 120), shown at the given size.
struct TListFixture {
    TThumbsList List;
    std::vector<int> Selected;      // OnItemSelected, -1 for none
    std::vector<int> Clicked;       // ItemClick
    std::vector<int> DoubleClicked; // ItemDblClick
    QStringList Events;       // everything in order

    TListFixture(int width, int count, int height = 300)
    {
        List.ShowIcons = List.ShowStars = List.ShowNames = List.ShowDates = List.ShowCategorys = false;
        List.setFrameShape(QFrame::NoFrame);
        List.resize(width, height);
        List.show();
        List.activateWindow();  // keys and focus as in an active window
        (void)QTest::qWaitForWindowActive(&List);
        for (int i = 0; i < count; ++i)
            List.AddThumbItem({}, {}, QStringLiteral("/bilder/bild%1.jpg").arg(i), {}, {}, 0, 0,
                              Picture(105, 78, std::uint8_t(20 * i), 100, 200), false);
        List.ArrangeThumbs();
        List.OnItemSelected = [this](TThumbItem *t) {
            Selected.push_back(Index(t));
            Events << QStringLiteral("selected %1").arg(Index(t));
        };
        List.ItemClick = [this](TThumbItem *t) {
            Clicked.push_back(Index(t));
            Events << QStringLiteral("click %1").arg(Index(t));
        };
        List.ItemDblClick = [this](TThumbItem *t) { DoubleClicked.push_back(Index(t)); };
    }
    int Index(const TThumbItem *tile) const
    {
        for (int i = 0; i < List.GetThumbsCount(); ++i)
            if (List.GetThumbItem(i) == tile)
                return i;
        return -1;
    }
    TThumbItem &Tile(int i) { return *List.GetThumbItem(i); }
    std::vector<int> SelectedTiles() const
    {
        std::vector<int> result;
        for (int i = 0; i < List.GetThumbsCount(); ++i)
            if (List.GetThumbItem(i)->Selected())
                result.push_back(i);
        return result;
    }
};

// --- layout ---

struct LayoutCase {
    const char *name;
    int width;
    int count;
    int cols, rows;
    std::vector<QPoint> positions;
};

class ThumbsLayoutTest : public testing::TestWithParam<LayoutCase> {};

TEST_P(ThumbsLayoutTest, TilesStandWhereTheRowRuleSays)
{
    const LayoutCase &c = GetParam();
    TListFixture f(c.width, c.count);
    EXPECT_EQ(f.List.ColsCount(), c.cols);
    EXPECT_EQ(f.List.RowsCount(), c.rows);
    for (int i = 0; i < c.count; ++i) {
        EXPECT_EQ(f.Tile(i).pos(), c.positions[std::size_t(i)]) << "tile " << i;
        EXPECT_EQ(f.Tile(i).size(), QSize(120, 120));
        EXPECT_TRUE(f.Tile(i).isVisible());
    }
    // The same numbers from the pure layout.
    const TThumbsLayout pure = LayOutThumbs(c.count, QSize(120, 120), c.width, 20);
    EXPECT_EQ(pure.Positions, c.positions);
    EXPECT_EQ(pure.ColsCount, c.cols);
    EXPECT_EQ(pure.RowsCount, c.rows);
}

INSTANTIATE_TEST_SUITE_P(
    Widths, ThumbsLayoutTest,
    testing::Values(LayoutCase{"narrow_panel", 145, 3, 0, 3, {{4, 4}, {4, 128}, {4, 252}}},
                    LayoutCase{"wide_panel", 272, 5, 1, 2, {{4, 4}, {128, 4}, {4, 128}, {128, 128}, {4, 252}}},
                    LayoutCase{"room_for_four", 600, 3, 3, 0, {{4, 4}, {128, 4}, {252, 4}}},
                    LayoutCase{"room_for_exactly_three", 500, 3, 2, 1, {{4, 4}, {128, 4}, {252, 4}}},
                    LayoutCase{"empty", 272, 0, 0, 0, {}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(ThumbTileSize, NameAndDateLinesAddToTheHeight)
{
    EXPECT_EQ(ThumbTileSize(100, false, false), QSize(120, 120));
    EXPECT_EQ(ThumbTileSize(100, true, false), QSize(120, 135));
    EXPECT_EQ(ThumbTileSize(100, false, true), QSize(120, 135));
    EXPECT_EQ(ThumbTileSize(100, true, true), QSize(120, 145));
    EXPECT_EQ(ThumbTileSize(150, true, true), QSize(170, 195));
}

TEST(ThumbsList, NewTilesAreHiddenUntilTheNextLayoutAndUpdateModeDefersIt)
{
    TListFixture f(272, 2);
    std::vector<int> arranged;
    f.List.AfterArrange = [&](TThumbsList &list) { arranged.push_back(list.GetThumbsCount()); };
    f.List.BeginUpdate();
    TThumbItem *added = f.List.AddThumbItem({}, {}, "/x/neu.jpg", {}, {}, 0, 0, Picture(50, 50, 1, 2, 3), true);
    f.List.ArrangeThumbs();  // update mode: nothing happens
    EXPECT_FALSE(added->isVisible());
    EXPECT_EQ(f.List.ColsCount(), 0);
    f.List.EndUpdate();
    f.List.ArrangeThumbs();
    EXPECT_TRUE(added->isVisible());
    EXPECT_EQ(added->pos(), QPoint(4, 128));
    EXPECT_EQ(arranged, std::vector<int>{3});

    // A size change lays the tiles out again.
    f.List.resize(145, 300);
    EXPECT_EQ(added->pos(), QPoint(4, 252));
    EXPECT_EQ(f.List.ColsCount(), 0);
}

// --- keys ---

struct KeyCase {
    const char *name;
    int width;
    int count;
    int start;
    Qt::Key key;
    int expected;
};

class ThumbsKeyTest : public testing::TestWithParam<KeyCase> {};

TEST_P(ThumbsKeyTest, MovesTheCurrentTile)
{
    const KeyCase &c = GetParam();
    TListFixture f(c.width, c.count);
    f.List.SetThumbIndex(c.start);
    f.Selected.clear();
    QTest::keyClick(&f.List, c.key);
    EXPECT_EQ(f.List.ThumbIndex(), c.expected);
    if (c.expected != c.start) {
        EXPECT_EQ(f.Selected, std::vector<int>{c.expected});
        EXPECT_EQ(f.SelectedTiles(), std::vector<int>{c.expected});
    } else {
        EXPECT_TRUE(f.Selected.empty());
    }
    EXPECT_TRUE(f.Clicked.empty()) << "keys never click";
    // The pure rule agrees.
    const auto move = ThumbMoveForKey(c.key, c.start, c.count, f.List.ColsCount());
    EXPECT_EQ(move ? move->Target : c.start, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, ThumbsKeyTest,
    testing::Values(KeyCase{"narrow_down", 145, 3, 0, Qt::Key_Down, 1}, KeyCase{"narrow_up", 145, 3, 1, Qt::Key_Up, 0},
                    KeyCase{"wide_down", 272, 5, 0, Qt::Key_Down, 2},
                    KeyCase{"wide_down_from_last_row", 272, 5, 3, Qt::Key_Down, 3},
                    KeyCase{"wide_up", 272, 5, 3, Qt::Key_Up, 1},
                    KeyCase{"one_row_down_does_nothing", 600, 3, 0, Qt::Key_Down, 0},
                    KeyCase{"one_row_up_does_nothing", 600, 3, 2, Qt::Key_Up, 2},
                    KeyCase{"none_right_takes_first", 272, 5, -1, Qt::Key_Right, 0},
                    KeyCase{"none_left_nothing", 272, 5, -1, Qt::Key_Left, -1},
                    KeyCase{"none_home_nothing", 272, 5, -1, Qt::Key_Home, -1},
                    KeyCase{"none_up_nothing", 272, 5, -1, Qt::Key_Up, -1},
                    KeyCase{"none_down_takes_cols_count", 272, 5, -1, Qt::Key_Down, 1},
                    KeyCase{"none_end_takes_last", 272, 5, -1, Qt::Key_End, 4},
                    KeyCase{"home", 272, 5, 3, Qt::Key_Home, 0}, KeyCase{"end", 272, 5, 1, Qt::Key_End, 4},
                    KeyCase{"left_at_first", 272, 5, 0, Qt::Key_Left, 0},
                    KeyCase{"right_at_last", 272, 5, 4, Qt::Key_Right, 4},
                    KeyCase{"right", 145, 3, 1, Qt::Key_Right, 2}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(ThumbsList, KeysScrollTheMovedTileIntoViewWithFourPixelsToSpare)
{
    TListFixture f(145, 10);  // tiles at 4 + 124 k, the last one ends at 1240
    QScrollBar &bar = *f.List.verticalScrollBar();
    EXPECT_EQ(bar.maximum(), 1244 - 300);
    QTest::keyClick(&f.List, Qt::Key_End);
    EXPECT_EQ(bar.value(), 1240 + 4 - 300);
    QTest::keyClick(&f.List, Qt::Key_Up);  // still fully visible: no scrolling
    EXPECT_EQ(bar.value(), 944);
    QTest::keyClick(&f.List, Qt::Key_Home);
    EXPECT_EQ(bar.value(), 0);
    QTest::keyClick(&f.List, Qt::Key_PageDown);
    EXPECT_EQ(bar.value(), 300);
    QTest::keyClick(&f.List, Qt::Key_PageDown);
    QTest::keyClick(&f.List, Qt::Key_PageDown);
    QTest::keyClick(&f.List, Qt::Key_PageDown);
    EXPECT_EQ(bar.value(), bar.maximum());
    QTest::keyClick(&f.List, Qt::Key_PageUp);
    EXPECT_EQ(bar.value(), 944 - 300);

    // Making a tile current scrolls by the least amount, without margin.
    bar.setValue(0);
    f.List.SetThumbIndex(5);  // 624 ... 744
    EXPECT_EQ(bar.value(), 744 - 300);
    f.List.SetThumbIndex(1);  // 128 ... 248, above the view
    EXPECT_EQ(bar.value(), 128);
}

TEST(ThumbsList, ReturnDeleteAndKeypadDigitsActOnTheCurrentTile)
{
    TListFixture f(272, 3);
    QStringList events;
    f.List.OnPressReturn = [&](TThumbItem *t) { events << QStringLiteral("return %1").arg(f.Index(t)); };
    f.List.OnPressDelete = [&](TThumbItem *t) { events << QStringLiteral("delete %1").arg(f.Index(t)); };
    f.List.OnPressStars = [&](TThumbItem *t, int stars) { events << QStringLiteral("stars %1 %2").arg(f.Index(t)).arg(stars); };

    QTest::keyClick(&f.List, Qt::Key_Return);  // no current tile: nothing
    QTest::keyClick(&f.List, Qt::Key_Delete);
    QTest::keyClick(&f.List, Qt::Key_3, Qt::KeypadModifier);
    EXPECT_TRUE(events.empty());

    f.List.SetThumbIndex(2);
    QTest::keyClick(&f.List, Qt::Key_Return);
    QTest::keyClick(&f.List, Qt::Key_Delete);
    QTest::keyClick(&f.List, Qt::Key_4, Qt::KeypadModifier);
    QTest::keyClick(&f.List, Qt::Key_5);  // the main keyboard's digits do nothing
    QTest::keyClick(&f.List, Qt::Key_7, Qt::KeypadModifier);
    EXPECT_EQ(events, QStringList({"return 2", "delete 2", "stars 2 4"}));
    EXPECT_EQ(f.Tile(2).ItemData.Stars(), 4);
}

// --- mouse ---

TEST(ThumbsList, ClickMakesTheTileCurrentAndReportsIt)
{
    TListFixture f(272, 4);
    QTest::mouseClick(&f.Tile(2), Qt::LeftButton, {}, QPoint(60, 60));
    EXPECT_EQ(f.List.ThumbIndex(), 2);
    EXPECT_EQ(f.Events, QStringList({"selected 2", "click 2"}));
    EXPECT_TRUE(f.List.hasFocus());

    // Clicking the current tile again reports only the click.
    f.Events.clear();
    QTest::mouseClick(&f.Tile(2), Qt::LeftButton, {}, QPoint(60, 60));
    EXPECT_EQ(f.Events, QStringList({"click 2"}));

    // A release outside the tile is no click.
    f.Events.clear();
    QTest::mousePress(&f.Tile(1), Qt::LeftButton, {}, QPoint(60, 60));
    QTest::mouseRelease(&f.Tile(1), Qt::LeftButton, {}, QPoint(200, 60));
    EXPECT_TRUE(f.Events.empty());
}

TEST(ThumbsList, CtrlClickAddsToTheSelectionWithoutEvents)
{
    TListFixture f(272, 4);
    QTest::mouseClick(&f.Tile(0), Qt::LeftButton, {}, QPoint(60, 60));
    f.Events.clear();
    QTest::mouseClick(&f.Tile(3), Qt::LeftButton, Qt::ControlModifier, QPoint(60, 60));
    EXPECT_EQ(f.SelectedTiles(), (std::vector<int>{0, 3}));
    EXPECT_EQ(f.List.ThumbIndex(), 0);
    EXPECT_TRUE(f.Events.empty());
    EXPECT_EQ(f.List.GetSelectedThumbItem(), nullptr);
    EXPECT_EQ(f.List.GetThumbsSelectedCount(), 2);
    QStringList names;
    f.List.GetThumbsSelectedFilesList(names);
    EXPECT_EQ(names, QStringList({"/bilder/bild0.jpg", "/bilder/bild3.jpg"}));

    // A Ctrl+click never takes a tile out of the selection; a plain click selects one alone.
    QTest::mouseClick(&f.Tile(3), Qt::LeftButton, Qt::ControlModifier, QPoint(60, 60));
    EXPECT_EQ(f.SelectedTiles(), (std::vector<int>{0, 3}));
    QTest::mouseClick(&f.Tile(1), Qt::LeftButton, {}, QPoint(60, 60));
    EXPECT_EQ(f.SelectedTiles(), std::vector<int>{1});
    EXPECT_EQ(f.List.GetSelectedThumbItem(), &f.Tile(1));
}

TEST(ThumbsList, RightPressSelectsAndReportsTheTileBeforeItsMenuOpens)
{
    TListFixture f(272, 3);
    QMenu menu;
    menu.addAction(QStringLiteral("&Bild öffnen"));
    f.List.ItemPopupMenu = &menu;
    for (int i = 0; i < 3; ++i)  // tiles made before the menu was set get it with the next ones
        f.Tile(i).PopupMenu = &menu;
    bool menuOpenAtClick = true;
    f.List.ItemClick = [&](TThumbItem *t) {
        f.Clicked.push_back(f.Index(t));
        menuOpenAtClick = menu.isVisible();
    };
    f.List.SetThumbIndex(0);
    QTest::mousePress(&f.Tile(2), Qt::RightButton, {}, QPoint(60, 60));
    QContextMenuEvent contextMenu(QContextMenuEvent::Mouse, QPoint(60, 60), f.Tile(2).mapToGlobal(QPoint(60, 60)));
    QApplication::sendEvent(&f.Tile(2), &contextMenu);
    EXPECT_EQ(f.Clicked, std::vector<int>{2});
    EXPECT_FALSE(menuOpenAtClick);
    EXPECT_EQ(f.SelectedTiles(), std::vector<int>{2});
    EXPECT_TRUE(menu.isVisible());
    menu.close();
}

TEST(ThumbsList, DoubleClickReportsOnceAfterItsClick)
{
    TListFixture f(272, 3);
    // What the window system delivers: press, release, double-click press, release.
    QTest::mouseClick(&f.Tile(1), Qt::LeftButton, {}, QPoint(60, 60));
    QTest::mouseDClick(&f.Tile(1), Qt::LeftButton, {}, QPoint(60, 60));
    QTest::mouseRelease(&f.Tile(1), Qt::LeftButton, {}, QPoint(60, 60));
    EXPECT_EQ(f.Clicked, std::vector<int>{1});
    EXPECT_EQ(f.DoubleClicked, std::vector<int>{1});
    EXPECT_EQ(f.List.ThumbIndex(), 1);
    EXPECT_TRUE(f.Tile(1).IsDblClick());
}

TEST(ThumbsList, RefusedChangeLeavesEverything)
{
    TListFixture f(272, 3);
    f.List.SetThumbIndex(0);
    f.Selected.clear();
    std::vector<int> asked;
    f.List.OnBeforeSelected = [&](TThumbItem *t, bool &allow) {
        asked.push_back(f.Index(t));
        allow = false;
    };
    QTest::mouseClick(&f.Tile(2), Qt::LeftButton, {}, QPoint(60, 60));
    QTest::keyClick(&f.List, Qt::Key_Right);
    f.List.SetThumbIndex(1);
    EXPECT_EQ(asked, (std::vector<int>{2, 1, 1}));
    EXPECT_EQ(f.List.ThumbIndex(), 0);
    EXPECT_EQ(f.SelectedTiles(), std::vector<int>{0});
    EXPECT_TRUE(f.Selected.empty());
    EXPECT_TRUE(f.Clicked.empty());
}

TEST(ThumbsList, LeftPressArmsADragThatFivePixelsOfTravelDisarm)
{
    TListFixture f(272, 1);
    TThumbItem &tile = f.Tile(0);
    QTest::mousePress(&tile, Qt::LeftButton, {}, QPoint(50, 50));
    EXPECT_TRUE(tile.DragArmed());
    QTest::mouseMove(&tile, QPoint(54, 45));  // still inside -5 ... +4
    EXPECT_TRUE(tile.DragArmed());
    QTest::mouseMove(&tile, QPoint(55, 50));
    EXPECT_FALSE(tile.DragArmed());  // no identifier: no drag starts
    QTest::mouseRelease(&tile, Qt::LeftButton, {}, QPoint(55, 50));
    EXPECT_EQ(f.Clicked, std::vector<int>{0});
}

// --- removing ---

TEST(ThumbsList, DeleteSelectedRemovesEverySelectedTile)
{
    TListFixture f(272, 5);
    QTest::mouseClick(&f.Tile(1), Qt::LeftButton, {}, QPoint(60, 60));
    QTest::mouseClick(&f.Tile(3), Qt::LeftButton, Qt::ControlModifier, QPoint(60, 60));
    f.Selected.clear();
    f.List.DeleteSelectedThumbItems();
    QStringList names;
    f.List.GetFilesList(names);
    EXPECT_EQ(names, QStringList({"/bilder/bild0.jpg", "/bilder/bild2.jpg", "/bilder/bild4.jpg"}));
    EXPECT_EQ(f.List.ThumbIndex(), -1);
    EXPECT_TRUE(f.SelectedTiles().empty());
    EXPECT_TRUE(f.Selected.empty()) << "no event";
    EXPECT_EQ(f.Tile(2).pos(), QPoint(4, 128));  // laid out again

    f.List.SetThumbIndex(0);
    f.List.DeleteThumbItem(0);
    EXPECT_EQ(f.List.GetThumbsCount(), 2);
    EXPECT_EQ(f.List.ThumbIndex(), -1);
    f.List.DeleteThumbItem(7);  // out of range: only the index is reset
    EXPECT_EQ(f.List.GetThumbsCount(), 2);
}

TEST(ThumbsList, ClearReportsNoCurrentTileOnlyWhenItRemovedSome)
{
    TListFixture f(272, 3);
    f.List.SetThumbIndex(1);
    f.Selected.clear();
    f.List.ClearThumbs();
    EXPECT_EQ(f.List.GetThumbsCount(), 0);
    EXPECT_EQ(f.List.ThumbIndex(), -1);
    EXPECT_EQ(f.Selected, std::vector<int>{-1});
    EXPECT_EQ(f.List.verticalScrollBar()->maximum(), 0);
    f.List.ClearThumbs();
    EXPECT_EQ(f.Selected, std::vector<int>{-1});
}

// --- finding and sorting ---

TEST(ThumbsList, FileNamesMatchWithAsciiLettersInAnyCase)
{
    struct Case {
        QString stored, searched;
        bool found;
    };
    const Case cases[] = {
        {"C:\\BILDER\\FOTO.JPG", "C:\\Bilder\\foto.jpg", true},
        {"/home/a/Foto.jpg", "/home/a/foto.JPG", true},
        {"ÄRGER.jpg", "ärger.jpg", false},
        {"/a/b.jpg", "/a/b.jpg ", false},
        {"/a/b.jpg", "/a/c.jpg", false},
    };
    for (const Case &c : cases) {
        TThumbsList list;
        list.AddThumbItem({}, {}, "/first.jpg", {}, {}, 0, 0, nullptr, false);
        list.AddThumbItem({}, {}, c.stored, {}, {}, 0, 0, nullptr, false);
        EXPECT_EQ(list.GetThumbItemFromFilename(c.searched) != nullptr, c.found) << c.stored << " / " << c.searched;
        EXPECT_EQ(list.FindFilename(c.searched), c.found ? 1 : -1);
    }
}

TEST(ThumbsList, SortsOrdinallyByNameOrDate)
{
    TThumbsList list;
    const QStringList names{"b.jpg", "B.jpg", "ab.jpg", "a.jpg"};
    const QStringList dates{"2021", "2019", "2020", "20"};
    for (int i = 0; i < names.size(); ++i)
        list.AddThumbItem({}, {}, names[i], dates[i], {}, 0, 0, nullptr, false);
    QStringList result;
    list.ThumbsSortTyp = TThumbsSortTyp::tstNAME;
    list.ArrangeThumbs();
    list.GetFilesList(result);
    EXPECT_EQ(result, QStringList({"B.jpg", "a.jpg", "ab.jpg", "b.jpg"}));
    list.ThumbsSortTyp = TThumbsSortTyp::tstASC;
    list.ArrangeThumbs();
    list.GetFilesList(result);
    EXPECT_EQ(result, QStringList({"a.jpg", "B.jpg", "ab.jpg", "b.jpg"}));
    list.ThumbsSortTyp = TThumbsSortTyp::tstDESC;
    list.ArrangeThumbs();
    list.GetFilesList(result);
    EXPECT_EQ(result, QStringList({"b.jpg", "ab.jpg", "B.jpg", "a.jpg"}));
}

TEST(ThumbsList, CurrentTileFieldsAndIdentifiers)
{
    TThumbsList list;
    EXPECT_EQ(list.GetFilename(), QString());
    list.AddThumbItem("id1", "k1", "/a.jpg", "01.02.2003", "urlaub", 3, 2, nullptr, false);
    list.AddThumbItem({}, {}, "/b.jpg", {}, {}, 0, 0, nullptr, false);
    list.SetThumbIndex(0);
    EXPECT_EQ(list.GetDateiID(), "id1");
    EXPECT_EQ(list.GetGruppeID(), "k1");
    EXPECT_EQ(list.GetFilename(), "/a.jpg");
    EXPECT_EQ(list.GetTags(), "urlaub");
    EXPECT_EQ(list.GetThumbItemFromID("id1"), list.GetThumbItem(0));
    EXPECT_EQ(list.GetThumbItemFromID("ID1"), nullptr);
    EXPECT_TRUE(list.HasThumbsSelectedID());
    EXPECT_TRUE(list.HasThumbsSelectedKategorieID());
    list.SetThumbIndex(1);
    EXPECT_FALSE(list.HasThumbsSelectedID());
    QStringList ids{"old"};
    list.GetThumbsSelectedIDList(ids);
    EXPECT_TRUE(ids.isEmpty());
}

// --- item data ---

TEST(ItemData, NotifiesOnTheWatchedFieldsAndClearKeepsTheName)
{
    lmktest::TempFolder folder;
    folder.Write("foto.jpg", "not really a picture");
    TSmallIconList icons;
    TItemData data(&icons);
    int changes = 0;
    data.OnChange = [&](TItemData &) { ++changes; };
    data.SetFilename(folder.Path("fehlt.jpg"));
    EXPECT_EQ(data.IconIndex(), -1);
    data.DateiID = "x";
    data.Tags = "y";
    data.Datum = "z";
    data.SetStars(4);
    data.SetKategorie(2);
    data.SetBild(Picture(3, 3, 1, 1, 1));
    EXPECT_EQ(changes, 4);
    data.ClearData();
    EXPECT_EQ(changes, 5);
    EXPECT_EQ(data.DateiID, QString());
    EXPECT_EQ(data.Tags, QString());
    EXPECT_EQ(data.Stars(), 0);
    EXPECT_EQ(data.Kategorie(), 0);
    EXPECT_EQ(data.Bild(), nullptr);
    EXPECT_EQ(data.Filename(), folder.Path("fehlt.jpg"));
    EXPECT_EQ(data.Datum, "z");

    // The desktop's icon theme, where a desktop session would find it.
    QIcon::setThemeSearchPaths({QStringLiteral("/usr/share/icons")});
    QIcon::setThemeName(QStringLiteral("breeze"));
    data.SetFilename(folder.Path("foto.jpg"));
    ASSERT_GE(data.IconIndex(), 0) << "the icon theme has no icon for JPEG files";
    EXPECT_FALSE(icons.Icon(data.IconIndex()).isNull());
    TItemData other(&icons);
    other.SetFilename(folder.Path("foto.jpg"));
    EXPECT_EQ(other.IconIndex(), data.IconIndex()) << "one icon per file type";
}

TEST(ThumbItem, HintIsTheFileNameAndTheDate)
{
    TThumbsList list;
    TThumbItem *tile = list.AddThumbItem({}, {}, "/urlaub/strand.jpg", "12.08.2020", {}, 0, 0, nullptr, false);
    EXPECT_EQ(tile->toolTip(), "strand.jpg\n12.08.2020");
    tile->ItemData.Datum.clear();
    tile->ItemData.SetFilename("/urlaub/meer.png");
    EXPECT_EQ(tile->toolTip(), "meer.png");
    EXPECT_EQ(tile->cursor().shape(), Qt::PointingHandCursor);
}

// --- painting ---

TEST(ThumbItem, PaintsFillBorderPictureAndFrame)
{
    TListFixture f(272, 1);
    TThumbItem &tile = f.Tile(0);
    tile.ItemData.SetBild(Picture(105, 78, 200, 10, 20));
    QImage image = tile.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(image.size(), QSize(120, 120));
    EXPECT_EQ(image.pixel(1, 1), kNormalFill);
    EXPECT_EQ(image.pixel(0, 0), kNormalLight);
    EXPECT_EQ(image.pixel(0, 119), kNormalLight);
    EXPECT_EQ(image.pixel(60, 0), kNormalLight);
    EXPECT_EQ(image.pixel(119, 0), kDark);
    EXPECT_EQ(image.pixel(119, 119), kDark);
    EXPECT_EQ(image.pixel(60, 119), kDark);
    // The picture is centred in the 120-pixel square: x = 60 - 52, y = 60 - 39.
    EXPECT_EQ(image.pixel(8, 21), kDark);          // frame over its outermost pixels
    EXPECT_EQ(image.pixel(112, 98), kDark);
    EXPECT_EQ(image.pixel(9, 22), qRgb(200, 10, 20));
    EXPECT_EQ(image.pixel(111, 97), qRgb(200, 10, 20));
    EXPECT_EQ(image.pixel(7, 21), kNormalFill);
    EXPECT_EQ(image.pixel(113, 99), kNormalFill);

    tile.SetSelected(true);
    image = tile.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(image.pixel(1, 1), kSelectedFill);
    EXPECT_EQ(image.pixel(0, 50), kSelectedLight);

    tile.SetSelected(false);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(&tile, &enter);
    image = tile.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(tile.MouseOver());
    EXPECT_EQ(image.pixel(1, 1), kHoverFill);
    EXPECT_EQ(image.pixel(50, 0), kHoverLight);
}

TEST(ThumbItem, ThumbnailsTwoPixelsAcrossAreNotDrawn)
{
    for (const QSize size : {QSize(2, 50), QSize(50, 2)}) {
        TListFixture f(272, 1);
        f.Tile(0).ItemData.SetBild(Picture(size.width(), size.height(), 255, 0, 0));
        const QImage image = f.Tile(0).grab().toImage().convertToFormat(QImage::Format_RGB32);
        for (int y = 1; y < 119; ++y)
            for (int x = 1; x < 119; ++x)
                ASSERT_EQ(image.pixel(x, y), kNormalFill) << size.width() << " x " << size.height();
    }
}

TEST(ThumbItem, StarsAndCategoryGlyphsStandAtTheirPlaces)
{
    TThumbsList list;
    list.ShowNames = list.ShowIcons = false;
    list.ShowStars = list.ShowCategorys = true;
    list.show();
    TThumbItem *tile = list.AddThumbItem({}, "gruppe", "/a.jpg", {}, {}, 3, 4, nullptr, true);
    const QImage image = tile->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage stars = ThumbGlyph("STARS_3").convertToFormat(QImage::Format_RGB32);
    const QImage tag = ThumbGlyph("CATES_4").convertToFormat(QImage::Format_RGB32);
    int starPixels = 0;
    for (int y = 0; y < stars.height(); ++y)
        for (int x = 0; x < stars.width(); ++x) {
            const QRgb expected = stars.pixel(x, y) == stars.pixel(0, 0) ? kNormalFill : stars.pixel(x, y);
            ASSERT_EQ(image.pixel(5 + x, 5 + y), expected) << x << ", " << y;
            starPixels += expected != kNormalFill;
        }
    EXPECT_GT(starPixels, 3 * 20);
    const QRgb tagKey = tag.pixel(1, tag.height() - 1);
    for (int y = 0; y < tag.height(); ++y)
        for (int x = 0; x < tag.width(); ++x)
            ASSERT_EQ(image.pixel(5 + x, 92 + y), tag.pixel(x, y) == tagKey ? kNormalFill : tag.pixel(x, y));

    // Without a group identifier the category is not drawn.
    tile->ItemData.KategorieID.clear();
    const QImage plain = tile->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(plain.pixel(5 + 4, 92 + 5), kNormalFill);
}

TEST(ThumbGlyph, SizesAndKinds)
{
    const int starWidths[] = {10, 21, 32, 43, 54};
    for (int n = 1; n <= 5; ++n) {
        const QImage glyph = ThumbGlyph(QStringLiteral("STARS_%1").arg(n));
        EXPECT_EQ(glyph.size(), QSize(starWidths[n - 1], 10));
        EXPECT_EQ(glyph.format(), QImage::Format_Indexed8);
    }
    QSet<QRgb> tagColours;
    for (int n = 1; n <= 10; ++n) {
        const QImage glyph = ThumbGlyph(QStringLiteral("CATES_%1").arg(n));
        EXPECT_EQ(glyph.size(), QSize(9, 14));
        EXPECT_EQ(glyph.format(), QImage::Format_Indexed8);
        EXPECT_NE(glyph.pixel(4, 5), glyph.pixel(1, 13)) << "the tag stands out from its key colour";
        tagColours.insert(glyph.pixel(4, 5));
    }
    EXPECT_EQ(tagColours.size(), 10);
    EXPECT_TRUE(ThumbGlyph("STARS_6").isNull());
    EXPECT_TRUE(ThumbGlyph("CATES_0").isNull());
    EXPECT_TRUE(ThumbGlyph("LOGO").isNull());
}

TEST(ThumbItem, LongNamesAreShortenedWithAnEllipsis)
{
    QFont font(QStringLiteral("DejaVu Sans"), 8);
    const QFontMetrics metrics(font);
    EXPECT_EQ(ShortenedThumbName("kurz.jpg", metrics, 120), "kurz.jpg");
    const QString longName = "Sommerurlaub_an_der_Ostsee_2019_Tag_3.jpg";
    const QString shown = ShortenedThumbName(longName, metrics, 120);
    ASSERT_TRUE(shown.endsWith("..."));
    const QString kept = shown.chopped(3);
    EXPECT_TRUE(longName.startsWith(kept));
    EXPECT_LE(metrics.horizontalAdvance(kept), 95);
    EXPECT_GT(metrics.horizontalAdvance(longName.left(kept.size() + 1)), 95) << "cut no more than needed";

    // Drawn in the tile's lower text line, centred.
    TThumbsList list;
    list.ShowIcons = false;
    list.show();
    TThumbItem *tile = list.AddThumbItem({}, {}, "/x/" + longName, {}, {}, 0, 0, nullptr, true);
    const QImage image = tile->grab().toImage().convertToFormat(QImage::Format_RGB32);
    int textPixels = 0;
    for (int y = 100; y < 134; ++y)
        for (int x = 1; x < 119; ++x)
            textPixels += image.pixel(x, y) != kNormalFill;
    EXPECT_GT(textPixels, 50);
}

// --- wheel ---

TEST(ThumbsList, WheelScrollModeScrollsOneRowAndTakesTheFocus)
{
    TListFixture f(145, 10);
    QWidget other;
    other.show();
    other.setFocusPolicy(Qt::StrongFocus);
    f.List.ActivateMouseScroll();
    if (!f.List.MouseScrollOn())
        GTEST_SKIP() << "the window system reports no mouse wheel";
    auto turn = [&](int delta) {
        TThumbItem &tile = f.Tile(0);
        const QPoint local(30, 30);
        QWheelEvent wheel(local, tile.mapToGlobal(local), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(&tile, &wheel);
    };
    turn(120);  // towards the top at the top: nothing
    EXPECT_EQ(f.List.ScrollPosition(), 0);
    turn(-120);
    EXPECT_EQ(f.List.ScrollPosition(), 124);
    EXPECT_TRUE(f.List.hasFocus());
    turn(-120);
    turn(120);
    EXPECT_EQ(f.List.ScrollPosition(), 124);
    f.List.DeactivateMouseScroll();
    EXPECT_FALSE(f.List.MouseScrollOn());
}

}  // namespace
