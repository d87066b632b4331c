#pragma once
#include <QString>

// Files the program keeps in its folder: the configuration database and the
// empty template it is copied from.
inline constexpr const char *kDatabaseFileName = "IvrOxaProgram.cfg";
inline constexpr const char *kTemplateFileName = "IvrOxaSetup.dll";

// The program folder: the folder of the executable. Everything the program
// keeps beside itself (database, template, trace file, help file) is found
// here. Tests point it at a temporary folder.
QString ProgramFolder();
void SetProgramFolder(const QString &folder);

// The executable's name without extension ("pelvaro"), used for the trace
// file name and for the source of raised errors.
QString ExecutableName();
void SetExecutableName(const QString &name);

// Joins the program folder and a file name.
QString ProgramFile(const QString &fileName);
