// Which object owns each word of the memory map and each auxiliary line. In
// every configuration, each word and each line is written by one object
// only, and each word is one the transfer moves for the configuration's
// slot-A code. A word or a line put on one that another object owns (a
// point of a 16-point curve, say), or a word the transfer never moves, is
// reported with its writers and the first configuration that shows it.
//
// The configurations: every model, every slot-A code, every function of the
// frequency module (F1 and a leftover F10 elsewhere) and both channels'
// curves on and off; the slots B, C and D take every code at least once, and
// once all of a serial module, four relays and an analogue output together.
// Both curves have 16 points, so that every point goes out.
#include "../model/CollectionTestSupport.h"

#include "CGestioneMemMap.h"
#include "CInOutScale.h"
#include "CLinearize.h"
#include "CRangeWP12.h"
#include "CScaleMisuraDisplay.h"
#include "MemMapLayout.h"
#include "ModuleCodes.h"
#include "ModelError.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using colltest::Modules;

struct Context {
    Modules modules;
    std::int16_t function; // WPxFunction
    std::int16_t curveA;   // the channels' Linearizzazione
    std::int16_t curveF;
};

std::string Describe(const Context &c)
{
    std::ostringstream s;
    s << "model " << c.modules.model << ", slots " << c.modules.a << '/' << c.modules.b << '/' << c.modules.c << '/'
      << c.modules.d << ", F" << c.function + 1 << ", curves " << (c.curveA ? "on" : "off") << '/'
      << (c.curveF ? "on" : "off");
    return s.str();
}

std::vector<Context> Contexts()
{
    // Slots B, C, D: each code once, and a serial module, four relays and an
    // analogue output (BN in D) in one fitting.
    const std::vector<std::array<std::int16_t, 3>> fittings = {{0, 0, 0}, {1, 3, 1}, {2, 2, 0}, {3, 1, 0}, {1, 4, 0}};
    // The master input also takes its extra inputs in C (5..7) and D (2..4).
    const std::vector<std::array<std::int16_t, 3>> masterFittings = {{0, 0, 0}, {1, 3, 1}, {2, 2, 2}, {3, 1, 3},
                                                                     {1, 4, 4}, {2, 5, 0}, {3, 6, 2}, {1, 7, 4}};
    constexpr std::array<std::int16_t, 2> kOffOn{0, 1};
    std::vector<Context> contexts;
    for (std::int16_t model = 0; model <= 3; ++model) {
        for (std::int16_t a = SlotACode::MVA; a <= SlotACode::MVZ; ++a) {
            const bool frequency = ModuleCodes::IsFrequencyModule(a);
            std::vector<std::int16_t> functions{0, 9};
            if (frequency) {
                functions.clear();
                for (std::int16_t f = 0; f <= 10; ++f)
                    functions.push_back(f);
            }
            for (const auto &[b, c, d] : a == SlotACode::MVZ ? masterFittings : fittings) {
                for (std::int16_t f : functions) {
                    for (std::int16_t curveA : kOffOn) {
                        for (std::int16_t curveF : kOffOn)
                            contexts.push_back({{model, a, b, c, d}, f, curveA, curveF});
                    }
                }
            }
        }
    }
    return contexts;
}

// The words the transfer moves for the slot-A code: the register window
// from word 0, less the high words of the frequency layout's address and
// speed (271, 273), which are never sent; and beyond the window the
// temperature module's word 108 and the master input's words 128..133.
std::set<std::size_t> TransferredWords(const CGestioneMemMap &m)
{
    std::set<std::size_t> words;
    for (std::size_t w = 0; w <= static_cast<std::size_t>(m.EndAddMemMap() - m.StartAddMemMap()); ++w)
        words.insert(w);
    const std::int16_t slotA = m.ModInstr().SlotA();
    if (ModuleCodes::IsFrequencyModule(slotA)) {
        words.erase(271);
        words.erase(273);
    }
    if (slotA == SlotACode::GKP)
        words.insert(108);
    if (slotA == SlotACode::MVZ) {
        for (std::size_t w = 128; w <= 133; ++w)
            words.insert(w);
    }
    return words;
}

