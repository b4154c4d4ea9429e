#include "OrAsUnion.h"

#include "ExprShapes.h"
#include "SqlGenerator.h"

#include <QSet>

namespace db::sqlite {

namespace {

struct Source {
    QString alias;  // upper-cased; the table name when it has no alias
    QString table;  // empty for a derived table
};

// False when an outer join is among the sources: a WHERE test on its
// optional side is not a look-up of that side.
bool collectSources(const TableSource& t, std::vector<Source>& out)
{
    switch (t.kind) {
    case TableSource::Table:
        out.push_back(Source{(t.alias.isEmpty() ? t.name : t.alias).toUpper(), t.name});
        return true;
    case TableSource::Derived:
        out.push_back(Source{t.alias.toUpper(), QString()});
        return true;
    case TableSource::Join:
        if (t.joinType != QLatin1String("INNER") && t.joinType != QLatin1String("CROSS"))
            return false;
        return collectSources(*t.left, out) && collectSources(*t.right, out);
    }
    return false;
}

class Splitter {
public:
    Splitter(const SchemaInfo& schema) : schema_(schema) {}

    // The blocks that replace `core`, or none when it stays as it is.
    std::vector<SelectCore> splitCore(const SelectCore& core) const
    {
        if (core.distinct || core.top || !core.groupBy.empty() || core.having || !core.where || core.from.empty())
            return {};
        for (const SelectItem& item : core.items) {
            if (!item.assignVariable.isEmpty() || hasAggregate(*item.expr))
                return {};
        }
        std::vector<Source> sources;
        for (const auto& f : core.from) {
            if (!collectSources(*f, sources))
                return {};
        }
        std::vector<ExprPtr> terms;
        splitTerms(core.where, QStringLiteral("AND"), terms);
        for (size_t k = 0; k < terms.size(); ++k) {
            std::vector<ExprPtr> choices;
            splitTerms(terms[k], QStringLiteral("OR"), choices);
            if (choices.size() < 2 || !allLookUps(choices, sources))
                continue;
            std::vector<SelectCore> blocks;
            for (size_t i = 0; i < choices.size(); ++i) {
                ExprPtr branch = choices[i];
                for (size_t j = 0; j < i; ++j)
                    branch = conjunction(branch, notTrue(choices[j]));
                SelectCore block = core;
                block.where = nullptr;
                for (size_t t = 0; t < terms.size(); ++t)
                    block.where = block.where ? conjunction(block.where, t == k ? branch : terms[t]) : (t == k ? branch : terms[t]);
                blocks.push_back(block);
            }
            return blocks;
        }
        return {};
    }

private:
    // Index of the source whose indexed column `e` compares with a fixed
    // value, or -1.
    int lookUpSource(const Expr& e, const std::vector<Source>& sources) const
    {
        const Expr& u = unparen(e);
        if (u.kind != Expr::Binary || u.op != QLatin1String("="))
            return -1;
        const Expr* column = &unparen(*u.args[0]);
        const Expr* value = u.args[1].get();
        if (column->kind != Expr::Column) {
            column = &unparen(*u.args[1]);
            value = u.args[0].get();
        }
        if (column->kind != Expr::Column || !isFixedValue(*value))
            return -1;
        int found = -1;
        for (size_t i = 0; i < sources.size(); ++i) {
            const Source& s = sources[i];
            const bool named = column->qualifier.isEmpty()
                ? !s.table.isEmpty() && !schema_.columnType(s.table, column->text).isEmpty()
                : s.alias.compare(column->qualifier, Qt::CaseInsensitive) == 0;
            if (!named)
                continue;
            if (found >= 0)
                return -1;  // ambiguous: leave it to the generator's message
            found = int(i);
        }
        if (found < 0 || sources[size_t(found)].table.isEmpty()
            || !schema_.leadsAnIndex(sources[size_t(found)].table, column->text))
            return -1;
        return found;
    }

    bool allLookUps(const std::vector<ExprPtr>& choices, const std::vector<Source>& sources) const
    {
        QSet<int> used;
        for (const auto& c : choices) {
            const int s = lookUpSource(*c, sources);
            if (s < 0)
                return false;
            used.insert(s);
        }
        return used.size() >= 2;
    }

    // "(Case When c Then 1 Else 0 End) = 0": c is false or unknown, so the
    // row was not returned by c's branch.
    static ExprPtr notTrue(const ExprPtr& c)
    {
        auto test = std::make_shared<Expr>();
        test->kind = Expr::Case;
        test->hasElse = true;
        test->args = {c, numberExpr(QStringLiteral("1")), numberExpr(QStringLiteral("0"))};
        auto e = std::make_shared<Expr>();
        e->kind = Expr::Binary;
        e->op = QStringLiteral("=");
        e->args = {parenthesized(test), numberExpr(QStringLiteral("0"))};
        return e;
    }

    const SchemaInfo& schema_;
};

// A compound's ORDER BY may only name its result columns.
bool orderNamesResultColumns(const Select& s)
{
    const SelectCore& first = s.cores.front();
    for (const OrderItem& o : s.orderBy) {
        const Expr& e = unparen(*o.expr);
        if (e.kind == Expr::Number)
            continue;
        if (e.kind != Expr::Column || !e.qualifier.isEmpty())
            return false;
        bool named = false;
        for (const SelectItem& item : first.items) {
            const Expr& x = unparen(*item.expr);
            const QString name = !item.alias.isEmpty() ? item.alias : x.kind == Expr::Column ? x.text : QString();
            named = named || name.compare(e.text, Qt::CaseInsensitive) == 0;
        }
        if (!named)
            return false;
    }
    return true;
}

} // namespace

SelectPtr splitOrIntoUnion(const Select& select, const SchemaInfo& schema)
{
    if (select.cores.size() == 1 && !select.orderBy.empty() && !orderNamesResultColumns(select))
        return nullptr;
    const Splitter splitter(schema);
    auto out = std::make_shared<Select>();
    out->orderBy = select.orderBy;
    bool changed = false;
    for (size_t i = 0; i < select.cores.size(); ++i) {
        // SQLite reads compounds left to right: a block after the first can
        // become several only where its rows are simply appended.
        const bool appended = i == 0 || select.compoundOps[i - 1] == QLatin1String("UNION ALL");
        std::vector<SelectCore> blocks = appended ? splitter.splitCore(select.cores[i]) : std::vector<SelectCore>{};
        if (blocks.empty())
            blocks.push_back(select.cores[i]);
        else
            changed = true;
        if (i > 0)
            out->compoundOps.push_back(select.compoundOps[i - 1]);
        for (size_t b = 0; b < blocks.size(); ++b) {
            if (b > 0)
                out->compoundOps.push_back(QStringLiteral("UNION ALL"));
            out->cores.push_back(blocks[b]);
        }
    }
    return changed ? out : nullptr;
}

} // namespace db::sqlite
