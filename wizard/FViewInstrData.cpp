#include "FViewInstrData.h"

#include "CCommConfig.h"
#include "CLiveView.h"
#include "CNetworkAddMsgSetup.h"
#include "CTextDigitSpin.h"
#include "ControlKinds.h"
#include "FormText.h"
#include "MsgBox.h"
#include "ResourceText.h"
#include "StringTable.h"
#include "UpDownControl.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedLayout>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr std::int32_t kTextAddressColumn = 601;
constexpr std::int32_t kTextValueAColumn = 602;
constexpr std::int32_t kTextAlarmColumn = 603;
constexpr std::int32_t kTextNetworkTab = 605;
constexpr std::int32_t kTextSingleTab = 606;
constexpr std::int32_t kTextValueBColumn = 607;
constexpr std::int32_t kTextClose = 2005;

constexpr int kGridColumns = 7;
constexpr int kGridVisibleRows = 14;
constexpr int kFontMeasureValue = 36;
constexpr int kFontMeasureOXA16 = 18;

QColor colorOf(std::uint32_t windowsColor)
{
    return QColor::fromRgb(static_cast<QRgb>(LiveColorToRgb(windowsColor)));
}

void setTextColor(QLineEdit *box, std::uint32_t windowsColor)
{
    QPalette p = box->palette();
    p.setColor(QPalette::Text, colorOf(windowsColor));
    box->setPalette(p);
}

void setLampColor(QLabel *lamp, std::uint32_t windowsColor)
{
    QPalette p = lamp->palette();
    p.setColor(QPalette::Window, colorOf(windowsColor));
    lamp->setPalette(p);
}

QLineEdit *measureBox(QWidget *parent, const QString &name)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::NoFocus);
    box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return box;
}

} // namespace

