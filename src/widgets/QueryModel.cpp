#include "QueryModel.h"

#include "NumberMask.h"
#include "db/Query.h"

#include <QDateTime>
#include <QLocale>

namespace widgets {

QueryModel::QueryModel(QObject* parent) : QAbstractTableModel(parent) {}

void QueryModel::setQuery(db::Query* query)
{
    if (query_)
        disconnect(query_, nullptr, this, nullptr);
    query_ = query;
    if (query_) {
        connect(query_, &db::Query::opened, this, &QueryModel::reload);
        connect(query_, &db::Query::closed, this, &QueryModel::reload);
        connect(query_, &db::Query::destroyed, this, &QueryModel::reload);
        connect(query_, &db::Query::rowsChanged, this, &QueryModel::reload);
        connect(query_, &db::Query::rowsFetched, this, &QueryModel::addFetchedRows);
        connect(query_, &db::Query::valueChanged, this, [this](int row, int queryColumn) {
            for (int c = 0; c < map_.size(); ++c) {
                if (map_[c] == queryColumn)
                    emit dataChanged(index(row, c), index(row, c));
            }
        });
        connect(query_, &db::Query::columnChanged, this, [this](int queryColumn) {
            for (int c = 0; c < map_.size(); ++c) {
                if (map_[c] == queryColumn && rows_ > 0)
                    emit dataChanged(index(0, c), index(rows_ - 1, c));
            }
        });
    }
    reload();
}

void QueryModel::setColumns(const QVector<GridColumn>& columns)
{
    columns_ = columns;
    reload();
}

void QueryModel::reload()
{
    beginResetModel();
    map_.clear();
    if (query_ && query_->isOpen()) {
        if (columns_.isEmpty()) {
            for (int i = 0; i < query_->fieldCount(); ++i)
                map_.append(i);
        } else {
            for (const GridColumn& c : columns_)
                map_.append(query_->fieldIndex(c.field));
        }
    } else {
        map_.fill(-1, columns_.size());
    }
    rows_ = query_ && query_->isOpen() ? query_->fetchedCount() : 0;
    endResetModel();
}

void QueryModel::addFetchedRows(int first, int last)
{
    // Rows read while the query opens come with its opened() signal.
    Q_UNUSED(first);
    if (!query_ || !query_->isOpen() || last < rows_)
        return;
    beginInsertRows(QModelIndex(), rows_, last);
    rows_ = last + 1;
    endInsertRows();
}

bool QueryModel::canFetchMore(const QModelIndex& parent) const
{
    return !parent.isValid() && query_ && query_->isOpen() && !query_->allFetched();
}

void QueryModel::fetchMore(const QModelIndex& parent)
{
    if (canFetchMore(parent))
        query_->fetchMore();
}

int QueryModel::queryColumn(int column) const
{
    return column >= 0 && column < map_.size() ? map_[column] : -1;
}

int QueryModel::columnOfField(const QString& field) const
{
    for (int c = 0; c < columnCount(); ++c) {
        if (fieldAt(c).compare(field, Qt::CaseInsensitive) == 0)
            return c;
    }
    return -1;
}

QString QueryModel::fieldAt(int column) const
{
    if (!columns_.isEmpty())
        return column >= 0 && column < columns_.size() ? columns_[column].field : QString();
    const int qc = queryColumn(column);
    return query_ && qc >= 0 ? query_->fieldNames().value(qc) : QString();
}

int QueryModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !query_ || !query_->isOpen())
        return 0;
    return rows_;
}

int QueryModel::columnCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return columns_.isEmpty() ? int(map_.size()) : int(columns_.size());
}

QString QueryModel::dateText(const QDate& date)
{
    return date.isValid() ? QLocale().toString(date, QLocale::ShortFormat) : QString();
}

QString QueryModel::displayText(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return QString();
    switch (value.typeId()) {
    case QMetaType::QDateTime:
        return dateText(value.toDateTime().date());
    case QMetaType::QDate:
        return dateText(value.toDate());
    default:
        return db::variantToText(value);
    }
}

QVariant QueryModel::data(const QModelIndex& index, int role) const
{
    const int qc = queryColumn(index.column());
    if (!index.isValid() || !query_ || qc < 0)
        return QVariant();
    // A view asks for many roles per cell: the value is read for the two
    // that show it.
    if (role != Qt::DisplayRole && role != Qt::EditRole) {
        if (role == Qt::TextAlignmentRole && !columns_.isEmpty())
            return QVariant::fromValue(columns_[index.column()].alignment);
        return QVariant();
    }
    const QVariant v = query_->valueAt(index.row(), qc);
    switch (role) {
    case Qt::DisplayRole:
        if (!columns_.isEmpty() && !columns_[index.column()].numberFormat.isEmpty() && !v.isNull()) {
            bool number = false;
            const double d = v.toDouble(&number);
            if (number)
                return formatNumber(columns_[index.column()].numberFormat, d);
        }
        return displayText(v);
    default:
        return v;
    }
}

bool QueryModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    const int qc = queryColumn(index.column());
    if (role != Qt::EditRole || !query_ || qc < 0 || !(flags(index) & Qt::ItemIsEditable))
        return false;
    query_->setValueAt(index.row(), qc, value);
    return true;
}

QVariant QueryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (!columns_.isEmpty() && section < columns_.size())
        return columns_[section].title.isEmpty() ? columns_[section].field : columns_[section].title;
    return fieldAt(section);
}

Qt::ItemFlags QueryModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (!columns_.isEmpty() && columns_[index.column()].editable && queryColumn(index.column()) >= 0)
        f |= Qt::ItemIsEditable;
    return f;
}

} // namespace widgets
