#pragma once
// Fixtures of the memory-map and exchange-file tests: a configuration
// database on a copy of the template, and a few whole configurations built
// through the setup collection as the wizard leaves them.
#include "../model/CollectionTestSupport.h"
#include "../model/ModelDatabase.h"
#include "../model/TraceCapture.h"

#include "CAlarm.h"
#include "CAnalogOut.h"
#include "CCollDatiSetup.h"
#include "CDisplay.h"
#include "CFiltroDigitale.h"
#include "CInOutScale.h"
#include "CLinearize.h"
#include "CModInstr.h"
#include "CRangeGKP.h"
#include "CRangeMVAHVA.h"
#include "CRangeWP12.h"
#include "CScaleMisuraDisplay.h"
#include "CSerialComm.h"

#include <functional>
#include <vector>

namespace memmaptest {

using colltest::Modules;

struct Configuration {
    const char *what;
    Modules modules;
    QString name;
    std::function<void(CCollDatiSetup &)> set;
};

inline void SetCurve(CLinearize &curve, int n, std::int32_t inStep, std::int32_t out0, std::int32_t outStep)
{
    curve.SetNumSpezzate(static_cast<std::int16_t>(n));
    for (int i = 0; i < n; ++i) {
        curve.SetCoordinateIn(static_cast<std::int16_t>(i), i * inStep);
        curve.SetCoordinateOut(static_cast<std::int16_t>(i), out0 + i * outStep);
    }
}

inline void SetScale(CInOutScale &s, std::int32_t dp, std::int32_t lo, std::int32_t hi, std::int16_t lin)
{
    s.SetMeasureDigitalPoint(dp);
    s.SetMinMeasureScale(lo);
    s.SetMaxMeasureScale(hi);
    s.SetLinearizzazione(lin);
}

inline void SetElectric(CInOutScale &s, std::int32_t dp, std::int32_t lo, std::int32_t hi)
{
    s.SetElectricDigitalPoint(dp);
    s.SetMinElectricScale(lo);
    s.SetMaxElectricScale(hi);
}

// Base layout (with a negative display start), the temperature module with
// its word outside the window, and the frequency layout with both channels.
inline const std::vector<Configuration> &Configurations()
{
    static const std::vector<Configuration> list = {
        {"model 1, MVA r4, QD, Y2, curve of 5 points",
         {1, 0, 1, 2, 0},
         QStringLiteral("Forno \u00E8 3"),
         [](CCollDatiSetup &c) {
             c.Display().SetPassword(1234);
             c.Display().SetDisplayColor(1);
             c.RangeMVAHVA().SetRange(3);
             c.RangeMVAHVA().SetDigitalInFunction(1);
             SetScale(c.InOutScale(), 1, -1000, 1999, 1);
             SetCurve(c.Linearize(), 5, 400, -1000, 600);
             for (int n = 1; n <= 2; ++n) {
                 c.Alarm(n).SetAlarmSetPoint(900 + 10 * n);
                 c.Alarm(n).SetIsteresi(5 + n);
                 c.Alarm(n).SetAlarmType(static_cast<std::int16_t>(n));
                 c.Alarm(n).SetAlarmColor(static_cast<std::int16_t>(n));
             }
             c.FiltroDigitale().SetCampo(125);
             c.FiltroDigitale().SetCoeff(8);
             c.SerialComm().SetNetworkAdd(17);
             c.SerialComm().SetBaudRate(2);
         }},
        {"model 1, GKP thermocouple, manual cold junction, QD, BN in C",
         {1, 3, 1, 4, 0},
         // 60 characters, blanks at 46..50: cut at 50 it reads back as 45.
         QString(45, QLatin1Char('L')) + QString(5, QLatin1Char(' ')) + QStringLiteral("0123456789"),
         [](CCollDatiSetup &c) {
             c.RangeGKP().SetProbeSelect(0);
             c.RangeGKP().SetCJC(1);
             c.RangeGKP().SetTempCJC(23);
             c.RangeGKP().SetRange(2);
             SetScale(c.InOutScale(), 0, 0, 1200, 0);
             c.AnalogOut().SetMinOut(55);
             c.AnalogOut().SetMaxOut(955);
             c.AnalogOut().SetTypeSignalOut(1);
             c.SerialComm().SetNetworkAdd(3);
         }},
        {"model 3, WP1 F1, both curves, BN in B, Y4/Y5",
         {3, 4, 3, 3, 0},
         QStringLiteral(" Linea  2"),
         [](CCollDatiSetup &c) {
             c.RangeWP12().SetWPxFunction(0);
             c.RangeWP12().SetImpGiroA(100);
             c.RangeWP12().SetImpGiroB(30);
             c.RangeWP12().SetUnitaIngB(3);
             SetElectric(c.InOutScale(), 0x10002, 0, 5000000);
             SetScale(c.InOutScale(), 0x10001, -50000, 999999, 1);
             SetCurve(c.Linearize(), 6, 800000, -50000, 200000);
             SetElectric(c.InOutScaleB(), 0x10001, 100, 700000);
             SetScale(c.InOutScaleB(), 0x10003, 0, 500000, 1);
             SetCurve(c.LinearizeB(), 3, 300000, 0, 250000);
             for (int n = 1; n <= 4; ++n) {
                 c.Alarm(n).SetAlarmSetPoint(100000 * n);
                 c.Alarm(n).SetChannel(static_cast<std::int16_t>(n % 2));
             }
             c.AnalogOut().SetChannel(1);
             c.AnalogOut().SetMaxOut(800);
         }},
    };
    return list;
}

// Builds the configuration in `c` as the wizard leaves it; on the modules
// with a range table channel A's electrical scale is the chosen range.
inline void Build(CCollDatiSetup &c, const Configuration &cfg)
{
    c.ModInstr().SetNomeProgramma(cfg.name);
    cfg.set(c);
    c.SetCodificaModuli(colltest::Coding(cfg.modules));
    const bool freq = cfg.modules.a == 4 || cfg.modules.a == 5;
    if (!freq) {
        SetElectric(c.InOutScale(), g_Scala->DPScalaElettricaMin(), g_Scala->InizioScalaElettrica(),
                    g_Scala->FineScalaElettrica());
        c.SetCodificaModuli(c.CodificaModuli());
    }
}

// A database with configurations stored through the collection.
class MemMapDatabase : public ModelDatabase {
protected:
    void SetUp() override
    {
        ModelDatabase::SetUp();
        g_Scala.Reset();
        g_ScalaB.Reset();
    }
    void TearDown() override
    {
        g_Scala.Reset();
        g_ScalaB.Reset();
        ModelDatabase::TearDown();
    }

