// Every string id the program uses is in the string table, with the "|n"
// placeholders its callers fill: the ids in the sources (a scan of the
// program's folders), the ids designed on the windows (a walk over the real
// windows), and the table's own order and id ranges.

#include "ControlKinds.h"
#include "FAbout.h"
#include "FAuxProgSetup.h"
#include "FIntestazioneDoc.h"
#include "FMain.h"
#include "FOption.h"
#include "FSerialProgSetup.h"
#include "FSplash.h"
#include "FViewInstrData.h"
#include "FWAlarm.h"
#include "FWAnalogOut.h"
#include "FWCommConfig.h"
#include "FWCounterAB.h"
#include "FWDisplay.h"
#include "FWFiltroDigitale.h"
#include "FWFinalSetupMessage.h"
#include "FWInOutScale.h"
#include "FWLinearize.h"
#include "FWModInstr.h"
#include "FWNetworkAddMsgSetup.h"
#include "FWRangeGKP.h"
#include "FWRangeMVAHVA.h"
#include "FWRangeMVZ.h"
#include "FWRangeWP12.h"
#include "FWSerialComm.h"
#include "CCollDatiSetup.h"
#include "CParameterClassBase.h"
#include "FieldLabels.h"
#include "ResourceText.h"
#include "SourceIdScan.h"
#include "StringTable.h"
#include "TestEnvironment.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QRegularExpression>
#include <QToolBar>
#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <sstream>

using idscan::Taker;
using idscan::Use;

