#include "CCollDatiSetup.h"

#include "ADOConnection.h"
#include "CAlarm.h"
#include "CAnalogOut.h"
#include "CCounterAB.h"
#include "CDisplay.h"
#include "CFiltroDigitale.h"
#include "CInOutScale.h"
#include "CLinearize.h"
#include "CModInstr.h"
#include "CTraceCode.h"
#include "ModelError.h"
#include "CRangeGKP.h"
#include "CRangeMVAHVA.h"
#include "CRangeMVZ.h"
#include "CRangeWP12.h"
#include "CScaleMisuraDisplay.h"
#include "CSerialComm.h"
#include "ColumnValues.h"
#include "ContextValues.h"
#include "MErrors.h"
#include "ModuleCodes.h"
#include "WPxFunctionCodes.h"

#include <optional>

namespace {

// What the field rules refused in an object, and whether the object had to
// be set back whole.
struct Refusals {
    std::vector<SetupReadError> errors; // in the order met, each in the object
    bool whole = false;
};

// Checks the object against its fields' rules; each field refused is set
// back alone to its value in `fallback` (the object's columns in table
// order), and the check runs again until it passes, so that a refused value
// costs only its own field. A refusal that names no column of the object,
// or a field refused again once set back, cannot be mended field by field:
// then the whole object takes `fallback`. A refused check is not traced.
Refusals checkFieldByField(CParameterClassBase &object, const ColumnValues &fallback)
{
    SetupReadTraceDeferred deferred;
    Refusals refusals;
    QStringList setBack;
    for (;;) {
        try {
            object.CheckValues();
            return refusals;
        } catch (const SetupReadError &e) {
            refusals.errors.push_back(e.InObject(object.ClassName()));
            const qsizetype column = e.Field().isEmpty() ? -1 : fallback.names.indexOf(e.Field());
            if (column < 0 || setBack.contains(e.Field())) {
                AssignColumns whole(fallback.values);
                object.Columns(whole);
                refusals.whole = true;
                return refusals;
            }
            std::vector<bool> field(fallback.values.size(), false);
            field[static_cast<std::size_t>(column)] = true;
            AssignColumns setField(fallback.values, std::move(field));
            object.Columns(setField);
            setBack << e.Field();
        }
    }
}

} // namespace

// ---------------------------------------------------------------------------
// The collection

CParameterClassBase &CCollDatiSetup::SetupObjectCollection::base(std::int16_t index) const
{
    if (index < 1 || index > Count())
        RaiseProgramError(RunTimeError::SubscriptOutOfRange);
    return *m_Items[static_cast<std::size_t>(index - 1)].object;
}

IParameterObject &CCollDatiSetup::SetupObjectCollection::Item(std::int16_t index) const
{
    return base(index);
}

IParameterObject &CCollDatiSetup::SetupObjectCollection::Item(const QString &key) const
{
    for (const Entry &e : m_Items) {
        if (e.key == key)
            return *e.object;
    }
    RaiseProgramError(RunTimeError::InvalidCall);
}

bool CCollDatiSetup::SetupObjectCollection::Contains(const QString &key) const
{
    for (const Entry &e : m_Items) {
        if (e.key == key)
            return true;
    }
    return false;
}

QString CCollDatiSetup::SetupObjectCollection::Key(std::int16_t index) const
{
    base(index);
    return m_Items[static_cast<std::size_t>(index - 1)].key;
}

// ---------------------------------------------------------------------------
// Construction

