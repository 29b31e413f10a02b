// SPDX-License-Identifier: GPL-3.0-or-later
// TLMKRibbonToolBar: the dark bar across the top of the main window with large tool buttons,
// each a symbol above a one- or two-line caption. The bar holds a collection of button
// descriptions (TToolButtonCollectionItem); for each it keeps one TLMKRibbonToolButton that
// paints itself normal, under the pointer, or pressed. Any change of an item lays the bar out
// again.
#pragma once

#include "controls/RibbonColors.h"

#include <QFont>
#include <QImage>
#include <QList>
#include <QRect>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

class QShortcut;

namespace lmk {

// ---- Geometry (pure functions) -------------------------------------------------------------

constexpr int kRibbonButtonMinWidth = 38;   // autosized buttons and buttons without caption
constexpr int kRibbonFixedMinWidth = 24;    // buttons with a set width
constexpr int kRibbonDividerWidth = 3;      // groups and separators
constexpr QSize kRibbonButtonDefaultSize{38, 68};

// The width of a button: dividers are 3 wide. An autosized button measures its caption (without
// the accelerator marker, trimmed) in the bold menu font, word-wrapped and centred in the caption
// rectangle of a button of the default size, and takes that width + 6, at least 38 (38 for an
// empty caption). Without autosize the set `width`, at least 24.
int RibbonButtonWidth(const QString &caption, const QFont &menuFont, bool autosize, int width,
                      TLMKRibbonToolButtonMode mode);

// Top and height of a button by its mode: a button at top 4, 68 high; a group at top 0, 72 high;
// a separator at top 0, 93 high. Without autosize the height stays `currentHeight`, at least 24.
struct TRibbonButtonExtent {
    int Top = 0;
    int Height = 0;
    bool operator==(const TRibbonButtonExtent &) const = default;
};
TRibbonButtonExtent RibbonButtonExtent(TLMKRibbonToolButtonMode mode, bool autosize, int currentHeight);

// The caption rectangle of a button of `size`: (3, H - 33) to (W - 3, H - 3).
QRect RibbonCaptionRect(QSize size);

struct TRibbonLayoutEntry {
    bool Visible = true;  // the item's ShowButton
    TLMKRibbonToolButtonMode Mode = TLMKRibbonToolButtonMode::bmButton;
    bool Autosize = true;
    int Width = kRibbonButtonMinWidth;             // RibbonButtonWidth of the item
    int Height = kRibbonButtonDefaultSize.height();  // the button's present height
};
struct TRibbonLayout {
    std::vector<QRect> Buttons;  // one per entry; a null rectangle for an invisible one
    int End = 0;                 // x after the last button; AutoWidth makes the bar End - 4 wide
};
// Lays the buttons out from x = 4 to the right: a separator gets 2 pixels before it and 4 after
// it, every other button 2 after it; invisible buttons take no room.
TRibbonLayout RibbonLayout(const std::vector<TRibbonLayoutEntry> &entries);

// ---- The button control --------------------------------------------------------------------

class TLMKRibbonToolButton : public TLMKRibbonButtonBase {
    Q_OBJECT
public:
    explicit TLMKRibbonToolButton(QWidget *parent = nullptr);

    // Caption, drop arrow (and symbol, Downed and Enabled of the base) have no effect on dividers.
    QString Caption() const { return FCaption; }
    void SetCaption(const QString &caption);
    TLMKRibbonToolButtonMode Mode() const { return FMode; }
    void SetMode(TLMKRibbonToolButtonMode mode);
    QFont MenuFont() const { return FMenuFont; }
    void SetMenuFont(const QFont &font);
    bool Autosize() const { return FAutosize; }
    void SetAutosize(bool value);
    bool DropButton() const { return FDropButton; }
    void SetDropButton(bool value);
    // The width used without autosize.
    int FixedWidth() const { return FFixedWidth; }
    void SetFixedWidth(int width);

    // The width the button takes (RibbonButtonWidth of its settings).
    int ButtonWidth() const;

    // Painting suspended while several settings change at once (FUpdate).
    void BeginUpdate() { FUpdate = true; }
    void EndUpdate();

protected:
    bool IsDivider() const override { return FMode != TLMKRibbonToolButtonMode::bmButton; }
    void Repaint() override;
    void paintEvent(QPaintEvent *event) override;

private:
    void UpdateShortcut();
    void PaintDivider(QPainter &painter) const;
    void PaintButton(QPainter &painter) const;

    QString FCaption = QStringLiteral("Button");
    TLMKRibbonToolButtonMode FMode = TLMKRibbonToolButtonMode::bmButton;
    QFont FMenuFont;
    bool FAutosize = true;
    bool FDropButton = false;
    int FFixedWidth = kRibbonButtonMinWidth;
    bool FUpdate = false;
    QShortcut *FShortcut = nullptr;  // Alt + the caption's accelerator letter
};

// ---- The collection item -------------------------------------------------------------------

class TLMKRibbonToolBar;

class TToolButtonCollectionItem {
public:
    TToolButtonCollectionItem(const TToolButtonCollectionItem &) = delete;
    TToolButtonCollectionItem &operator=(const TToolButtonCollectionItem &) = delete;
    ~TToolButtonCollectionItem();