namespace {

// ---- the rule for one text --------------------------------------------------

std::set<int> placeholders(const QString &text)
{
    std::set<int> found;
    static const QRegularExpression re(QStringLiteral("\\|([1-9])"));
    for (auto it = re.globalMatch(text); it.hasNext();)
        found.insert(it.next().captured(1).toInt());
    return found;
}

std::string placeholderList(const std::set<int> &set)
{
    if (set.empty())
        return "none";
    std::string out;
    for (const int n : set)
        out += (out.empty() ? "|" : " |") + std::to_string(n);
    return out;
}

// What is wrong with string id `id` used as `use` (Filled: with `values`
// values), or "" when nothing is.
std::string Fault(std::int64_t id, Use use, int values = 0)
{
    if (id == -1)
        return "a designed text that is no string id";
    if (id < std::numeric_limits<std::int32_t>::min() || id > std::numeric_limits<std::int32_t>::max() ||
        !HasResourceString(static_cast<std::int32_t>(id)))
        return "string id " + std::to_string(id) + " is not in resources/strings.txt";
    const QString text = LoadResourceString(static_cast<std::int32_t>(id));
    const std::set<int> found = placeholders(text);
    std::set<int> filled;
    std::string how = "is shown as it stands";
    if (use == Use::Filled) {
        for (int n = 1; n <= values; ++n)
            filled.insert(n);
        how = "gets " + std::to_string(values) + " value(s) from its caller";
    } else if (use == Use::Line) {
        filled = {1};
        how = "is an auxiliary-line template (\"command=|1\")";
        if (found == filled && !text.endsWith(QLatin1String("|1")))
            return "string id " + std::to_string(id) + " (\"" + text.toStdString() + "\") " + how +
                   " but does not end in |1";
    }
    if (found == filled)
        return {};
    return "string id " + std::to_string(id) + " (\"" + text.toStdString() + "\") " + how + " (" +
           placeholderList(filled) + ") but holds " + placeholderList(found);
}

// ---- the ids of the sources ------------------------------------------------

// The program's folders.
const std::vector<std::string> kFolders = {"app", "startup", "model", "comm", "wizard", "mainwindow", "platform"};

// The functions that take a string id: the argument holding it, and what
// they do with its text. A helper that passes its id parameter on to another
// taker is a taker itself, so the scan follows the id to its callers.
const std::vector<Taker> kTakers = {
    // The string-table lookups.
    {"LoadResourceString", 0, Use::Text},
    {"GetResourceText", 0, Use::Filled, 1},
    {"textOr", 0, Use::Text, -1, "startup/CVersion.cpp"},
    {"showCommMessage", 0, Use::Text, -1, "comm/CLiveView.cpp"},
    {"showCommMessage", 0, Use::Text, -1, "comm/ModbusTransfer.cpp"},
    {"RunSendSetupWizard", 0, Use::Text, -1, "mainwindow/TransferCommands.cpp"},
    {"label", 0, Use::Text, -1, "model/CCounterAB.cpp"},
    {"label", 0, Use::Text, -1, "model/CInOutScale.cpp"},
    {"slotSection", 1, Use::Text, -1, "model/CRangeMVZ.cpp"},
    {"FillSection", 1, Use::Text, -1, "wizard/FWRangeMVZ.cpp"},
    {"FillSection", 2, Use::Text, -1, "wizard/FWRangeMVZ.cpp"},
    // Captions: the Tag of a window or control, the title of a page (0: none).
    {"SetControlTag", 1, Use::Text},
    {"named", 2, Use::Text, -1, "wizard/PageControls.cpp", true},
    {"named", 2, Use::Text, -1, "mainwindow/FOption.cpp", true},
    {"NewFrame", 2, Use::Text, -1, "", true},
    {"NewOption", 2, Use::Text, -1, "", true},
    {"NewLabel", 2, Use::Text, -1, "", true},
    {"FillOptionGroup", 3, Use::TextList},
    {"FWizardPage", 1, Use::Text, -1, "", true},
    {"FWizardDataPage", 1, Use::Text, -1, "", true},
    {"FWizardRangePage", 1, Use::Text, -1, "", true},
    {"FWizardScalePage", 1, Use::Text, -1, "", true},
    // Designed tool tips, menu items and report-heading boxes: the id
    // written as their text.
    {"setToolTip", 0, Use::DigitText},
    {"addMenu", 0, Use::DigitText},
    {"NewMenuItem", 2, Use::DigitText, -1, "mainwindow/FMain.cpp"},
    {"control", 6, Use::DigitText, -1, "mainwindow/FIntestazioneDoc.cpp"},
    // Report texts of codes: one id per code from a base id.
    {"EnumCodeText", 0, Use::CodeTable, 2},
    {"codeText", 0, Use::CodeSpan, 2, "model/CModInstr.cpp"},
    // Auxiliary-line templates.
    {"AuxLine", 0, Use::Line},
    {"auxLine", 0, Use::Line, -1, "model/CSerialComm.cpp"},
    {"AuxCommandPrefix", 0, Use::Line},
    {"FindCmdAuxValue", 0, Use::Line},
    {"lineValue", 0, Use::Line, -1, "model/CAlarm.cpp"},
    {"lineValue", 0, Use::Line, -1, "model/CAnalogOut.cpp"},
    {"readPulses", 1, Use::Line, -1, "model/CRangeWP12.cpp"},
    {"readLinearizzazione", 1, Use::Line, -1, "model/CInOutScale.cpp"},
    {"ReadLetteredCodeLine", 1, Use::Line},
    {"ScaleAuxLine", 0, Use::Line},
    {"ScaleAuxPrefix", 0, Use::Line},
    {"ReadAuxScale16", 1, Use::Line},
    {"ReadAuxScale32", 1, Use::Line},
    {"ReadAuxDigitalPoint", 1, Use::Line},
    {"LinearizationSwitchLineText", 0, Use::Line},
};

struct Span {
    int first;
    int last;
    int step = 1;
};

// The calls whose id the scan cannot work out from the source (a loop's
// value, a table walked at run time, a value computed from a code), named
// by file, enclosing function and argument as written. Each says where its
// ids come from: a list the test checks like any other, the callers of a
// taker, the windows' designed ids (checked by the window walk), or a text
// that is no id at all. An entry that no longer matches a call fails, and
// so does a call that needs one and has none.
struct KnownSite {
    enum Kind { Ids, HandedOn, Designed, NoId } kind;
    const char *file;
    const char *function;
    const char *argument;
    std::vector<Span> ids;
    const char *taker = nullptr;
    std::optional<Use> use; // how the text is used, where the taker's rule does not say it
};

KnownSite Ids(const char *file, const char *function, const char *argument, std::vector<Span> ids,
              std::optional<Use> use = std::nullopt)
{
    return {KnownSite::Ids, file, function, argument, std::move(ids), nullptr, use};
}
// The id is the taker's parameter: its callers are checked.
KnownSite HandedOn(const char *file, const char *function, const char *argument, const char *taker)
{
    return {KnownSite::HandedOn, file, function, argument, {}, taker, std::nullopt};
}
// An id designed on a window (Tag, tool tip, menu text): the window walk checks it.
KnownSite Designed(const char *file, const char *function, const char *argument)
{
    return {KnownSite::Designed, file, function, argument, {}, nullptr, std::nullopt};
}
// A text shown as it is: no id.
KnownSite NoId(const char *file, const char *function, const char *argument)
{
    return {KnownSite::NoId, file, function, argument, {}, nullptr, std::nullopt};
}

const std::vector<KnownSite> kKnownSites = {
    // startup
    Ids("startup/DatabaseErrorText.cpp", "DatabaseErrorText", "textOf(error.Kind())", {{1060, 1062}, {1064, 1065}}),
    Ids("startup/DatabaseErrorText.cpp", "DatabaseRetryText", "id", {{1085, 1085}, {1093, 1098}}),
    Ids("startup/FileWriteErrorText.cpp", "FileWriteErrorText", "textOf(error.kind)", {{1081, 1083}}),
    NoId("startup/CTrayIcon.cpp", "Create", "StrZToStr(BytesToStr(m_TipBytes))"),
    NoId("startup/CTrayIcon.cpp", "shellModify", "StrZToStr(BytesToStr(m_TipBytes))"),
    NoId("startup/ControlKinds.cpp", "SetControlToolTip", "toolTip"),
    Designed("startup/FormText.cpp", "tagText", "*id"),
    Designed("startup/FormText.cpp", "LoadFormToolTips", "*id"),
    Designed("startup/FormText.cpp", "LoadMenuCaptions", "*id"),
    // model: report texts
    Ids("model/CAlarm.cpp", "SetReport", "kReportTypeTexts + m_AlarmType", {{5557, 5562}}),
    Ids("model/CAlarm.cpp", "SetReport", "kReportColorTexts + m_AlarmColor", {{5549, 5552}}),
    HandedOn("model/CCounterAB.cpp", "SetReport", "id", "label"),
    Ids("model/CCounterAB.cpp", "SetReport", "titleId", {{5724, 5724}, {5728, 5728}}),
    HandedOn("model/CInOutScale.cpp", "SetReport", "id", "label"),
    Ids("model/CDisplay.cpp", "SetReport", "5515, static_cast<std::int32_t>(colorMnemonics().size())", {{5515, 5517}}),
    HandedOn("model/CModInstr.cpp", "codeText", "baseId + code", "codeText"),
    Ids("model/CRangeMVZ.cpp", "slotSection", "5666 + kind", {{5666, 5668}}),
    Ids("model/CRangeMVZ.cpp", "slotSection", "5669 + static_cast<std::int32_t>(n)", {{5669, 5671}}),
    Ids("model/CRangeMVZ.cpp", "slotSection", "5672 + 2 * kind, kInputRanges", {{5672, 5677}}),
    Ids("model/CScaleMisuraDisplay.cpp", "SetFrequencyRange", "kUnitTextHz + unit", {{641, 646}}),
    Ids("model/CSerialComm.cpp", "SetReport", "kBaudRateTexts + m_BaudRate", {{5352, 5355}}),
    HandedOn("model/ParameterCodes.cpp", "EnumCodeText", "baseId + code", "EnumCodeText"),
    // model: the fields' names as their pages caption them (the label and
    // qualifier columns of the field table)
    Ids("model/FieldLabels.cpp", "caption", "id",
        {{350, 351}, {376, 376}, {384, 384}, {387, 390}, {392, 392}, {397, 397}, {406, 406}, {409, 409},
         {417, 417}, {430, 430}, {434, 434}, {438, 438}, {441, 441}, {470, 472}, {480, 487}, {493, 493},
         {501, 502}, {510, 511}, {514, 514}, {521, 523}, {527, 527}, {541, 544}, {546, 548}, {553, 553},
         {556, 556}, {621, 621}, {637, 640}, {650, 650}, {661, 661}, {669, 671}, {721, 729}, {5384, 5384}}),
    Ids("model/ModelError.cpp", "UserText", "own", {{3153, 3154}}),
    // model: auxiliary lines
    Ids("model/CAlarm.cpp", "GetMemoryMapAux", "channelId(k)", {{1785, 1788}}),
    Ids("model/CAlarm.cpp", "GetMemoryMapAux", "fieldId(k, j)", {{1545, 1580}}),
    // Alarm k's field j is 1545 + 9k + j; fields 0 to 5 are read as numbers.
    Ids("model/CAlarm.cpp", "SetUserSetupAux", "id", {{1545, 1550}, {1554, 1559}, {1563, 1568}, {1572, 1577}}),
    Ids("model/CAlarm.cpp", "SetUserSetupAux", "fieldId(k, RLY)", {{1551, 1578, 9}}),
    Ids("model/CAlarm.cpp", "SetUserSetupAux", "fieldId(k, ALr)", {{1552, 1579, 9}}),
    Ids("model/CAlarm.cpp", "SetUserSetupAux", "fieldId(k, CoLr)", {{1553, 1580, 9}}),
    Ids("model/CAlarm.cpp", "SetUserSetupAux", "channelId(k)", {{1785, 1788}}),
    Ids("model/CCounterAB.cpp", "GetMemoryMapAux", "l.place.templateId", {{1705, 1707}, {1789, 1794}}),
    Ids("model/CInOutScale.cpp", "GetMemoryMapAux", "p.templateId", {{1705, 1716}}),
    Ids("model/CInOutScale.cpp", "GetLinearizzazioneMemoryMapAux", "place->templateId",
        {{1511, 1511}, {1717, 1717}, {1751, 1751}}),
    Ids("model/CInOutScale.cpp", "SetLinearizzazioneAux", "place->templateId",
        {{1511, 1511}, {1717, 1717}, {1751, 1751}}),
    Ids("model/CInOutScale.cpp", "SetUserSetupAux", "l.electricDigitalPoint.templateId", {{1705, 1711, 6}}),
    Ids("model/CInOutScale.cpp", "SetUserSetupAux", "l.minElectricScale.templateId", {{1706, 1712, 6}}),
    Ids("model/CInOutScale.cpp", "SetUserSetupAux", "l.maxElectricScale.templateId", {{1707, 1713, 6}}),
    Ids("model/CInOutScale.cpp", "SetUserSetupAux", "l.measureDigitalPoint.templateId", {{1708, 1714, 6}}),
    Ids("model/CInOutScale.cpp", "SetUserSetupAux", "l.minMeasureScale.templateId", {{1709, 1715, 6}}),
    Ids("model/CInOutScale.cpp", "SetUserSetupAux", "l.maxMeasureScale.templateId", {{1710, 1716, 6}}),
    Ids("model/CInOutScale.cpp", "SetUserSetupAux", "l.linearizzazione.templateId", {{1717, 1751, 34}}),
    Ids("model/CLinearize.cpp", "GetMemoryMapAux", "switchLine->templateId",
        {{1511, 1511}, {1717, 1717}, {1751, 1751}}),
    Ids("model/CLinearize.cpp", "GetMemoryMapAux", "place->numId", {{1512, 1512}, {1718, 1718}, {1752, 1752}}),
    Ids("model/CLinearize.cpp", "GetMemoryMapAux", "id", {{1513, 1543, 2}, {1719, 1749, 2}, {1753, 1783, 2}}),
    Ids("model/CLinearize.cpp", "GetMemoryMapAux", "id + 1", {{1514, 1544, 2}, {1720, 1750, 2}, {1754, 1784, 2}}),
    Ids("model/CLinearize.cpp", "SetUserSetupAux", "static_cast<std::int16_t>(id)",
        {{1513, 1544}, {1719, 1750}, {1753, 1784}}),
    Ids("model/CLinearize.cpp", "SetUserSetupAux", "id", {{1513, 1544}, {1719, 1750}, {1753, 1784}}),
    Ids("model/CLinearize.cpp", "SetUserSetupAux", "static_cast<std::int16_t>(place->numId)",
        {{1512, 1512}, {1718, 1718}, {1752, 1752}}),
    Ids("model/CLinearize.cpp", "SetUserSetupAux", "place->numId", {{1512, 1512}, {1718, 1718}, {1752, 1752}}),
    // comm: the templates whose command tells the module family of a dump
    Ids("comm/ModbusTransfer.cpp", "showDatabaseFailure", "outcomeId", {{1072, 1073}}),
    Ids("comm/CAuxTransferEngine.cpp", "DumpFitsSlotA", "family.templateId",
        {{1502, 1502}, {1602, 1602}, {1620, 1620}, {1700, 1700}}, Use::Line),
    Ids("comm/CAuxTransferEngine.cpp", "DumpHoldsSetupLines", "id",
        {{1500, 1588}, {1600, 1603}, {1620, 1626}, {1700, 1795}}, Use::Line),
    // wizard
    NoId("wizard/FViewInstrData.cpp", "FViewInstrData", "alarm"),
    Ids("wizard/FWCounterAB.cpp", "NewCounter", "names.captionId", {{724, 724}, {728, 728}}),
    Ids("wizard/FWRangeMVZ.cpp", "FillSection", "id", {{672, 677}}),
    Ids("wizard/FWRangeMVZ.cpp", "PrepareControls", "kFirstModuleText + kindC", {{666, 668}}),
    Ids("wizard/FWRangeMVZ.cpp", "PrepareControls", "kFirstModuleText + kindD", {{666, 668}}),
    HandedOn("wizard/FWizardPage.cpp", "Load", "m_TitleId", "FWizardPage"),
    HandedOn("wizard/PageControls.cpp", "FillOptionGroup", "id", "FillOptionGroup"),
    // mainwindow
    HandedOn("mainwindow/FIntestazioneDoc.cpp", "controlText", "ok ? id : 0", "control"),
    // The menu help: a menu item's id + 200.
    Designed("mainwindow/FMain.cpp", "m_StatusBarHelp_HelpID", "textId"),
};

std::string where(const idscan::Site &s)
{
    return " (" + s.taker->function + "(" + s.argument + ")" + (s.function.empty() ? "" : " in " + s.function) + ")";
}

} // namespace

