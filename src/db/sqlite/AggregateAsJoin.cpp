#include "AggregateAsJoin.h"

#include "ExprShapes.h"
#include "SqlGenerator.h"

#include <optional>

namespace db::sqlite {

namespace {

struct Source {
    QString alias;  // as written; the table name when it has no alias
    QString table;  // empty for a derived table
};

void collectSources(const TableSource& t, std::vector<Source>& out)
{
    switch (t.kind) {
    case TableSource::Table:
        out.push_back(Source{t.alias.isEmpty() ? t.name : t.alias, t.name});
        break;
    case TableSource::Derived:
        out.push_back(Source{t.alias, QString()});
        break;
    case TableSource::Join:
        collectSources(*t.left, out);
        collectSources(*t.right, out);
        break;
    }
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Whether `e` holds a subquery anywhere (its references are not looked into).
bool hasSubquery(const Expr& e)
{
    if (e.select)
        return true;
    for (const auto& a : e.args) {
        if (a && hasSubquery(*a))
            return true;
    }
    return false;
}

// One correlated aggregate taken apart.
struct Correlated {
    TableSourcePtr derived;                 // the grouped table to join
    ExprPtr on;                             // its join condition
    ExprPtr value;                          // what the subquery's place reads
};

class Mover {
public:
    Mover(const SchemaInfo& schema, const std::vector<Source>& outer, int* joined)
        : schema_(schema), outer_(outer), joined_(joined)
    {
    }

    // The pieces that replace `sub`, or nothing when it stays.
    std::optional<Correlated> move(const Select& sub) const
    {
        if (sub.cores.size() != 1 || !sub.orderBy.empty())
            return std::nullopt;
        const SelectCore& c = sub.cores.front();
        if (c.distinct || c.top || c.items.size() != 1 || !c.groupBy.empty() || c.having || !c.where
            || c.from.size() != 1 || c.from.front()->kind != TableSource::Table)
            return std::nullopt;
        const TableSource& table = *c.from.front();
        const QString innerName = table.alias.isEmpty() ? table.name : table.alias;
        for (const Source& s : outer_) {
            if (sameName(s.alias, innerName))
                return std::nullopt;  // which table a qualified name means would turn on scoping
        }
        const SelectItem& item = c.items.front();
        const Expr& aggregate = unparen(*item.expr);
        if (!item.assignVariable.isEmpty() || aggregate.kind != Expr::Function || !isAggregateName(aggregate.text)
            || !innerOnly(aggregate, table))
            return std::nullopt;

        std::vector<ExprPtr> terms;
        splitTerms(c.where, QStringLiteral("AND"), terms);
        std::vector<std::pair<ExprPtr, ExprPtr>> keys;  // inner column, outer column
        std::vector<ExprPtr> rest;
        bool narrowed = false;
        for (const ExprPtr& term : terms) {
            if (innerOnly(*term, table)) {
                narrowed = narrowed || fixesAnIndex(*term, table);
                rest.push_back(term);
                continue;
            }
            const Expr& u = unparen(*term);
            if (u.kind != Expr::Binary || u.op != QLatin1String("="))
                return std::nullopt;
            const ExprPtr& a = u.args[0];
            const ExprPtr& b = u.args[1];
            if (wholeInnerColumn(a, table) && wholeOuterColumn(b))
                keys.emplace_back(a, b);
            else if (wholeInnerColumn(b, table) && wholeOuterColumn(a))
                keys.emplace_back(b, a);
            else
                return std::nullopt;
        }
        if (keys.empty() || !narrowed)
            return std::nullopt;

        const QString alias = QStringLiteral("QEL_AGG%1").arg(++*joined_);
        auto grouped = std::make_shared<Select>();
        SelectCore g;
        g.from = c.from;
        for (const ExprPtr& term : rest)
            g.where = g.where ? conjunction(g.where, term) : term;
        Correlated out;
        for (size_t k = 0; k < keys.size(); ++k) {
            const QString key = QStringLiteral("K%1").arg(k + 1);
            g.items.push_back(SelectItem{keys[k].first, key, QString()});
            g.groupBy.push_back(keys[k].first);
            auto equal = std::make_shared<Expr>();
            equal->kind = Expr::Binary;
            equal->op = QStringLiteral("=");
            equal->args = {columnExpr(alias, key), keys[k].second};
            out.on = out.on ? conjunction(out.on, equal) : equal;
        }
        g.items.push_back(SelectItem{item.expr, QStringLiteral("V"), QString()});
        grouped->cores.push_back(std::move(g));

        out.derived = std::make_shared<TableSource>();
        out.derived->kind = TableSource::Derived;
        out.derived->select = grouped;
        out.derived->alias = alias;
        out.value = columnExpr(alias, QStringLiteral("V"));
        if (aggregate.text == QLatin1String("COUNT") || aggregate.text == QLatin1String("COUNT_BIG")) {
            // The count of no rows is 0, where the join gives NULL.
            auto isNull = std::make_shared<Expr>();
            isNull->kind = Expr::Function;
            isNull->text = QStringLiteral("ISNULL");
            isNull->args = {out.value, numberExpr(QStringLiteral("0"))};
            out.value = isNull;
        }
        return out;
    }

private:
    bool isInnerColumn(const Expr& column, const TableSource& table) const
    {
        if (!column.qualifier.isEmpty())
            return sameName(column.qualifier, table.alias.isEmpty() ? table.name : table.alias);
        return !schema_.columnType(table.name, column.text).isEmpty();
    }

    // Whether `e` names only the subquery's table, and holds no subquery.
    bool innerOnly(const Expr& e, const TableSource& table) const
    {
        if (e.select)
            return false;
        if (e.kind == Expr::Column && !isInnerColumn(e, table))
            return false;
        for (const auto& a : e.args) {
            if (a && !innerOnly(*a, table))
                return false;
        }
        return true;
    }

    // "column = fixed value" on a column that leads one of the table's indexes.
    bool fixesAnIndex(const Expr& term, const TableSource& table) const
    {
        const Expr& u = unparen(term);
        if (u.kind != Expr::Binary || u.op != QLatin1String("="))
            return false;
        for (int side = 0; side < 2; ++side) {
            const Expr& column = unparen(*u.args[size_t(side)]);
            if (column.kind == Expr::Column && isFixedValue(*u.args[size_t(1 - side)])
                && schema_.leadsAnIndex(table.name, column.text))
                return true;
        }
        return false;
    }

    bool wholeNumber(const QString& declared) const
    {
        if (declared.isEmpty())
            return false;
        TypeName t = parseTypeNameSafe(declared);
        if (!t.isInteger()) {
            const TypeName base = schema_.userType(t.name);
            if (base.name.isEmpty())
                return false;
            t = base;
        }
        return t.isInteger();
    }

    bool wholeInnerColumn(const ExprPtr& e, const TableSource& table) const
    {
        const Expr& u = unparen(*e);
        return u.kind == Expr::Column && isInnerColumn(u, table) && wholeNumber(schema_.columnType(table.name, u.text));
    }

    // A whole-number column of a table of the block, named with its table.
    bool wholeOuterColumn(const ExprPtr& e) const
    {
        const Expr& u = unparen(*e);
        if (u.kind != Expr::Column || u.qualifier.isEmpty())
            return false;
        for (const Source& s : outer_) {
            if (sameName(s.alias, u.qualifier))
                return !s.table.isEmpty() && wholeNumber(schema_.columnType(s.table, u.text));
        }
        return false;
    }

    const SchemaInfo& schema_;
    const std::vector<Source>& outer_;
    int* joined_;
};

// `e` with each subquery that moves replaced by what it reads, the moved
// ones added to `moved`. Nested subqueries are their own blocks.
ExprPtr replaceIn(const ExprPtr& e, const Mover& mover, std::vector<Correlated>& moved)
{
    if (e->kind == Expr::Subquery) {
        if (auto m = mover.move(*e->select)) {
            moved.push_back(*m);
            return m->value;
        }
        return e;
    }
    if (e->select || e->args.empty())
        return e;
    std::shared_ptr<Expr> copy;
    for (size_t i = 0; i < e->args.size(); ++i) {
        if (!e->args[i])
            continue;
        ExprPtr replaced = replaceIn(e->args[i], mover, moved);
        if (replaced == e->args[i])
            continue;
        if (!copy)
            copy = std::make_shared<Expr>(*e);
        copy->args[i] = replaced;
    }
    return copy ? copy : e;
}

} // namespace

std::shared_ptr<SelectCore> joinCorrelatedAggregates(const SelectCore& core, const SchemaInfo& schema, int* joined)
{
    if (core.from.empty() || !core.groupBy.empty() || core.having)
        return nullptr;
    bool any = false;
    for (const SelectItem& item : core.items) {
        if (!item.assignVariable.isEmpty() || hasAggregate(*item.expr))
            return nullptr;
        any = any || hasSubquery(*item.expr);
    }
    if (!any)
        return nullptr;
    std::vector<Source> sources;
    for (const auto& f : core.from)
        collectSources(*f, sources);
    const Mover mover(schema, sources, joined);

    std::vector<Correlated> moved;
    auto out = std::make_shared<SelectCore>(core);
    for (SelectItem& item : out->items) {
        // A bare subquery without an alias has no name; a column would give it one.
        if (item.alias.isEmpty() && unparen(*item.expr).kind == Expr::Subquery)
            continue;
        item.expr = replaceIn(item.expr, mover, moved);
    }
    if (moved.empty())
        return nullptr;
    for (const Correlated& m : moved) {
        auto join = std::make_shared<TableSource>();
        join->kind = TableSource::Join;
        join->joinType = QStringLiteral("LEFT");
        join->left = out->from.back();
        join->right = m.derived;
        join->on = m.on;
        out->from.back() = join;
    }
    return out;
}

} // namespace db::sqlite
