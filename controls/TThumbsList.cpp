// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/TThumbsList.h"

#include <QApplication>
#include <QDrag>
#include <QFileInfo>
#include <QFontMetrics>
#include <QInputDevice>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMimeDatabase>
#include <QPainter>
#include <QPointingDevice>
#include <QScrollBar>
#include <QUrl>
#include <algorithm>
#include <array>
#include <cmath>
#include <map>

namespace lmk {

namespace {

constexpr int kTileSpacing = 4;      // between tiles and around them
constexpr int kPictureMargin = 20;   // a tile is this much wider than its picture area
constexpr int kDragDistance = 5;     // pointer travel that turns a press into a drag
constexpr int kSpacerWidth = 50;
constexpr int kSpacerHeight = 4;
constexpr int kTextMargin = 5;
constexpr int kDefaultListWidth = 400;
constexpr int kDefaultListHeight = 300;

const QColor kListBackground(0x19, 0x19, 0x19);
const QColor kDarkEdge(0x19, 0x19, 0x19);
const QColor kPictureFrame(0x19, 0x19, 0x19);
const QColor kHoverFill(0x45, 0x45, 0x45), kHoverLight(0x75, 0x75, 0x75);
const QColor kSelectedFill(0x18, 0x3E, 0x4B), kSelectedLight(0x45, 0x7A, 0x92);
const QColor kNormalFill(0x33, 0x33, 0x33), kNormalLight(0x5D, 0x5D, 0x5D);
const QColor kSelectedText(0xBB, 0xB8, 0xB8), kNormalText(0x75, 0x75, 0x75);

// Glyph colours: the key colour is the transparent background.
const QColor kGlyphKey(0xFF, 0x00, 0xFF);
const QColor kStarFill(0xF5, 0xC5, 0x18), kStarEdge(0x8C, 0x64, 0x00);
const std::array<QColor, 10> kCategoryColours{
    QColor(0xD9, 0x30, 0x30), QColor(0xF0, 0x8A, 0x1C), QColor(0xF2, 0xD0, 0x1E), QColor(0x4C, 0xB0, 0x3A),
    QColor(0x20, 0xA8, 0xA0), QColor(0x2F, 0x6F, 0xD8), QColor(0x8A, 0x4F, 0xD0), QColor(0xE0, 0x5C, 0xB0),
    QColor(0x8B, 0x5A, 0x2B), QColor(0x9A, 0x9A, 0x9A)};
const QColor kCategoryEdge(0x10, 0x10, 0x10);
constexpr int kStarSize = 10;     // one star; stars stand 1 pixel apart
constexpr int kCategoryWidth = 9;
constexpr int kCategoryHeight = 14;

QFont TileFont()
{
    QFont font(QStringLiteral("Tahoma"), 8);
    // Tahoma is rarely installed here; DejaVu Sans has the same wide, open letter forms.
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans")});
    return font;
}

// Blank as the program's texts count it: nothing but spaces and control characters.
bool IsBlank(const QString &text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() <= ' '; });
}

QString FileNamePart(const QString &path) { return QFileInfo(path).fileName(); }

QPolygon StarPolygon(int left)
{
    // Five outer and five inner corners around the centre of a 10 x 10 cell, pointing up.
    QPolygon polygon;
    const double cx = left + 4.5, cy = 5.2, outer = 5.0, inner = 2.1;
    for (int i = 0; i < 10; ++i) {
        const double angle = -M_PI / 2 + i * M_PI / 5;
        const double radius = i % 2 == 0 ? outer : inner;
        polygon << QPoint(int(std::lround(cx + radius * std::cos(angle))), int(std::lround(cy + radius * std::sin(angle))));
    }
    return polygon;
}

// Paints with the few colours of `colours` (no smoothing), then stores the image with a colour
// table of exactly these colours.
QImage IndexedGlyph(QSize size, const QList<QRgb> &colours, const std::function<void(QPainter &)> &draw)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(kGlyphKey);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, false);
        draw(painter);
    }
    return image.convertToFormat(QImage::Format_Indexed8, colours, Qt::ThresholdDither | Qt::AvoidDither);
}

QImage StarsGlyph(int stars)
{
    const int width = stars * (kStarSize + 1) - 1;
    return IndexedGlyph(QSize(width, kStarSize), {kGlyphKey.rgb(), kStarFill.rgb(), kStarEdge.rgb()},
                        [stars](QPainter &painter) {
                            painter.setPen(QPen(kStarEdge, 0));
                            painter.setBrush(kStarFill);
                            for (int i = 0; i < stars; ++i)
                                painter.drawPolygon(StarPolygon(i * (kStarSize + 1)));
                        });
}

