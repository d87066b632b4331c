#pragma once
#include "CModInstr.h"
#include "CScaleMisuraDisplay.h"
#include "ParameterTestSupport.h"

#include <QLocale>
#include <gtest/gtest.h>
#include <memory>
#include <set>

// Fixtures shared by the tests of the scale, counter, linearisation, alarm
// and filter classes and of whole configurations: a default-locale guard,
// fresh scale objects around each test, the key set of a word or line
// snapshot and a CModInstr by model and slot-A code.
namespace paramtest {

// Makes `locale` the default for the scope (number texts of the report).
class DefaultLocale {
public:
    explicit DefaultLocale(const QLocale &locale) { QLocale::setDefault(locale); }
    ~DefaultLocale() { QLocale::setDefault(m_Old); }
    DefaultLocale(const DefaultLocale &) = delete;
    DefaultLocale &operator=(const DefaultLocale &) = delete;

private:
    QLocale m_Old;
};

// Both scale objects fresh before and after each test, inside the set-up
// and tear-down of the fixture Base.
template <class Base>
class WithFreshScales : public Base {
protected:
    void SetUp() override
    {
        Base::SetUp();
        g_Scala.Reset();
        g_ScalaB.Reset();
    }
    void TearDown() override
    {
        g_Scala.Reset();
        g_ScalaB.Reset();
        Base::TearDown();
    }
};

using FreshScales = WithFreshScales<::testing::Test>;

// The indexes of a snapshot (SetWords, SentLines).
template <class M>
std::set<std::size_t> Keys(const M &m)
{
    std::set<std::size_t> keys;
    for (const auto &kv : m)
        keys.insert(kv.first);
    return keys;
}

inline std::unique_ptr<CModInstr> Mod(std::int16_t model, std::int16_t slotA)
{
    auto mod = std::make_unique<CModInstr>();
    mod->SetModelloStrumento(model);
    mod->SetSlotA(slotA);
    return mod;
}

} // namespace paramtest
