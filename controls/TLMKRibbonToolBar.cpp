// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/TLMKRibbonToolBar.h"

#include <QApplication>
#include <QFontMetrics>
#include <QKeySequence>
#include <QMoveEvent>
#include <QPainter>
#include <QPolygon>
#include <QResizeEvent>
#include <QShortcut>
#include <algorithm>
#include <stdexcept>

namespace lmk {

namespace {

constexpr int kLayoutStart = 4;      // x of the first button
constexpr int kButtonGap = 2;        // after every button
constexpr int kSeparatorBefore = 2;  // before a separator
constexpr int kSeparatorAfter = 4;   // after a separator
constexpr int kCaptionPadding = 6;   // added to the measured caption width
constexpr int kGradientSplit = 25;   // where the upper gradient of a pressed or hover button ends
constexpr int kSymbolTop = 3;
constexpr int kArrowHalfWidth = 4;

constexpr int kCaptionFlags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap;

QString VisibleCaption(const QString &caption) { return StripAccelerator(caption).trimmed(); }

QFont SystemMenuFont() { return QApplication::font("QMenu"); }

// The platform's luminance adjustment: lightness on its scale of 0 ... 240 moved by `delta`.
QColor AdjustLuma(const QColor &color, int delta)
{
    const QColor hsl = color.toHsl();
    const float lightness = std::clamp(hsl.lightnessF() + float(delta) / 240.0f, 0.0f, 1.0f);
    return QColor::fromHslF(hsl.hslHueF(), hsl.hslSaturationF(), lightness).toRgb();
}

}  // namespace

// ---- Geometry ------------------------------------------------------------------------------

QRect RibbonCaptionRect(QSize size)
{
    return QRect(QPoint(3, size.height() - 33), QPoint(size.width() - 3 - 1, size.height() - 3 - 1));
}

int RibbonButtonWidth(const QString &caption, const QFont &menuFont, bool autosize, int width,
                      TLMKRibbonToolButtonMode mode)
{
    if (mode != TLMKRibbonToolButtonMode::bmButton)
        return kRibbonDividerWidth;
    if (!autosize)
        return std::max(width, kRibbonFixedMinWidth);
    const QString text = VisibleCaption(caption);
    if (text.isEmpty())
        return kRibbonButtonMinWidth;
    // Measured in the caption rectangle of a button of the default size, so the width follows
    // from the caption alone and not from the width an earlier caption gave the button. Words
    // wider than the rectangle widen the measured block, as the wrapped text does. Left-aligned:
    // the centred block may straddle half pixels and come out one pixel wider.
    QFont bold = menuFont;
    bold.setBold(true);
    const QRect block = QFontMetrics(bold).boundingRect(RibbonCaptionRect(kRibbonButtonDefaultSize),
                                                        Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text);
    return std::max(block.width() + kCaptionPadding, kRibbonButtonMinWidth);
}

TRibbonButtonExtent RibbonButtonExtent(TLMKRibbonToolButtonMode mode, bool autosize, int currentHeight)
{
    TRibbonButtonExtent extent;
    switch (mode) {
    case TLMKRibbonToolButtonMode::bmButton: extent = {4, 68}; break;
    case TLMKRibbonToolButtonMode::bmGroup: extent = {0, 72}; break;
    case TLMKRibbonToolButtonMode::bmSeparator: extent = {0, 93}; break;
    }
    if (!autosize)
        extent.Height = std::max(currentHeight, kRibbonFixedMinWidth);
    return extent;
}

TRibbonLayout RibbonLayout(const std::vector<TRibbonLayoutEntry> &entries)
{
    TRibbonLayout layout;
    layout.Buttons.reserve(entries.size());
    int x = kLayoutStart;
    for (const TRibbonLayoutEntry &entry : entries) {
        if (!entry.Visible) {
            layout.Buttons.emplace_back();
            continue;
        }
        const bool separator = entry.Mode == TLMKRibbonToolButtonMode::bmSeparator;
        if (separator)
            x += kSeparatorBefore;
        const TRibbonButtonExtent extent = RibbonButtonExtent(entry.Mode, entry.Autosize, entry.Height);
        layout.Buttons.emplace_back(x, extent.Top, entry.Width, extent.Height);
        x += entry.Width + (separator ? kSeparatorAfter : kButtonGap);
    }
    layout.End = x;
    return layout;
}

// ---- TLMKRibbonToolButton ------------------------------------------------------------------

TLMKRibbonToolButton::TLMKRibbonToolButton(QWidget *parent)
    : TLMKRibbonButtonBase(parent, false), FMenuFont(SystemMenuFont())
{
    setGeometry(QRect(QPoint(0, 4), kRibbonButtonDefaultSize));
}

void TLMKRibbonToolButton::SetCaption(const QString &caption)
{
    if (IsDivider() || caption == FCaption)
        return;
    FCaption = caption;
    UpdateShortcut();
    Repaint();
}

void TLMKRibbonToolButton::SetMode(TLMKRibbonToolButtonMode mode)
{
    if (mode == FMode)
        return;
    FMode = mode;
    UpdateShortcut();
    Repaint();
}

void TLMKRibbonToolButton::SetMenuFont(const QFont &font)
{
    if (font == FMenuFont)
        return;
    FMenuFont = font;
    Repaint();
}

void TLMKRibbonToolButton::SetAutosize(bool value)
{
    if (value == FAutosize)
        return;
    FAutosize = value;
    Repaint();
}

void TLMKRibbonToolButton::SetDropButton(bool value)
{
    if (IsDivider() || value == FDropButton)
        return;
    FDropButton = value;
    Repaint();
}

void TLMKRibbonToolButton::SetFixedWidth(int width)
{
    if (width == FFixedWidth)
        return;
    FFixedWidth = width;
    Repaint();
}

int TLMKRibbonToolButton::ButtonWidth() const
{
    return RibbonButtonWidth(FCaption, FMenuFont, FAutosize, FFixedWidth, FMode);
}

void TLMKRibbonToolButton::EndUpdate()
{
    FUpdate = false;
    update();
}

void TLMKRibbonToolButton::Repaint()
{
    if (!FUpdate)
        update();
}

void TLMKRibbonToolButton::UpdateShortcut()
{
    const QKeySequence key = IsDivider() ? QKeySequence() : QKeySequence::mnemonic(FCaption);
    if (key.isEmpty()) {
        delete FShortcut;
        FShortcut = nullptr;
        return;
    }
    if (FShortcut == nullptr) {
        // The bar's buttons take no focus; Alt + letter works anywhere in the window.
        FShortcut = new QShortcut(this);
        FShortcut->setContext(Qt::WindowShortcut);
        connect(FShortcut, &QShortcut::activated, this, &TLMKRibbonToolButton::Click);
    }
    FShortcut->setKey(key);
}

void TLMKRibbonToolButton::PaintDivider(QPainter &painter) const
{
    // Three one-pixel columns: the outer two run to SeparatorColor2, the middle one to
    // SeparatorColor1. A group's columns turn back to SeparatorEndColor in their lower half.
    const int H = height();
    const int split = FMode == TLMKRibbonToolButtonMode::bmGroup ? H - H / 2 : H;
    for (int x = 0; x < kRibbonDividerWidth; ++x) {
        const QColor &turn = x == 1 ? Colors().SeparatorColor1 : Colors().SeparatorColor2;
        FillVerticalGradient(painter, QRect(x, 0, 1, split), Colors().SeparatorStartColor, turn);
        if (split < H)
            FillVerticalGradient(painter, QRect(x, split, 1, H - split), turn, Colors().SeparatorEndColor);
    }
}

void TLMKRibbonToolButton::PaintButton(QPainter &painter) const
{
    const int W = width(), H = height();
    const TRibbonLook look = Look();
    PaintRibbonLook(painter, size(), kGradientSplit, look, Colors());

    if (!Symbol().isNull()) {
        const int half = Symbol().width() / 2;
        DrawButtonSymbol(painter, QRect(W / 2 - half, kSymbolTop, 2 * half, Symbol().height()), Symbol(),
                         Enabled());
    }

    const QString text = VisibleCaption(FCaption);
    if (text.isEmpty())
        return;
    const QColor color = RibbonFontColor(Colors(), look, Enabled());
    QFont font = FMenuFont;
    font.setBold(false);
    painter.setFont(font);
    painter.setPen(color);
    painter.drawText(RibbonCaptionRect(size()), kCaptionFlags, text);
    if (FDropButton) {
        const QPolygon arrow{QPoint(W / 2 - kArrowHalfWidth, H - 10), QPoint(W / 2, H - 6),
                             QPoint(W / 2 + kArrowHalfWidth, H - 10)};
        painter.setBrush(color);
        painter.drawPolygon(arrow);
    }
}

void TLMKRibbonToolButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (IsDivider())
        PaintDivider(painter);
    else
        PaintButton(painter);
}

