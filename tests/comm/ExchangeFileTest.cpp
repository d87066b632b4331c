#include "MemMapTestSupport.h"

#include "CGestioneMemMap.h"
#include "CVersion.h"
#include "DatabaseError.h"
#include "ExchangeFile.h"
#include "MBytes.h"
#include "ProgramFolder.h"

#include <QFile>
#include <gtest/gtest.h>

using memmaptest::Configurations;
using memmaptest::MemMapDatabase;

namespace {

QByteArray ReadAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

void Put16(QByteArray &b, std::uint16_t v)
{
    b += static_cast<char>(v & 0xFF);
    b += static_cast<char>(v >> 8);
}

void Put32(QByteArray &b, std::uint32_t v)
{
    Put16(b, static_cast<std::uint16_t>(v & 0xFFFF));
    Put16(b, static_cast<std::uint16_t>(v >> 16));
}

void Set16(QByteArray &b, qsizetype at, std::uint16_t v)
{
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>(v >> 8);
}

void Set32(QByteArray &b, qsizetype at, std::uint32_t v)
{
    Set16(b, at, static_cast<std::uint16_t>(v & 0xFFFF));
    Set16(b, at + 2, static_cast<std::uint16_t>(v >> 16));
}

std::uint32_t Get32(const QByteArray &b, qsizetype at)
{
    std::uint32_t v = 0;
    for (int k = 3; k >= 0; --k)
        v = (v << 8) | static_cast<std::uint8_t>(b[at + k]);
    return v;
}

// Model 1, MVA, QD in slot B, Y2 in slot C.
constexpr std::uint32_t kFixtureCoding = 0x8203;

std::int16_t FixtureWord(int i)
{
    return static_cast<std::int16_t>(i * 241 - 30000);
}

// The file built by hand, byte by byte: identifier "pelvaro", the program's
// version, the name "Forno è 3" in Windows-1252, the coding, words that climb
// from -30000 in steps of 241 (negative and positive, both bytes in use).
QByteArray Fixture()
{
    const VersionFixedInfo &v = CVersion::ProgramVersionData().Fixed;
    QByteArray b = QByteArray("pelvaro").leftJustified(50, ' ');
    Put16(b, static_cast<std::uint16_t>(HiWord(v.FileVersionMS)));
    Put16(b, static_cast<std::uint16_t>(LoWord(v.FileVersionMS)));
    Put16(b, static_cast<std::uint16_t>(LoWord(v.FileVersionLS)));
    b += QByteArray("Forno \xE8 3").leftJustified(50, ' ');
    Put32(b, kFixtureCoding);
    for (int i = 0; i < 276; ++i)
        Put16(b, static_cast<std::uint16_t>(FixtureWord(i)));
    return b;
}

} // namespace

TEST(ExchangeFile, ByteLayout)
{
    const QByteArray fixture = Fixture();
    ASSERT_EQ(fixture.size(), 662);
    ASSERT_EQ(fixture.mid(106, 4), QByteArray("\x03\x82\x00\x00", 4)) << "little-endian coding";
    ASSERT_EQ(fixture.mid(110, 2), QByteArray("\xD0\x8A", 2)) << "word 0 is -30000, low byte first";
    testenv::ScopedProgramFolder folder;
    const QString path = folder.File(QStringLiteral("fixture.OXA"));

    // Reading the hand-made file.
    WriteAll(path, fixture);
    CGestioneMemMap read;
    ASSERT_TRUE(read.ReadMemorySetup(path));
    EXPECT_EQ(read.ModInstr().NomeProgramma(), QStringLiteral("Forno \u00E8 3"));
    EXPECT_EQ(read.CodificaModuli(), static_cast<std::int32_t>(kFixtureCoding));
    EXPECT_EQ(read.ModInstr().SlotB(), 1);
    EXPECT_EQ(read.ModInstr().SlotC(), 2);
    for (std::int16_t i = 0; i < 276; ++i)
        ASSERT_EQ(read.MemMap(i), FixtureWord(i)) << i;
    EXPECT_EQ(read.StartAddMemMap(), 0) << "reading the file leaves the register window";

    // Writing the same values gives the same bytes, and replaces a longer
    // file whole.
    WriteAll(path, QByteArray(1000, 'x'));
    CGestioneMemMap written;
    written.ModInstr().SetNomeProgramma(QStringLiteral("Forno \u00E8 3"));
    written.SetCodificaModuli(static_cast<std::int32_t>(kFixtureCoding));
    for (std::int16_t i = 0; i < 276; ++i)
        written.SetMemMap(i, FixtureWord(i));
    ASSERT_TRUE(written.SaveMemorySetup(path));
    EXPECT_EQ(ReadAll(path).toHex(' ').toStdString(), fixture.toHex(' ').toStdString());
}

