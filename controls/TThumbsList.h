// SPDX-License-Identifier: GPL-3.0-or-later
// TThumbsList: a vertically scrolling list of picture tiles laid out in rows, left to right and
// top to bottom, in list order. TThumbItem is one tile: a light, windowless child that paints
// itself (background, border, picture, optional glyphs and texts) and reports mouse actions to
// the list. TItemData is the data behind a tile: file name, picture and a few descriptive fields.
#pragma once

#include "imaging/Bitmap.h"

#include <QColor>
#include <QHash>
#include <QIcon>
#include <QImage>
#include <QPoint>
#include <QScrollArea>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QFontMetrics;
class QMenu;

namespace lmk {

class TThumbItem;
class TThumbsList;

enum class TThumbsSortTyp { tstNONE, tstASC, tstDESC, tstNAME };
enum class TDragMode { dmManual, dmAutomatic };

// The desktop's small (16 x 16) file-type icons, collected as files are shown: an index per
// file type, handed out in the order the types were first met.
class TSmallIconList {
public:
    static constexpr int kIconSize = 16;
    // -1 when the file does not exist or the desktop has no icon for its type.
    int IconIndexOf(const QString &fileName);
    QIcon Icon(int index) const;
    int Count() const { return int(FIcons.size()); }

private:
    std::vector<QIcon> FIcons;
    QHash<QString, int> FIndexOfType;  // MIME type name -> index, -1 for types without icon
};

// The data behind a tile. Setting Filename, Stars, Kategorie or Bild and ClearData fire OnChange.
class TItemData {
public:
    explicit TItemData(TSmallIconList *icons = nullptr) : FIcons(icons) {}

    QString DateiID;      // the picture's identifier in a catalogue; a tile drags only with one
    QString KategorieID;  // the picture's group; the category glyph needs one

    const QString &Filename() const { return FFilename; }
    // Stores the name, then finds the file type's icon (-1 for a missing file), then notifies.
    void SetFilename(const QString &fileName);

    QString Tags;

    int Stars() const { return FStars; }  // rating 0 ... 5
    void SetStars(int stars);
    int Kategorie() const { return FKategorie; }  // category 1 ... 10, 0 = none
    void SetKategorie(int kategorie);

    const Bitmap *Bild() const { return FBild.get(); }  // the thumbnail; null for none
    Bitmap *Bild() { return FBild.get(); }
    void SetBild(std::unique_ptr<Bitmap> bild);

    QString Datum;  // a date text shown under the picture and used for sorting

    int IconIndex() const { return FIconIndex; }  // into the list's TSmallIconList; -1 = none

    std::function<void(TItemData &sender)> OnChange;

    // Empties DateiID, KategorieID and Tags, zeroes Stars and Kategorie, frees Bild and
    // notifies; Filename, Datum and IconIndex stay.
    void ClearData();

private:
    void Changed();

    TSmallIconList *FIcons;
    QString FFilename;
    int FStars = 0;
    int FKategorie = 0;
    std::unique_ptr<Bitmap> FBild;
    int FIconIndex = -1;
};

// Height below the picture square of a tile: the border and a text line for each of name and date.
int ThumbExtraHeight(bool showName, bool showDate);
// A tile's size for a picture area of `thumbsSize`.
QSize ThumbTileSize(int thumbsSize, bool showName, bool showDate);

// One tile. Its geometry and flags are set by the list; it paints only its current state.
class TThumbItem : public QWidget {
    Q_OBJECT
public:
    TThumbItem(TThumbsList &list, TSmallIconList *icons, QWidget *parent);

    TItemData ItemData;

    int ThumbsSize() const { return FThumbsSize; }
    // Resizes the tile to ThumbTileSize(size, ShowName, ShowDate) and repaints.
    void SetThumbsSize(int size);

    bool ShowFrame = true, ShowIcon = true, ShowStars = true, ShowName = true;
    bool ShowDate = false, ShowCategory = false;