// ---- TToolButtonCollectionItem -------------------------------------------------------------

TToolButtonCollectionItem::TToolButtonCollectionItem(TLMKRibbonToolBar &bar, int index)
    : FBar(&bar),
      FButton(new TLMKRibbonToolButton(&bar)),
      FName(QStringLiteral("TToolButtonCollectionItem%1").arg(index)),
      FCaption(QStringLiteral("Button %1").arg(index))
{
    FButton->SetOnClick([this] {
        // A copy: the handler may delete this item.
        const std::function<void()> handler = FOnClick;
        if (handler)
            handler();
    });
}

TToolButtonCollectionItem::~TToolButtonCollectionItem()
{
    // The item may go while its own button's click runs; the button is freed once that is over.
    FButton->hide();
    FButton->SetOnClick(nullptr);
    FButton->deleteLater();
}

template <typename T>
TToolButtonCollectionItem &TToolButtonCollectionItem::Change(T &field, T value)
{
    if (field != value) {
        field = std::move(value);
        FBar->UpdateLayout();
    }
    return *this;
}

TToolButtonCollectionItem &TToolButtonCollectionItem::SetName(const QString &name)
{
    FName = name;
    return *this;
}

TToolButtonCollectionItem &TToolButtonCollectionItem::SetCaption(const QString &caption) { return Change(FCaption, caption); }
TToolButtonCollectionItem &TToolButtonCollectionItem::SetHint(const QString &hint) { return Change(FHint, hint); }
TToolButtonCollectionItem &TToolButtonCollectionItem::SetShowHint(bool value) { return Change(FShowHint, value); }
TToolButtonCollectionItem &TToolButtonCollectionItem::SetShowButton(bool value) { return Change(FShowButton, value); }
TToolButtonCollectionItem &TToolButtonCollectionItem::SetDropButton(bool value) { return Change(FDropButton, value); }
TToolButtonCollectionItem &TToolButtonCollectionItem::SetAutosize(bool value) { return Change(FAutosize, value); }
TToolButtonCollectionItem &TToolButtonCollectionItem::SetWidth(int width) { return Change(FWidth, width); }
TToolButtonCollectionItem &TToolButtonCollectionItem::SetDowned(bool value) { return Change(FDowned, value); }
TToolButtonCollectionItem &TToolButtonCollectionItem::SetEnabled(bool value) { return Change(FEnabled, value); }
TToolButtonCollectionItem &TToolButtonCollectionItem::SetImageIndex(int index) { return Change(FImageIndex, index); }
TToolButtonCollectionItem &TToolButtonCollectionItem::SetButtonMode(TLMKRibbonToolButtonMode mode)
{
    return Change(FButtonMode, mode);
}

