#pragma once
// The trace capture lives with the shared test fixtures.
#include "../support/TraceCapture.h"