CCollDatiSetup::CCollDatiSetup()
{
    // Created in collection order; the further instances are named at once,
    // so each goes into the collection (and to its table) under its own name.
    auto modInstr = std::make_unique<CModInstr>();
    auto rangeWP12 = std::make_unique<CRangeWP12>();
    auto rangeMVAHVA = std::make_unique<CRangeMVAHVA>();
    auto rangeGKP = std::make_unique<CRangeGKP>();
    auto rangeMVZ = std::make_unique<CRangeMVZ>();
    auto display = std::make_unique<CDisplay>();
    auto inOutScale = std::make_unique<CInOutScale>();
    auto linearize = std::make_unique<CLinearize>();
    auto inOutScaleB = std::make_unique<CInOutScale>();
    inOutScaleB->SetClassName(QStringLiteral("CInOutScaleB"));
    auto linearizeB = std::make_unique<CLinearize>();
    linearizeB->SetClassName(QStringLiteral("CLinearizeB"));
    auto counterAB = std::make_unique<CCounterAB>();
    std::array<std::unique_ptr<CAlarm>, 4> alarms;
    for (std::size_t k = 0; k < alarms.size(); ++k) {
        alarms[k] = std::make_unique<CAlarm>();
        alarms[k]->SetClassName(QStringLiteral("CAlarm") + QString::number(k + 1));
    }
    auto analogOut = std::make_unique<CAnalogOut>();
    auto filtroDigitale = std::make_unique<CFiltroDigitale>();
    auto serialComm = std::make_unique<CSerialComm>();

    m_ModInstr = modInstr.get();
    m_RangeWP12 = rangeWP12.get();
    m_RangeMVAHVA = rangeMVAHVA.get();
    m_RangeGKP = rangeGKP.get();
    m_RangeMVZ = rangeMVZ.get();
    m_Display = display.get();
    m_InOutScale = inOutScale.get();
    m_Linearize = linearize.get();
    m_InOutScaleB = inOutScaleB.get();
    m_LinearizeB = linearizeB.get();
    m_CounterAB = counterAB.get();
    for (std::size_t k = 0; k < alarms.size(); ++k)
        m_Alarm[k] = alarms[k].get();
    m_AnalogOut = analogOut.get();
    m_FiltroDigitale = filtroDigitale.get();
    m_SerialComm = serialComm.get();

    add(std::move(modInstr));
    add(std::move(rangeWP12));
    add(std::move(rangeMVAHVA));
    add(std::move(rangeGKP));
    add(std::move(rangeMVZ));
    add(std::move(display));
    add(std::move(inOutScale));
    add(std::move(linearize));
    add(std::move(inOutScaleB));
    add(std::move(linearizeB));
    add(std::move(counterAB));
    for (auto &alarm : alarms)
        add(std::move(alarm));
    add(std::move(analogOut));
    add(std::move(filtroDigitale));
    add(std::move(serialComm));
}

CCollDatiSetup::~CCollDatiSetup() = default;

void CCollDatiSetup::add(std::unique_ptr<CParameterClassBase> object)
{
    m_SetupObjects.m_Items.push_back({object->ClassName(), object.get()});
    m_Owned.push_back(std::move(object));
}

// ---------------------------------------------------------------------------
// Properties

std::int32_t CCollDatiSetup::CodificaModuli() const
{
    return m_ModInstr->CodificaModuli();
}

void CCollDatiSetup::SetCodificaModuli(std::int32_t value)
{
    m_ModInstr->SetCodificaModuli(value);
    UpdateValidData();
}

bool CCollDatiSetup::ValidData(std::int16_t index) const
{
    if (index < 1 || index > kObjects)
        RaiseProgramError(RunTimeError::SubscriptOutOfRange);
    return m_ValidData[static_cast<std::size_t>(index - 1)];
}

// ---------------------------------------------------------------------------
// Database

void CCollDatiSetup::SaveDataInADORS(bool isNew)
{
    const RowCriterion criterion = isNew ? NewRowCriterion(m_IDProgramma) : ExistingRowCriterion(m_IDProgramma);
    // Each object's row save is a savepoint inside this one transaction: a
    // failure at any table rolls back the rows saved before it as well.
    ADOTransaction transaction(g_Connection);
    for (std::int16_t i = 1; i <= m_SetupObjects.Count(); ++i)
        m_SetupObjects.base(i).SaveDataInADORS(criterion);
    transaction.Commit();
}