TToolButtonCollectionItem &TToolButtonCollectionItem::SetOnClick(std::function<void()> handler)
{
    FOnClick = std::move(handler);
    return *this;
}

int TToolButtonCollectionItem::Index() const
{
    for (int i = 0; i < FBar->ToolButtonCount(); ++i)
        if (&FBar->ToolButton(i) == this)
            return i;
    return -1;
}

// ---- TLMKRibbonToolBar ---------------------------------------------------------------------

TLMKRibbonToolBar::TLMKRibbonToolBar(QWidget *parent)
    : QWidget(parent),
      FColors(RibbonToolBarColors(FStyle)),
      FButtonColors(RibbonToolButtonColors(FStyle)),
      FMenuFont(SystemMenuFont())
{
    setAttribute(Qt::WA_OpaquePaintEvent);  // the gradient covers every pixel
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(0xF0, 0xF0, 0xF0));
    setPalette(colours);
    setGeometry(0, kSnapTop, 400, kAutoHeight);
}

TLMKRibbonToolBar::~TLMKRibbonToolBar() = default;

TToolButtonCollectionItem &TLMKRibbonToolBar::AddToolButton()
{
    FItems.emplace_back(new TToolButtonCollectionItem(*this, ToolButtonCount()));
    TToolButtonCollectionItem &item = *FItems.back();
    item.FButton->show();
    UpdateLayout();
    return item;
}

