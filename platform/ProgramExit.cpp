#include "ProgramExit.h"

#include <cstdlib>

namespace {
EndProgramHook &hookRef()
{
    static EndProgramHook hook;
    return hook;
}
} // namespace

EndProgramHook SetEndProgramHook(EndProgramHook hook)
{
    EndProgramHook old = std::move(hookRef());
    hookRef() = std::move(hook);
    return old;
}

void EndProgram(int exitCode)
{
    if (hookRef())
        hookRef()(exitCode);
    std::exit(exitCode);
}
