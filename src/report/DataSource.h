#pragma once

#include <QList>
#include <QStringList>
#include <QVariant>

namespace report {

// The rows a report prints, one data band per row. The program adapts its
// own lists to this; the engine only reads.
class DataSource {
public:
    virtual ~DataSource() = default;

    virtual QStringList fieldNames() const = 0;
    virtual int rowCount() const = 0;
    // field is one of fieldNames(), spelled as there.
    virtual QVariant value(int row, const QString& field) const = 0;
};

// Rows held in memory, each a list of values in the order of the fields.
class TableDataSource : public DataSource {
public:
    explicit TableDataSource(QStringList fields = {}, QList<QVariantList> rows = {});

    // A row shorter than the field list reads as null in the missing fields.
    void addRow(const QVariantList& values);

    QStringList fieldNames() const override { return m_fields; }
    int rowCount() const override { return int(m_rows.size()); }
    QVariant value(int row, const QString& field) const override;

private:
    QStringList m_fields;
    QList<QVariantList> m_rows;
};

} // namespace report
