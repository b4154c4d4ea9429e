#include "SelectInto.h"

#include "ExprShapes.h"
#include "db/DbError.h"

#include <QSet>

namespace db::sqlite {
namespace {

// A value SQL Server knows is never NULL: a constant, or ISNULL of
// anything and a constant.
bool neverNull(const Expr& e)
{
    const Expr& u = unparen(e);
    switch (u.kind) {
    case Expr::Number:
    case Expr::String:
        return true;
    case Expr::Function:
        return u.text == QLatin1String("ISNULL") && u.args.size() == 2 && neverNull(*u.args[1]);
    default:
        return false;
    }
}

// SQL Server keeps a table's IDENTITY through SELECT ... INTO only from one
// plain table read without grouping or aggregates.
bool mayKeepIdentity(const SelectCore& c)
{
    if (c.from.size() != 1 || c.from.front()->kind != TableSource::Table || !c.groupBy.empty() || c.having)
        return false;
    for (const SelectItem& item : c.items) {
        if (hasAggregate(*item.expr))
            return false;
    }
    return true;
}

// The tables (upper-cased) on an outer join's optional side: their columns
// may come out NULL whatever the table says.
void collectOptional(const TableSource& t, bool optional, QSet<QString>& out)
{
    if (t.kind == TableSource::Table) {
        if (optional)
            out.insert(t.name.toUpper());
        return;
    }
    if (t.kind != TableSource::Join)
        return;
    const bool full = t.joinType == QLatin1String("FULL");
    collectOptional(*t.left, optional || full || t.joinType == QLatin1String("RIGHT"), out);
    collectOptional(*t.right, optional || full || t.joinType == QLatin1String("LEFT"), out);
}

} // namespace

SelectIntoSteps selectIntoSteps(const Stmt& s, const SqlGenerator& generator, const SchemaInfo& schema)
{
    auto select = std::make_shared<Select>(*s.select);
    const QString table = select->cores.front().into;
    select->cores.front().into.clear();
    const SelectCore& core = select->cores.front();

    SelectIntoSteps steps;
    steps.create.kind = Stmt::CreateTable;
    steps.create.table = table;
    steps.create.pos = s.pos;
    steps.create.line = s.line;
    const auto columns = generator.outputColumns(*select);
    QSet<QString> optional;
    for (const auto& f : core.from)
        collectOptional(*f, false, optional);
    std::vector<size_t> identities;  // the result columns that show the table's identity as it stands
    QSet<QString> seen;
    for (size_t i = 0; i < columns.size(); ++i) {
        const SqlGenerator::OutputColumn& out = columns[i];
        if (out.name.isEmpty())
            throw DbError(QStringLiteral("An object or column name is missing or empty. For SELECT INTO statements, "
                                         "verify each column has a name. For other statements, look for empty alias "
                                         "names. Aliases defined as \"\" or [] are not allowed. Change the alias to a "
                                         "valid name."));
        if (seen.contains(out.name.toUpper()))
            throw DbError(QStringLiteral("Column names in each table must be unique. Column name '%1' in table '%2' is "
                                         "specified more than once.").arg(out.name, table));
        seen.insert(out.name.toUpper());
        ColumnDef def;
        def.name = out.name;
        def.type = out.type;
        if (def.type.name == QLatin1String("INTEGER"))  // how the engine keeps an identity column
            def.type.name = QStringLiteral("INT");
        if (!out.table.isEmpty()) {
            def.notNull = !optional.contains(out.table.toUpper()) && schema.columnNotNull(out.table, out.column);
            if (schema.identityColumn(out.table).compare(out.column, Qt::CaseInsensitive) == 0)
                identities.push_back(i);
        }
        // A constant is NOT NULL; items line up with columns only without a `*`.
        if (core.items.size() == columns.size() && neverNull(*core.items[i].expr))
            def.notNull = true;
        steps.create.columnDefs.push_back(def);
        steps.insert.columns.append(out.name);
    }
    // Selected twice, the identity is an identity in neither.
    if (identities.size() == 1 && select->cores.size() == 1 && mayKeepIdentity(core)) {
        ColumnDef& def = steps.create.columnDefs[identities.front()];
        def.identity = true;
        def.notNull = true;
    }

    steps.insert.kind = Stmt::Insert;
    steps.insert.table = table;
    steps.insert.pos = s.pos;
    steps.insert.line = s.line;
    steps.insert.select = select;
    return steps;
}

} // namespace db::sqlite
