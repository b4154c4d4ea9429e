#include "report/DataSource.h"

namespace report {

TableDataSource::TableDataSource(QStringList fields, QList<QVariantList> rows)
    : m_fields(std::move(fields)), m_rows(std::move(rows))
{
}

void TableDataSource::addRow(const QVariantList& values)
{
    m_rows.append(values);
}

QVariant TableDataSource::value(int row, const QString& field) const
{
    if (row < 0 || row >= m_rows.size())
        return {};
    const qsizetype column = m_fields.indexOf(field);
    const QVariantList& values = m_rows[row];
    if (column < 0 || column >= values.size())
        return {};
    return values[column];
}

} // namespace report