TEST(StringIds, EveryIdTheSourcesUseIsInTheTableWithThePlaceholdersItsCallersFill)
{
    const auto scan = idscan::Scan(PELVARO_SOURCE_DIR, kFolders, kTakers);
    for (const std::string &p : scan.problems)
        ADD_FAILURE() << p;
    // A scan that finds (next to) nothing has stopped reading the sources.
    EXPECT_GT(scan.sites.size(), 400u);

    std::vector<bool> used(kKnownSites.size(), false);
    for (const idscan::Site &s : scan.sites) {
        const std::string file = s.file;
        const int line = s.line;
        const KnownSite *known = nullptr;
        for (std::size_t i = 0; i < kKnownSites.size(); ++i) {
            const KnownSite &k = kKnownSites[i];
            if (k.file == s.file && k.function == s.function &&
                idscan::Normalized(k.argument) == idscan::Normalized(s.argument)) {
                known = &k;
                used[i] = true;
            }
        }
        const Use use = known != nullptr && known->use ? *known->use : s.taker->use;
        int values = 0;
        if (use == Use::Filled) {
            if (!s.values) {
                ADD_FAILURE_AT(file.c_str(), line)
                    << "the scan cannot tell how many values " << s.valuesArgument << " holds" << where(s);
                continue;
            }
            values = *s.values;
        }
        if (s.ids || s.forwarded) {
            if (known != nullptr)
                ADD_FAILURE_AT(file.c_str(), line)
                    << "the scan works this id out itself: drop its kKnownSites entry" << where(s);
            if (s.ids) {
                for (const std::int64_t id : *s.ids) {
                    const std::string fault = Fault(id, use, values);
                    if (!fault.empty())
                        ADD_FAILURE_AT(file.c_str(), line) << fault << where(s);
                }
            }
            continue;
        }
        if (known == nullptr) {
            ADD_FAILURE_AT(file.c_str(), line) << "the scan cannot tell which string id this is: name the ids it "
                                                  "can take in kKnownSites"
                                               << where(s);
            continue;
        }
        switch (known->kind) {
        case KnownSite::Ids:
            for (const Span &span : known->ids) {
                for (int id = span.first; id <= span.last; id += span.step) {
                    const std::string fault = Fault(id, use, values);
                    if (!fault.empty())
                        ADD_FAILURE_AT(file.c_str(), line) << fault << where(s);
                }
            }
            break;
        case KnownSite::HandedOn: {
            const bool isTaker =
                std::any_of(kTakers.begin(), kTakers.end(), [&](const Taker &t) { return t.function == known->taker; });
            if (!isTaker)
                ADD_FAILURE_AT(file.c_str(), line)
                    << "the id is handed on by " << known->taker << ", which kTakers does not list" << where(s);
            break;
        }
        case KnownSite::Designed:
        case KnownSite::NoId: break;
        }
    }
    for (std::size_t i = 0; i < kKnownSites.size(); ++i) {
        if (!used[i])
            ADD_FAILURE() << "kKnownSites names a call that is no longer in the sources: " << kKnownSites[i].file
                          << ", " << kKnownSites[i].function << ", " << kKnownSites[i].argument;
    }
}