    bool MouseOver() const { return FEnter; }
    bool Selected() const { return FSelected; }
    void SetSelected(bool selected);
    bool IsDblClick() const { return FIsDblClick; }  // the last click was a double click
    bool DragArmed() const { return FDragDown; }     // left button down, waiting for a drag

    // While set, the tile neither asks for repaints nor paints its content.
    bool LockedDraw = false;

    TDragMode DragMode = TDragMode::dmManual;
    QMenu *PopupMenu = nullptr;  // the context menu, opened with the right button

    // Repaints unless LockedDraw.
    void Repaint();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void DataChanged();
    void StartDrag();

    TThumbsList &FList;
    int FThumbsSize = 100;
    bool FEnter = false;
    bool FSelected = false;
    bool FIsDblClick = false;
    bool FDragDown = false;
    QPoint FDragPoint;
    bool FClickPending = false;  // a left press on the tile that its release turns into a click
};

// The result of laying out `count` equal tiles: the tiles' top-left corners, and the two counts
// the keys need. RowsCount counts the line wraps; ColsCount counts the tiles of the first row
// that were placed before it was closed by a wrap (so one less than the row's tiles when a wrap
// closed it, and all tiles when they stand in one row).
struct TThumbsLayout {
    std::vector<QPoint> Positions;
    int ColsCount = 0;
    int RowsCount = 0;
};
TThumbsLayout LayOutThumbs(int count, QSize tile, int listWidth, int scrollBarWidth);

// Where a key moves the current tile: the target index and whether the list scrolls up or down
// to show it; nullopt when the key does not move (Home, End, arrows; other keys never move).
struct TThumbMove {
    int Target;
    bool Upward;
    bool operator==(const TThumbMove &) const = default;
};
std::optional<TThumbMove> ThumbMoveForKey(int key, int thumbIndex, int count, int colsCount);

// The name shown under a picture: unchanged when it fits into tileWidth - 10, else cut until it
// fits into tileWidth - 25 and followed by "...".
QString ShortenedThumbName(const QString &name, const QFontMetrics &metrics, int tileWidth);

// The tiles' glyph images by name: "STARS_1" ... "STARS_5" (n stars, 10 pixels high, 11n - 1
// wide) and "CATES_1" ... "CATES_10" (a coloured tag of 9 x 14), 8 bits per pixel with a
// colour table; a null image for any other name.
QImage ThumbGlyph(const QString &name);

// ASCII letters a-z compared without regard to case, every other character exactly.
bool SameFilenameAsciiCase(const QString &a, const QString &b);

class TThumbsList : public QScrollArea {
    Q_OBJECT
public:
    using TOnBeforeSelected = std::function<void(TThumbItem *sender, bool &allowChange)>;
    using TOnItemSelected = std::function<void(TThumbItem *sender)>;
    using TOnPressKeyEvent = std::function<void(TThumbItem *sender)>;
    using TOnPressStars = std::function<void(TThumbItem *sender, int stars)>;
    using TOnItemDragEvent = std::function<void(QObject *sender, QObject *source)>;

    explicit TThumbsList(QWidget *parent = nullptr);
    ~TThumbsList() override;

    int ScrollBarWidth = 20;  // room the layout keeps for the vertical scroll bar
    int ThumbsSize() const { return FThumbsSize; }
    // Stores the size, gives it to every tile and lays them out again.
    void SetThumbsSize(int size);
    int ThumbIndex() const { return FThumbIndex; }  // the current tile, -1 for none
    // Makes tile `index` current and scrolls it into view (see the .cpp for the rules).
    void SetThumbIndex(int index);
    int ColsCount() const { return FColsCount; }
    int RowsCount() const { return FRowsCount; }
    TDragMode ThumbsDragMode = TDragMode::dmManual;  // given to every new tile

    // Copied to the tiles at the next ArrangeThumbs.
    bool ShowFrames = true, ShowIcons = true, ShowStars = true, ShowNames = true;
    bool ShowDates = false, ShowCategorys = false;
    TThumbsSortTyp ThumbsSortTyp = TThumbsSortTyp::tstNONE;
    QMenu *ItemPopupMenu = nullptr;  // given to every new tile as its context menu

