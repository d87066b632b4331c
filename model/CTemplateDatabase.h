#pragma once
#include "ProgramFolder.h"
#include <QString>
#include <QStringList>
#include <cstdint>

// The empty configuration database "IvrOxaSetup.dll" that a new
// "IvrOxaProgram.cfg" is copied from. It is generated from the registered
// parameter classes themselves, so the tables always have the columns the
// classes save and load:
//   - one table per class instance (named like the instance): "IDProgramma"
//     (the key) first, then the class's columns in its order, each table
//     holding the row with IDProgramma 2 at the class's defaults (the
//     configuration read from an instrument; CModInstr names it with string
//     617 "Actual instrument setting");
//   - "CounterProgrammi": adding a row draws the next IDProgramma, never 2 and
//     never one drawn before, even after a deletion;
//   - the view "Programmi": "m_NomeProgramma" and "IDProgramma" of every
//     stored configuration but 2, in id order;
//   - the procedure "Canc_Programma" (parameter "IDProgramma"): deletes that
//     configuration's rows from every table and its counter row; id 2 is
//     never deleted. Run it with ADOConnection::ExecuteProcedure.
inline constexpr const char *kProgramDatabaseFileName = kDatabaseFileName;
inline constexpr std::int32_t kInstrumentIDProgramma = 2;

// Writes the template to path (replacing a file there; written under a
// temporary name first, so a failure never leaves a half-made template).
// Throws DatabaseError.
void CreateTemplateDatabase(const QString &path);

// The statements that build the schema, in order (for tests and tracing).
QStringList TemplateSchemaStatements();
