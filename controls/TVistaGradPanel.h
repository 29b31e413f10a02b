// SPDX-License-Identifier: GPL-3.0-or-later
// TVistaGradPanel: a panel painted with a two-colour gradient, optional one-pixel edge lines, an
// optional small picture at its left, a caption, and optionally today's date, calendar week and
// time at its right. The main window's title bars, status bar fields, divider strips and the
// quick tool bar's background are such panels.
#pragma once

#include <QColor>
#include <QDateTime>
#include <QImage>
#include <QSize>
#include <QString>
#include <QTimer>
#include <QWidget>

namespace lmk {

enum class TGradStyle {
    gsBLUE, gsYELLOW, gsGREEN, gsRED, gsGRAY, gsSILVER, gsSAPHIR, gsDARKBLUE, gsORANGE, gsDARKGREEN,
    gsDARKGRAY, gsDEFAULT,  // gsDEFAULT: the panel's own StartColor, EndColor and LineColor
};
enum class TGradOrientation { goLeftToRigth, goRightToLeft, goTopToBottom, goBottomToTop };
// Where the caption stands between the panel's left and right edge.
enum class TOrientation { oLeft, oCenter, oRight };
// The side of its parent the panel keeps to. Qt's layouts place the panel; the alignment only
// decides which of its sizes AutoSize sets.
enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

struct TGradColors {
    QColor Start, End, Line;
    bool operator==(const TGradColors &) const = default;
};
// The fixed colour set of a style; gsDEFAULT gives the panel's default colours.
TGradColors GradStyleColors(TGradStyle style);

// The date, calendar week and time text at `now`: "dddd, dd. mmmm yyyy" with German day and month
// names, then "  (" week ". KW)", then "  hh:nn Uhr", each part only when asked for.
QString GradPanelInfoText(const QDateTime &now, bool showDate, bool showKW, bool showTime);

// The size AutoSize gives a panel now `current` large: the height h = max(text height, picture
// height) + 4 unless it is aligned left, right or to the client area; the width = text width +
// picture width + 16 with a picture (+ 10 without) unless it is aligned top, bottom or to the
// client area. `textWidth` is the caption's width (0 without caption) plus the info text's.
QSize GradPanelAutoSize(QSize current, int textWidth, int textHeight, QSize picture, TAlign align);

class TVistaGradPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr QSize kDefaultSize{100, 18};

    explicit TVistaGradPanel(QWidget *parent = nullptr);

    // The caption's font is the widget's font (default "MS Sans Serif" 9 pt bold); its colour:
    QColor FontColor() const { return FFontColor; }
    void SetFontColor(const QColor &color);

    QString Caption() const { return FCaption; }
    void SetCaption(const QString &caption);
    bool ShowCaption() const { return FShowCaption; }
    void SetShowCaption(bool value);
    // The room kept free inside the edges for a layout placed in the panel.
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int width);
    TGradStyle GradStyle() const { return FGradStyle; }
    void SetGradStyle(TGradStyle style);
    TGradOrientation GradOrientation() const { return FGradOrientation; }
    void SetGradOrientation(TGradOrientation orientation);
    TOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TOrientation orientation);
    bool LeftLine() const { return FLeftLine; }
    void SetLeftLine(bool value);
    bool RightLine() const { return FRightLine; }
    void SetRightLine(bool value);
    bool TopLine() const { return FTopLine; }
    void SetTopLine(bool value);
    bool ButtomLine() const { return FButtomLine; }
    void SetButtomLine(bool value);
    QColor StartColor() const { return FStartColor; }
    void SetStartColor(const QColor &color);
    QColor EndColor() const { return FEndColor; }
    void SetEndColor(const QColor &color);
    QColor LineColor() const { return FLineColor; }
    void SetLineColor(const QColor &color);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool value);
    bool WordBreak() const { return FWordBreak; }
    void SetWordBreak(bool value);
    // The small picture at the left; a picture without alpha leaves out the colour of its pixel (0, 0).
    QImage PicIdle() const { return FPicIdle; }
    void SetPicIdle(const QImage &picture);
    bool ShowDate() const { return FShowDate; }
    void SetShowDate(bool value);
    bool ShowTime() const { return FShowTime; }
    void SetShowTime(bool value);
    bool ShowKW() const { return FShowKW; }
    void SetShowKW(bool value);
    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign align);

    // The colours painted: the style's set, or the panel's own with gsDEFAULT.
    TGradColors Colors() const;
    // The info text shown now (empty while no date, week or time is asked for).
    QString InfoText() const { return FInfoText; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    bool ShowsInfo() const { return FShowDate || FShowTime || FShowKW; }
    // Builds the info text anew, starts or stops the clock, applies AutoSize and repaints.
    void Refresh();
    void ClockTick();
    void ApplyAutoSize();
    int TextWidth() const;
    template <typename T>
    void Change(T &field, const T &value);

    QString FCaption = QStringLiteral("VistaGradPanel");
    QColor FFontColor = Qt::black;
    bool FShowCaption = true;
    int FBorderWidth = 1;
    TGradStyle FGradStyle = TGradStyle::gsBLUE;
    TGradOrientation FGradOrientation = TGradOrientation::goLeftToRigth;
    TOrientation FOrientation = TOrientation::oLeft;
    bool FLeftLine = false;
    bool FRightLine = false;
    bool FTopLine = false;
    bool FButtomLine = false;
    QColor FStartColor;
    QColor FEndColor;
    QColor FLineColor;
    bool FAutoSize = false;
    bool FWordBreak = false;
    QImage FPicIdle;
    bool FShowDate = false;
    bool FShowTime = false;
    bool FShowKW = false;
    TAlign FAlign = TAlign::alNone;
    QString FInfoText;
    QTimer FClock;  // every 1000 ms while date, week or time is shown
    // The sizes AutoSize has fixed, so they can be let go when it is switched off.
    bool FFixedWidth = false;
    bool FFixedHeight = false;
};

}  // namespace lmk