// ---- the names of the fields ------------------------------------------------

namespace {

// The wizard page of each table, whose captions name its fields.
const std::map<QString, std::string> kPageOfTable = {
    {QStringLiteral("CModInstr"), "wizard/FWModInstr.cpp"},
    {QStringLiteral("CRangeWP12"), "wizard/FWRangeWP12.cpp"},
    {QStringLiteral("CRangeMVAHVA"), "wizard/FWRangeMVAHVA.cpp"},
    {QStringLiteral("CRangeGKP"), "wizard/FWRangeGKP.cpp"},
    {QStringLiteral("CRangeMVZ"), "wizard/FWRangeMVZ.cpp"},
    {QStringLiteral("CDisplay"), "wizard/FWDisplay.cpp"},
    {QStringLiteral("CInOutScale"), "wizard/FWInOutScale.cpp"},
    {QStringLiteral("CLinearize"), "wizard/FWLinearize.cpp"},
    {QStringLiteral("CInOutScaleB"), "wizard/FWInOutScale.cpp"},
    {QStringLiteral("CLinearizeB"), "wizard/FWLinearize.cpp"},
    {QStringLiteral("CCounterAB"), "wizard/FWCounterAB.cpp"},
    {QStringLiteral("CAlarm1"), "wizard/FWAlarm.cpp"},
    {QStringLiteral("CAlarm2"), "wizard/FWAlarm.cpp"},
    {QStringLiteral("CAlarm3"), "wizard/FWAlarm.cpp"},
    {QStringLiteral("CAlarm4"), "wizard/FWAlarm.cpp"},
    {QStringLiteral("CAnalogOut"), "wizard/FWAnalogOut.cpp"},
    {QStringLiteral("CFiltroDigitale"), "wizard/FWFiltroDigitale.cpp"},
    {QStringLiteral("CSerialComm"), "wizard/FWSerialComm.cpp"},
};

// The shared controls a page builds (a class of wizard/PageControls.cpp),
// whose captions the page shows as its own.
const std::map<std::string, std::vector<std::string>> kSharedControlsOfPage = {
    {"wizard/FWAlarm.cpp", {"ChannelChoice"}},
    {"wizard/FWAnalogOut.cpp", {"ChannelChoice"}},
};

// The fields their class's page does not show, and the page that does.
const std::map<QString, std::string> kShownByAnotherPage = {
    {QStringLiteral("CModInstr.m_SlotD"), "wizard/FWRangeMVZ.cpp"},
};

// A caption as a field's name quotes it: without the colon that ends a
// page's labels and without the layout mark of a report label.
QString CaptionText(std::int64_t id)
{
    QString text = LoadResourceString(static_cast<std::int32_t>(id)).trimmed();
    if (text.startsWith(QLatin1String("#SB#")))
        text.remove(0, 4);
    if (text.endsWith(QLatin1Char(':')))
        text.chop(1);
    return text.trimmed();
}

} // namespace