QImage CategoryGlyph(int category)
{
    const QColor fill = kCategoryColours[std::size_t(category - 1)];
    return IndexedGlyph(QSize(kCategoryWidth, kCategoryHeight), {kGlyphKey.rgb(), fill.rgb(), kCategoryEdge.rgb()},
                        [fill](QPainter &painter) {
                            // A tag pointing down: its tip leaves the bottom row's corners free.
                            const QPolygon tag{QPoint(0, 0), QPoint(8, 0), QPoint(8, 9), QPoint(4, 13), QPoint(0, 9)};
                            painter.setPen(QPen(kCategoryEdge, 0));
                            painter.setBrush(fill);
                            painter.drawPolygon(tag);
                        });
}

// The glyph as it is drawn: the colour of `keyPixel` transparent (a colour-keyed copy).
const QImage &KeyedGlyph(const QString &name, QPoint keyPixel)
{
    static std::map<QString, QImage> cache;
    auto found = cache.find(name);
    if (found != cache.end())
        return found->second;
    QImage image = ThumbGlyph(name).convertToFormat(QImage::Format_ARGB32);
    const QRgb key = image.pixel(keyPixel);
    for (int y = 0; y < image.height(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (row[x] == key)
                row[x] = 0;
    }
    return cache.emplace(name, std::move(image)).first->second;
}

bool SystemHasMouseWheel()
{
    const auto devices = QInputDevice::devices();
    for (const QInputDevice *device : devices)
        if (device->capabilities().testFlag(QInputDevice::Capability::Scroll))
            return true;
    // Window systems that list no devices still deliver wheel turns through the core pointer.
    const QPointingDevice *pointer = QPointingDevice::primaryPointingDevice();
    return pointer && pointer->type() == QInputDevice::DeviceType::Mouse;
}

int Clamped(int value, const QScrollBar &bar) { return std::clamp(value, bar.minimum(), bar.maximum()); }

}  // namespace

// --- TSmallIconList ---

int TSmallIconList::IconIndexOf(const QString &fileName)
{
    const QFileInfo info(fileName);
    if (!info.isFile())
        return -1;
    // By the name only: reading every archived file's content would cost far more than it tells.
    const QMimeType type = QMimeDatabase().mimeTypeForFile(info, QMimeDatabase::MatchExtension);
    const auto known = FIndexOfType.constFind(type.name());
    if (known != FIndexOfType.constEnd())
        return *known;
    QIcon icon = QIcon::fromTheme(type.iconName());
    if (icon.isNull())
        icon = QIcon::fromTheme(type.genericIconName());
    int index = -1;
    if (!icon.isNull()) {
        index = int(FIcons.size());
        FIcons.push_back(icon);
    }
    FIndexOfType.insert(type.name(), index);
    return index;
}

QIcon TSmallIconList::Icon(int index) const
{
    return index >= 0 && index < Count() ? FIcons[std::size_t(index)] : QIcon();
}

// --- TItemData ---

void TItemData::Changed()
{
    if (OnChange)
        OnChange(*this);
}

void TItemData::SetFilename(const QString &fileName)
{
    FFilename = fileName;
    FIconIndex = FIcons ? FIcons->IconIndexOf(fileName) : -1;
    Changed();
}

void TItemData::SetStars(int stars)
{
    FStars = stars;
    Changed();
}

void TItemData::SetKategorie(int kategorie)
{
    FKategorie = kategorie;
    Changed();
}

void TItemData::SetBild(std::unique_ptr<Bitmap> bild)
{
    FBild = std::move(bild);
    Changed();
}

void TItemData::ClearData()
{
    DateiID.clear();
    KategorieID.clear();
    Tags.clear();
    FStars = 0;
    FKategorie = 0;
    FBild.reset();
    Changed();
}

// --- layout helpers ---

int ThumbExtraHeight(bool showName, bool showDate)
{
    if (showName && showDate)
        return 45;
    if (showName || showDate)
        return 35;
    return 20;
}

QSize ThumbTileSize(int thumbsSize, bool showName, bool showDate)
{
    return {thumbsSize + kPictureMargin, thumbsSize + ThumbExtraHeight(showName, showDate)};
}