void CCollDatiSetup::loadRows()
{
    const RowCriterion criterion = ExistingRowCriterion(m_IDProgramma);
    // One read transaction, so the 18 rows are read as one consistent state;
    // it takes no write lock, so another program's open write transaction
    // does not stop it.
    ADOTransaction transaction(g_Connection, ADOConnection::TransactionKind::Read);
    for (std::int16_t i = 1; i <= m_SetupObjects.Count(); ++i)
        m_SetupObjects.base(i).LoadRowFromADORS(criterion);
    transaction.Commit();
}

void CCollDatiSetup::checkStoredRows(const CCollDatiSetup &startingValues)
{
    // Each row against its fields' rules; a refused field takes its
    // starting value, and the rest of the row stays as stored. Whether a
    // refused row matters is known only once the validity update has run on
    // what was taken: until then no failed check is traced for it.
    std::vector<std::vector<SetupReadError>> refused(static_cast<std::size_t>(m_SetupObjects.Count()));
    for (std::int16_t i = 1; i <= m_SetupObjects.Count(); ++i) {
        CParameterClassBase &object = m_SetupObjects.base(i);
        const std::int16_t storedSwitch = m_InOutScale->Linearizzazione();
        ColumnValues start;
        startingValues.m_SetupObjects.base(i).Columns(start);
        Refusals refusals = checkFieldByField(object, start);
        refused[static_cast<std::size_t>(i - 1)] = std::move(refusals.errors);
        // On F10 channel A's scale does not apply, but its curve's switch is
        // still its own: when the scale took its starting values whole, the
        // switch stays when it is a switch value.
        if (refusals.whole && &object == m_InOutScale) {
            const std::int16_t starting = m_InOutScale->Linearizzazione();
            m_InOutScale->SetLinearizzazione(storedSwitch);
            try {
                SetupReadTraceDeferred deferred;
                m_InOutScale->CheckValues();
            } catch (const SetupReadError &) {
                m_InOutScale->SetLinearizzazione(starting);
            }
        }
    }
    UpdateValidData();
    for (std::int16_t i = 1; i <= m_SetupObjects.Count(); ++i) {
        const auto &errors = refused[static_cast<std::size_t>(i - 1)];
        if (errors.empty())
            continue;
        if (ValidData(i)) {
            g_Trace.BugMessage(QStringLiteral("g_Trace.BugAssert fallito: ") + errors.front().Text());
            throw errors.front();
        }
        for (const SetupReadError &error : errors)
            g_Trace.BugMessage(QStringLiteral("Valore ignorato per ") + m_SetupObjects.base(i).ClassName() +
                               QStringLiteral(" (non applicabile): ") + error.Text());
    }
    checkContextValues();
}

void CCollDatiSetup::checkContextValues()
{
    for (std::int16_t i = 1; i <= m_SetupObjects.Count(); ++i) {
        if (!ValidData(i))
            continue;
        CParameterClassBase &object = m_SetupObjects.base(i);
        try {
            object.CheckContextValues();
        } catch (const SetupReadError &e) {
            throw e.InObject(object.ClassName());
        }
    }
}

void CCollDatiSetup::CopyStoredValuesTo(CParameterClassBase &object) const
{
    for (std::int16_t i = 1; i <= m_SetupObjects.Count(); ++i) {
        CParameterClassBase &own = m_SetupObjects.base(i);
        if (own.ClassName() != object.ClassName())
            continue;
        ColumnValues collect;
        own.Columns(collect);
        AssignColumns assign(collect.values);
        object.Columns(assign);
        return;
    }
    RaiseProgramError(RunTimeError::InvalidCall);
}

void CCollDatiSetup::takeStoredValues(const CCollDatiSetup &from)
{
    for (std::int16_t i = 1; i <= m_SetupObjects.Count(); ++i) {
        ColumnValues collect;
        from.m_SetupObjects.base(i).Columns(collect);
        AssignColumns assign(collect.values);
        m_SetupObjects.base(i).Columns(assign);
    }
}

