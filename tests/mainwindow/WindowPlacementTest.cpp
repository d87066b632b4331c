#include "WindowPlacement.h"

#include <gtest/gtest.h>

using namespace windowplacement;

// A value stored in twips shows as pixels and is stored again unchanged
// when it is a round value; any pixel count is stored as a value that
// shows as exactly that count again.
TEST(WindowPlacement, TwipsSurviveTheTripThroughPixels)
{
    struct Case {
        double dpi;
        std::int32_t twips;
        int pixels;
        std::int32_t storedAgain;
    };
    const Case cases[] = {
        {96, 100, 7, 100},      {96, 6800, 454, 6800}, {96, 3750, 250, 3750},  {96, 4000, 267, 4000},
        {96, 4005, 267, 4000},  {96, 0, 0, 0},         {96, -195, -13, -200},  {96, 1234, 83, 1240},
        {120, 6800, 567, 6800}, {72, 100, 5, 100},     {144, 4000, 400, 4000}, {96, 30000, 2000, 30000},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(TwipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " at " << c.dpi;
        EXPECT_EQ(PixelsToTwips(c.pixels, c.dpi), c.storedAgain) << c.pixels << " at " << c.dpi;
    }
    for (const double dpi : {72.0, 96.0, 120.0, 144.0}) {
        for (int pixels = -300; pixels <= 3000; ++pixels)
            ASSERT_EQ(TwipsToPixels(PixelsToTwips(pixels, dpi), dpi), pixels) << pixels << " at " << dpi;
    }
}

TEST(WindowPlacement, AWindowOffEveryScreenComesBackOnOne)
{
    const QList<QRect> twoScreens{QRect(0, 0, 1280, 1024), QRect(1280, 0, 1920, 1080)};
    const QSize size(600, 400);
    struct Case {
        const char *what;
        QPoint stored;
        QPoint shown;
    };
    const Case cases[] = {
        {"on the first screen", {300, 200}, {300, 200}},
        {"on the second screen", {2000, 500}, {2000, 500}},
        {"across both screens", {1000, 100}, {1000, 100}},
        {"mostly off the right edge, its title still grabbed", {1200, 100}, {1200, 100}},
        {"title bar above the screen", {300, -30}, {300, 0}},
        {"far left of every screen", {-5000, 300}, {0, 300}},
        {"far below every screen", {300, 2000}, {300, 624}},
        {"far right of every screen", {9000, 100}, {2600, 100}},
        {"below the first, beside the second", {100, 1050}, {100, 624}},
        {"its title bar all that shows", {300, 1000}, {300, 624}},
        {"its bottom edge below the screen", {300, 700}, {300, 624}},
        {"its bottom edge on the screen", {300, 624}, {300, 624}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ReachablePosition(QRect(c.stored, size), twoScreens), c.shown) << c.what;

    // A window larger than its screen starts at the screen's corner.
    EXPECT_EQ(ReachablePosition(QRect(QPoint(-900, -900), QSize(2000, 1500)), {QRect(0, 0, 1280, 1024)}), QPoint(0, 0));
    // Without any screen known nothing is moved.
    EXPECT_EQ(ReachablePosition(QRect(QPoint(-900, 50), size), {}), QPoint(-900, 50));
}

// The frame counts: a window stored larger than its screen, or off it, is
// shown inside the screen's available area frame and all; a size below the
// minimum (a negative one too) is raised to it.
TEST(WindowPlacement, TheSizeFitsTheScreenItShowsOnFrameCounted)
{
    const QList<QRect> screens{QRect(0, 0, 1280, 1024), QRect(1280, 24, 800, 576)};
    const QMargins frame(4, 30, 4, 4);
    const QSize minimum(334, 267);
    struct Case {
        const char *what;
        QPoint place;
        QSize size;
        QPoint shownAt;
        QSize shownSize;
    };
    const Case cases[] = {
        {"fits as stored", {100, 100}, {600, 400}, {100, 100}, {600, 400}},
        {"larger than the first screen", {100, 100}, {26667, 26667}, {0, 0}, {1272, 990}},
        {"larger than the second screen, on it", {1500, 100}, {26667, 26667}, {1280, 24}, {792, 542}},
        {"the largest size there is", {100, 100}, {143165577, 143165577}, {0, 0}, {1272, 990}},
        {"negative", {100, 100}, {-5000, -143165577}, {100, 100}, minimum},
        {"from far below, its status bar above the edge", {100, 90000}, {600, 400}, {100, 590}, {600, 400}},
        {"title bar in the last pixels", {100, 1020}, {600, 400}, {100, 590}, {600, 400}},
    };
    for (const Case &c : cases) {
        const Placement p = PlaceWindow(c.place, c.size, minimum, frame, screens);
        EXPECT_EQ(p.framePosition, c.shownAt) << c.what;
        EXPECT_EQ(p.size, c.shownSize) << c.what;
    }
    // Without any screen known only the minimum applies.
    EXPECT_EQ(PlaceWindow({-50, 9000}, {10, 99999}, minimum, frame, {}), (Placement{{-50, 9000}, {334, 99999}}));
}