TThumbsLayout LayOutThumbs(int count, QSize tile, int listWidth, int scrollBarWidth)
{
    TThumbsLayout layout;
    layout.Positions.reserve(std::size_t(std::max(count, 0)));
    int left = kTileSpacing, top = kTileSpacing;
    bool firstRow = true;
    for (int i = 0; i < count; ++i) {
        const QPoint position(left, top);
        layout.Positions.push_back(position);
        left = position.x() + tile.width() + kTileSpacing;
        if (left + tile.width() + kTileSpacing > listWidth - scrollBarWidth) {
            top = position.y() + tile.height() + kTileSpacing;
            left = kTileSpacing;
            ++layout.RowsCount;
            firstRow = false;
        }
        if (firstRow)
            ++layout.ColsCount;
    }
    return layout;
}

std::optional<TThumbMove> ThumbMoveForKey(int key, int thumbIndex, int count, int colsCount)
{
    const int rowStep = colsCount + 1;
    switch (key) {
    case Qt::Key_Home:
        if (thumbIndex > 0)
            return TThumbMove{0, true};
        break;
    case Qt::Key_End:
        if (thumbIndex < count - 1 && count > 0)
            return TThumbMove{count - 1, false};
        break;
    case Qt::Key_Left:
        if (thumbIndex > 0)
            return TThumbMove{thumbIndex - 1, true};
        break;
    case Qt::Key_Right:
        if (thumbIndex < count - 1)
            return TThumbMove{thumbIndex + 1, false};
        break;
    case Qt::Key_Up:
        if (thumbIndex - rowStep >= 0)
            return TThumbMove{thumbIndex - rowStep, true};
        break;
    case Qt::Key_Down:
        if (thumbIndex + rowStep < count)
            return TThumbMove{thumbIndex + rowStep, false};
        break;
    default:
        break;
    }
    return std::nullopt;
}

QString ShortenedThumbName(const QString &name, const QFontMetrics &metrics, int tileWidth)
{
    if (metrics.horizontalAdvance(name) <= tileWidth - 10)
        return name;
    QString shortened = name;
    while (!shortened.isEmpty() && metrics.horizontalAdvance(shortened) > tileWidth - 25)
        shortened.chop(1);
    return shortened + QStringLiteral("...");
}

QImage ThumbGlyph(const QString &name)
{
    bool ok = false;
    if (name.startsWith(QLatin1String("STARS_"))) {
        const int stars = name.mid(6).toInt(&ok);
        if (ok && stars >= 1 && stars <= 5)
            return StarsGlyph(stars);
    } else if (name.startsWith(QLatin1String("CATES_"))) {
        const int category = name.mid(6).toInt(&ok);
        if (ok && category >= 1 && category <= 10)
            return CategoryGlyph(category);
    }
    return {};
}

bool SameFilenameAsciiCase(const QString &a, const QString &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        char16_t x = a[i].unicode(), y = b[i].unicode();
        if (x >= 'A' && x <= 'Z')
            x = char16_t(x + ('a' - 'A'));
        if (y >= 'A' && y <= 'Z')
            y = char16_t(y + ('a' - 'A'));
        if (x != y)
            return false;
    }
    return true;
}

// --- TThumbItem ---

TThumbItem::TThumbItem(TThumbsList &list, TSmallIconList *icons, QWidget *parent)
    : QWidget(parent), ItemData(icons), FList(list)
{
    ItemData.OnChange = [this](TItemData &) { DataChanged(); };
    resize(120, 130);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    setAcceptDrops(true);
}

void TThumbItem::Repaint()
{
    if (!LockedDraw)
        update();
}

void TThumbItem::SetThumbsSize(int size)
{
    FThumbsSize = size;
    resize(ThumbTileSize(size, ShowName, ShowDate));
    Repaint();
}

void TThumbItem::SetSelected(bool selected)
{
    FSelected = selected;
    Repaint();
}

void TThumbItem::DataChanged()
{
    Repaint();
    QString hint = FileNamePart(ItemData.Filename());
    if (!ItemData.Datum.isEmpty())
        hint += '\n' + ItemData.Datum;
    setToolTip(hint);
}

