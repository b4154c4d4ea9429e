#pragma once

#include <QByteArray>
#include <QVariant>

#include <vector>

namespace db {

// The rows of a result as they were read: one flat array of cells, numbers
// in place and text and blobs as their bytes in one buffer, so that reading
// a row allocates nothing per value. A value becomes a QVariant (text a
// QString) only when it is asked for. Values the program sets, and rows
// another engine hands over as QVariants, are kept beside them as they are.
class RowStore {
public:
    void clear(int columnCount = 0);
    int columnCount() const { return columns_; }
    int rowCount() const { return columns_ > 0 ? int(cells_.size() / size_t(columns_)) : 0; }
    bool empty() const { return cells_.empty(); }

    // A row read from the database: one add per column, in order.
    void addNull();  // reads as a null QString, as the database's NULL does
    void addInteger(qint64 value);
    void addReal(double value);
    void addText(const char* utf8, int size);
    void addBlob(const void* data, int size);
    void addValue(QVariant value);

    // An in-memory row of invalid values.
    void addEmptyRow();
    void removeRow(int row);

    QVariant value(int row, int column) const;
    void setValue(int row, int column, QVariant value);

private:
    struct Cell {
        enum Kind : quint8 { Invalid, Null, Integer, Real, Text, Blob, Variant } kind = Invalid;
        union {
            qint64 integer;
            double real;
            struct {
                quint32 offset;
                quint32 size;
            } bytes;
            quint32 variant;
        };
    };
    void addBytes(Cell::Kind kind, const char* data, int size);
    const Cell& cell(int row, int column) const { return cells_[size_t(row) * size_t(columns_) + size_t(column)]; }

    int columns_ = 0;
    std::vector<Cell> cells_;
    QByteArray bytes_;
    std::vector<QVariant> variants_;
};

} // namespace db
