// The keyboard on every wizard page: the control that has the focus when the
// page opens, and where each Tab takes it from there (through the page's own
// controls as they are laid out, top to bottom and the left column first,
// into an option group on its checked button, then the enabled buttons of
// the bar) until it is back where it began.
#include "CAlarm.h"
#include "CAnalogOut.h"
#include "CCommConfig.h"
#include "CCounterAB.h"
#include "CDisplay.h"
#include "CFiltroDigitale.h"
#include "CInOutScale.h"
#include "CLinearize.h"
#include "CModInstr.h"
#include "CNetworkAddMsgSetup.h"
#include "CRangeGKP.h"
#include "CRangeMVAHVA.h"
#include "CRangeMVZ.h"
#include "CRangeWP12.h"
#include "CScaleMisuraDisplay.h"
#include "CSerialComm.h"
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
#include "WizardTestSupport.h"

#include "../model/ModelTestSupport.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

// The names of the controls the focus visits: the one it has when the page
// opens, then one per Tab, until it comes back to the first.
QStringList TabOrder(FWizardPage &page)
{
    QStringList names;
    QWidget *first = page.focusWidget();
    if (first == nullptr)
        return names;
    names << first->objectName();
    QWidget *current = first;
    for (int i = 0; i < 80; ++i) {
        QTest::keyClick(current, Qt::Key_Tab);
        current = page.focusWidget();
        if (current == nullptr || current == first)
            break;
        names << current->objectName();
    }
    return names;
}

// A page of the class with its data object filled as the wizard fills it.
template <class Page, class Data>
std::function<std::unique_ptr<FWizardPage>()> PageWith(const char *className, std::function<void(Data &)> fill)
{
    return [className, fill] {
        auto page = std::make_unique<Page>();
        auto data = std::make_unique<Data>();
        if constexpr (std::is_base_of_v<IParameterObject, Data>)
            data->SetClassName(QString::fromLatin1(className));
        fill(*data);
        page->SetData(*data);
        return std::unique_ptr<FWizardPage>(std::move(page));
    };
}

class KeyboardOrder : public paramtest::FreshScales {};

