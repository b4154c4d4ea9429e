#include "RowStore.h"

#include <limits>

namespace db {

void RowStore::clear(int columnCount)
{
    columns_ = columnCount;
    // A result read again (a grid refreshed, a query reopened) reuses the
    // room the last one took, up to a bound: growing it again copied the
    // text over and over and touched fresh pages every time.
    constexpr qsizetype kKeptBytes = qsizetype(32) << 20;
    constexpr size_t kKeptCells = size_t(kKeptBytes) / sizeof(Cell);
    if (cells_.capacity() > kKeptCells)
        std::vector<Cell>().swap(cells_);
    else
        cells_.clear();
    if (bytes_.capacity() > kKeptBytes)
        bytes_ = QByteArray();
    else
        bytes_.resize(0);
    variants_.clear();
}

void RowStore::addNull()
{
    cells_.emplace_back().kind = Cell::Null;
}

void RowStore::addInteger(qint64 value)
{
    Cell& c = cells_.emplace_back();
    c.kind = Cell::Integer;
    c.integer = value;
}

void RowStore::addReal(double value)
{
    Cell& c = cells_.emplace_back();
    c.kind = Cell::Real;
    c.real = value;
}

void RowStore::addText(const char* utf8, int size)
{
    addBytes(Cell::Text, utf8, size);
}

void RowStore::addBlob(const void* data, int size)
{
    addBytes(Cell::Blob, static_cast<const char*>(data), size);
}

void RowStore::addBytes(Cell::Kind kind, const char* data, int size)
{
    // Offsets are 32 bits: past that a value keeps its own copy.
    if (quint64(bytes_.size()) + quint64(size) > std::numeric_limits<quint32>::max()) {
        addValue(kind == Cell::Text ? QVariant(QString::fromUtf8(data, size)) : QVariant(QByteArray(data, size)));
        return;
    }
    Cell& c = cells_.emplace_back();
    c.kind = kind;
    c.bytes.offset = quint32(bytes_.size());
    c.bytes.size = quint32(size);
    bytes_.append(data, size);
}

void RowStore::addValue(QVariant value)
{
    Cell& c = cells_.emplace_back();
    c.kind = Cell::Variant;
    c.variant = quint32(variants_.size());
    variants_.push_back(std::move(value));
}

void RowStore::addEmptyRow()
{
    cells_.resize(cells_.size() + size_t(columns_));
}

void RowStore::removeRow(int row)
{
    const auto first = cells_.begin() + qsizetype(row) * columns_;
    cells_.erase(first, first + columns_);
}

QVariant RowStore::value(int row, int column) const
{
    const Cell& c = cell(row, column);
    switch (c.kind) {
    case Cell::Invalid:
        return QVariant();
    case Cell::Null:
        return QVariant(QMetaType::fromType<QString>());
    case Cell::Integer:
        return QVariant(c.integer);
    case Cell::Real:
        return QVariant(c.real);
    case Cell::Text:
        return QString::fromUtf8(bytes_.constData() + c.bytes.offset, qsizetype(c.bytes.size));
    case Cell::Blob:
        return QByteArray(bytes_.constData() + c.bytes.offset, qsizetype(c.bytes.size));
    case Cell::Variant:
        return variants_[c.variant];
    }
    return QVariant();
}

void RowStore::setValue(int row, int column, QVariant value)
{
    Cell& c = cells_[size_t(row) * size_t(columns_) + size_t(column)];
    if (c.kind == Cell::Variant) {
        variants_[c.variant] = std::move(value);
        return;
    }
    c.kind = Cell::Variant;
    c.variant = quint32(variants_.size());
    variants_.push_back(std::move(value));
}

} // namespace db