void CCollDatiSetup::LoadDataFromADORS()
{
    // Read and check everything in a collection of fresh objects (under the
    // same names, so the same tables), so that a row that is missing or does
    // not convert leaves this configuration as it was.
    CCollDatiSetup fresh;
    fresh.m_IDProgramma = m_IDProgramma;
    for (std::int16_t i = 1; i <= m_SetupObjects.Count(); ++i)
        fresh.m_SetupObjects.base(i).SetClassName(m_SetupObjects.base(i).ClassName());

    const CScaleMisuraDisplay savedScala = *g_Scala;
    const CScaleMisuraDisplay savedScalaB = *g_ScalaB;
    try {
        fresh.loadRows();
        CCollDatiSetup startingValues;
        fresh.checkStoredRows(startingValues);
    } catch (...) {
        *g_Scala = savedScala;
        *g_ScalaB = savedScalaB;
        throw;
    }

    // The fresh objects' validity update succeeded, so the same values give
    // the same context values, scales and flags here.
    takeStoredValues(fresh);
    UpdateValidData();
}

// ---------------------------------------------------------------------------
// Reading an instrument back

template <class Read, class ReadSwitchA>
void CCollDatiSetup::readBack(Read read, ReadSwitchA readSwitchA)
{
    for (std::int16_t i = 1; i <= m_SetupObjects.Count(); ++i) {
        UpdateValidData();
        CParameterClassBase &object = m_SetupObjects.base(i);
        const bool applies = ValidData(i);
        // A value outside its field's rule fails the reading like one that
        // does not convert, and the object keeps what it held before. For an
        // object that does not apply no failed check is traced: the data an
        // instrument holds for a module it lacks are not ours to check. What
        // of them reads is taken, a refused field keeping what it held.
        std::optional<SetupReadTraceDeferred> deferred;
        if (!applies)
            deferred.emplace();
        ColumnValues before;
        object.Columns(before);
        std::vector<SetupReadError> ignored;
        bool keptWhole = false;
        try {
            read(object);
            if (applies) {
                object.CheckValues();
                object.CheckContextValues();
            } else {
                Refusals refusals = checkFieldByField(object, before);
                ignored = std::move(refusals.errors);
                keptWhole = refusals.whole;
            }
        } catch (const SetupReadError &e) {
            AssignColumns restore(before.values);
            object.Columns(restore);
            if (applies)
                throw e.InObject(object.ClassName());
            ignored.push_back(e);
            keptWhole = true;
        }
        for (const SetupReadError &e : ignored)
            g_Trace.BugMessage(QStringLiteral("Lettura ignorata per ") + object.ClassName() +
                               QStringLiteral(" (non applicabile): ") + e.Text());
        // On F10 the counters own channel A's scale, but the curve's switch
        // is still channel A's: without it the curve read next would not
        // apply. When the scale kept what it held, its switch is read alone;
        // without a switch either, the object stays as it was.
        if (keptWhole && &object == m_InOutScale) {
            const std::int16_t previous = m_InOutScale->Linearizzazione();
            try {
                readSwitchA(*m_InOutScale);
                m_InOutScale->CheckValues();
            } catch (const SetupReadError &) {
                m_InOutScale->SetLinearizzazione(previous);
            }
        }
    }
    UpdateValidData();
}

void CCollDatiSetup::SetUserSetup(const MemMapWords &map)
{
    readBack([&](CParameterClassBase &object) { object.SetUserSetup(*m_ModInstr, map); },
             [&](CInOutScale &scale) { scale.SetLinearizzazioneMemoryMap(*m_ModInstr, map); });
}

