#pragma once
#include <QString>
#include <cstdint>
#include <vector>

// One row of a configuration report: nColumn 1 for a section title (Column1
// only), 2 for a label and its value text.
struct ReportRowRecord {
    std::int16_t nColumn = 0;
    QString Column1;
    QString Column2;
};

// The report recordset that SetReport appends its rows to, in order; the
// report printer reads them back.
class ReportRecordset {
public:
    void Append(const ReportRowRecord &row) { m_Rows.push_back(row); }
    const std::vector<ReportRowRecord> &Rows() const { return m_Rows; }
    std::size_t Count() const { return m_Rows.size(); }
    void Clear() { m_Rows.clear(); }

private:
    std::vector<ReportRowRecord> m_Rows;
};