// A refused value names its field as the field's own page captions it (the
// page that shows it where its class's page does not): every caption
// a name quotes, and every qualifier that is not the instance or the point
// of a curve, is the text of an id the page's source uses.
TEST(StringIds, EachFieldIsNamedByACaptionItsOwnPageShows)
{
    const auto scan = idscan::Scan(PELVARO_SOURCE_DIR, kFolders, kTakers);
    std::map<std::string, std::set<QString>> captions; // file -> caption texts
    const auto add = [&](const std::string &file, std::int64_t id) {
        if (HasResourceString(static_cast<std::int32_t>(id)))
            captions[file].insert(CaptionText(id));
    };
    for (const idscan::Site &s : scan.sites) {
        if (!s.ids)
            continue;
        for (const std::int64_t id : *s.ids) {
            add(s.file, id);
            for (const auto &[page, controls] : kSharedControlsOfPage) {
                if (s.file == "wizard/PageControls.cpp" &&
                    std::find(controls.begin(), controls.end(), s.function) != controls.end())
                    add(page, id);
            }
        }
    }
    for (const auto &[page, controls] : kSharedControlsOfPage) {
        QFile source(testenv::SourceFile(QString::fromStdString(page)));
        ASSERT_TRUE(source.open(QIODevice::ReadOnly));
        const QByteArray text = source.readAll();
        for (const std::string &control : controls)
            EXPECT_TRUE(text.contains(control.c_str())) << page << " builds no " << control;
    }
    for (const KnownSite &k : kKnownSites) {
        for (const Span &span : k.ids) {
            for (int id = span.first; id <= span.last; id += span.step)
                add(k.file, id);
        }
    }
    // What tells instances and points apart is no caption.
    std::set<QString> instances{LoadResourceString(492)};
    for (int n = 1; n <= 16; ++n) {
        instances.insert(GetResourceText(3162, {QString::number(n)}));
        instances.insert(GetResourceText(3163, {QString::number(n)}));
    }

    static const QRegularExpression quoted(QStringLiteral("\"([^\"]*)\""));
    CCollDatiSetup setup;
    std::size_t named = 0;
    for (std::int16_t i = 1; i <= CCollDatiSetup::kObjects; ++i) {
        const QString table = setup.SetupObjects().Item(i).ClassName();
        ASSERT_EQ(kPageOfTable.count(table), 1u) << table.toStdString();
        for (const QString &column : dynamic_cast<CParameterClassBase &>(setup.SetupObjects().Item(i)).ColumnNames()) {
            const QString name = FieldUserName(table, column);
            if (name.isEmpty())
                continue;
            ++named;
            const QString field = table + QLatin1Char('.') + column;
            SCOPED_TRACE(field.toStdString() + " named " + name.toStdString());
            const auto other = kShownByAnotherPage.find(field);
            const std::string file = other != kShownByAnotherPage.end() ? other->second : kPageOfTable.at(table);
            const std::set<QString> &shown = captions[file];
            qsizetype end = 0;
            for (auto it = quoted.globalMatch(name); it.hasNext();) {
                const auto m = it.next();
                EXPECT_EQ(shown.count(m.captured(1)), 1u)
                    << "\"" << m.captured(1).toStdString() << "\" is no caption of " << file;
                end = m.capturedEnd();
            }
            ASSERT_GT(end, 0) << "the name quotes no caption";
            const QString rest = name.mid(end);
            if (rest.isEmpty())
                continue;
            ASSERT_TRUE(rest.startsWith(QLatin1String(" (")) && rest.endsWith(QLatin1Char(')')));
            for (const QString &qualifier : rest.mid(2).chopped(1).split(QStringLiteral(", "))) {
                EXPECT_TRUE(shown.count(qualifier) == 1 || instances.count(qualifier) == 1)
                    << "\"" << qualifier.toStdString() << "\" is no caption of " << file;
            }
        }
    }
    // A check that finds (next to) no name no longer reads the field table.
    EXPECT_GT(named, 100u);
}