void TThumbItem::paintEvent(QPaintEvent *)
{
    if (LockedDraw)
        return;
    QPainter painter(this);
    const int w = width(), h = height();

    QColor fill = kNormalFill, light = kNormalLight;
    if (FSelected) {
        fill = kSelectedFill;
        light = kSelectedLight;
    } else if (FEnter) {
        fill = kHoverFill;
        light = kHoverLight;
    }
    painter.fillRect(rect(), fill);
    // Light top and left edges, dark right and bottom ones; the bottom-left corner stays light.
    painter.fillRect(QRect(0, 0, w - 1, 1), light);
    painter.fillRect(QRect(w - 1, 0, 1, h), kDarkEdge);
    painter.fillRect(QRect(1, h - 1, w - 1, 1), kDarkEdge);
    painter.fillRect(QRect(0, 0, 1, h), light);

    const int square = FThumbsSize + kPictureMargin;
    if (const Bitmap *bild = ItemData.Bild(); bild && bild->Width() > 2 && bild->Height() > 2) {
        const int x = square / 2 - bild->Width() / 2;
        const int y = square / 2 - bild->Height() / 2;
        painter.drawImage(x, y, bild->WrapAsQImage());
        if (ShowFrame) {
            const QRect frame(x, y, bild->Width(), bild->Height());
            painter.fillRect(QRect(frame.left(), frame.top(), frame.width(), 1), kPictureFrame);
            painter.fillRect(QRect(frame.left(), frame.bottom(), frame.width(), 1), kPictureFrame);
            painter.fillRect(QRect(frame.left(), frame.top(), 1, frame.height()), kPictureFrame);
            painter.fillRect(QRect(frame.right(), frame.top(), 1, frame.height()), kPictureFrame);
        }
    }
    if (ShowIcon && ItemData.IconIndex() >= 0)
        FList.SmallIcons().Icon(ItemData.IconIndex())
            .paint(&painter, QRect(w - 23, 5, TSmallIconList::kIconSize, TSmallIconList::kIconSize));
    if (ShowStars && ItemData.Stars() >= 1 && ItemData.Stars() <= 5)
        painter.drawImage(5, 5, KeyedGlyph(QStringLiteral("STARS_%1").arg(ItemData.Stars()), QPoint(0, 0)));
    if (ShowCategory && !ItemData.KategorieID.isEmpty() && ItemData.Kategorie() >= 1 && ItemData.Kategorie() <= 10)
        painter.drawImage(5, FThumbsSize - 8,
                          KeyedGlyph(QStringLiteral("CATES_%1").arg(ItemData.Kategorie()), QPoint(1, kCategoryHeight - 1)));

    const bool name = ShowName && !IsBlank(ItemData.Filename());
    const bool date = ShowDate && !IsBlank(ItemData.Datum);
    if (!name && !date)
        return;
    painter.setFont(TileFont());
    painter.setPen(FSelected ? kSelectedText : kNormalText);
    const QFontMetrics metrics = painter.fontMetrics();
    const int th = metrics.height();
    const int flags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine;
    if (name) {
        const int top = ShowDate ? h - 2 * th - 5 : h - th - 5;
        painter.drawText(QRect(kTextMargin, top, w - 2 * kTextMargin, th), flags,
                         ShortenedThumbName(FileNamePart(ItemData.Filename()), metrics, w));
    }
    if (date)
        painter.drawText(QRect(kTextMargin, h - th - 5, w - 2 * kTextMargin, th), flags, ItemData.Datum);
}

void TThumbItem::mousePressEvent(QMouseEvent *event)
{
    if (FIsDblClick)
        return;
    if (event->button() == Qt::LeftButton) {
        FClickPending = true;
        if (DragMode == TDragMode::dmManual) {
            FDragPoint = event->position().toPoint();
            FDragDown = true;
        } else if (!ItemData.DateiID.isEmpty()) {
            FClickPending = false;
            StartDrag();
        }
    } else if (event->button() == Qt::RightButton) {
        // The tile under the pointer is selected and reported before its context menu opens.
        FIsDblClick = false;
        FList.TileClicked(*this, event->modifiers());
    }
}

void TThumbItem::mouseMoveEvent(QMouseEvent *event)
{
    if (!FDragDown || FIsDblClick)
        return;
    const QPoint p = event->position().toPoint();
    const bool inside = p.x() >= FDragPoint.x() - kDragDistance && p.x() < FDragPoint.x() + kDragDistance &&
                        p.y() >= FDragPoint.y() - kDragDistance && p.y() < FDragPoint.y() + kDragDistance;
    if (inside)
        return;
    FDragDown = false;
    if (!ItemData.DateiID.isEmpty()) {
        FClickPending = false;
        StartDrag();
    }
}

void TThumbItem::mouseReleaseEvent(QMouseEvent *event)
{
    FDragDown = false;
    const bool click = event->button() == Qt::LeftButton && FClickPending && rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        FClickPending = false;
    if (click) {
        FIsDblClick = false;
        FList.TileClicked(*this, event->modifiers());  // last: the handler may change the list
    }
}

void TThumbItem::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    FIsDblClick = true;
    FClickPending = false;  // the release that ends a double click is no click of its own
    FDragDown = false;
    FList.TileDoubleClicked(*this);
}

void TThumbItem::enterEvent(QEnterEvent *)
{
    if (FEnter)
        return;
    FEnter = true;
    Repaint();
}