// The name field is ANSI (Windows-1252): every name is written, a
// character without a code there (or a control character) as one '?', cut
// at 50 bytes; reading gives back what was written. The characters written
// as '?' are those the export tells the user of, each once.
TEST(ExchangeFile, NameFieldIsWindows1252)
{
    struct Case {
        const char *what;
        QString name;
        QByteArray field; // before the padding blanks
        QString read;
        QStringList unheld;
    };
    const QString dashes = QString(60, QChar(0x2013));
    const Case cases[] = {
        {"ASCII",
         QStringLiteral("Tank \"B\" O'Brien?"),
         "Tank \"B\" O'Brien?",
         QStringLiteral("Tank \"B\" O'Brien?"),
         {}},
        {"Latin-1", QStringLiteral("\u00D8 1"), "\xD8 1", QStringLiteral("\u00D8 1"), {}},
        {"en dash", QStringLiteral("Pompa \u2013 2"), "Pompa \x96 2", QStringLiteral("Pompa \u2013 2"), {}},
        {"euro", QStringLiteral("\u20AC"), "\x80", QStringLiteral("\u20AC"), {}},
        {"ellipsis", QStringLiteral("a\u2026"), "a\x85", QStringLiteral("a\u2026"), {}},
        {"no code", QStringLiteral("\u03A9 1"), "? 1", QStringLiteral("? 1"), {QStringLiteral("\u03A9")}},
        {"Cyrillic, each character told once",
         QStringLiteral("\u041D\u0430\u0441\u043E\u0441 \u21163"),
         "????? ?3",
         QStringLiteral("????? ?3"),
         {QStringLiteral("\u041D"), QStringLiteral("\u0430"), QStringLiteral("\u0441"), QStringLiteral("\u043E"),
          QStringLiteral("\u2116")}},
        {"no code, outside the BMP",
         QStringLiteral("x\U0001F600y"),
         "x?y",
         QStringLiteral("x?y"),
         {QStringLiteral("\U0001F600")}},
        {"control characters",
         QStringLiteral("A\tB\n\u0081"),
         "A?B??",
         QStringLiteral("A?B??"),
         {QStringLiteral("\t"), QStringLiteral("\n"), QStringLiteral("\u0081")}},
        {"cut at 50 bytes", dashes, QByteArray(50, '\x96'), dashes.left(50), {}},
        {"no code beyond the cut",
         QString(50, QLatin1Char('a')) + QStringLiteral("\u03A9"),
         QByteArray(50, 'a'),
         QString(50, QLatin1Char('a')),
         {}},
        {"trailing blanks", QStringLiteral("Forno   "), "Forno", QStringLiteral("Forno"), {}},
    };
    testenv::ScopedProgramFolder folder;
    const QString path = folder.File(QStringLiteral("name.OXA"));
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        CGestioneMemMap m;
        m.ModInstr().SetNomeProgramma(c.name);
        ASSERT_TRUE(m.SaveMemorySetup(path));
        const QByteArray bytes = ReadAll(path);
        ASSERT_EQ(bytes.size(), 662);
        EXPECT_EQ(bytes.mid(56, 50).toHex(' ').toStdString(), c.field.leftJustified(50, ' ').toHex(' ').toStdString());
        CGestioneMemMap read;
        ASSERT_TRUE(read.ReadMemorySetup(path));
        EXPECT_EQ(read.ModInstr().NomeProgramma(), c.read);
        EXPECT_EQ(ExchangeTextUnheld(c.name), c.unheld);
    }
    CGestioneMemMap m;
    EXPECT_FALSE(m.SaveMemorySetup(folder.File(QStringLiteral("missing/folder/x.OXA"))));
}