// ---- the ids designed on the windows ----------------------------------------

namespace {

// The help text of a menu item is its id plus the help base the main window
// gives its menu help.
constexpr int kMenuHelpBase = 200;

struct DesignedId {
    std::string what;
    std::int64_t id; // -1: a designed text that is no id
};

// A designed id as the loaders read it: a whole number; "" (and for a tool
// tip "0") name none.
std::optional<std::int64_t> designedNumber(const QString &text, bool toolTip)
{
    const QString t = text.trimmed();
    if (t.isEmpty() || (toolTip && t == QLatin1String("0")))
        return std::nullopt;
    bool ok = false;
    const int v = t.toInt(&ok);
    return ok ? v : -1;
}

std::string nameOf(const QObject *o)
{
    // A menu's title item is named by its menu.
    if (const auto *item = qobject_cast<const QAction *>(o); item != nullptr && item->menu() != nullptr)
        o = item->menu();
    return o->objectName().isEmpty() ? std::string(o->metaObject()->className()) : o->objectName().toStdString();
}

// The designed ids of a window before its load turns them into texts: the
// Tag of the window and of its captioned controls, the tool-tip ids of the
// controls with tool tips and of its tool-bar buttons, the ids of its menu
// items and of their help texts.
std::vector<DesignedId> DesignedIds(QWidget *window)
{
    std::vector<DesignedId> ids;
    const auto tag = [&](const QObject *o) {
        const QVariant t = ControlTag(o);
        if (!t.isValid())
            return;
        if (const auto id = designedNumber(t.toString(), false))
            ids.push_back({"Tag \"" + t.toString().toStdString() + "\" of " + nameOf(o), *id});
    };
    const auto toolTip = [&](const QObject *o, const QString &text) {
        // A tool tip that is no number is a text already looked up.
        const auto id = designedNumber(text, true);
        if (id && *id != -1)
            ids.push_back({"tool tip of " + nameOf(o), *id});
    };
    static const QStringList captioned = {QStringLiteral("Label"), QStringLiteral("Frame"),
                                          QStringLiteral("OptionButton"), QStringLiteral("CheckBox")};
    static const QStringList tipped = {QStringLiteral("TextBox"), QStringLiteral("ComboBox"),
                                       QStringLiteral("ToolBar"), QStringLiteral("Frame"),
                                       QStringLiteral("UpDown"),  QStringLiteral("OptionButton")};
    tag(window);
    for (QObject *control : FormControls(window)) {
        const QString kind = ControlKind(control);
        if (captioned.contains(kind))
            tag(control);
        if (tipped.contains(kind))
            toolTip(control, ControlToolTip(control));
        if (kind == QLatin1String("Menu")) {
            const auto *item = static_cast<const QAction *>(control);
            if (item->isSeparator())
                continue;
            const auto id = designedNumber(item->text(), false);
            const std::string what = "menu item " + nameOf(item) + " \"" + item->text().toStdString() + "\"";
            ids.push_back({what, id.value_or(-1)});
            if (id && *id != -1 && item->menu() == nullptr)
                ids.push_back({"help text of " + what, *id + kMenuHelpBase});
        }
    }
    for (const QToolBar *bar : window->findChildren<QToolBar *>()) {
        for (const QAction *button : bar->actions())
            toolTip(button, button->toolTip());
    }
    return ids;
}

struct DesignedWindow {
    const char *name;
    std::function<std::unique_ptr<QWidget>()> make;
};

template <class W>
DesignedWindow window(const char *name)
{
    return {name, [] { return std::make_unique<W>(); }};
}

const std::vector<DesignedWindow> kWindows = {
    window<FMain>("FMain"),
    window<FAbout>("FAbout"),
    window<FSplash>("FSplash"),
    window<FOption>("FOption"),
    window<FSerialProgSetup>("FSerialProgSetup"),
    window<FAuxProgSetup>("FAuxProgSetup"),
    window<FViewInstrData>("FViewInstrData"),
    window<FWModInstr>("FWModInstr"),
    window<FWRangeGKP>("FWRangeGKP"),
    window<FWRangeMVAHVA>("FWRangeMVAHVA"),
    window<FWRangeMVZ>("FWRangeMVZ"),
    window<FWRangeWP12>("FWRangeWP12"),
    window<FWInOutScale>("FWInOutScale"),
    window<FWCounterAB>("FWCounterAB"),
    window<FWLinearize>("FWLinearize"),
    window<FWDisplay>("FWDisplay"),
    window<FWAlarm>("FWAlarm"),
    window<FWAnalogOut>("FWAnalogOut"),
    window<FWFiltroDigitale>("FWFiltroDigitale"),
    window<FWSerialComm>("FWSerialComm"),
    window<FWCommConfig>("FWCommConfig"),
    window<FWNetworkAddMsgSetup>("FWNetworkAddMsgSetup"),
    window<FWFinalSetupMessage>("FWFinalSetupMessage"),
};

} // namespace

