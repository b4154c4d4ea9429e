#include "AttributeRangeFrame.h"

#include "db/Query.h"
#include "widgets/DbGrid.h"

#include <QItemSelectionModel>
#include <QRegularExpression>
#include <QShortcut>
#include <QTableView>
#include <QVBoxLayout>

namespace search {

namespace {

const QString kDescription = QStringLiteral("Description");
const QString kBegin = QStringLiteral("BeginAttrCode");
const QString kEnd = QStringLiteral("EndAttrCode");

} // namespace

AttributeRangeFrame::AttributeRangeFrame(const QString& gridName, QWidget* parent) : QFrame(parent)
{
    grid_ = new widgets::DbGrid(this);
    grid_->setObjectName(gridName);
    grid_->setEnterMovesToNextCell(true);
    grid_->setCursor(Qt::PointingHandCursor);
    // Enter and the arrows walk the cells; Tab leaves the grid for the
    // window's next box, so that the keyboard alone gets on to the search.
    grid_->view()->setTabKeyNavigation(false);
    grid_->setCellStyler([](const QString& field, int, const QVariant&) {
        widgets::CellStyle style;
        if (field.compare(kDescription, Qt::CaseInsensitive) == 0)
            style.background = QColor(240, 240, 240);
        return style;
    });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(grid_);

    // The description column is never left selected.
    const auto toCodeColumn = [this] {
        if (codeField().isEmpty() && groups_ && !groups_->isEmpty())
            grid_->setCurrentColumn(grid_->columnOfField(kBegin));
    };
    connect(grid_, &widgets::DbGrid::focusIn, this, toCodeColumn);
    connect(grid_->view()->selectionModel(), &QItemSelectionModel::currentChanged, this, toCodeColumn,
            Qt::QueuedConnection);
    connect(grid_, &widgets::DbGrid::fieldChanged, this, &AttributeRangeFrame::keepCodeShape);
    auto* f5 = new QShortcut(QKeySequence(Qt::Key_F5), this, this, &AttributeRangeFrame::chooseCode,
                             Qt::WidgetWithChildrenShortcut);
    f5->setObjectName(QStringLiteral("F5"));
}

void AttributeRangeFrame::setGroups(db::Query* groups)
{
    groups_ = groups;
    grid_->setQuery(groups_);
}

void AttributeRangeFrame::setTitles(const QString& group, const QString& begin, const QString& end)
{
    const int margins = grid_->pixelsForChars(0);
    const int perChar = std::max(1, grid_->pixelsForChars(1) - margins);
    widgets::GridColumn from(kBegin, begin, (120 - margins) / perChar, true);
    from.codeEntryLength = kAttributeCodeWidth;
    widgets::GridColumn to = from;
    to.field = kEnd;
    to.title = end;
    grid_->setColumns({{kDescription, group, (160 - margins) / perChar, false, Qt::AlignRight | Qt::AlignVCenter},
                       from, to});
    grid_->setCaption(group);
}

void AttributeRangeFrame::reopen()
{
    groups_->close();
    groups_->open();
    grid_->setEnabled(!groups_->isEmpty());
}

QVector<AttributeRange> AttributeRangeFrame::ranges() const
{
    QVector<AttributeRange> list;
    if (!groups_->isOpen())
        return list;
    const int code = groups_->fieldIndex(QStringLiteral("Code"));
    const int begin = groups_->fieldIndex(kBegin);
    const int end = groups_->fieldIndex(kEnd);
    for (int row = 0; row < groups_->recordCount(); ++row)
        list.append({db::variantToText(groups_->valueAt(row, code)), db::variantToText(groups_->valueAt(row, begin)),
                     db::variantToText(groups_->valueAt(row, end))});
    return list;
}

QStringList AttributeRangeFrame::conditions(const QString& idColumn, const QString& table,
                                            const QString& ownerColumn) const
{
    QStringList lines;
    for (const AttributeRange& range : ranges()) {
        const QString line = attributeCondition(idColumn, table, ownerColumn, range);
        if (!line.isEmpty())
            lines.append(line);
    }
    return lines;
}

QString AttributeRangeFrame::codeField() const
{
    const QString field = grid_->currentField();
    if (field.compare(kBegin, Qt::CaseInsensitive) == 0)
        return kBegin;
    if (field.compare(kEnd, Qt::CaseInsensitive) == 0)
        return kEnd;
    return QString();
}

void AttributeRangeFrame::chooseCode()
{
    if (!groups_->isOpen() || groups_->isEmpty())
        return;
    const QString field = codeField().isEmpty() ? kBegin : codeField();
    QString code;
    if (lookUpCode(int(groups_->asInteger(QStringLiteral("Id"))), code))
        groups_->setValue(field, code);
}

void AttributeRangeFrame::keepCodeShape(const QString& field, int row)
{
    const int column = groups_->fieldIndex(field);
    if (column < 0 || (field.compare(kBegin, Qt::CaseInsensitive) != 0 && field.compare(kEnd, Qt::CaseInsensitive) != 0))
        return;
    const QString typed = db::variantToText(groups_->valueAt(row, column));
    static const QRegularExpression other(QStringLiteral("[^A-Z0-9]"));
    const QString code = typed.toUpper().remove(other).left(kAttributeCodeWidth);
    if (code != typed)
        groups_->setValueAt(row, column, code);
}

} // namespace search
