#pragma once

#include <QAbstractTableModel>
#include <QPointer>
#include <QString>
#include <QVector>

#include <utility>

#include "db/Query.h"

namespace widgets {

// One visible grid column over a query field.
struct GridColumn {
    GridColumn(QString field = QString(), QString title = QString(), int widthChars = 10, bool editable = false,
               Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter, QString numberFormat = QString())
        : field(std::move(field)), title(std::move(title)), widthChars(widthChars), editable(editable),
          alignment(alignment), numberFormat(std::move(numberFormat))
    {
    }

    QString field;         // matched without regard to case
    QString title;         // empty: the field name
    int widthChars = 10;   // display width in characters
    bool editable = false;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    QString numberFormat;  // a number picture such as "#,##0.00"; empty: as stored
    int codeEntryLength = 0;  // above 0: typed as a code (A to Z, 0 to 9, upper-cased), at most this long

    bool operator==(const GridColumn&) const = default;
};

// A table model over the rows a db::Query holds in memory. Edits go to the
// query's rows only (never to the database). Follows the query as it is
// opened, closed and changed; shows the rows read so far and asks the query
// for more as the view reaches the end of them.
class QueryModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit QueryModel(QObject* parent = nullptr);

    void setQuery(db::Query* query);
    db::Query* query() const { return query_; }

    // The visible columns; with none set, every field of the query in order.
    void setColumns(const QVector<GridColumn>& columns);
    const QVector<GridColumn>& columns() const { return columns_; }
    int columnOfField(const QString& field) const;  // -1 when not shown
    QString fieldAt(int column) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

    // Text shown for a value: numbers without needless decimals, dates in
    // the workstation's short date format, NULL as nothing.
    static QString displayText(const QVariant& value);
    // The one way the program writes a date on screen.
    static QString dateText(const QDate& date);

private:
    void reload();
    void addFetchedRows(int first, int last);
    int queryColumn(int column) const;

    QPointer<db::Query> query_;
    QVector<GridColumn> columns_;
    QVector<int> map_;  // visible column -> query column (-1 when the field is absent)
    int rows_ = 0;      // rows shown: the query's rows read when the view last heard of them
};

} // namespace widgets