TEST_F(KeyboardOrder, TabFollowsEveryPageFromItsFirstControl)
{
    enum Place { First, Middle, Last }; // in the run: Back, Next and End follow
    struct Case {
        const char *page;
        std::function<std::unique_ptr<FWizardPage>()> make;
        Place place;
        const char *order; // the names, comma-separated
    };
    const Case cases[] = {
        {"FWModInstr",
         PageWith<FWModInstr, CModInstr>("CModInstr",
                                         [](CModInstr &d) {
                                             d.SetNomeProgramma(QStringLiteral("Forno"));
                                             d.SetModelloStrumento(1);
                                             d.SetSlotA(2);
                                             d.SetSlotB(1);
                                             d.SetSlotC(3);
                                         }),
         First, "txtProgramName, optModStrumento1, optSlotA2, optSlotB1, optSlotC3, cmdNext, cmdCancel"},
        {"FWCommConfig", PageWith<FWCommConfig, CCommConfig>("", [](CCommConfig &d) { d.SetInterfaceType(2); }), First,
         "cmbComPort, optInterfaceType2, cmdNext, cmdCancel"},
        {"FWRangeMVAHVA",
         PageWith<FWRangeMVAHVA, CRangeMVAHVA>("CRangeMVAHVA",
                                               [](CRangeMVAHVA &d) {
                                                   d.SetModelloStrumento(1);
                                                   d.SetSlotA(0);
                                                   d.SetRange(3);
                                                   d.SetIntegrationTime(1);
                                                   d.SetDigitalInFunction(2);
                                               }),
         Middle,
         "optRangeMVAMVB3, optMeasureType0, optIntegrationTime1, txtIntTime, optDigitalInFunction2, cmdBack, cmdNext, "
         "cmdCancel"},
        {"FWRangeGKP",
         PageWith<FWRangeGKP, CRangeGKP>("CRangeGKP",
                                         [](CRangeGKP &d) {
                                             d.SetModelloStrumento(1);
                                             d.SetSlotA(3);
                                             d.SetProbeSelect(0);
                                             d.SetRange(2);
                                             d.SetCJC(1);
                                         }),
         Middle, "optProbeSelect0, optCJC1, txtTempCJC, optRangeTC2, cmbFunzione, cmdBack, cmdNext, cmdCancel"},
        {"FWRangeWP12",
         PageWith<FWRangeWP12, CRangeWP12>("CRangeWP12",
                                           [](CRangeWP12 &d) {
                                               d.SetModelloStrumento(3);
                                               d.SetSlotA(4);
                                           }),
         Middle,
         "cmbWPxFunction, txtImpGiroA, cmbUnitaIngA, txtImpGiroB, cmbUnitaIngB, optDigitalInFunction0, cmdBack, "
         "cmdNext, cmdCancel"},
        {"FWRangeMVZ",
         PageWith<FWRangeMVZ, CRangeMVZ>("CRangeMVZ",
                                         [](CRangeMVZ &d) {
                                             d.SetSlotC(7);
                                             d.SetSlotD(4);
                                         }),
         Middle,
         "optRangeMasterMVZ0, cmbInput1C, cmbInput2C, cmbInput3C, cmbInput1D, cmbInput2D, cmbInput3D, cmdBack, "
         "cmdNext, cmdCancel"},
        {"FWInOutScale",
         PageWith<FWInOutScale, CInOutScale>("CInOutScale",
                                             [](CInOutScale &d) {
                                                 g_Scala->SetLimitiScalaElettrica(3, 4, 1, 0);
                                                 d.SetModelloStrumento(3);
                                                 d.SetSlotA(4);
                                                 d.SetLinearizzazione(1);
                                             }),
         Middle,
         "cmbElettricDigitalPoint, txtMaxElectricScale, txtMinElectricScale, cmbMeasureDigitalPoint, "
         "txtMaxMeasureScale, txtMinMeasureScale, optLinearizzazione1, cmdBack, cmdNext, cmdCancel"},
        {"FWLinearize",
         PageWith<FWLinearize, CLinearize>("CLinearize",
                                           [](CLinearize &d) {
                                               d.SetModelloStrumento(1);
                                               d.SetSlotA(0);
                                               d.SetNumSpezzate(10);
                                           }),
         Middle,
         "cmbNumSpezzate, txtLinearizeIn0, txtLinearizeOut0, txtLinearizeIn1, txtLinearizeOut1, txtLinearizeIn2, "
         "txtLinearizeOut2, txtLinearizeIn3, txtLinearizeOut3, txtLinearizeIn4, txtLinearizeOut4, txtLinearizeIn5, "
         "txtLinearizeOut5, txtLinearizeIn6, txtLinearizeOut6, txtLinearizeIn7, txtLinearizeOut7, txtLinearizeIn8, "
         "txtLinearizeOut8, txtLinearizeIn9, txtLinearizeOut9, cmdBack, cmdNext, cmdCancel"},
        {"FWDisplay",
         PageWith<FWDisplay, CDisplay>("CDisplay",
                                       [](CDisplay &d) {
                                           d.SetModelloStrumento(1);
                                           d.SetSlotA(0);
                                           d.SetDisplayColor(1);
                                       }),
         Middle, "txtPassword, optDisplayColor1, cmdBack, cmdNext, cmdCancel"},
        {"FWCounterAB",
         PageWith<FWCounterAB, CCounterAB>("CCounterAB",
                                           [](CCounterAB &d) {
                                               g_Scala->SetLimitiScalaElettrica(3, 4, 1, 0);
                                               d.SetWPxFunction(10);
                                           }),
         Middle,
         "cmbElettricDigitalPoint, txtMinElectricScale, txtMaxElectricScale, cmbMeasureDigitalPointCounterA, "
         "cmbCounterADigitalPoint, txtCounterAPulseWeight, cmbMeasureDigitalPointCounterB, cmbCounterBDigitalPoint, "
         "txtCounterBPulseWeight, cmdBack, cmdNext, cmdCancel"},
        {"FWAlarm",
         PageWith<FWAlarm, CAlarm>("CAlarm1",
                                   [](CAlarm &d) {
                                       d.SetModelloStrumento(3);
                                       d.SetSlotA(4);
                                       d.SetAlarmType(2);
                                       d.SetRelayStatus(1);
                                   }),
         Middle,
         "cmbChannel, txtMinAlarmScale, txtMaxAlarmScale, txtAlarmSetPoint, txtIsteresi, txtRitAttivazione, "
         "txtRitDisattivazione, optAlarmType2, optRelayStatus1, cmdBack, cmdNext, cmdCancel"},
        {"FWAnalogOut",
         PageWith<FWAnalogOut, CAnalogOut>("CAnalogOut",
                                           [](CAnalogOut &d) {
                                               d.SetModelloStrumento(3);
                                               d.SetTypeSignalOut(1);
                                           }),
         Middle, "cmbChannel, txtMaxOut, txtMinOut, optTypeSignalOut1, cmdBack, cmdNext, cmdCancel"},
        {"FWFiltroDigitale", PageWith<FWFiltroDigitale, CFiltroDigitale>("CFiltroDigitale", [](CFiltroDigitale &) {}),
         Middle, "txtCampo, txtCoeff, cmdBack, cmdNext, cmdCancel"},
        {"FWSerialComm", PageWith<FWSerialComm, CSerialComm>("CSerialComm", [](CSerialComm &d) { d.SetBaudRate(2); }),
         Middle, "txtNetworkAdd, optBaudRate2, cmdBack, cmdNext, cmdCancel"},
        {"FWNetworkAddMsgSetup",
         PageWith<FWNetworkAddMsgSetup, CNetworkAddMsgSetup>("",
                                                             [](CNetworkAddMsgSetup &d) {
                                                                 d.SetInterfaceType(1);
                                                                 d.SetSelNetworkAdd(1);
                                                             }),
         Middle, "optConfigSingleInstr, optManual, txtNetworkAdd, cmdBack, cmdNext, cmdCancel"},
        {"FWFinalSetupMessage", [] { return std::unique_ptr<FWizardPage>(std::make_unique<FWFinalSetupMessage>()); },
         Last, "cmdEnd, cmdCancel, cmdBack"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.page);
        const std::unique_ptr<FWizardPage> page = c.make();
        page->SetFirstTab(c.place == First);
        page->SetLastTab(c.place == Last);
        page->Show(0);
        page->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(page.get()));
        const QStringList order = TabOrder(*page);
        EXPECT_EQ(order.join(QStringLiteral(", ")).toStdString(), c.order);

        // Shown again after it was left from a button: the same first control.
        page->reject();
        ASSERT_FALSE(order.isEmpty());
        page->Show(0);
        page->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(page.get()));
        ASSERT_NE(page->focusWidget(), nullptr);
        EXPECT_EQ(page->focusWidget()->objectName(), order.first());
        page->reject();
    }
}

} // namespace
