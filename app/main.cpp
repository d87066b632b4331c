#include "Avvio.h"
#include "CommandBorder.h"
#include "FMain.h"
#include "ScaleTables.h"

int main(int argc, char **argv)
{
    // The start routine lives in the start-up layer; the scale tables and the
    // main window belong to the layers above it and are handed in here.
    StartHooks hooks;
    hooks.initGlobalScale = InitGlobalScale;
    hooks.createMainForm = [] { return new FMain; };
    hooks.reportCurrentError = [] { ReportCurrentError(nullptr, QString()); };
    return Main(argc, argv, hooks);
}
