#include "CWizardTabs.h"

#include "ADOConnection.h"
#include "MErrors.h"
#include "ProgramFolder.h"
#include "ProgramImages.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace {

constexpr std::int32_t kDuplicateKey = 457;

[[noreturn]] void raiseDuplicateKey()
{
    throw ProgramError(kDuplicateKey, ExecutableName() + QStringLiteral(".VBError"),
                       QStringLiteral("This key is already associated with an element of this collection"));
}

} // namespace

// ---------------------------------------------------------------------------
// The page collection

FWizardPage &CWizardTabs::DialogCollection::Item(std::int16_t index) const
{
    if (index < 1 || index > Count())
        RaiseProgramError(RunTimeError::SubscriptOutOfRange);
    FWizardPage *page = m_Items[static_cast<std::size_t>(index - 1)].page;
    if (page == nullptr)
        RaiseProgramError(RunTimeError::SubscriptOutOfRange);
    return *page;
}

FWizardPage &CWizardTabs::DialogCollection::Item(const QString &key) const
{
    for (std::size_t i = 0; i < m_Items.size(); ++i) {
        if (m_Items[i].hasKey && m_Items[i].key == key)
            return Item(static_cast<std::int16_t>(i + 1));
    }
    RaiseProgramError(RunTimeError::InvalidCall);
}

bool CWizardTabs::DialogCollection::Contains(const QString &key) const
{
    return std::any_of(m_Items.begin(), m_Items.end(), [&](const Entry &e) { return e.hasKey && e.key == key; });
}

QString CWizardTabs::DialogCollection::Key(std::int16_t index) const
{
    if (index < 1 || index > Count())
        RaiseProgramError(RunTimeError::SubscriptOutOfRange);
    return m_Items[static_cast<std::size_t>(index - 1)].key;
}

// ---------------------------------------------------------------------------
// The driver

CWizardTabs::CWizardTabs(QObject *parent) : QObject(parent) {}

CWizardTabs::~CWizardTabs()
{
    RemoveAll();
}

void CWizardTabs::SetFileName(const QString &fileName)
{
    m_FileName = fileName;
    for (const DataEntry &e : m_DataObjects)
        e.object->SetFileName(fileName);
}

ICopyClass &CWizardTabs::PointerClass(const QString &key) const
{
    for (const DataEntry &e : m_DataObjects) {
        if (e.hasKey && e.key == key)
            return *e.object;
    }
    RaiseProgramError(RunTimeError::InvalidCall);
}

void CWizardTabs::Add(FWizardPage &page, ICopyClass *data)
{
    if (data == nullptr) {
        m_Dialogs.m_Items.push_back({&page, QString(), false});
        m_DataObjects.push_back({&m_NoData, QString(), false});
        return;
    }
    const QString key = data->ClassName();
    const bool duplicate = std::any_of(m_DataObjects.begin(), m_DataObjects.end(),
                                       [&](const DataEntry &e) { return e.hasKey && e.key == key; });
    if (duplicate)
        raiseDuplicateKey();
    m_Dialogs.m_Items.push_back({&page, key, true});
    m_DataObjects.push_back({data, key, true});
}

void CWizardTabs::RemoveAll()
{
    while (!m_Dialogs.m_Items.empty()) {
        QPointer<FWizardPage> page = m_Dialogs.m_Items.front().page;
        m_Dialogs.m_Items.erase(m_Dialogs.m_Items.begin());
        if (page)
            page->done(QDialog::Rejected); // unload; ButtonRet is left alone
    }
    m_DataObjects.clear();
}

QString CWizardTabs::ClassNameAt(std::int16_t index) const
{
    return m_DataObjects.at(static_cast<std::size_t>(index - 1)).object->ClassName();
}

void CWizardTabs::SetDataInDialogs()
{
    for (std::int16_t i = 1; i <= static_cast<std::int16_t>(m_DataObjects.size()); ++i)
        m_Dialogs.Item(i).SetData(*m_DataObjects[static_cast<std::size_t>(i - 1)].object);
}

void CWizardTabs::GetDataFromDialogs()
{
    for (std::int16_t i = 1; i <= static_cast<std::int16_t>(m_DataObjects.size()); ++i)
        m_Dialogs.Item(i).GetData(*m_DataObjects[static_cast<std::size_t>(i - 1)].object);
}

void CWizardTabs::PreparePage(FWizardPage &page, bool lonePage)
{
    if (lonePage)
        page.SetFormType(FWizardPage::kFormDialog);
    page.SetCaption(m_Caption);
    if (m_Icon != -1)
        page.SetIcon(ProgramIcon(m_Icon));
}

