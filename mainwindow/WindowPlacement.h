#pragma once
#include <QList>
#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <cstdint>
#include <functional>

// Converting a window's place between the twips of the per-user store and
// the pixels of the screen, and keeping a stored place reachable.
namespace windowplacement {

// The pixels a twips value shows as at dpi dots per inch, rounded up so a
// size in twips is never shown smaller than it is.
int TwipsToPixels(std::int32_t twips, double dpi);

// The twips value stored for a pixel value: of all values that show as
// exactly these pixels, the roundest (a multiple of the largest power of
// ten), so a place shown from 100 or 4000 twips is stored as 100 or 4000
// again and never drifts from start to start.
std::int32_t PixelsToTwips(int pixels, double dpi);

// The top-left corner at which a window whose frame would cover frame is
// shown. A window whose top edge and bottom edge, each with some of its
// width, lie on the screens (available areas, without panels) stays where it
// is; any other window (off every screen, its title bar above the screen,
// or reaching below the screen it shows on, such as one whose title bar is
// all that shows) is moved into the screen it overlaps most (the nearest
// screen when it overlaps none), frame and all, as far as it fits there.
QPoint ReachablePosition(const QRect &frame, const QList<QRect> &screens);

// Where a window is shown, frame counted: its frame's top-left corner and
// its inner size.
struct Placement {
    QPoint framePosition;
    QSize size;
    bool operator==(const Placement &) const = default;
};

// The placement of a window stored with its frame's top-left corner at
// place and the inner size size (any values: they come from the settings
// store), whose frame adds frame around the inner size: the size at least
// minimum, then at most what the available area of the screen it shows on
// leaves beside the frame (the screen wins over the minimum); the place as
// ReachablePosition gives it for the frame of that size. Without any screen
// known, only the minimum is applied.
Placement PlaceWindow(QPoint place, QSize size, QSize minimum, const QMargins &frame, const QList<QRect> &screens);

// The available areas of the screens (QScreen::availableGeometry of each).
// Tests install screens of their own; an empty function restores these.
// Returns the previous source.
using ScreenAreas = std::function<QList<QRect>()>;
ScreenAreas SetScreenAreas(ScreenAreas areas);
QList<QRect> AvailableScreenAreas();

} // namespace windowplacement
