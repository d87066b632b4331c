#pragma once
#include <cstdint>

// The instrument a parameter object is set up for, as far as its rules and
// texts depend on it: the model (ModelloStrumento) and the code of the
// module in slot A. Context values: whoever uses the object (the setup
// collection, a wizard page) sets them from the configuration's CModInstr;
// the object copies them with its values but never stores them. The writes
// store any value unchanged.
//
// A parameter class that needs them derives from this besides
// CParameterClass<Itself>, and its CopyProperties calls CopyInstrumentContext.
class InstrumentContext {
public:
    std::int16_t ModelloStrumento() const { return m_ModelloStrumento; }
    void SetModelloStrumento(std::int16_t v) { m_ModelloStrumento = v; }
    std::int16_t SlotA() const { return m_SlotA; }
    void SetSlotA(std::int16_t v) { m_SlotA = v; }

protected:
    // Both values of `from`.
    void CopyInstrumentContext(const InstrumentContext &from) { *this = from; }

private:
    std::int16_t m_ModelloStrumento = 0;
    std::int16_t m_SlotA = 0;
};