void TLMKRibbonToolBar::DeleteToolButton(int index)
{
    if (index < 0 || index >= ToolButtonCount())
        throw std::out_of_range("DeleteToolButton: no tool button at this index");
    FItems.erase(FItems.begin() + index);
    UpdateLayout();
}

void TLMKRibbonToolBar::SetImages(const QList<QImage> &images)
{
    FImages = images;
    UpdateLayout();
}

void TLMKRibbonToolBar::SetStyle(TLMKRibbonStyle style)
{
    FStyle = style;
    FColors = RibbonToolBarColors(style);
    FButtonColors = RibbonToolButtonColors(style);
    for (TLMKRibbonToolBar *inner : findChildren<TLMKRibbonToolBar *>(Qt::FindDirectChildrenOnly))
        inner->SetStyle(style);
    UpdateLayout();
    update();
}

void TLMKRibbonToolBar::SetColors(const TLMKRibbonToolBarColors &colors)
{
    FColors = colors;
    update();
}

void TLMKRibbonToolBar::SetButtonColors(const TLMKRibbonToolButtonColors &colors)
{
    FButtonColors = colors;
    UpdateLayout();
}

void TLMKRibbonToolBar::SetMenuFont(const QFont &font)
{
    FMenuFont = font;
    UpdateLayout();
    update();
}

void TLMKRibbonToolBar::SetFontStyle(TLMKRibbonFontStyle style)
{
    FFontStyle = style;
    switch (style) {
    case TLMKRibbonFontStyle::rfsSystem: SetMenuFont(SystemMenuFont()); break;
    case TLMKRibbonFontStyle::rfsStandard: SetMenuFont(QFont(QStringLiteral("Tahoma"), 8)); break;
    case TLMKRibbonFontStyle::rfsLarge: SetMenuFont(QFont(QStringLiteral("Tahoma"), 10)); break;
    case TLMKRibbonFontStyle::rfsDefault: break;
    }
}

void TLMKRibbonToolBar::SetShowCaption(bool value)
{
    FShowCaption = value;
    update();
}

void TLMKRibbonToolBar::SetCaption(const QString &caption)
{
    FCaption = caption;
    update();
}

void TLMKRibbonToolBar::SetCaptionGradient(bool value)
{
    FCaptionGradient = value;
    update();
}