FViewInstrData::FViewInstrData(QWidget *parent)
    : TransferWindow(parent, QStringLiteral("FViewInstrData"), QStringLiteral("Visualizzazione variabili: "))
{
    TabStrip = new QTabWidget(this);
    TabStrip->setObjectName(QStringLiteral("TabStrip"));
    for (std::size_t i = 0; i < picTab.size(); ++i) {
        picTab[i] = new QWidget(TabStrip);
        picTab[i]->setObjectName(QStringLiteral("picTab_%1").arg(i));
    }

    // Page 0: the grid of the network.
    dgInstrStatusData = new QTableWidget(0, kGridColumns, picTab[0]);
    dgInstrStatusData->setObjectName(QStringLiteral("dgInstrStatusData"));
    dgInstrStatusData->setEditTriggers(QAbstractItemView::NoEditTriggers);
    dgInstrStatusData->setSelectionBehavior(QAbstractItemView::SelectRows);
    dgInstrStatusData->verticalHeader()->setVisible(false);
    dgInstrStatusData->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    auto *gridLayout = new QVBoxLayout(picTab[0]);
    gridLayout->addWidget(dgInstrStatusData);

    // Page 1: the single display, centred.
    picZoom = new QFrame(picTab[1]);
    picZoom->setObjectName(QStringLiteral("picZoom"));
    picZoom->setFrameShape(QFrame::StyledPanel);
    auto *displays = new QWidget(picZoom);
    auto *stack = new QStackedLayout(displays);
    stack->setStackingMode(QStackedLayout::StackAll);
    txtMeasureValue = measureBox(displays, QStringLiteral("txtMeasureValue"));
    // The two-line display covers the one-line display while it is shown.
    auto *twoLines = new QWidget(displays);
    twoLines->setAutoFillBackground(true);
    auto *twoLinesLayout = new QVBoxLayout(twoLines);
    twoLinesLayout->setContentsMargins(0, 0, 0, 0);
    for (std::size_t i = 0; i < txtMeasureOXA16.size(); ++i) {
        txtMeasureOXA16[i] = measureBox(twoLines, QStringLiteral("txtMeasureOXA16_%1").arg(i));
        twoLinesLayout->addWidget(txtMeasureOXA16[i]);
    }
    stack->addWidget(txtMeasureValue);
    stack->addWidget(twoLines);
    stack->setCurrentWidget(twoLines);

    auto *lamps = new QHBoxLayout;
    for (std::size_t k = 0; k < LedAlarm.size(); ++k) {
        LedAlarm[k] = new QLabel(picZoom);
        LedAlarm[k]->setObjectName(QStringLiteral("LedAlarm%1").arg(k + 1));
        LedAlarm[k]->setAutoFillBackground(true);
        LedAlarm[k]->setFrameShape(QFrame::Panel);
        LedAlarm[k]->setFrameShadow(QFrame::Sunken);
        LedAlarm[k]->setFixedSize(24, 24);
        lamps->addWidget(LedAlarm[k]);
    }
    lamps->addStretch();

    Label1 = new QLabel(picZoom);
    Label1->setObjectName(QStringLiteral("Label1"));
    SetControlTag(Label1, kTextAddressColumn);
    Text1 = new QLineEdit(picZoom);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Text1->setFixedWidth(72);
    // The spin places the up-down over the text box itself: not in a layout.
    UpDown1 = new UpDownControl(picZoom);
    UpDown1->setObjectName(QStringLiteral("UpDown1"));
    lamps->addWidget(Label1);
    lamps->addWidget(Text1);

    auto *zoomLayout = new QVBoxLayout(picZoom);
    zoomLayout->addWidget(displays);
    zoomLayout->addLayout(lamps);
    auto *singleLayout = new QHBoxLayout(picTab[1]);
    singleLayout->addStretch();
    singleLayout->addWidget(picZoom);
    singleLayout->addStretch();

    TabStrip->addTab(picTab[0], QString());
    TabStrip->addTab(picTab[1], QString());

    ProgBarTransfer = new QProgressBar(this);
    ProgBarTransfer->setObjectName(QStringLiteral("ProgBarTransfer"));
    ProgBarTransfer->setTextVisible(false);
    ProgBarTransfer->setVisible(false);
    cmdClose = new QPushButton(this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(TabStrip);
    layout->addWidget(ProgBarTransfer);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdClose);
    layout->addLayout(buttons);

    // Load.
    SetFormFont(this);
    LoadFormCaptions(this);
    LoadFormToolTips(this);
    setWindowTitle(QString());
    cmdClose->setText(LoadResourceString(kTextClose));
    TabStrip->setTabText(0, LoadResourceString(kTextNetworkTab));
    TabStrip->setTabText(1, LoadResourceString(kTextSingleTab));
    QFont big = txtMeasureValue->font();
    big.setPointSize(kFontMeasureValue);
    txtMeasureValue->setFont(big);
    for (QLineEdit *line : txtMeasureOXA16) {
        QFont f = line->font();
        f.setPointSize(kFontMeasureOXA16);
        line->setFont(f);
    }
    const int lineHeight = QFontMetrics(big).height();
    txtMeasureValue->setMinimumSize(QFontMetrics(big).horizontalAdvance(QStringLiteral("-88888888")), lineHeight);

    const QStringList headers = {LoadResourceString(kTextAddressColumn), LoadResourceString(kTextValueAColumn),
                                 LoadResourceString(kTextValueBColumn)};
    dgInstrStatusData->setHorizontalHeaderLabels(headers);
    for (int k = 1; k <= 4; ++k) {
        const QString alarm = GetResourceText(kTextAlarmColumn, {QVariant(QString::number(k))});
        dgInstrStatusData->setHorizontalHeaderItem(2 + k, new QTableWidgetItem(alarm));
        LedAlarm[static_cast<std::size_t>(k - 1)]->setToolTip(alarm);
    }
    // Fourteen rows show at once.
    dgInstrStatusData->setMinimumHeight(dgInstrStatusData->horizontalHeader()->sizeHint().height() +
                                        kGridVisibleRows *
                                            (dgInstrStatusData->verticalHeader()->defaultSectionSize() + 1));

    connect(cmdClose, &QPushButton::clicked, this, &FViewInstrData::RequestCancel);
}

// The engine goes first; the frame then closes the port.
FViewInstrData::~FViewInstrData() = default;