std::string Ranges(const std::set<std::size_t> &words)
{
    std::ostringstream s;
    for (auto it = words.begin(); it != words.end();) {
        const std::size_t first = *it;
        std::size_t last = first;
        while (++it != words.end() && *it == last + 1)
            ++last;
        s << (first == *words.begin() ? "" : ", ") << first;
        if (last != first)
            s << ".." << last;
    }
    return s.str();
}

// The words a writer changes: the map is filled with one marker and then
// with another, so a word written with one marker's value still shows
// against the other.
std::set<std::size_t> WordsWritten(const std::function<void(MemMapWords &)> &write)
{
    std::set<std::size_t> written;
    for (const std::int16_t marker : {std::int16_t(0x5A5A), std::int16_t(~0x5A5A)}) {
        MemMapWords map;
        map.fill(marker);
        write(map);
        for (std::size_t w = 0; w < map.size(); ++w) {
            if (map[w] != marker)
                written.insert(w);
        }
    }
    return written;
}

// The lines a writer changes: no line text is the marker.
std::set<std::size_t> LinesWritten(const std::function<void(MemMapAuxLines &)> &write)
{
    const QString marker = QStringLiteral("\x01 not written");
    MemMapAuxLines lines;
    lines.fill(marker);
    write(lines);
    std::set<std::size_t> written;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] != marker)
            written.insert(i);
    }
    return written;
}

struct Writer {
    std::string name;
    std::function<void(MemMapWords &)> words;
    std::function<void(MemMapAuxLines &)> lines;
};

// The writers of a configuration, as the collection runs them: every object
// that applies, and on F10 channel A's scale for its curve switch alone
// (the counters own that scale, the curve is still channel A's).
std::vector<Writer> Writers(const CCollDatiSetup &c)
{
    std::vector<Writer> writers;
    const CModInstr &mod = c.ModInstr();
    for (std::int16_t i = 1; i <= c.SetupObjects().Count(); ++i) {
        if (!c.ValidData(i))
            continue;
        const CParameterClassBase &object = colltest::Object(c, i);
        writers.push_back({c.SetupObjects().Key(i).toStdString(),
                           [&object, &mod](MemMapWords &map) { object.GetMemoryMap(mod, map); },
                           [&object, &mod](MemMapAuxLines &lines) { object.GetMemoryMapAux(mod, lines); }});
    }
    constexpr std::int16_t kScaleA = 7;
    constexpr std::int16_t kCurveA = 8;
    if (!c.ValidData(kScaleA) && c.ValidData(kCurveA)) {
        const CInOutScale &scale = c.InOutScale();
        writers.push_back(
            {"CInOutScale (curve switch alone)",
             [&scale, &mod](MemMapWords &map) { scale.GetLinearizzazioneMemoryMap(mod, map); },
             [&scale, &mod](MemMapAuxLines &lines) { scale.GetLinearizzazioneMemoryMapAux(mod, lines); }});
    }
    return writers;
}

// What the test found, each finding once with the first configuration that
// shows it and how many do.
class Findings {
public:
    void Add(const std::string &finding, const Context &where)
    {
        ++m_Findings.try_emplace(finding, Seen{Describe(where), 0}).first->second.count;
    }
    std::string Text() const
    {
        std::ostringstream s;
        for (const auto &[finding, seen] : m_Findings)
            s << finding << "\n    first in " << seen.first << " (" << seen.count << " configurations)\n";
        return s.str();
    }

private:
    struct Seen {
        std::string first;
        int count;
    };
    std::map<std::string, Seen> m_Findings;
};