    void Store(const Configuration &cfg, std::int32_t id)
    {
        CCollDatiSetup c;
        Build(c, cfg);
        c.SetIDProgramma(id);
        c.SaveDataInADORS(true);
    }

    // A configuration as stored: its 18 rows loaded into a collection.
    std::unique_ptr<CCollDatiSetup> Load(std::int32_t id)
    {
        auto c = std::make_unique<CCollDatiSetup>();
        c->SetIDProgramma(id);
        c->LoadDataFromADORS();
        return c;
    }

    // Rows of all 18 tables together.
    std::int32_t AllRows()
    {
        CCollDatiSetup c;
        std::int32_t n = 0;
        for (std::int16_t i = 1; i <= c.SetupObjects().Count(); ++i)
            n += RowCount(c.SetupObjects().Key(i));
        return n;
    }
};

// Every stored value but the name, of the objects that apply to the first
// configuration's modules (reading a map back goes to every object, and one
// that does not apply may pick up words that belong to another).
inline std::string DifferencesButName(const CCollDatiSetup &a, const CCollDatiSetup &b)
{
    return colltest::Text(colltest::Differences(a, b, [&](std::int16_t i) { return a.ValidData(i); },
                                                {QStringLiteral("CModInstr.m_NomeProgramma")}));
}

// True when `expected` appears in `lines` in this order (other lines may
// come between).
inline ::testing::AssertionResult InOrder(const QStringList &lines, const QStringList &expected)
{
    qsizetype from = 0;
    for (const QString &e : expected) {
        const qsizetype at = lines.indexOf(e, from);
        if (at < 0)
            return ::testing::AssertionFailure()
                   << "missing \"" << e.toStdString() << "\" after line " << from << " of:\n"
                   << colltest::Text(lines);
        from = at + 1;
    }
    return ::testing::AssertionSuccess();
}

} // namespace memmaptest
