// Build tool: writes the template configuration database from the
// registered parameter classes (see model/CTemplateDatabase.h).
//   pelvaro_mktemplate <output file>
#include "CTemplateDatabase.h"
#include "DatabaseError.h"
#include "MErrors.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: pelvaro_mktemplate <output file>\n");
        return 2;
    }
    try {
        CreateTemplateDatabase(QString::fromLocal8Bit(argv[1]));
    } catch (const DatabaseError &e) {
        std::fprintf(stderr, "pelvaro_mktemplate: %s\n", qPrintable(e.Description()));
        return 1;
    } catch (const ProgramError &e) {
        std::fprintf(stderr, "pelvaro_mktemplate: %s\n", qPrintable(e.Description()));
        return 1;
    }
    return 0;
}
