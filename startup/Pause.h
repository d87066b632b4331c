#pragma once

// Waits the given seconds on the event loop (windows stay responsive; no
// busy waiting; a monotonic clock, so midnight does not matter).
void Pause(float seconds);