// Export and import: the imported configuration holds every stored value of
// the exported one, under the name of the file (cut at 50 characters,
// trailing blanks removed).
TEST_F(MemMapDatabase, ExportThenImportAsNewConfiguration)
{
    const auto &configs = Configurations();
    for (std::size_t k = 0; k < configs.size(); ++k) {
        SCOPED_TRACE(configs[k].what);
        const std::int32_t id = 60 + static_cast<std::int32_t>(k);
        const std::int32_t newId = 160 + static_cast<std::int32_t>(k);
        Store(configs[k], id);
        const QString file = m_Folder.File(QStringLiteral("export%1.OXA").arg(k));
        g_Scala.Reset();
        g_ScalaB.Reset();
        ASSERT_TRUE(CGestioneMemMap().Export(file, id));
        const QByteArray bytes = ReadAll(file);
        ASSERT_EQ(bytes.size(), 662);
        EXPECT_EQ(static_cast<std::int32_t>(Get32(bytes, 106)), colltest::Coding(configs[k].modules));

        g_Scala.Reset();
        g_ScalaB.Reset();
        ASSERT_TRUE(CGestioneMemMap().Import(file, newId));
        const auto exported = Load(id);
        const auto imported = Load(newId);
        EXPECT_EQ(memmaptest::DifferencesButName(*exported, *imported), "");
        QString name = configs[k].name.left(50);
        while (name.endsWith(QLatin1Char(' ')))
            name.chop(1);
        EXPECT_EQ(imported->ModInstr().NomeProgramma(), name);
    }
    // A configuration that is not stored is the database's failure, for the
    // caller to tell as such (not as a file that cannot be written); no file.
    const QString missing = m_Folder.File(QStringLiteral("missing.OXA"));
    try {
        CGestioneMemMap().Export(missing, 999);
        ADD_FAILURE() << "exported a configuration that is not stored";
    } catch (const DatabaseError &e) {
        EXPECT_EQ(e.Kind(), DatabaseFailure::NotInArchive) << e.Description().toStdString();
    }
    EXPECT_FALSE(QFile::exists(missing));
}

