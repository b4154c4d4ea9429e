// Window functions: the ranking functions, the ones reading another row's
// value and the aggregates with an OVER clause, handed to SQLite's own. Their ORDER BY and PARTITION BY compare
// text with the one collation, as GROUP BY and ORDER BY do.

#include "ExprShapes.h"
#include "SqlGenerator.h"
#include "db/DbError.h"

#include <QHash>

namespace db::sqlite {

namespace {

// The ranking functions and the ones reading another row need an order.
void requireOrderedWindow(const Expr& e)
{
    if (!e.over)
        throw DbError(QStringLiteral("The function '%1' must have an OVER clause.").arg(e.text));
    if (e.over->orderBy.empty())
        throw DbError(QStringLiteral("The function '%1' must have an OVER clause with ORDER BY.").arg(e.text));
}

} // namespace

QString SqlGenerator::rankingFunction(const Expr& e, const Scope& scope)
{
    const QString name = e.text;
    requireOrderedWindow(e);
    const size_t wanted = name == QLatin1String("NTILE") ? 1 : 0;
    if (e.args.size() != wanted || e.star)
        throw DbError(QStringLiteral("The function '%1' takes exactly %2 argument(s).").arg(name).arg(wanted));
    const QString argument = wanted ? expr(*e.args[0], scope) : QString();
    return name.toLower() + QLatin1Char('(') + argument + QLatin1Char(')') + overClause(e, scope);
}

// LAG and LEAD (value [, offset [, default]]), FIRST_VALUE and LAST_VALUE
// (value): another row's value of the window, in SQLite's own, whose frame
// without one written is SQL Server's (the partition's start to the current
// row and its peers).
QString SqlGenerator::offsetWindowFunction(const Expr& e, const Scope& scope)
{
    const QString name = e.text;
    requireOrderedWindow(e);
    const bool shifts = name == QLatin1String("LAG") || name == QLatin1String("LEAD");
    if (e.star || e.args.empty() || e.args.size() > (shifts ? 3u : 1u))
        throw DbError(QStringLiteral("The %1 function requires %2 argument(s).")
                          .arg(name.toLower(), shifts ? QStringLiteral("1 to 3") : QStringLiteral("1")));
    if (shifts && e.args.size() >= 2) {
        const Expr& offset = unparen(*e.args[1]);
        if (offset.kind == Expr::Number && offset.text.toLongLong() < 0)
            throw DbError(QStringLiteral("The offset parameter for %1 cannot be a negative value.").arg(name));
    }
    QStringList args;
    for (const ExprPtr& a : e.args)
        args.append(expr(*a, scope));
    return name.toLower() + QLatin1Char('(') + args.join(QStringLiteral(", ")) + QLatin1Char(')') + overClause(e, scope);
}

QString SqlGenerator::overClause(const Expr& e, const Scope& scope)
{
    if (!e.over)
        return QString();
    if (!isAggregateName(e.text) && !isRankingName(e.text) && !isOffsetWindowName(e.text))
        throw DbError(QStringLiteral("The function '%1' is not a valid windowing function, and cannot be used with "
                                     "the OVER clause.").arg(e.text));
    if (e.distinct)
        throw DbError(QStringLiteral("Use of DISTINCT is not allowed with the OVER clause."));
    QStringList parts;
    if (!e.over->partitionBy.empty()) {
        QStringList terms;
        for (const ExprPtr& p : e.over->partitionBy)
            terms.append(collatedTerm(*p, scope));
        parts.append(QStringLiteral("PARTITION BY ") + terms.join(QStringLiteral(", ")));
    }
    if (!e.over->orderBy.empty()) {
        QStringList terms;
        for (const OrderItem& o : e.over->orderBy)
            terms.append(sortTerm(*o.expr, scope) + (o.descending ? QStringLiteral(" DESC") : QString()));
        parts.append(QStringLiteral("ORDER BY ") + terms.join(QStringLiteral(", ")));
    }
    return QStringLiteral(" OVER (") + parts.join(QLatin1Char(' ')) + QLatin1Char(')');
}

} // namespace db::sqlite