void CWizardTabs::PlaceDialog(FWizardPage &page)
{
    QScreen *screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    page.adjustSize(); // the size of the loaded page
    const QRect area = screen->geometry();
    const int width = page.width();
    const int height = page.height();
    int left = 0;
    int top = 0;
    if (m_FirstLeft == -1 && m_FirstBottom == -1) {
        // The first page of the run is centred; the later ones share its left
        // edge and its bottom edge, whatever their heights.
        left = (area.width() - width) / 2;
        top = (area.height() - height) / 2;
        m_FirstLeft = static_cast<std::int16_t>(left);
        m_FirstBottom = static_cast<std::int16_t>(top + height);
    } else {
        left = m_FirstLeft;
        top = m_FirstBottom - height;
    }
    // A page larger than the screen keeps its title bar on the screen.
    page.move(area.x() + std::max(0, left), area.y() + std::max(0, top));
}

void CWizardTabs::RaiseSkipping(void (CWizardTabs::*event)(const QString &, const CWizardTabs::DialogCollection &,
                                                           std::int16_t &),
                                std::int16_t &index)
{
    // Every index an event is raised for names a data object, so the
    // repetition stops when a handler moves the index off the chain; the
    // caller then bounds it.
    const std::int16_t count = m_Dialogs.Count();
    while (index >= 1 && index <= count) {
        const std::int16_t before = index;
        emit(this->*event)(ClassNameAt(index), m_Dialogs, index);
        if (index == before)
            break;
    }
}

std::int32_t CWizardTabs::Start()
{
    if (m_Dialogs.Count() == 0)
        return kResultCancel;
    if (m_Dialogs.Count() == 1)
        return StartSingle();
    return StartChain();
}

std::int32_t CWizardTabs::StartSingle()
{
    // The remembered position is kept: a lone page shown by a driver that
    // already ran takes the earlier run's edges.
    SetDataInDialogs();
    FWizardPage &page = m_Dialogs.Item(1);
    PreparePage(page, true);
    PlaceDialog(page);
    page.Show(1);
    if (page.ButtonRet() != FWizardPage::kButtonEnd)
        return kResultCancel;
    GetDataFromDialogs();
    return kResultEnd;
}

std::int32_t CWizardTabs::StartChain()
{
    const std::int16_t count = m_Dialogs.Count();
    m_Dialogs.Item(1).SetFirstTab(true);
    m_Dialogs.Item(count).SetLastTab(true);
    m_FirstLeft = -1;
    m_FirstBottom = -1;
    SetDataInDialogs();

    std::int16_t index = 1;
    for (;;) {
        emit BeforeShowTabs(ClassNameAt(index), m_Dialogs, index);
        index = std::clamp<std::int16_t>(index, 1, count);
        FWizardPage &page = m_Dialogs.Item(index);
        PreparePage(page, false);
        PlaceDialog(page);
        page.Show(1);

        switch (page.ButtonRet()) {
        case FWizardPage::kButtonNext:
            ++index;
            RaiseSkipping(&CWizardTabs::AfterShowNextTabs, index);
            index = std::clamp<std::int16_t>(index, 1, count);
            break;
        case FWizardPage::kButtonBack:
            --index;
            RaiseSkipping(&CWizardTabs::AfterShowBackTabs, index);
            index = std::clamp<std::int16_t>(index, 1, count);
            break;
        case FWizardPage::kButtonCancel: return kResultCancel;
        case FWizardPage::kButtonEnd: GetDataFromDialogs(); return kResultEnd;
        default: break; // shown again
        }
    }
}

void CWizardTabs::SaveData(const QString &fileName)
{
    for (const DataEntry &e : m_DataObjects)
        e.object->SaveData(fileName);
}

void CWizardTabs::LoadData(const QString &fileName)
{
    for (const DataEntry &e : m_DataObjects)
        e.object->LoadData(fileName);
}

template <class Op>
void CWizardTabs::ForEachDataObject(ADOConnection::TransactionKind kind, const Op &op)
{
    if (!g_Connection.IsOpen()) {
        // Objects without rows (settings classes) need no database; a
        // parameter object reports the closed connection itself.
        for (const DataEntry &e : m_DataObjects)
            op(*e.object);
        return;
    }
    // Each object's own row transaction is a savepoint inside this one. A
    // load only reads, so it takes no write lock.
    ADOTransaction transaction(g_Connection, kind);
    for (const DataEntry &e : m_DataObjects)
        op(*e.object);
    transaction.Commit();
}

void CWizardTabs::SaveDataInADORS(const RowCriterion &criterion)
{
    ForEachDataObject(ADOConnection::TransactionKind::Write, [&](ICopyClass &obj) { obj.SaveDataInADORS(criterion); });
}

void CWizardTabs::LoadDataFromADORS(const RowCriterion &criterion)
{
    ForEachDataObject(ADOConnection::TransactionKind::Read, [&](ICopyClass &obj) { obj.LoadDataFromADORS(criterion); });
}