    TOnBeforeSelected OnBeforeSelected;  // before a tile becomes current; false cancels
    TOnItemSelected OnItemSelected;      // the current tile changed (null after ClearThumbs)
    TOnPressKeyEvent OnPressReturn;
    TOnPressKeyEvent OnPressDelete;
    TOnPressStars OnPressStars;          // a keypad digit 0 ... 5 rated the current tile
    std::function<void(TThumbsList &sender)> AfterArrange;
    TOnItemSelected ItemClick;
    TOnItemSelected ItemDblClick;
    TOnItemDragEvent ItemDragOver;
    TOnItemDragEvent ItemDragDrop;

    // Appends a tile (hidden until the next layout); lays out when `doUpdate` and not updating.
    TThumbItem *AddThumbItem(const QString &dateiId, const QString &kategorieId, const QString &fileName,
                             const QString &datum, const QString &tags, int stars, int kategorie,
                             std::unique_ptr<Bitmap> bild, bool doUpdate);
    TThumbItem *GetThumbItem(int index) const;
    TThumbItem *GetThumbItemFromFilename(const QString &fileName) const;
    int FindFilename(const QString &fileName) const;
    TThumbItem *GetThumbItemFromID(const QString &id) const;
    int GetThumbsCount() const { return int(FThumbsItems.size()); }
    int GetThumbsSelectedCount() const;
    // The selected tile when exactly one is selected, else null.
    TThumbItem *GetSelectedThumbItem() const;
    // Fields of the current tile; empty without one.
    QString GetDateiID() const;
    QString GetGruppeID() const;
    QString GetFilename() const;
    QString GetTags() const;
    void GetFilesList(QStringList &strings) const;
    void GetThumbsSelectedFilesList(QStringList &strings) const;
    void GetThumbsSelectedIDList(QStringList &strings) const;
    bool HasThumbsSelectedID() const;
    bool HasThumbsSelectedKategorieID() const;
    void ThumbsSelectedUpdate();
    void DeleteThumbItem(int index);
    void DeleteSelectedThumbItems();
    void ClearThumbs();
    void SortThumbs();
    void ArrangeThumbs();
    // Update mode is a flag, not a counter: while it is set, ArrangeThumbs, ClearThumbs and the
    // layout on resize do nothing and the window does not redraw.
    void BeginUpdate();
    void EndUpdate();
    bool IsUpdating() const { return FIsUpdate; }
    // The wheel-scroll mode: while the pointer is over the list, it takes the keyboard focus
    // and a wheel turn scrolls by one row of tiles, nothing else.
    void ActivateMouseScroll();
    void DeactivateMouseScroll();
    bool MouseScrollOn() const { return FMouseScrollOn; }
    // Moves the spacer below the last tile (to 0 without tiles) and sizes the scrolled area.
    void SpacePositionUpdate();

    // The background behind the tiles.
    QColor Color() const;
    void SetColor(const QColor &color);
    int ScrollPosition() const;
    void SetScrollPosition(int position);
    TSmallIconList &SmallIcons() { return FSmallIcons; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    friend class TThumbItem;
    void ApplyTileSettings(TThumbItem &tile) const;
    bool AllowChange(TThumbItem *tile) const;
    int IndexOf(const TThumbItem *tile) const;
    void TileClicked(TThumbItem &tile, Qt::KeyboardModifiers modifiers);
    void TileDoubleClicked(TThumbItem &tile);
    void MoveToTile(int target, bool upward);
    bool HandleMouseScrollEvent(QObject *watched, QEvent *event);

    TSmallIconList FSmallIcons;  // declared first: the tiles' data refer to it
    QWidget *FContent;           // the scrolled area holding the tiles
    int FThumbsSize = 100;
    std::vector<TThumbItem *> FThumbsItems;  // owned (Qt children of FContent)
    int FThumbIndex = -1;
    int FColsCount = 0;
    int FRowsCount = 0;
    QWidget *FShapeSpace;  // invisible 50 x 4 spacer below the last tile
    bool FIsUpdate = false;
    bool FMouseScrollOn = false;
};

}  // namespace lmk