void TThumbItem::leaveEvent(QEvent *)
{
    FDragDown = false;
    FEnter = false;
    Repaint();
}

void TThumbItem::contextMenuEvent(QContextMenuEvent *event)
{
    if (!PopupMenu) {
        event->ignore();
        return;
    }
    PopupMenu->popup(event->globalPos());
}

void TThumbItem::StartDrag()
{
    auto *drag = new QDrag(this);
    auto *data = new QMimeData;
    data->setUrls({QUrl::fromLocalFile(ItemData.Filename())});
    drag->setMimeData(data);
    drag->exec(Qt::CopyAction | Qt::MoveAction);
}

void TThumbItem::dragEnterEvent(QDragEnterEvent *event)
{
    if (qobject_cast<TThumbItem *>(event->source()) && FList.ItemDragDrop)
        event->acceptProposedAction();
}

void TThumbItem::dragMoveEvent(QDragMoveEvent *event)
{
    if (FList.ItemDragOver)
        FList.ItemDragOver(this, event->source());
    if (qobject_cast<TThumbItem *>(event->source()) && FList.ItemDragDrop)
        event->acceptProposedAction();
}

void TThumbItem::dropEvent(QDropEvent *event)
{
    if (FList.ItemDragDrop) {
        event->acceptProposedAction();
        FList.ItemDragDrop(this, event->source());
    }
}

// --- TThumbsList ---

TThumbsList::TThumbsList(QWidget *parent)
    : QScrollArea(parent), FContent(new QWidget), FShapeSpace(new QWidget(FContent))
{
    resize(kDefaultListWidth, kDefaultListHeight);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::StrongFocus);
    setWidgetResizable(false);
    FShapeSpace->setGeometry(0, 0, kSpacerWidth, kSpacerHeight);
    FShapeSpace->setAttribute(Qt::WA_TransparentForMouseEvents);
    setWidget(FContent);
    SetColor(kListBackground);
    SpacePositionUpdate();
}

TThumbsList::~TThumbsList()
{
    DeactivateMouseScroll();
    for (TThumbItem *tile : FThumbsItems)
        delete tile;
}

void TThumbsList::SetColor(const QColor &color)
{
    for (QWidget *widget : {static_cast<QWidget *>(viewport()), FContent}) {
        QPalette palette = widget->palette();
        palette.setColor(QPalette::Window, color);
        widget->setPalette(palette);
        widget->setAutoFillBackground(true);
    }
}

QColor TThumbsList::Color() const { return FContent->palette().color(QPalette::Window); }

int TThumbsList::ScrollPosition() const { return verticalScrollBar()->value(); }

void TThumbsList::SetScrollPosition(int position) { verticalScrollBar()->setValue(Clamped(position, *verticalScrollBar())); }

void TThumbsList::ApplyTileSettings(TThumbItem &tile) const
{
    // The flags first: the tile's height depends on whether it shows a name and a date.
    tile.ShowFrame = ShowFrames;
    tile.ShowIcon = ShowIcons;
    tile.ShowStars = ShowStars;
    tile.ShowName = ShowNames;
    tile.ShowDate = ShowDates;
    tile.ShowCategory = ShowCategorys;
    tile.SetThumbsSize(FThumbsSize);
}

TThumbItem *TThumbsList::AddThumbItem(const QString &dateiId, const QString &kategorieId, const QString &fileName,
                                      const QString &datum, const QString &tags, int stars, int kategorie,
                                      std::unique_ptr<Bitmap> bild, bool doUpdate)
{
    auto tile = std::make_unique<TThumbItem>(*this, &FSmallIcons, FContent);
    tile->LockedDraw = true;
    ApplyTileSettings(*tile);
    TItemData &data = tile->ItemData;
    data.DateiID = dateiId;
    data.KategorieID = kategorieId;
    data.SetFilename(fileName);
    data.Datum = datum;
    data.Tags = tags;
    data.SetStars(stars);
    data.SetKategorie(kategorie);
    data.SetBild(std::move(bild));
    tile->hide();
    tile->DragMode = ThumbsDragMode;
    tile->PopupMenu = ItemPopupMenu;
    tile->LockedDraw = false;
    TThumbItem *added = tile.get();
    FThumbsItems.push_back(tile.release());
    if (doUpdate && !FIsUpdate)
        ArrangeThumbs();
    return added;
}

TThumbItem *TThumbsList::GetThumbItem(int index) const
{
    return index >= 0 && index < GetThumbsCount() ? FThumbsItems[std::size_t(index)] : nullptr;
}

