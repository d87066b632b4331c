#pragma once
#include <QList>
#include <QPoint>
#include <QRect>
#include <cstdint>

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
// shown. A window whose top edge, with some of its width, lies on one of the
// screens (available areas, without panels) stays where it is; any other
// window (off every screen, or with its title bar above or below the screen
// it shows on) is moved into the screen it overlaps most (the nearest screen
// when it overlaps none), as far as it fits there.
QPoint ReachablePosition(const QRect &frame, const QList<QRect> &screens);

} // namespace windowplacement
