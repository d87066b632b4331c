#pragma once

// Waits the given seconds on the event loop (windows stay responsive; no
// busy waiting): a local QEventLoop on a precise single-shot timer, measured
// with QElapsedTimer (monotonic, so midnight does not matter).
void Pause(float seconds);
