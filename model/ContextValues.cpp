#include "ContextValues.h"

#include "CAlarm.h"
#include "CAnalogOut.h"
#include "CCounterAB.h"
#include "CDisplay.h"
#include "CFiltroDigitale.h"
#include "CInOutScale.h"
#include "CLinearize.h"
#include "CModInstr.h"
#include "CRangeGKP.h"
#include "CRangeMVAHVA.h"
#include "CRangeMVZ.h"
#include "CRangeWP12.h"
#include "MErrors.h"

namespace {

template <class T>
T &As(CParameterClassBase &object)
{
    auto *typed = dynamic_cast<T *>(&object);
    if (!typed)
        RaiseProgramError(RunTimeError::TypeMismatch);
    return *typed;
}

template <class T>
void SetModelAndSlotA(T &o, const CModInstr &model)
{
    o.SetModelloStrumento(model.ModelloStrumento());
    o.SetSlotA(model.SlotA());
}

bool IsAlarmName(const QString &name)
{
    return name.size() == 7 && name.startsWith(QLatin1String("CAlarm")) && name[6] >= QLatin1Char('1') &&
           name[6] <= QLatin1Char('4');
}

} // namespace

bool SetContextValues(CParameterClassBase &object, const ContextSource &source)
{
    const QString name = object.ClassName();
    const CModInstr &model = source.ModInstr();

    if (name == QLatin1String("CRangeWP12")) {
        SetModelAndSlotA(As<CRangeWP12>(object), model);
    } else if (name == QLatin1String("CRangeMVAHVA")) {
        SetModelAndSlotA(As<CRangeMVAHVA>(object), model);
    } else if (name == QLatin1String("CRangeGKP")) {
        SetModelAndSlotA(As<CRangeGKP>(object), model);
    } else if (name == QLatin1String("CRangeMVZ")) {
        CRangeMVZ &o = As<CRangeMVZ>(object);
        o.SetSlotC(model.SlotC());
        o.SetSlotD(model.SlotD());
    } else if (name == QLatin1String("CDisplay")) {
        SetModelAndSlotA(As<CDisplay>(object), model);
    } else if (name == QLatin1String("CInOutScale") || name == QLatin1String("CInOutScaleB")) {
        CInOutScale &o = As<CInOutScale>(object);
        SetModelAndSlotA(o, model);
        o.SetMeasureType(source.MeasureType());
        o.SetDisplayDigit(source.DisplayDigit());
        o.SetWPxFunction(source.WPxFunction());
    } else if (name == QLatin1String("CLinearize") || name == QLatin1String("CLinearizeB")) {
        CLinearize &o = As<CLinearize>(object);
        const CInOutScale &scale = source.ChannelScale(name == QLatin1String("CLinearize"));
        o.SetElectricDigitalPoint(scale.ElectricDigitalPoint());
        o.SetMinElectricScale(scale.MinElectricScale());
        o.SetMaxElectricScale(scale.MaxElectricScale());
        o.SetModelloStrumento(model.ModelloStrumento());
        o.SetDisplayDigit(source.DisplayDigit());
        o.SetSlotA(model.SlotA());
    } else if (name == QLatin1String("CCounterAB")) {
        As<CCounterAB>(object).SetWPxFunction(source.WPxFunction());
    } else if (IsAlarmName(name)) {
        CAlarm &o = As<CAlarm>(object);
        SetModelAndSlotA(o, model);
        o.SetDisplayDigit(source.DisplayDigit());
        o.SetWPxFunction(source.WPxFunction());
    } else if (name == QLatin1String("CAnalogOut")) {
        CAnalogOut &o = As<CAnalogOut>(object);
        o.SetModelloStrumento(model.ModelloStrumento());
        o.SetWPxFunction(source.WPxFunction());
    } else if (name == QLatin1String("CFiltroDigitale")) {
        CFiltroDigitale &o = As<CFiltroDigitale>(object);
        SetModelAndSlotA(o, model);
        o.SetDisplayDigit(source.DisplayDigit());
    } else {
        return false;
    }
    return true;
}