void CCollDatiSetup::SetUserSetupAux(const MemMapAuxLines &lines)
{
    readBack([&](CParameterClassBase &object) { object.SetUserSetupAux(*m_ModInstr, lines); },
             [&](CInOutScale &scale) { scale.SetLinearizzazioneAux(*m_ModInstr, lines); });
}

// ---------------------------------------------------------------------------
// Writing to an instrument

template <class Write, class WriteSwitchA>
void CCollDatiSetup::writeOut(Write write, WriteSwitchA writeSwitchA) const
{
    // The positions of channel A's scale and of its curve.
    constexpr std::int16_t kScaleA = 7;
    constexpr std::int16_t kCurveA = 8;
    for (std::int16_t i = 1; i <= m_SetupObjects.Count(); ++i) {
        if (ValidData(i))
            write(m_SetupObjects.base(i));
        else if (i == kScaleA && ValidData(kCurveA))
            // On F10 the counters own channel A's scale, but the curve's
            // switch is still channel A's: it goes out before the curve.
            writeSwitchA(*m_InOutScale);
    }
}

void CCollDatiSetup::GetMemoryMap(MemMapWords &map) const
{
    writeOut([&](const CParameterClassBase &object) { object.GetMemoryMap(*m_ModInstr, map); },
             [&](const CInOutScale &scale) { scale.GetLinearizzazioneMemoryMap(*m_ModInstr, map); });
}

void CCollDatiSetup::GetMemoryMapAux(MemMapAuxLines &lines) const
{
    writeOut([&](const CParameterClassBase &object) { object.GetMemoryMapAux(*m_ModInstr, lines); },
             [&](const CInOutScale &scale) { scale.GetLinearizzazioneMemoryMapAux(*m_ModInstr, lines); });
}

// ---------------------------------------------------------------------------
// Validity update

std::optional<bool> CCollDatiSetup::ObjectApplies(const QString &key, const ApplyContext &c)
{
    using ModuleCodes::IsFrequencyModule;
    using namespace WPxFunctions;
    const bool frequency = IsFrequencyModule(c.SlotA);
    const std::int16_t f = c.WPxFunction;
    const bool oxa16 = c.ModelloStrumento == ModelCode::Oxa16;

    if (key == QLatin1String("CModInstr") || key == QLatin1String("CFiltroDigitale"))
        return true;
    if (key == QLatin1String("CRangeWP12"))
        return frequency;
    if (key == QLatin1String("CRangeMVAHVA"))
        return c.SlotA < SlotACode::GKP;
    if (key == QLatin1String("CRangeGKP"))
        return c.SlotA == SlotACode::GKP;
    if (key == QLatin1String("CRangeMVZ"))
        return c.SlotA == SlotACode::MVZ;
    if (key == QLatin1String("CDisplay"))
        return c.ModelloStrumento != ModelCode::Ivr;
    if (key == QLatin1String("CInOutScale"))
        // The counters own channel A's scale.
        return !(frequency && CountersTakeChannelA(f));
    if (key == QLatin1String("CInOutScaleB"))
        return frequency && ((oxa16 && ChannelFIsInputB(f)) || ComputesChannelF(f));
    if (key == QLatin1String("CLinearize"))
        // Only from F11 on is channel A's curve left out: on F10 a switch
        // stored on channel A's scale still brings it.
        return c.SlotA != SlotACode::GKP && c.LinearizzazioneA != 0 && !(frequency && f >= WPxFunctionCode::F11);
    if (key == QLatin1String("CLinearizeB"))
        // Channel F exists on the frequency/counter modules only: in the base
        // layout its curve would take channel A's words.
        return frequency && oxa16 && ChannelFIsInputB(f) && c.LinearizzazioneB != 0;
    if (key == QLatin1String("CCounterAB"))
        // A function left over from an earlier frequency configuration shows
        // no counters on another module.
        return frequency && oxa16 && IsCounterFunction(f);
    if (key.size() == 7 && key.startsWith(QLatin1String("CAlarm")) && key[6] >= QLatin1Char('1') &&
        key[6] <= QLatin1Char('4'))
        // Alarm n needs the n-th relay: Y1 has one, Y2 two, Y4/Y5 four.
        return ModuleCodes::RelayCount(c.SlotC) >= key[6].digitValue();
    if (key == QLatin1String("CAnalogOut"))
        return ModuleCodes::HasAnalogOutput(c.SlotB, c.SlotC, c.SlotD);
    if (key == QLatin1String("CSerialComm"))
        return ModuleCodes::HasSerialModule(c.SlotB);
    return std::nullopt;
}

