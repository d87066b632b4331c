#include "COption.h"

namespace {
const QString kPrintHeaderPageKey = QStringLiteral("m_bPrintHeaderPage");
const QString kHeaderPagePathKey = QStringLiteral("m_HeaderPagePath");
const QString kPrintNotePiePaginaKey = QStringLiteral("m_bPrintNotePiePagina");
const QString kNotePiePagina1Key = QStringLiteral("m_NotePiePagina1");
const QString kNotePiePagina2Key = QStringLiteral("m_NotePiePagina2");
const QString kPrintPageNumberKey = QStringLiteral("m_bPrintPageNumber");
} // namespace

COption::COption() : CSettingsClass(QStringLiteral("COption")) {}

void COption::CopyProperties(const COption &from, COption &to)
{
    to.SetPrintHeaderPage(from.PrintHeaderPage());
    to.SetHeaderPagePath(from.HeaderPagePath());
    to.SetPrintNotePiePagina(from.PrintNotePiePagina());
    to.SetNotePiePagina1(from.NotePiePagina1());
    to.SetNotePiePagina2(from.NotePiePagina2());
    to.SetPrintPageNumber(from.PrintPageNumber());
}

void COption::LoadValues()
{
    // Read into copies first, so a bad value cannot leave the ones read
    // before it applied on their own.
    bool printHeaderPage = m_bPrintHeaderPage;
    QString headerPagePath = m_HeaderPagePath;
    bool printNotePiePagina = m_bPrintNotePiePagina;
    QString notePiePagina1 = m_NotePiePagina1;
    QString notePiePagina2 = m_NotePiePagina2;
    bool printPageNumber = m_bPrintPageNumber;
    const QString section = ClassName();
    LoadMember(*this, kPrintHeaderPageKey, printHeaderPage, section);
    LoadMember(*this, kHeaderPagePathKey, headerPagePath, section);
    LoadMember(*this, kPrintNotePiePaginaKey, printNotePiePagina, section);
    LoadMember(*this, kNotePiePagina1Key, notePiePagina1, section);
    LoadMember(*this, kNotePiePagina2Key, notePiePagina2, section);
    LoadMember(*this, kPrintPageNumberKey, printPageNumber, section);
    m_bPrintHeaderPage = printHeaderPage;
    m_HeaderPagePath = headerPagePath;
    m_bPrintNotePiePagina = printNotePiePagina;
    m_NotePiePagina1 = notePiePagina1;
    m_NotePiePagina2 = notePiePagina2;
    m_bPrintPageNumber = printPageNumber;
}

void COption::SaveValues()
{
    const QString section = ClassName();
    SaveMember(*this, kPrintHeaderPageKey, m_bPrintHeaderPage, section);
    SaveMember(*this, kHeaderPagePathKey, m_HeaderPagePath, section);
    SaveMember(*this, kPrintNotePiePaginaKey, m_bPrintNotePiePagina, section);
    SaveMember(*this, kNotePiePagina1Key, m_NotePiePagina1, section);
    SaveMember(*this, kNotePiePagina2Key, m_NotePiePagina2, section);
    SaveMember(*this, kPrintPageNumberKey, m_bPrintPageNumber, section);
}
