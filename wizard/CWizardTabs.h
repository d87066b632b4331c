#pragma once
#include "ADOConnection.h"
#include "CICopyClassBase.h"
#include "FWizardPage.h"
#include "ICopyClass.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <vector>

// The wizard driver: a chain of pages (FWizardPage), each paired with one
// data object (ICopyClass), shown one at a time as modal windows. Every page
// is filled from its data object before the first page is shown; the user
// moves with Next and Back while the owner skips pages through the events;
// End copies every page (also the pages not shown) back into its data
// object, Cancel copies nothing. A driver of one page shows it as a dialog
// with OK and Cancel.
//
// The driver does not own the pages or the data objects: the owner creates
// them, keeps them alive while the driver holds them and reads or stores the
// data objects after Start. A page destroyed before the driver is simply
// dropped by RemoveAll.
//
// The owner's calling order: create pages and objects, give second
// instances their own ClassName, Add every pair, set Caption (and Icon),
// optionally load the objects (LoadDataFromADORS / LoadData), Start, and on
// result 0 store the objects (SaveDataInADORS / SaveData).
//
// Events (connect them directly; the handler may change index, the driver
// then reads the new value):
//   BeforeShowTabs    before every page of a multi-page run is shown;
//   AfterShowNextTabs after Next, for the page about to be shown;
//   AfterShowBackTabs after Back, for the page about to be shown.
// A handler skips a page by moving index one further in the direction of
// travel; the driver raises the same event again for the new index, until a
// handler leaves index as it was. className is the ClassName of the data
// object at index (empty for a page added without one).
class CWizardTabs : public QObject {
    Q_OBJECT

public:
    // Start's result.
    static constexpr std::int32_t kResultEnd = 0;
    static constexpr std::int32_t kResultCancel = 1;

    // The page collection handed to the events: Count, Item(i) with i from
    // 1, or Item(key) by the ClassName of the page's data object.
    class DialogCollection {
    public:
        std::int16_t Count() const { return static_cast<std::int16_t>(m_Items.size()); }
        // Outside 1..Count, or a page that no longer exists: run-time error 9.
        FWizardPage &Item(std::int16_t index) const;
        // A key that is not in the collection: run-time error 5.
        FWizardPage &Item(const QString &key) const;
        bool Contains(const QString &key) const;
        // The key of the entry (empty for a page added without data object).
        QString Key(std::int16_t index) const;

    private:
        friend class CWizardTabs;
        struct Entry {
            QPointer<FWizardPage> page;
            QString key;
            bool hasKey;
        };
        std::vector<Entry> m_Items;
    };

    explicit CWizardTabs(QObject *parent = nullptr);
    // RemoveAll.
    ~CWizardTabs() override;

    std::int32_t CountDialogs() const { return m_Dialogs.Count(); }

    QString FileName() const { return m_FileName; }
    // Stores the text and sets FileName on every data object, in order.
    void SetFileName(const QString &fileName);
    QString Caption() const { return m_Caption; }
    void SetCaption(const QString &caption) { m_Caption = caption; }
    // Resource id of the icon given to every page (ProgramIcon); -1 none.
    void SetIcon(std::int16_t iconId) { m_Icon = iconId; }

    // The data object stored under that key; an unknown key raises run-time
    // error 5.
    ICopyClass &PointerClass(const QString &key) const;

    // Appends a page with its data object, both under the object's
    // ClassName, or, without one (nullptr), with the placeholder object and
    // no key. A second pair with the same ClassName raises run-time error
    // 457 (duplicate key) and adds nothing.
    void Add(FWizardPage &page, ICopyClass *data = nullptr);
    // Unloads and forgets every page, then forgets every data object.
    void RemoveAll();

    // Runs the wizard: kResultEnd (0) when it ended with End or OK,
    // kResultCancel (1) when it was cancelled. Without pages nothing is
    // shown and the result is 1.
    std::int32_t Start();

    // SaveData / LoadData of every data object in order.
    void SaveData(const QString &fileName);
    void LoadData(const QString &fileName);
    // SaveDataInADORS / LoadDataFromADORS of every data object in order,
    // with the criterion unchanged (a number: new rows under that id; the
    // text "IDProgramma=" + id: that configuration's rows). With
    // g_Connection open, all of it is one transaction: a failure
    // (DatabaseError) of any object rolls back the rows of the objects
    // before it too and reaches the caller, so a save stores the whole
    // configuration or nothing. A failed load may leave some objects loaded
    // and others not: the caller must not use them then.
    void SaveDataInADORS(const RowCriterion &criterion);
    void LoadDataFromADORS(const RowCriterion &criterion);

signals:
    void BeforeShowTabs(const QString &className, const CWizardTabs::DialogCollection &dialogs, std::int16_t &index);
    void AfterShowNextTabs(const QString &className, const CWizardTabs::DialogCollection &dialogs, std::int16_t &index);
    void AfterShowBackTabs(const QString &className, const CWizardTabs::DialogCollection &dialogs, std::int16_t &index);

private:
    struct DataEntry {
        ICopyClass *object;
        QString key;
        bool hasKey;
    };

    std::int32_t StartSingle();
    std::int32_t StartChain();
    // Raises the event for index and again for every index a handler moves
    // it to, as long as it stays within 1..N.
    void RaiseSkipping(void (CWizardTabs::*event)(const QString &, const CWizardTabs::DialogCollection &,
                                                  std::int16_t &),
                       std::int16_t &index);
    void PreparePage(FWizardPage &page, bool lonePage);
    void SetDataInDialogs();
    void GetDataFromDialogs();
    void PlaceDialog(FWizardPage &page);
    QString ClassNameAt(std::int16_t index) const;
    template <class Op>
    void ForEachDataObject(ADOConnection::TransactionKind kind, const Op &op);

    DialogCollection m_Dialogs;
    std::vector<DataEntry> m_DataObjects;
    QString m_FileName;
    QString m_Caption;
    std::int16_t m_Icon = -1;
    std::int16_t m_FirstLeft = -1;
    std::int16_t m_FirstBottom = -1;
    CICopyClassBase m_NoData;
};