void TLMKRibbonToolBar::SetAutoSnap(bool value) { FAutoSnap = value; }
void TLMKRibbonToolBar::SetAutoTop(bool value) { FAutoTop = value; }
void TLMKRibbonToolBar::SetAutoHeight(bool value) { FAutoHeight = value; }

void TLMKRibbonToolBar::SetAutoWidth(bool value)
{
    FAutoWidth = value;
    UpdateLayout();
}

QImage TLMKRibbonToolBar::SymbolOf(int imageIndex) const
{
    return imageIndex >= 0 && imageIndex < FImages.size() ? FImages[imageIndex] : QImage();
}

void TLMKRibbonToolBar::ApplyItem(TToolButtonCollectionItem &item)
{
    TLMKRibbonToolButton &button = *item.FButton;
    button.BeginUpdate();
    button.SetMode(item.FButtonMode);  // first: dividers ignore the button settings below
    button.SetStyle(FStyle);
    button.SetColors(FButtonColors);
    button.SetMenuFont(FMenuFont);
    button.SetCaption(item.FCaption);
    button.SetHint(item.FHint);
    button.SetShowHint(item.FShowHint);
    button.SetDropButton(item.FDropButton);
    button.SetAutosize(item.FAutosize);
    button.SetFixedWidth(item.FWidth);
    button.SetDowned(item.FDowned);
    button.SetEnabled(item.FEnabled);
    button.SetSymbol(SymbolOf(item.FImageIndex));
    button.EndUpdate();
}

void TLMKRibbonToolBar::UpdateLayout()
{
    std::vector<TRibbonLayoutEntry> entries;
    entries.reserve(FItems.size());
    for (const auto &item : FItems) {
        ApplyItem(*item);
        entries.push_back({item->FShowButton, item->FButtonMode, item->FAutosize, item->FButton->ButtonWidth(),
                           item->FButton->height()});
    }
    const TRibbonLayout layout = RibbonLayout(entries);
    for (std::size_t i = 0; i < FItems.size(); ++i) {
        TLMKRibbonToolButton &button = *FItems[i]->FButton;
        button.setVisible(FItems[i]->FShowButton);
        if (FItems[i]->FShowButton)
            button.setGeometry(layout.Buttons[i]);
    }
    if (FAutoWidth)
        resize(layout.End - kLayoutStart, height());
}

void TLMKRibbonToolBar::PaintCaptionBand(QPainter &painter) const
{
    const int W = width(), H = height();
    const QFontMetrics metrics(FMenuFont);
    const int th = metrics.height();
    if (FCaptionGradient) {
        const int top = H - th - 6;
        const int bandHeight = th + 4;  // down to H - 2
        FillHorizontalGradient(painter, QRect(2, top, W / 2 - 2, bandHeight), FColors.BarColor2, FColors.BarColor1);
        FillHorizontalGradient(painter, QRect(W / 2, top, W - 4 - W / 2, bandHeight), FColors.BarColor1,
                               FColors.BarColor2);
        painter.fillRect(QRect(2, top, W - 6, 1), AdjustLuma(FColors.BarColor2, -10));
    }
    painter.setFont(FMenuFont);
    painter.setPen(FColors.BarCaption);
    painter.drawText(QRect(0, H - th - 4, W, th), Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, FCaption);
}

void TLMKRibbonToolBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    FillVerticalGradient(painter, rect(), FColors.BarColor1, FColors.BarColor2);
    painter.fillRect(QRect(0, height() - 1, width(), 1), FColors.BarBottomLine);
    if (FShowCaption && !FCaption.isEmpty())
        PaintCaptionBand(painter);
}

void TLMKRibbonToolBar::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    if (!FAutoSnap)
        return;
    const QPoint snapped(0, FAutoTop ? kSnapTop : y());
    if (pos() != snapped)
        move(snapped);
}

void TLMKRibbonToolBar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (FAutoHeight && height() != kAutoHeight)
        resize(width(), kAutoHeight);
}

}  // namespace lmk
