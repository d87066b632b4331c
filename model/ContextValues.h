#pragma once
#include <cstdint>

class CParameterClassBase;
class CModInstr;
class CInOutScale;

// The context values of a configuration's objects: what each object takes
// from the objects before it, so that its rules, texts and scale operations
// follow the instrument. They are written into an object before it is
// checked, saved or shown on its page, and never stored. This is the one
// list of who takes what; the setup collection's validity update and the
// configuration wizard's pages both use it.
//
//   CRangeWP12, CRangeMVAHVA,   model and slot A
//   CRangeGKP, CDisplay
//   CRangeMVZ                   slots C and D
//   CInOutScale, CInOutScaleB   model, slot A, MeasureType, DisplayDigit,
//                               WPxFunction
//   CLinearize, CLinearizeB     the electrical scale of its channel's
//                               CInOutScale (point, minimum, maximum),
//                               model, DisplayDigit, slot A
//   CCounterAB                  WPxFunction
//   CAlarm1 .. CAlarm4          model, slot A, DisplayDigit, WPxFunction
//   CAnalogOut                  model, WPxFunction
//   CFiltroDigitale             model, slot A, DisplayDigit
//   CModInstr, CSerialComm      nothing

// Where the values come from. Each is asked for only when an object takes
// it, so a source may read it afresh at every call.
class ContextSource {
public:
    virtual ~ContextSource() = default;
    // The model and the slots.
    virtual const CModInstr &ModInstr() const = 0;
    // CDisplay's DisplayDigit.
    virtual std::int16_t DisplayDigit() const = 0;
    // CRangeWP12's WPxFunction.
    virtual std::int16_t WPxFunction() const = 0;
    // CRangeMVAHVA's MeasureType.
    virtual std::int16_t MeasureType() const = 0;
    // The scale object of channel A ("CInOutScale") or of channel F
    // ("CInOutScaleB"); the reference needs to last only until the next call.
    virtual const CInOutScale &ChannelScale(bool channelA) const = 0;
};

// Writes into object the context values its ClassName takes, read from
// source. False when that name takes none (CModInstr, CSerialComm, a name
// of none of the 18 objects): object is then untouched. An object that is
// not of the class of its name raises run-time error 13 (type mismatch).
bool SetContextValues(CParameterClassBase &object, const ContextSource &source);
