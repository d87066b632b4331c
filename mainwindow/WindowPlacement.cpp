#include "WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace windowplacement {

int TwipsToPixels(std::int32_t twips, double dpi)
{
    return static_cast<int>(std::ceil(twips * dpi / 1440.0 - 1e-9));
}

std::int32_t PixelsToTwips(int pixels, double dpi)
{
    // The values that show as these pixels form the interval
    // ((pixels - 1) * 1440 / dpi, pixels * 1440 / dpi]; the nearest value
    // below its upper end that is a multiple of each step is tried, the
    // coarsest first.
    const std::int32_t upper = static_cast<std::int32_t>(std::floor(pixels * 1440.0 / dpi + 1e-9));
    for (const std::int32_t step : {10000, 1000, 100, 10, 5, 1}) {
        const std::int32_t candidate = static_cast<std::int32_t>(std::floor(static_cast<double>(upper) / step)) * step;
        if (TwipsToPixels(candidate, dpi) == pixels)
            return candidate;
    }
    return upper;
}

namespace {

// How much of the window's width must lie on a screen beside its top edge for
// the window to be grabbed by its title bar there.
constexpr int kReachableWidth = 100;

// One of the window's horizontal edges (at y) lies on the screen with enough
// of the window's width beside it.
bool EdgeOn(const QRect &frame, int y, const QRect &screen)
{
    if (y < screen.top() || y > screen.bottom())
        return false;
    const int left = std::max(frame.left(), screen.left());
    const int right = std::min(frame.right(), screen.right());
    return right - left + 1 >= std::min(kReachableWidth, frame.width());
}

bool EdgeOnAny(const QRect &frame, int y, const QList<QRect> &screens)
{
    return std::any_of(screens.begin(), screens.end(), [&](const QRect &s) { return EdgeOn(frame, y, s); });
}

int Overlap(const QRect &a, const QRect &b)
{
    const QRect common = a.intersected(b);
    return common.isEmpty() ? 0 : common.width() * common.height();
}

// How far the centre of a window lies from a screen (squared).
double Distance(const QRect &frame, const QRect &screen)
{
    const QPointF centre = QRectF(frame).center();
    const double dx = std::max({screen.left() - centre.x(), 0.0, centre.x() - screen.right()});
    const double dy = std::max({screen.top() - centre.y(), 0.0, centre.y() - screen.bottom()});
    return dx * dx + dy * dy;
}

// The start of a span of length size moved into [low, high] as far as it
// fits (its start at low when it is longer than the range).
int Fit(int start, int size, int low, int high)
{
    return std::max(low, std::min(start, high - size + 1));
}

// The screen a window is shown on: the one its top edge lies on when it
// stays where it is; else the one it overlaps most, overlapping none the
// nearest.
const QRect &TargetScreen(const QRect &frame, const QList<QRect> &screens)
{
    for (const QRect &screen : screens) {
        if (EdgeOn(frame, frame.top(), screen) && EdgeOnAny(frame, frame.bottom(), screens))
            return screen;
    }
    const auto better = [&frame](const QRect &a, const QRect &b) {
        const int overlapA = Overlap(frame, a);
        const int overlapB = Overlap(frame, b);
        if (overlapA != overlapB)
            return overlapA > overlapB;
        return overlapA == 0 && Distance(frame, a) < Distance(frame, b);
    };
    const QRect *best = &screens.front();
    for (const QRect &screen : screens) {
        if (better(screen, *best))
            best = &screen;
    }
    return *best;
}

ScreenAreas &screenAreasRef()
{
    static ScreenAreas areas;
    return areas;
}

} // namespace

QPoint ReachablePosition(const QRect &frame, const QList<QRect> &screens)
{
    if (screens.isEmpty())
        return frame.topLeft();
    // Kept when both the title bar and the bottom edge can be reached.
    if (EdgeOnAny(frame, frame.top(), screens) && EdgeOnAny(frame, frame.bottom(), screens))
        return frame.topLeft();
    const QRect &best = TargetScreen(frame, screens);
    return {Fit(frame.left(), frame.width(), best.left(), best.right()),
            Fit(frame.top(), frame.height(), best.top(), best.bottom())};
}

Placement PlaceWindow(QPoint place, QSize size, QSize minimum, const QMargins &frame, const QList<QRect> &screens)
{
    size = size.expandedTo(minimum);
    if (screens.isEmpty())
        return {place, size};
    const QSize margins(frame.left() + frame.right(), frame.top() + frame.bottom());
    // The screen is chosen for the window as large as the screens at most,
    // so that no stored size, however large, reaches beyond the numbers.
    QRect all;
    for (const QRect &screen : screens)
        all |= screen;
    const QSize bounded = size.boundedTo(all.size());
    const QRect &screen = TargetScreen(QRect(place, bounded + margins), screens);
    size = size.boundedTo((screen.size() - margins).expandedTo(QSize(1, 1)));
    return {ReachablePosition(QRect(place, size + margins), screens), size};
}

ScreenAreas SetScreenAreas(ScreenAreas areas)
{
    ScreenAreas old = std::move(screenAreasRef());
    screenAreasRef() = std::move(areas);
    return old;
}

QList<QRect> AvailableScreenAreas()
{
    if (screenAreasRef())
        return screenAreasRef()();
    QList<QRect> areas;
    for (const QScreen *screen : QGuiApplication::screens())
        areas.append(screen->availableGeometry());
    return areas;
}

} // namespace windowplacement