int TThumbsList::FindFilename(const QString &fileName) const
{
    for (int i = 0; i < GetThumbsCount(); ++i)
        if (SameFilenameAsciiCase(FThumbsItems[std::size_t(i)]->ItemData.Filename(), fileName))
            return i;
    return -1;
}

TThumbItem *TThumbsList::GetThumbItemFromFilename(const QString &fileName) const
{
    return GetThumbItem(FindFilename(fileName));
}

TThumbItem *TThumbsList::GetThumbItemFromID(const QString &id) const
{
    for (TThumbItem *tile : FThumbsItems)
        if (tile->ItemData.DateiID == id)
            return tile;
    return nullptr;
}

int TThumbsList::GetThumbsSelectedCount() const
{
    return int(std::count_if(FThumbsItems.begin(), FThumbsItems.end(), [](const TThumbItem *t) { return t->Selected(); }));
}

TThumbItem *TThumbsList::GetSelectedThumbItem() const
{
    if (GetThumbsSelectedCount() != 1)
        return nullptr;
    return *std::find_if(FThumbsItems.begin(), FThumbsItems.end(), [](const TThumbItem *t) { return t->Selected(); });
}

QString TThumbsList::GetDateiID() const
{
    const TThumbItem *tile = GetThumbItem(FThumbIndex);
    return tile ? tile->ItemData.DateiID : QString();
}

QString TThumbsList::GetGruppeID() const
{
    const TThumbItem *tile = GetThumbItem(FThumbIndex);
    return tile ? tile->ItemData.KategorieID : QString();
}

QString TThumbsList::GetFilename() const
{
    const TThumbItem *tile = GetThumbItem(FThumbIndex);
    return tile ? tile->ItemData.Filename() : QString();
}

QString TThumbsList::GetTags() const
{
    const TThumbItem *tile = GetThumbItem(FThumbIndex);
    return tile ? tile->ItemData.Tags : QString();
}

void TThumbsList::GetFilesList(QStringList &strings) const
{
    strings.clear();
    for (const TThumbItem *tile : FThumbsItems)
        strings << tile->ItemData.Filename();
}

void TThumbsList::GetThumbsSelectedFilesList(QStringList &strings) const
{
    strings.clear();
    for (const TThumbItem *tile : FThumbsItems)
        if (tile->Selected())
            strings << tile->ItemData.Filename();
}

void TThumbsList::GetThumbsSelectedIDList(QStringList &strings) const
{
    strings.clear();
    for (const TThumbItem *tile : FThumbsItems)
        if (tile->Selected() && !tile->ItemData.DateiID.isEmpty())
            strings << tile->ItemData.DateiID;
}

bool TThumbsList::HasThumbsSelectedID() const
{
    return std::any_of(FThumbsItems.begin(), FThumbsItems.end(),
                       [](const TThumbItem *t) { return t->Selected() && !t->ItemData.DateiID.isEmpty(); });
}

bool TThumbsList::HasThumbsSelectedKategorieID() const
{
    return std::any_of(FThumbsItems.begin(), FThumbsItems.end(),
                       [](const TThumbItem *t) { return t->Selected() && !t->ItemData.KategorieID.isEmpty(); });
}

void TThumbsList::ThumbsSelectedUpdate()
{
    for (TThumbItem *tile : FThumbsItems)
        if (tile->Selected())
            tile->repaint();
}

void TThumbsList::DeleteThumbItem(int index)
{
    if (TThumbItem *tile = GetThumbItem(index)) {
        FThumbsItems.erase(FThumbsItems.begin() + index);
        delete tile;
    }
    FThumbIndex = -1;
    ArrangeThumbs();
}

void TThumbsList::DeleteSelectedThumbItems()
{
    for (int i = GetThumbsCount() - 1; i >= 0; --i) {
        TThumbItem *tile = FThumbsItems[std::size_t(i)];
        if (tile->Selected()) {
            FThumbsItems.erase(FThumbsItems.begin() + i);
            delete tile;
        }
    }
    FThumbIndex = -1;
    ArrangeThumbs();
}

void TThumbsList::ClearThumbs()
{
    if (FIsUpdate || FThumbsItems.empty())
        return;
    BeginUpdate();
    for (TThumbItem *tile : FThumbsItems)
        delete tile;
    FThumbsItems.clear();
    FThumbIndex = -1;
    SpacePositionUpdate();
    EndUpdate();
    if (OnItemSelected)
        OnItemSelected(nullptr);
}