TEST(StringIds, TheIdsDesignedOnEveryWindowAreInTheTable)
{
    testenv::ScopedProgramFolder folder;
    std::size_t count = 0;
    for (const DesignedWindow &w : kWindows) {
        const std::unique_ptr<QWidget> window = w.make();
        for (const DesignedId &d : DesignedIds(window.get())) {
            ++count;
            const std::string fault = Fault(d.id, Use::Text);
            if (!fault.empty())
                ADD_FAILURE() << w.name << ", " << d.what << ": " << fault;
        }
    }
    // The report heading's boxes carry their caption ids as Tag.
    for (const LayoutTemplateControl &c : FIntestazioneDoc::Controls()) {
        if (const auto id = designedNumber(c.Tag, false)) {
            ++count;
            const std::string fault = Fault(*id, Use::Text);
            if (!fault.empty())
                ADD_FAILURE() << "FIntestazioneDoc, Tag of " << c.Name.toStdString() << ": " << fault;
        }
    }
    // A walk that finds (next to) nothing no longer reads the designs.
    EXPECT_GT(count, 200u);
}

// ---- the table's order and ranges -------------------------------------------

TEST(StringIds, TheTableIsInIdOrderAndEveryIdLiesInANamedRange)
{
    QFile f(testenv::SourceFile(QStringLiteral("resources/strings.txt")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly | QIODevice::Text));
    // A range line of the comment block: "#   200-239    what the ids are for".
    static const QRegularExpression rangeLine(QStringLiteral("^#\\s+(\\d+)(?:-(\\d+))?\\s+(\\S.*)$"));
    struct Range {
        int first;
        int last;
        int line;
    };
    std::vector<Range> ranges;
    std::vector<std::pair<int, int>> ids; // id, line
    int lineNo = 0;
    for (const QByteArray &raw : f.readAll().split('\n')) {
        ++lineNo;
        const QString line = QString::fromUtf8(raw);
        if (line.isEmpty())
            continue;
        if (line.startsWith(QLatin1Char('#'))) {
            const auto m = rangeLine.match(line);
            if (m.hasMatch()) {
                const int first = m.captured(1).toInt();
                const int last = m.captured(2).isEmpty() ? first : m.captured(2).toInt();
                EXPECT_LE(first, last) << "strings.txt:" << lineNo << ": the range ends before it starts";
                if (!ranges.empty()) {
                    EXPECT_GT(first, ranges.back().last)
                        << "strings.txt:" << lineNo << ": the range overlaps or comes before the one above it";
                }
                ranges.push_back({first, last, lineNo});
            }
            continue;
        }
        bool ok = false;
        const int id = line.left(line.indexOf(QLatin1Char('\t'))).toInt(&ok);
        ASSERT_TRUE(ok) << "strings.txt:" << lineNo << ": no id";
        ids.emplace_back(id, lineNo);
    }
    ASSERT_FALSE(ranges.empty()) << "strings.txt names no id ranges";
    for (std::size_t i = 0; i < ids.size(); ++i) {
        const auto [id, line] = ids[i];
        if (i > 0) {
            EXPECT_GT(id, ids[i - 1].first)
                << "strings.txt:" << line << ": id " << id << " comes after id " << ids[i - 1].first;
        }
        const bool named = std::any_of(ranges.begin(), ranges.end(),
                                       [id = id](const Range &r) { return id >= r.first && id <= r.last; });
        EXPECT_TRUE(named) << "strings.txt:" << line << ": id " << id
                           << " lies in none of the ranges the comment block names";
    }
}