bool FViewInstrData::Create(CCommConfig *commConfig, CNetworkAddMsgSetup *networkAddMsgSetup)
{
    m_CommConfig = commConfig;
    m_Engine.reset();
    CTapiComm &transport = NewTransport();
    if (!commConfig || !networkAddMsgSetup)
        return true;

    m_Engine = std::make_unique<CLiveView>(transport, *commConfig, *networkAddMsgSetup);
    connect(m_Engine.get(), &CLiveView::Warning, this, [this](const QString &text, const QString &title) {
        MsgBox(text, MsgBoxStyle::OKOnly | MsgBoxStyle::Exclamation, title, this);
    });
    connect(m_Engine.get(), &CLiveView::CaptionChanged, this, &QWidget::setWindowTitle);
    connect(m_Engine.get(), &CLiveView::ProgressVisibleChanged, ProgBarTransfer, &QWidget::setVisible);
    connect(m_Engine.get(), &CLiveView::ProgressRangeChanged, ProgBarTransfer, &QProgressBar::setRange);
    connect(m_Engine.get(), &CLiveView::ProgressValueChanged, ProgBarTransfer, &QProgressBar::setValue);
    connect(m_Engine.get(), &CLiveView::ZoomLimitsChanged, this, &FViewInstrData::setZoomLimits);
    connect(m_Engine.get(), &CLiveView::GridRowChanged, this, &FViewInstrData::showGridRow);
    connect(m_Engine.get(), &CLiveView::SingleDisplayChanged, this, &FViewInstrData::showSingleDisplay);

    m_Engine->CreateStatusRecordset();
    dgInstrStatusData->setRowCount(m_Engine->GridRowCount());
    for (int row = 0; row < dgInstrStatusData->rowCount(); ++row) {
        for (int column = 0; column < kGridColumns; ++column)
            dgInstrStatusData->setItem(row, column, new QTableWidgetItem);
    }

    m_CurrentZoom = std::make_unique<CTextDigitSpin>();
    m_CurrentZoom->Create(Text1, UpDown1, 1, m_Engine->GridRowCount(), 1, true, true);
    m_CurrentZoom->SetEnabled(commConfig->InterfaceType() == CCommConfig::kInterfaceRS485);
    connect(m_CurrentZoom.get(), &CTextDigitSpin::Change, this, &FViewInstrData::currentZoomChange);
    return true;
}

bool FViewInstrData::RunTransfer(std::int32_t)
{
    if (!m_Engine)
        return false;
    if (m_CommConfig->InterfaceType() == CCommConfig::kInterfaceRS232) {
        // One instrument: the single display only.
        TabStrip->setCurrentIndex(1);
        TabStrip->removeTab(0);
        picTab[0]->hide();
    } else {
        m_Engine->ClearNetworkGrid();
        dgInstrStatusData->setVisible(true);
        dgInstrStatusData->setCurrentCell(0, 0);
    }
    ClearSingleDisplay();
    return m_Engine->Run();
}

void FViewInstrData::CancelTransfer()
{
    if (m_Engine)
        m_Engine->Cancel();
}

void FViewInstrData::ClearSingleDisplay()
{
    txtMeasureValue->setText(LiveText::Empty);
    for (QLineEdit *line : txtMeasureOXA16)
        line->setText(LiveText::Empty);
    for (QLabel *lamp : LedAlarm)
        setLampColor(lamp, LiveColor::Grey);
}

void FViewInstrData::showGridRow(int address)
{
    const int row = address - 1;
    if (!m_Engine || row < 0 || row >= dgInstrStatusData->rowCount())
        return;
    const CLiveView::GridRow &r = m_Engine->Row(address);
    const QString texts[kGridColumns] = {r.NetworkAdd, r.VariableValueA, r.VariableValueB, r.Alarm[0],
                                         r.Alarm[1],   r.Alarm[2],       r.Alarm[3]};
    for (int column = 0; column < kGridColumns; ++column)
        dgInstrStatusData->item(row, column)->setText(texts[column]);
}

void FViewInstrData::showSingleDisplay()
{
    const LiveDisplay &d = m_Engine->Display();
    const bool twoLines = d.text[1] != LiveText::NoView;
    for (QLineEdit *line : txtMeasureOXA16)
        line->setVisible(twoLines);
    txtMeasureOXA16[0]->parentWidget()->setVisible(twoLines);
    setTextColor(txtMeasureValue, LiveStatusColor(d.status[0]));
    setTextColor(txtMeasureOXA16[0], LiveStatusColor(d.status[0]));
    setTextColor(txtMeasureOXA16[1], LiveStatusColor(d.status[1]));
    txtMeasureValue->setText(d.text[0]);
    txtMeasureOXA16[0]->setText(d.text[0]);
    txtMeasureOXA16[1]->setText(d.text[1]);
    for (std::size_t k = 0; k < LedAlarm.size(); ++k)
        setLampColor(LedAlarm[k], LiveAlarmColor(d.alarm[k]));
}

void FViewInstrData::setZoomLimits(int maximum, int value)
{
    m_CurrentZoom->SetMax(maximum);
    m_CurrentZoom->SetValue(value);
    m_Engine->SetZoomAddress(m_CurrentZoom->Value());
}

// Another address for the single display: it fills again at that
// address's next poll.
void FViewInstrData::currentZoomChange()
{
    ClearSingleDisplay();
    if (m_Engine && m_CurrentZoom)
        m_Engine->SetZoomAddress(m_CurrentZoom->Value());
}