CCollDatiSetup::ApplyContext CCollDatiSetup::currentContext() const
{
    ApplyContext c;
    c.ModelloStrumento = m_ModInstr->ModelloStrumento();
    c.SlotA = m_ModInstr->SlotA();
    c.SlotB = m_ModInstr->SlotB();
    c.SlotC = m_ModInstr->SlotC();
    c.SlotD = m_ModInstr->SlotD();
    c.WPxFunction = m_RangeWP12->WPxFunction();
    c.LinearizzazioneA = m_InOutScale->Linearizzazione();
    c.LinearizzazioneB = m_InOutScaleB->Linearizzazione();
    return c;
}

namespace {

// The collection's own objects as the source of the context values, each
// read at the moment an object takes it.
class CollectionContext : public ContextSource {
public:
    explicit CollectionContext(const CCollDatiSetup &setup) : m_Setup(setup) {}
    const CModInstr &ModInstr() const override { return m_Setup.ModInstr(); }
    std::int16_t DisplayDigit() const override { return m_Setup.Display().DisplayDigit(); }
    std::int16_t WPxFunction() const override { return m_Setup.RangeWP12().WPxFunction(); }
    std::int16_t MeasureType() const override { return m_Setup.RangeMVAHVA().MeasureType(); }
    const CInOutScale &ChannelScale(bool channelA) const override
    {
        return channelA ? m_Setup.InOutScale() : m_Setup.InOutScaleB();
    }

private:
    const CCollDatiSetup &m_Setup;
};

} // namespace

void CCollDatiSetup::UpdateValidData()
{
    const CModInstr &mod = *m_ModInstr;
    const CollectionContext context(*this);
    for (std::int16_t i = 1; i <= m_SetupObjects.Count(); ++i) {
        CParameterClassBase &object = m_SetupObjects.base(i);
        const QString name = object.ClassName();
        // A name of none of the 18 objects leaves its flag as it was.
        if (!ObjectApplies(name, ApplyContext{}).has_value())
            continue;
        // Decided on the values as they are at this object's turn: the
        // objects before it have had their context values pushed.
        SetContextValues(object, context);

        if (name == QLatin1String("CInOutScale") || name == QLatin1String("CInOutScaleB")) {
            (name == QLatin1String("CInOutScale") ? *m_InOutScale : *m_InOutScaleB).SetDisplayScale();
        } else if (name == QLatin1String("CCounterAB")) {
            // A function left over from an earlier frequency configuration
            // must not replace the display scales of any other module.
            if (ModuleCodes::IsFrequencyModule(mod.SlotA()))
                m_CounterAB->SetDisplayScale();
        }
        const bool valid = ObjectApplies(name, currentContext()).value_or(false);
        if (valid) {
            // The ranges publish their electrical limits only when they apply.
            if (name == QLatin1String("CRangeWP12"))
                m_RangeWP12->SetElettricScale();
            else if (name == QLatin1String("CRangeMVAHVA"))
                m_RangeMVAHVA->SetElettricScale();
            else if (name == QLatin1String("CRangeGKP"))
                m_RangeGKP->SetElettricScale();
            else if (name == QLatin1String("CRangeMVZ"))
                m_RangeMVZ->SetElettricScale();
        }
        m_ValidData[static_cast<std::size_t>(i - 1)] = valid;
    }
}