    // Each setter lays the whole bar out again and returns the item for further settings.
    QString Name() const { return FName; }
    TToolButtonCollectionItem &SetName(const QString &name);
    QString Caption() const { return FCaption; }
    TToolButtonCollectionItem &SetCaption(const QString &caption);
    QString Hint() const { return FHint; }
    TToolButtonCollectionItem &SetHint(const QString &hint);
    bool ShowHint() const { return FShowHint; }
    TToolButtonCollectionItem &SetShowHint(bool value);
    bool ShowButton() const { return FShowButton; }
    TToolButtonCollectionItem &SetShowButton(bool value);
    bool DropButton() const { return FDropButton; }
    TToolButtonCollectionItem &SetDropButton(bool value);
    bool Autosize() const { return FAutosize; }
    TToolButtonCollectionItem &SetAutosize(bool value);
    int Width() const { return FWidth; }
    TToolButtonCollectionItem &SetWidth(int width);
    bool Downed() const { return FDowned; }
    TToolButtonCollectionItem &SetDowned(bool value);
    bool Enabled() const { return FEnabled; }
    TToolButtonCollectionItem &SetEnabled(bool value);
    int ImageIndex() const { return FImageIndex; }
    TToolButtonCollectionItem &SetImageIndex(int index);
    TLMKRibbonToolButtonMode ButtonMode() const { return FButtonMode; }
    TToolButtonCollectionItem &SetButtonMode(TLMKRibbonToolButtonMode mode);
    const std::function<void()> &OnClick() const { return FOnClick; }
    TToolButtonCollectionItem &SetOnClick(std::function<void()> handler);

    // The item's position in the bar's collection.
    int Index() const;
    // The control of this item; its geometry is in the bar's coordinates.
    TLMKRibbonToolButton *Button() const { return FButton; }

private:
    friend class TLMKRibbonToolBar;
    TToolButtonCollectionItem(TLMKRibbonToolBar &bar, int index);
    template <typename T>
    TToolButtonCollectionItem &Change(T &field, T value);

    TLMKRibbonToolBar *FBar;
    TLMKRibbonToolButton *FButton;  // a child of the bar, freed with the item
    QString FName;
    QString FCaption;
    QString FHint;
    bool FShowHint = false;
    bool FShowButton = true;
    bool FDropButton = false;
    bool FAutosize = true;
    int FWidth = kRibbonButtonMinWidth;
    bool FDowned = false;
    bool FEnabled = true;
    int FImageIndex = -1;
    TLMKRibbonToolButtonMode FButtonMode = TLMKRibbonToolButtonMode::bmButton;
    std::function<void()> FOnClick;
};

// ---- The bar -------------------------------------------------------------------------------

class TLMKRibbonToolBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int kSnapTop = 25;        // the top AutoTop keeps
    static constexpr int kAutoHeight = 94;     // the height AutoHeight keeps

    explicit TLMKRibbonToolBar(QWidget *parent = nullptr);
    ~TLMKRibbonToolBar() override;

    // The collection of button descriptions, in bar order. ToolButton and DeleteToolButton
    // throw std::out_of_range for an index outside 0 ... ToolButtonCount() - 1.
    TToolButtonCollectionItem &AddToolButton();
    int ToolButtonCount() const { return int(FItems.size()); }
    TToolButtonCollectionItem &ToolButton(int index) { return *FItems.at(std::size_t(index)); }
    const TToolButtonCollectionItem &ToolButton(int index) const { return *FItems.at(std::size_t(index)); }
    void DeleteToolButton(int index);

    // The button symbols, addressed by the items' ImageIndex (the main window's are 32 x 32).
    QList<QImage> Images() const { return FImages; }
    void SetImages(const QList<QImage> &images);
    TLMKRibbonStyle Style() const { return FStyle; }
    // Fills both colour sets with the style's and passes the style on to bars placed inside.
    void SetStyle(TLMKRibbonStyle style);
    const TLMKRibbonToolBarColors &Colors() const { return FColors; }
    void SetColors(const TLMKRibbonToolBarColors &colors);
    const TLMKRibbonToolButtonColors &ButtonColors() const { return FButtonColors; }
    void SetButtonColors(const TLMKRibbonToolButtonColors &colors);
    QFont MenuFont() const { return FMenuFont; }
    void SetMenuFont(const QFont &font);
    TLMKRibbonFontStyle FontStyle() const { return FFontStyle; }
    void SetFontStyle(TLMKRibbonFontStyle style);

    bool ShowCaption() const { return FShowCaption; }
    void SetShowCaption(bool value);
    QString Caption() const { return FCaption; }
    void SetCaption(const QString &caption);
    bool CaptionGradient() const { return FCaptionGradient; }
    void SetCaptionGradient(bool value);
    // AutoSnap: moving the bar sets its left edge back to 0 and, with AutoTop, its top to 25.
    bool AutoSnap() const { return FAutoSnap; }
    void SetAutoSnap(bool value);
    bool AutoTop() const { return FAutoTop; }
    void SetAutoTop(bool value);
    // AutoWidth: the bar is as wide as its buttons. AutoHeight: resizing keeps the height 94.
    bool AutoWidth() const { return FAutoWidth; }
    void SetAutoWidth(bool value);
    bool AutoHeight() const { return FAutoHeight; }
    void SetAutoHeight(bool value);

    // Places every button again from the items (done after every change).
    void UpdateLayout();

protected:
    void paintEvent(QPaintEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void ApplyItem(TToolButtonCollectionItem &item);
    QImage SymbolOf(int imageIndex) const;
    void PaintCaptionBand(QPainter &painter) const;

    std::vector<std::unique_ptr<TToolButtonCollectionItem>> FItems;
    QList<QImage> FImages;
    TLMKRibbonStyle FStyle = TLMKRibbonStyle::rsSilver;
    TLMKRibbonToolBarColors FColors;
    TLMKRibbonToolButtonColors FButtonColors;
    QFont FMenuFont;
    TLMKRibbonFontStyle FFontStyle = TLMKRibbonFontStyle::rfsSystem;
    bool FShowCaption = true;
    QString FCaption;
    bool FCaptionGradient = true;
    bool FAutoSnap = true;
    bool FAutoTop = true;
    bool FAutoWidth = false;
    bool FAutoHeight = true;
};

}  // namespace lmk