void TThumbsList::SortThumbs()
{
    const auto byDate = [](const TThumbItem *a, const TThumbItem *b) { return a->ItemData.Datum < b->ItemData.Datum; };
    switch (ThumbsSortTyp) {
    case TThumbsSortTyp::tstNONE: break;
    case TThumbsSortTyp::tstASC: std::sort(FThumbsItems.begin(), FThumbsItems.end(), byDate); break;
    case TThumbsSortTyp::tstDESC:
        std::sort(FThumbsItems.begin(), FThumbsItems.end(), [&](auto *a, auto *b) { return byDate(b, a); });
        break;
    case TThumbsSortTyp::tstNAME:
        std::sort(FThumbsItems.begin(), FThumbsItems.end(),
                  [](const TThumbItem *a, const TThumbItem *b) { return a->ItemData.Filename() < b->ItemData.Filename(); });
        break;
    }
}

void TThumbsList::ArrangeThumbs()
{
    FRowsCount = 0;
    FColsCount = 0;
    if (FIsUpdate)
        return;
    if (FThumbsItems.empty()) {
        SpacePositionUpdate();  // no scroll range left over from removed tiles
        return;
    }
    SortThumbs();
    {
        BeginUpdate();
        // However placing ends, the spacer follows the tiles and the list redraws.
        struct TLeaveUpdate {
            TThumbsList &List;
            ~TLeaveUpdate()
            {
                List.SpacePositionUpdate();
                List.EndUpdate();
            }
        } leave{*this};
        verticalScrollBar()->setValue(0);
        horizontalScrollBar()->setValue(0);
        const TThumbsLayout layout =
            LayOutThumbs(GetThumbsCount(), ThumbTileSize(FThumbsSize, ShowNames, ShowDates), width(), ScrollBarWidth);
        for (std::size_t i = 0; i < FThumbsItems.size(); ++i) {
            TThumbItem &tile = *FThumbsItems[i];
            tile.LockedDraw = true;
            ApplyTileSettings(tile);
            tile.LockedDraw = false;
            tile.move(layout.Positions[i]);
            tile.show();
        }
        FColsCount = layout.ColsCount;
        FRowsCount = layout.RowsCount;
    }
    if (AfterArrange)
        AfterArrange(*this);
}

void TThumbsList::SpacePositionUpdate()
{
    const int top = FThumbsItems.empty() ? 0 : FThumbsItems.back()->y() + FThumbsItems.back()->height();
    FShapeSpace->move(0, top);
    FContent->resize(viewport()->width(), top + kSpacerHeight);
}

void TThumbsList::BeginUpdate()
{
    FIsUpdate = true;
    setUpdatesEnabled(false);
}

void TThumbsList::EndUpdate()
{
    FIsUpdate = false;
    setUpdatesEnabled(true);
    viewport()->update();
}

void TThumbsList::SetThumbsSize(int size)
{
    FThumbsSize = size;
    for (TThumbItem *tile : FThumbsItems)
        tile->SetThumbsSize(size);
    ArrangeThumbs();
}

bool TThumbsList::AllowChange(TThumbItem *tile) const
{
    bool allow = true;
    if (OnBeforeSelected)
        OnBeforeSelected(tile, allow);
    return allow;
}

int TThumbsList::IndexOf(const TThumbItem *tile) const
{
    const auto found = std::find(FThumbsItems.begin(), FThumbsItems.end(), tile);
    return found == FThumbsItems.end() ? -1 : int(found - FThumbsItems.begin());
}

void TThumbsList::SetThumbIndex(int index)
{
    if (index == FThumbIndex)
        return;
    TThumbItem *tile = GetThumbItem(index);
    if (!AllowChange(tile))
        return;
    if (TThumbItem *old = GetThumbItem(FThumbIndex))
        old->SetSelected(false);
    if (!tile)
        return;
    FThumbIndex = index;
    tile->SetSelected(true);
    // The least scrolling that shows the whole tile; a tile taller than the view shows its top.
    const int visible = viewport()->height();
    const int top = tile->y() - ScrollPosition();
    if (top < 0 || tile->height() > visible)
        SetScrollPosition(tile->y());
    else if (top + tile->height() > visible)
        SetScrollPosition(tile->y() + tile->height() - visible);
    if (OnItemSelected)
        OnItemSelected(tile);
}

void TThumbsList::TileClicked(TThumbItem &tile, Qt::KeyboardModifiers modifiers)
{
    if (isEnabled() && isVisible())
        setFocus(Qt::MouseFocusReason);
    const int index = IndexOf(&tile);
    const int old = FThumbIndex;
    if (!AllowChange(&tile))
        return;
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    if (!ctrl) {
        if (TThumbItem *current = GetThumbItem(FThumbIndex))
            current->SetSelected(false);
        for (TThumbItem *other : FThumbsItems)
            if (other->Selected())
                other->SetSelected(false);
        FThumbIndex = index;
    }
    tile.SetSelected(true);
    if (ctrl)
        return;  // Ctrl+click only adds the tile to the selection
    if (index != old && OnItemSelected)
        OnItemSelected(&tile);
    if (ItemClick)
        ItemClick(&tile);
}

