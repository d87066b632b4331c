#pragma once
#include <functional>

// Ends the program at once (no window unloaded, nothing saved). Tests install
// a hook that throws instead, so no test ever exits the process.
[[noreturn]] void EndProgram(int exitCode = 0);

using EndProgramHook = std::function<void(int)>;
// The hook must not return (it throws); if it does, the process exits anyway.
EndProgramHook SetEndProgramHook(EndProgramHook hook);