std::string SlotAName(std::int16_t slotA)
{
    static const char *const names[] = {"MVA", "MVB/MVC", "HVA", "GKP", "WP1", "WP2", "MVZ"};
    return "slot A " + std::to_string(slotA) + " (" + names[slotA] + ", " +
           (MemMapLayoutForSlotA(slotA) == MemMapLayout::MemMapFreqLayout ? "frequency" : "base") + " layout)";
}

std::string Join(const std::vector<std::string> &names)
{
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i)
        text += (i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + names[i];
    return text;
}

// Each index written by more than one writer; each writer's indexes outside
// `allowed` (when given); and any difference between what the writers write
// one by one and what the collection writes as a whole.
void Check(const char *what, const std::vector<std::pair<std::string, std::set<std::size_t>>> &written,
           const std::set<std::size_t> &whole, const std::set<std::size_t> *allowed, const std::string &slotA,
           const Context &context, Findings &findings)
{
    std::map<std::size_t, std::vector<std::string>> writersOf;
    for (const auto &[name, indexes] : written) {
        std::set<std::size_t> outside;
        for (std::size_t i : indexes) {
            writersOf[i].push_back(name);
            if (allowed && allowed->count(i) == 0)
                outside.insert(i);
        }
        if (!outside.empty())
            findings.Add(slotA + ": " + name + " writes " + what + " " + Ranges(outside) +
                             ", which the transfer never moves (it moves " + Ranges(*allowed) + ")",
                         context);
    }
    std::set<std::size_t> union_;
    for (const auto &[i, names] : writersOf) {
        union_.insert(i);
        if (names.size() > 1)
            findings.Add(slotA + ": " + what + " " + std::to_string(i) + " is written by " + Join(names), context);
    }
    if (union_ != whole)
        findings.Add(slotA + ": the collection writes " + what + "s " + Ranges(whole) + ", its objects one by one " +
                         Ranges(union_),
                     context);
}

class MemMapOwners : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_Scala.Reset();
        g_ScalaB.Reset();
    }
    void TearDown() override
    {
        g_Scala.Reset();
        g_ScalaB.Reset();
    }
};

TEST_F(MemMapOwners, EachWordAndLineHasOneWriterAndEachWordIsMovedByTheTransfer)
{
    Findings findings;
    for (const Context &context : Contexts()) {
        CGestioneMemMap m;
        CCollDatiSetup &c = m.SetupCollection();
        c.RangeWP12().SetWPxFunction(context.function);
        c.InOutScale().SetLinearizzazione(context.curveA);
        c.InOutScaleB().SetLinearizzazione(context.curveF);
        for (CLinearize *curve : {&c.Linearize(), &c.LinearizeB()}) {
            curve->SetNumSpezzate(CLinearize::kPoints);
            for (std::int16_t i = 0; i < CLinearize::kPoints; ++i) {
                curve->SetCoordinateIn(i, 100 * i);
                curve->SetCoordinateOut(i, 50 * i);
            }
        }
        m.SetCodificaModuli(colltest::Coding(context.modules));
        const std::string slotA = SlotAName(context.modules.a);
        const std::set<std::size_t> transferred = TransferredWords(m);

        try {
            std::vector<std::pair<std::string, std::set<std::size_t>>> words;
            std::vector<std::pair<std::string, std::set<std::size_t>>> lines;
            for (const Writer &writer : Writers(c)) {
                words.emplace_back(writer.name, WordsWritten(writer.words));
                lines.emplace_back(writer.name, LinesWritten(writer.lines));
            }
            Check("word", words, WordsWritten([&](MemMapWords &map) { c.GetMemoryMap(map); }), &transferred, slotA,
                  context, findings);
            Check("line", lines, LinesWritten([&](MemMapAuxLines &l) { c.GetMemoryMapAux(l); }), nullptr, slotA,
                  context, findings);
        } catch (const SetupReadError &e) {
            findings.Add(slotA + ": writing fails: " + e.Text().toStdString(), context);
        }
    }
    const std::string found = findings.Text();
    EXPECT_TRUE(found.empty()) << found;
}

} // namespace