void TThumbsList::TileDoubleClicked(TThumbItem &tile)
{
    const int index = IndexOf(&tile);
    const int old = FThumbIndex;
    if (!AllowChange(&tile))
        return;
    FThumbIndex = index;
    if (index != old && OnItemSelected)
        OnItemSelected(&tile);
    if (ItemDblClick)
        ItemDblClick(&tile);
}

void TThumbsList::MoveToTile(int target, bool upward)
{
    TThumbItem *tile = GetThumbItem(target);
    if (!tile || !AllowChange(tile))
        return;
    if (TThumbItem *old = GetThumbItem(FThumbIndex))
        old->SetSelected(false);
    FThumbIndex = target;
    tile->SetSelected(true);
    const int visible = viewport()->height();
    const int top = tile->y() - ScrollPosition();
    if (upward && top < 0)
        SetScrollPosition(tile->y() - kTileSpacing);
    else if (!upward && top + tile->height() > visible)
        SetScrollPosition(tile->y() + tile->height() + kTileSpacing - visible);
    if (OnItemSelected)
        OnItemSelected(tile);
}

void TThumbsList::keyPressEvent(QKeyEvent *event)
{
    TThumbItem *current = GetThumbItem(FThumbIndex);
    const int key = event->key();
    const bool keypad = event->modifiers().testFlag(Qt::KeypadModifier);
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (current && OnPressReturn)
            OnPressReturn(current);
    } else if (key == Qt::Key_Delete) {
        if (current && OnPressDelete)
            OnPressDelete(current);
    } else if (key == Qt::Key_PageUp) {
        SetScrollPosition(std::max(0, ScrollPosition() - viewport()->height()));
    } else if (key == Qt::Key_PageDown) {
        SetScrollPosition(ScrollPosition() + viewport()->height());
    } else if (keypad && key >= Qt::Key_0 && key <= Qt::Key_5) {
        if (current) {
            const int stars = key - Qt::Key_0;
            current->ItemData.SetStars(stars);
            if (OnPressStars)
                OnPressStars(current, stars);
        }
    } else if (const auto move = ThumbMoveForKey(key, FThumbIndex, GetThumbsCount(), FColsCount)) {
        MoveToTile(move->Target, move->Upward);
    } else if (key != Qt::Key_Home && key != Qt::Key_End && key != Qt::Key_Left && key != Qt::Key_Right &&
               key != Qt::Key_Up && key != Qt::Key_Down) {
        event->ignore();
        return;
    }
    event->accept();
}

void TThumbsList::resizeEvent(QResizeEvent *event)
{
    QScrollArea::resizeEvent(event);
    if (!FIsUpdate)
        ArrangeThumbs();
}

void TThumbsList::ActivateMouseScroll()
{
    if (FMouseScrollOn || !SystemHasMouseWheel())
        return;
    qApp->installEventFilter(this);
    FMouseScrollOn = true;
}

void TThumbsList::DeactivateMouseScroll()
{
    if (!FMouseScrollOn)
        return;
    qApp->removeEventFilter(this);
    FMouseScrollOn = false;
}

bool TThumbsList::HandleMouseScrollEvent(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseMove && type != QEvent::MouseButtonPress && type != QEvent::Wheel)
        return false;
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || (widget != this && !isAncestorOf(widget)) || !isVisible())
        return false;
    const QPointF global = static_cast<QSinglePointEvent *>(event)->globalPosition();
    if (!rect().contains(mapFromGlobal(global.toPoint())))
        return false;
    if (!hasFocus())
        setFocus(Qt::MouseFocusReason);
    if (type != QEvent::Wheel)
        return false;
    const int step = FThumbsSize + ThumbExtraHeight(ShowNames, ShowDates) + kTileSpacing;
    if (static_cast<QWheelEvent *>(event)->angleDelta().y() > 0) {
        if (ScrollPosition() > 0)
            SetScrollPosition(ScrollPosition() - step);
    } else {
        SetScrollPosition(ScrollPosition() + step);
    }
    return true;  // no other scrolling follows the turn
}

bool TThumbsList::eventFilter(QObject *watched, QEvent *event)
{
    if (FMouseScrollOn && HandleMouseScrollEvent(watched, event))
        return true;
    return QScrollArea::eventFilter(watched, event);
}

}  // namespace lmk
