// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/TLMKSmoothImage.h"

#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <vector>

using namespace lmk;

namespace {

const QColor kBackground(0x19, 0x19, 0x19);

TSmoothImageOptions Normal() { return {.Center = true, .Proportional = true}; }
TSmoothImageOptions Fit() { return {.Center = true, .Proportional = true, .FitToImage = true}; }

struct DrawRectCase {
    const char *name;
    QSize client;
    QSize picture;
    TSmoothImageOptions options;
    QRect expected;
};

class SmoothImageDrawRectTest : public testing::TestWithParam<DrawRectCase> {};

TEST_P(SmoothImageDrawRectTest, FollowsTheScalingRules)
{
    const DrawRectCase &c = GetParam();
    EXPECT_EQ(SmoothImageDrawRect(c.client, c.picture, c.options), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SmoothImageDrawRectTest,
    testing::Values(
        DrawRectCase{"SmallAtOwnSize", {600, 400}, {300, 200}, Normal(), {150, 100, 300, 200}},
        // 22 * (15 / 22.0) is a hair below 15: a picture at its own size must not lose a column
        DrawRectCase{"OwnSizeNotShortenedByRounding", {600, 400}, {15, 22}, Normal(), {293, 189, 15, 22}},
        DrawRectCase{"WideLetterboxed", {600, 400}, {3000, 1000}, Normal(), {0, 100, 600, 200}},
        DrawRectCase{"TallPillarboxed", {600, 400}, {1000, 3000}, Normal(), {234, 0, 133, 400}},
        DrawRectCase{"FourToThreeTruncated", {600, 400}, {4000, 3000}, Normal(), {34, 1, 533, 399}},
        DrawRectCase{"FitWideCutsSides", {600, 400}, {3000, 1000}, Fit(), {-300, 0, 1200, 400}},
        DrawRectCase{"FitTallCutsTopAndBottom", {600, 400}, {1000, 3000}, Fit(), {0, -702, 600, 1804}},
        DrawRectCase{"FitFourToThree", {600, 400}, {4000, 3000}, Fit(), {0, -25, 600, 450}},
        DrawRectCase{"StretchEnlargesSmall", {600, 400}, {300, 200},
                     {.Center = true, .Proportional = true, .Stretch = true}, {0, 0, 600, 400}},
        DrawRectCase{"StretchWithoutProportionsKeepsShape", {600, 400}, {100, 300},
                     {.Center = true, .Stretch = true}, {234, 0, 133, 400}},
        DrawRectCase{"NotCenteredAtOrigin", {600, 400}, {300, 200}, {.Proportional = true}, {0, 0, 300, 200}},
        DrawRectCase{"LargeWithoutProportionalUnscaled", {600, 400}, {1000, 3000}, {.Center = true},
                     {-200, -1300, 1000, 3000}},
        // Narrower than one pixel at the view's height: w1 would be 0 and divide by zero.
        DrawRectCase{"FitHairlinePicture", {600, 400}, {1, 2000}, Fit(), {0, -119800, 600, 240000}},
        DrawRectCase{"FitZeroHeightPicture", {600, 400}, {3000, 0}, Fit(), {}},
        DrawRectCase{"NormalZeroWidthPicture", {600, 400}, {0, 300}, Normal(), {}},
        DrawRectCase{"FitZeroHeightView", {600, 0}, {300, 200}, Fit(), {}},
        DrawRectCase{"NormalEmptyView", {0, 0}, {300, 200}, Normal(), {}}),
    [](const testing::TestParamInfo<DrawRectCase> &info) { return std::string(info.param.name); });

struct PieceCase {
    const char *name;
    QRect drawRect;
    QSize picture;
};

class SmoothImagePieceTest : public testing::TestWithParam<PieceCase> {};

// The piece must cover the whole visible part of the drawn picture, lie inside the picture, map
// onto the drawn rectangle at its scale, and exceed the view by at most two picture pixels and
// a few drawn pixels on each side.
TEST_P(SmoothImagePieceTest, CoversTheVisiblePartAndNoMore)
{
    const PieceCase &c = GetParam();
    const QRect view(0, 0, 600, 400);
    const TSmoothImagePiece piece = SmoothImageVisiblePiece(c.drawRect, c.picture, view);
    const QRect shown = c.drawRect.intersected(view);
    EXPECT_TRUE(piece.Target.contains(shown)) << piece.Target.x() << "," << piece.Target.y();
    EXPECT_TRUE(QRect(QPoint(0, 0), c.picture).contains(piece.Source));
    const double scaleX = double(c.drawRect.width()) / c.picture.width();
    const double scaleY = double(c.drawRect.height()) / c.picture.height();
    EXPECT_NEAR(piece.Target.left(), c.drawRect.left() + piece.Source.left() * scaleX, 1.0);
    EXPECT_NEAR(piece.Target.top(), c.drawRect.top() + piece.Source.top() * scaleY, 1.0);
    EXPECT_NEAR(piece.Target.width(), piece.Source.width() * scaleX, 2.0);
    EXPECT_NEAR(piece.Target.height(), piece.Source.height() * scaleY, 2.0);
    EXPECT_LE(piece.Target.width(), view.width() + 4 * scaleX + 8);
    EXPECT_LE(piece.Target.height(), view.height() + 4 * scaleY + 8);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SmoothImagePieceTest,
    testing::Values(PieceCase{"WideCut", {-300, 0, 1200, 400}, {3000, 1000}},
                    PieceCase{"TallCut", {0, -702, 600, 1804}, {1000, 3000}},
                    PieceCase{"HairlineBlownUp", {0, -119800, 600, 240000}, {1, 2000}},
                    PieceCase{"EnlargedAndCut", {-5000, -3000, 10000, 7000}, {100, 70}}),
    [](const testing::TestParamInfo<PieceCase> &info) { return std::string(info.param.name); });

TEST(SmoothImagePiece, WholeVisiblePictureIsOnePiece)
{
    const TSmoothImagePiece piece = SmoothImageVisiblePiece({34, 1, 533, 399}, {4000, 3000}, {0, 0, 600, 400});
    EXPECT_EQ(piece.Source, QRect(0, 0, 4000, 3000));
    EXPECT_EQ(piece.Target, QRect(34, 1, 533, 399));
}

TEST(SmoothImagePiece, NothingVisibleGivesNothing)
{
    EXPECT_TRUE(SmoothImageVisiblePiece({700, 0, 100, 100}, {50, 50}, {0, 0, 600, 400}).Target.isEmpty());
}

// A picture of vertical colour bands, each `bandWidth` pixels wide.
Bitmap Bands(int width, int height, int bandWidth, const std::vector<QColor> &colours, PixelFormat format)
{
    Bitmap picture(width, height, format);
    const int bpp = picture.BytesPerPixel();
    for (int y = 0; y < height; ++y) {
        std::uint8_t *row = picture.ScanLine(y);
        for (int x = 0; x < width; ++x) {
            const QColor &c = colours[(x / bandWidth) % colours.size()];
            row[x * bpp + 0] = std::uint8_t(c.blue());
            row[x * bpp + 1] = std::uint8_t(c.green());
            row[x * bpp + 2] = std::uint8_t(c.red());
            if (bpp == 4)
                row[x * bpp + 3] = 255;
        }
    }
    return picture;
}

const std::vector<QColor> kBandColours = {QColor(220, 30, 30), QColor(30, 200, 40), QColor(40, 60, 230),
                                          QColor(240, 240, 20)};

QImage Grab(TLMKSmoothImage &view) { return view.grab().toImage().convertToFormat(QImage::Format_RGB32); }

std::unique_ptr<TLMKSmoothImage> MakeView(const TSmoothImageOptions &options)
{
    auto view = std::make_unique<TLMKSmoothImage>();
    view->resize(600, 400);
    view->SetBrushColor(kBackground);
    view->SetCenter(options.Center);
    view->SetProportional(options.Proportional);
    view->SetStretch(options.Stretch);
    view->SetFitToImage(options.FitToImage);
    return view;
}

// Every pixel outside `drawn` has the background colour.
void ExpectBackgroundOutside(const QImage &shot, const QRect &drawn)
{
    int wrong = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            if (!drawn.contains(x, y) && shot.pixelColor(x, y) != kBackground)
                ++wrong;
    EXPECT_EQ(wrong, 0);
}

struct FormatCase {
    const char *name;
    PixelFormat format;
};

class SmoothImageOneToOneTest : public testing::TestWithParam<FormatCase> {};

TEST_P(SmoothImageOneToOneTest, SmallPictureDrawnUnchangedOnBackground)
{
    auto view = MakeView(Normal());
    const Bitmap picture = Bands(300, 200, 7, kBandColours, GetParam().format);
    view->SetPicture(picture);
    const QImage shot = Grab(*view);
    const QRect drawn(150, 100, 300, 200);
    ASSERT_EQ(view->DrawRect(), drawn);
    ExpectBackgroundOutside(shot, drawn);
    const QImage original = picture.WrapAsQImage().convertToFormat(QImage::Format_RGB32);
    int differing = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x)
            if (shot.pixel(150 + x, 100 + y) != original.pixel(x, y))
                ++differing;
    EXPECT_EQ(differing, 0);
}

INSTANTIATE_TEST_SUITE_P(Formats, SmoothImageOneToOneTest,
                         testing::Values(FormatCase{"Bits24", PixelFormat::pf24bit},
                                         FormatCase{"Bits32", PixelFormat::pf32bit}),
                         [](const testing::TestParamInfo<FormatCase> &info) { return std::string(info.param.name); });

struct ScaledCase {
    const char *name;
    TSmoothImageOptions options;
    QSize picture;
    int bandWidth;  // in picture pixels
};

class SmoothImageScaledTest : public testing::TestWithParam<ScaledCase> {};

// The bands land where the computed rectangle puts them: the middle of each visible band shows
// its colour (within the smoothing's rounding), the rest of the view the background.
TEST_P(SmoothImageScaledTest, BandsAppearWhereTheDrawRectPutsThem)
{
    const ScaledCase &c = GetParam();
    auto view = MakeView(c.options);
    view->SetPicture(Bands(c.picture.width(), c.picture.height(), c.bandWidth, kBandColours, PixelFormat::pf24bit));
    const QImage shot = Grab(*view);
    const QRect drawn = SmoothImageDrawRect({600, 400}, c.picture, c.options);
    ExpectBackgroundOutside(shot, drawn);

    const double scale = double(drawn.width()) / c.picture.width();
    const int y = std::clamp(drawn.center().y(), 0, 399);
    int checked = 0;
    for (int band = 0; band * c.bandWidth < c.picture.width(); ++band) {
        const int x = drawn.left() + int((band + 0.5) * c.bandWidth * scale);
        if (x < 0 || x >= 600)
            continue;
        const QColor expected = kBandColours[band % kBandColours.size()];
        const QColor seen = shot.pixelColor(x, y);
        EXPECT_NEAR(seen.red(), expected.red(), 2) << "band " << band << " at x " << x;
        EXPECT_NEAR(seen.green(), expected.green(), 2) << "band " << band << " at x " << x;
        EXPECT_NEAR(seen.blue(), expected.blue(), 2) << "band " << band << " at x " << x;
        ++checked;
    }
    EXPECT_GE(checked, 3);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SmoothImageScaledTest,
    testing::Values(ScaledCase{"Reduced", Normal(), {3000, 1000}, 300},
                    ScaledCase{"FitCutSides", Fit(), {3000, 1000}, 300},
                    ScaledCase{"FitCutTopAndBottom", Fit(), {1000, 3000}, 125},
                    ScaledCase{"StretchEnlarged", {.Center = true, .Proportional = true, .Stretch = true},
                               {150, 100}, 30}),
    [](const testing::TestParamInfo<ScaledCase> &info) { return std::string(info.param.name); });

TEST(SmoothImageView, WithoutPictureOnlyBackground)
{
    auto view = MakeView(Normal());
    ExpectBackgroundOutside(Grab(*view), {});
    view->SetPicture(Bands(300, 200, 7, kBandColours, PixelFormat::pf24bit));
    view->ClearPicture();
    EXPECT_FALSE(view->HasPicture());
    ExpectBackgroundOutside(Grab(*view), {});
}

TEST(SmoothImageView, ZeroHeightPictureInFitModeShowsBackground)
{
    auto view = MakeView(Fit());
    view->SetPicture(Bitmap(3000, 0, PixelFormat::pf24bit));
    ExpectBackgroundOutside(Grab(*view), {});
}

// The scaled copy is kept between repaints; a new picture or a new size must not show the old one.
TEST(SmoothImageView, NewPictureAndNewSizeReplaceTheScaledCopy)
{
    auto view = MakeView(Normal());
    view->SetPicture(Bands(3000, 1000, 3000, {QColor(200, 0, 0)}, PixelFormat::pf24bit));
    EXPECT_EQ(Grab(*view).pixelColor(300, 200), QColor(200, 0, 0));
    view->SetPicture(Bands(3000, 1000, 3000, {QColor(0, 0, 200)}, PixelFormat::pf24bit));
    EXPECT_EQ(Grab(*view).pixelColor(300, 200), QColor(0, 0, 200));
    view->resize(300, 400);
    const QImage shot = Grab(*view);
    ExpectBackgroundOutside(shot, {0, 150, 300, 100});
    EXPECT_EQ(shot.pixelColor(150, 200), QColor(0, 0, 200));
}

TEST(SmoothImageView, SetFitToImageRepaintsWithTheNewRule)
{
    auto view = MakeView(Normal());
    view->SetPicture(Bands(3000, 1000, 3000, {QColor(0, 150, 0)}, PixelFormat::pf24bit));
    EXPECT_EQ(Grab(*view).pixelColor(300, 20), kBackground);
    view->SetFitToImage(true);
    EXPECT_EQ(view->DrawRect(), QRect(-300, 0, 1200, 400));
    EXPECT_EQ(Grab(*view).pixelColor(300, 20), QColor(0, 150, 0));
}

TEST(SmoothImageView, TransparentViewLetsTheParentShowThrough)
{
    QWidget parent;
    parent.resize(600, 400);
    parent.setAutoFillBackground(true);
    QPalette palette = parent.palette();
    palette.setColor(QPalette::Window, QColor(0, 128, 128));
    parent.setPalette(palette);
    auto *view = new TLMKSmoothImage(&parent);
    view->setGeometry(0, 0, 600, 400);
    view->SetTransparent(true);
    EXPECT_EQ(parent.grab().toImage().pixelColor(300, 200), QColor(0, 128, 128));
    view->SetTransparent(false);
    EXPECT_EQ(parent.grab().toImage().pixelColor(300, 200), view->BrushColor());
}

TEST(SmoothImageView, PassesClicksOn)
{
    auto view = MakeView(Normal());
    view->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    QSignalSpy pressed(view.get(), &TLMKSmoothImage::MousePressed);
    QSignalSpy doubleClicked(view.get(), &TLMKSmoothImage::DoubleClicked);
    QTest::mouseClick(view.get(), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(pressed.count(), 1);
    QTest::mouseDClick(view.get(), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(doubleClicked.count(), 1);
}

}  // namespace