// Every file that is not a good one of ours is refused with a trace line
// naming what was wrong: the manager stays as it was and Import stores
// nothing.
TEST_F(MemMapDatabase, BadExchangeFilesAreRefusedWithNothingSaved)
{
    const auto &cfg = Configurations().front();
    Store(cfg, 70);
    const QString goodFile = m_Folder.File(QStringLiteral("good.OXA"));
    ASSERT_TRUE(CGestioneMemMap().Export(goodFile, 70));
    const QByteArray good = ReadAll(goodFile);
    ASSERT_EQ(good.size(), 662);
    const std::uint32_t coding = Get32(good, 106);

    struct Case {
        const char *what;
        std::function<void(QByteArray &)> change;
        bool read;          // ReadMemorySetup accepts it
        bool import;        // Import stores it
        const char *reason; // part of the trace line
    };
    const std::vector<Case> cases = {
        {"the good file", [](QByteArray &) {}, true, true, ""},
        {"other minor version and revision",
         [](QByteArray &b) {
             Set16(b, 52, 999);
             Set16(b, 54, 0xFFFF);
         },
         true, true, ""},
        {"empty", [](QByteArray &b) { b.clear(); }, false, false, "dimensione di 0 byte"},
        {"one byte short", [](QByteArray &b) { b.chop(1); }, false, false, "dimensione di 661 byte"},
        {"one byte long", [](QByteArray &b) { b += 'x'; }, true, true, ""},
        {"700 bytes", [](QByteArray &b) { b += QByteArray(38, '\xFF'); }, true, true, ""},
        {"identifier in other case", [](QByteArray &b) { b[0] = 'P'; }, false, false,
         "identificativo programma \"Pelvaro\""},
        {"identifier of another program", [](QByteArray &b) { b.replace(0, 7, "oxaprg2"); }, false, false,
         "identificativo programma \"oxaprg2\""},
        {"identifier padded with NUL", [](QByteArray &b) { b[7] = '\0'; }, false, false,
         "identificativo programma con un byte non ammesso (0x0) alla posizione 8"},
        {"another major version", [](QByteArray &b) { Set16(b, 50, 2); }, true, true, ""},
        {"NUL in the name", [](QByteArray &b) { b[60] = '\0'; }, false, false,
         "nome configurazione con un byte non ammesso (0x0)"},
        {"tab in the name", [](QByteArray &b) { b[57] = '\t'; }, false, false,
         "nome configurazione con un byte non ammesso (0x9)"},
        {"Windows-1252 letters in the name", [](QByteArray &b) { b.replace(56, 4, "\x80\x85\x96\x9F"); }, true, true,
         ""},
        {"byte without a character in the name", [](QByteArray &b) { b[58] = static_cast<char>(0x81); }, false, false,
         "nome configurazione con un byte non ammesso (0x81)"},
        {"DEL in the name", [](QByteArray &b) { b[105] = 0x7F; }, false, false, "alla posizione 50"},
        {"slot A 7", [coding](QByteArray &b) { Set32(b, 106, coding | 0x1C00); }, false, false,
         "codifica moduli 0x9E03 non valida"},
        {"stray bit 5", [coding](QByteArray &b) { Set32(b, 106, coding | 0x20); }, false, false, "codifica moduli"},
        {"relay bits 0x7", [coding](QByteArray &b) { Set32(b, 106, (coding & ~0xFu) | 0x7); }, false, false,
         "codifica moduli"},
        {"QD and QE together", [coding](QByteArray &b) { Set32(b, 106, coding | 0x300); }, false, false,
         "codifica moduli"},
        {"bit 22", [coding](QByteArray &b) { Set32(b, 106, coding | 0x400000); }, false, false, "codifica moduli"},
        {"master-input bits without the master input", [coding](QByteArray &b) { Set32(b, 106, coding | 0x10000); },
         false, false, "codifica moduli"},
        {"words no reader accepts",
         [](QByteArray &b) {
             for (int i = 0; i < 276; ++i)
                 Set16(b, 110 + 2 * i, 0x7FFF);
         },
         true, false, "dati non convertibili"},
    };

    const QString path = m_Folder.File(QStringLiteral("case.OXA"));
    for (std::size_t k = 0; k < cases.size(); ++k) {
        const Case &c = cases[k];
        SCOPED_TRACE(c.what);
        QByteArray bytes = good;
        c.change(bytes);
        WriteAll(path, bytes);

        TraceCapture traced;
        CGestioneMemMap m;
        m.ModInstr().SetNomeProgramma(QStringLiteral("Prima"));
        m.ModInstr().SetCodificaModuli(0x4000);
        m.SetMemMap(5, 77);
        EXPECT_EQ(m.ReadMemorySetup(path), c.read);
        if (!c.read) {
            EXPECT_EQ(m.ModInstr().NomeProgramma(), QStringLiteral("Prima"));
            EXPECT_EQ(m.CodificaModuli(), 0x4000);
            EXPECT_EQ(m.MemMap(5), 77);
        }

        const std::int32_t rows = AllRows();
        const std::int32_t newId = 300 + static_cast<std::int32_t>(k);
        g_Scala.Reset();
        g_ScalaB.Reset();
        EXPECT_EQ(CGestioneMemMap().Import(path, newId), c.import);
        if (c.import) {
            EXPECT_EQ(AllRows(), rows + 18);
            EXPECT_EQ(memmaptest::DifferencesButName(*Load(70), *Load(newId)), "");
        } else {
            EXPECT_EQ(AllRows(), rows) << "nothing stored";
            EXPECT_FALSE(Column(QStringLiteral("CModInstr"), newId, QStringLiteral("m_NomeProgramma")).isValid());
            const QStringList lines = traced.Lines();
            const QString expected = QString::fromUtf8(c.reason);
            EXPECT_FALSE(lines.filter(path).filter(expected).isEmpty())
                << "no trace line with \"" << c.reason << "\":\n"
                << colltest::Text(lines);
        }
    }

    TraceCapture traced;
    EXPECT_FALSE(CGestioneMemMap().Import(m_Folder.File(QStringLiteral("absent.OXA")), 400));
    EXPECT_FALSE(traced.Lines().filter(QStringLiteral("Impossibile leggere il file ")).isEmpty());
}

