// SPDX-License-Identifier: GPL-3.0-or-later
// What the ribbon tool bar, its buttons, the quick buttons and the gradient panels share: the
// styles and their colour sets, the three looks of a button and how they are painted, exact
// per-row and per-column gradients, and the drawing of a button symbol.
#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>
#include <functional>

class QPainter;

namespace lmk {

enum class TLMKRibbonStyle { rsSilver, rsBlack, rsOffice2010, rsWindows7, rsSymphony, rsWindows10, rsFlatGray, rsFlatBlue };

enum class TLMKRibbonToolButtonMode {
    bmButton,     // a button with symbol and caption
    bmGroup,      // a short divider
    bmSeparator,  // a full-height divider
};

// How the bar chooses its menu font: the system's menu font, "Tahoma" 8 pt, "Tahoma" 10 pt, or
// leave the font as it is.
enum class TLMKRibbonFontStyle { rfsSystem, rfsStandard, rfsLarge, rfsDefault };

struct TLMKRibbonToolBarColors {
    QColor BarColor1;      // top of the bar's gradient
    QColor BarColor2;      // bottom of the bar's gradient
    QColor BarCaption;     // the bar's caption text
    QColor BarBottomLine;  // the line along the bar's lowest row
    bool operator==(const TLMKRibbonToolBarColors &) const = default;
};

struct TLMKRibbonToolButtonColors {
    QColor HoverColor1, HoverColor2, HoverColor3, HoverColor4;  // upper and lower gradient, hover look
    QColor DownColor1, DownColor2, DownColor3, DownColor4;      // upper and lower gradient, pressed look
    QColor FrameHoverColor, FrameDownColor;
    QColor FontColor, FontHoverColor, FontDownColor, FontDisableColor;
    QColor SeparatorColor1, SeparatorColor2;          // middle and outer columns of a divider
    QColor SeparatorStartColor, SeparatorEndColor;    // where the divider's gradients start and end
    bool operator==(const TLMKRibbonToolButtonColors &) const = default;
};

TLMKRibbonToolBarColors RibbonToolBarColors(TLMKRibbonStyle style);
TLMKRibbonToolButtonColors RibbonToolButtonColors(TLMKRibbonStyle style);

// The three looks of a ribbon or quick button.
enum class TRibbonLook { Normal, Hover, Pressed };

// Pressed while shown pressed permanently (`downed`), or while the left button is held on it
// (`down`) with the pointer over it (`enter`) and the button enabled; hover while the pointer is
// over an enabled button that is not held; normal otherwise.
TRibbonLook RibbonButtonLook(bool downed, bool down, bool enter, bool enabled);

// The background of a button of `size` in `look`: the upper gradient (colour 1 to 2) over the rows
// above `split`, the lower one (colour 3 to 4) from `split` down, then a one-pixel frame around the
// whole button with its four corner pixels left out (a rounded rectangle with 2 x 2 corners).
// The normal look paints nothing, so the bar or panel below shows through.
void PaintRibbonLook(QPainter &painter, QSize size, int split, TRibbonLook look,
                     const TLMKRibbonToolButtonColors &colors);

// The caption colour of a button in `look`; disabled buttons use FontDisableColor.
QColor RibbonFontColor(const TLMKRibbonToolButtonColors &colors, TRibbonLook look, bool enabled);

// Gradients that are exact to the pixel: the first row (column) of `rect` gets `from`, the last
// `to`, those between the linear mix rounded to nearest.
void FillVerticalGradient(QPainter &painter, const QRect &rect, const QColor &from, const QColor &to);
void FillHorizontalGradient(QPainter &painter, const QRect &rect, const QColor &from, const QColor &to);

// The gray of a colour as the buttons show disabled symbols: (77 R + 151 G + 28 B) >> 8.
int SymbolGray(int red, int green, int blue);

// The symbol as it is drawn, in ARGB32: a symbol with an alpha channel keeps its alpha; one
// without alpha leaves out (makes transparent) every pixel of the colour of its pixel (0, 0).
// The left-out pixels are chosen on the symbol's own colours, before a disabled symbol is turned
// gray, so no pixel of the picture vanishes because its gray happens to match the background's.
// Disabled: red, green and blue of every pixel become SymbolGray; a keyed symbol keeps its
// alpha, a symbol with its own alpha is faded to 40 %.
QImage PreparedSymbol(const QImage &symbol, bool enabled);

// Draws PreparedSymbol(symbol, enabled) into `target`, stretched by nearest pixel when the
// sizes differ. A null symbol draws nothing.
void DrawButtonSymbol(QPainter &painter, const QRect &target, const QImage &symbol, bool enabled);

// A caption without its accelerator marker ("&&" stands for a literal ampersand).
QString StripAccelerator(const QString &caption);

// What the ribbon tool buttons and the quick buttons share: symbol, pressed and enabled flags,
// style and colour set, hint, and the pointer input that sets FEnter (pointer over the button)
// and FDown (left button held on it). The state is the button's own: the widget itself stays
// enabled, so a disabled button still shows its hint.
class TLMKRibbonButtonBase : public QWidget {
    Q_OBJECT
public:
    QImage Symbol() const { return FSymbol; }
    void SetSymbol(const QImage &symbol);
    // Shown pressed permanently.
    bool Downed() const { return FDowned; }
    void SetDowned(bool value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value);
    TLMKRibbonStyle Style() const { return FStyle; }
    void SetStyle(TLMKRibbonStyle style);  // also fills Colors with the style's set
    const TLMKRibbonToolButtonColors &Colors() const { return FColors; }
    void SetColors(const TLMKRibbonToolButtonColors &colors);
    // The hint is the tooltip while ShowHint is set.
    QString Hint() const { return FHint; }
    void SetHint(const QString &hint);
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool value);
    // Called on every click that is passed on, besides the Clicked signal.
    void SetOnClick(std::function<void()> handler) { FOnClick = std::move(handler); }

    bool PointerOver() const { return FEnter; }
    bool Held() const { return FDown; }
    TRibbonLook Look() const { return RibbonButtonLook(FDowned, FDown, FEnter, FEnabled); }

    // Passes a click on: only while enabled and the parent is visible (and not for dividers).
    void Click();

signals:
    void Clicked();

protected:
    TLMKRibbonButtonBase(QWidget *parent, bool showHint);

    // Dividers take no input, and symbol, pressed and enabled settings have no effect on them.
    virtual bool IsDivider() const { return false; }
    // Repaints unless the button suspends painting.
    virtual void Repaint() { update(); }

    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void SetEnter(bool value);
    void UpdateToolTip();

    QImage FSymbol;
    bool FDowned = false;
    bool FEnabled = true;
    TLMKRibbonStyle FStyle = TLMKRibbonStyle::rsSilver;
    TLMKRibbonToolButtonColors FColors;
    QString FHint;
    bool FShowHint;
    std::function<void()> FOnClick;
    bool FEnter = false;
    bool FDown = false;
};

}  // namespace lmk