TEST(ExchangeFile, AuxiliaryFileInTheProgramFolder)
{
    testenv::ScopedProgramFolder folder;
    CGestioneMemMap out;
    out.SetCodificaModuli(static_cast<std::int32_t>(kFixtureCoding));
    out.SetMemMapAux(0, QStringLiteral("inP>rAnG=r4"));
    out.SetMemMapAux(1, QStringLiteral("say \"hi\""));
    out.SetMemMapAux(143, QStringLiteral("S.out>bAud=9600"));
    ASSERT_TRUE(out.SaveMemorySetupAux(QString::fromLatin1(CGestioneMemMap::kMemoryUserAuxDump)));
    const QString path = folder.File(QStringLiteral("MemoryUserAux.mem"));
    const QByteArray text = ReadAll(path);
    EXPECT_TRUE(text.startsWith("\"33283\"\r\n\"inP>rAnG=r4\"\r\n\"say \"\"hi\"\"\"\r\n\"NoSend\"\r\n"));
    EXPECT_TRUE(text.endsWith("\"NoSend\"\r\n\"S.out>bAud=9600\"\r\n"));
    EXPECT_EQ(text.count("\r\n"), 145);

    CGestioneMemMap in;
    ASSERT_TRUE(in.ReadMemorySetupAux(QStringLiteral("MemoryUserAux.mem")));
    EXPECT_EQ(in.CodificaModuli(), static_cast<std::int32_t>(kFixtureCoding));
    for (std::int16_t i = 0; i < 144; ++i)
        ASSERT_EQ(in.MemMapAux(i), out.MemMapAux(i)) << i;

    // Refused, changing nothing: a line missing, a line without its quotes,
    // a coding that is not a number or not a coding, a lone quote.
    const QList<QByteArray> bad = {
        text.left(text.lastIndexOf("\"S.out")),
        QByteArray(text).replace("\"inP>rAnG=r4\"", "inP>rAnG=r4"),
        QByteArray(text).replace("\"33283\"", "\"33283x\""),
        QByteArray(text).replace("\"33283\"", "\"40192\""),
        QByteArray(text).replace("\"\"hi\"\"", "\"hi\""),
    };
    for (qsizetype k = 0; k < bad.size(); ++k) {
        SCOPED_TRACE(k);
        WriteAll(path, bad[k]);
        CGestioneMemMap m;
        EXPECT_FALSE(m.ReadMemorySetupAux(QStringLiteral("MemoryUserAux.mem")));
        EXPECT_EQ(m.MemMapAux(0), QStringLiteral("NoSend"));
        EXPECT_EQ(m.ModInstr().CodificaModuli(), CModInstr().CodificaModuli());
    }
}
