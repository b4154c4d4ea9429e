// Window functions: the ranking functions, the ones reading another row's
// value and the aggregates with an OVER clause and its frame, handed to
// SQLite's own. Their ORDER BY and PARTITION BY compare text with the one
// collation, as GROUP BY and ORDER BY do.

#include "ExprShapes.h"
#include "SqlGenerator.h"
#include "db/DbError.h"

#include <QHash>

namespace db::sqlite {

namespace {

// The ranking functions and the ones reading another row need an order.
// Of them only FIRST_VALUE and LAST_VALUE read a frame; the others refuse one
// before they ask for the order.
void requireOrderedWindow(const Expr& e)
{
    if (!e.over)
        throw DbError(QStringLiteral("The function '%1' must have an OVER clause.").arg(e.text));
    const bool takesFrame = e.text == QLatin1String("FIRST_VALUE") || e.text == QLatin1String("LAST_VALUE");
    if (e.over->frame && !takesFrame)
        throw DbError(QStringLiteral("The function '%1' may not have a window frame.").arg(e.text));
    if (e.over->orderBy.empty())
        throw DbError(QStringLiteral("The function '%1' must have an OVER clause with ORDER BY.").arg(e.text));
}

// A bound as a frame's error names it and as SQLite reads it.
QString boundKind(const FrameBound& b)
{
    switch (b.kind) {
    case FrameBound::UnboundedPreceding: return QStringLiteral("UNBOUNDED PRECEDING");
    case FrameBound::Preceding: return QStringLiteral("... PRECEDING");
    case FrameBound::CurrentRow: return QStringLiteral("CURRENT ROW");
    case FrameBound::Following: return QStringLiteral("... FOLLOWING");
    case FrameBound::UnboundedFollowing: return QStringLiteral("UNBOUNDED FOLLOWING");
    }
    return QString();
}

QString boundSql(const FrameBound& b)
{
    QString kind = boundKind(b);
    return kind.replace(QStringLiteral("..."), QString::number(b.offset));
}

// Whether the frame starts after it ends: no row could be in it.
bool startsAfterEnd(const FrameBound& start, const FrameBound& end)
{
    if (start.kind == FrameBound::UnboundedFollowing || end.kind == FrameBound::UnboundedPreceding)
        return true;
    if (start.kind != end.kind)
        return start.kind > end.kind;
    if (start.kind == FrameBound::Preceding)
        return start.offset < end.offset;
    return start.kind == FrameBound::Following && start.offset > end.offset;
}

// " ROWS BETWEEN ... AND ..." of an ordered window, refused as SQL Server
// refuses it.
QString frameClause(const Window& w)
{
    const WindowFrame& f = *w.frame;
    if (w.orderBy.empty())
        throw DbError(QStringLiteral("Window frame with ROWS or RANGE must have an ORDER BY clause."));
    const auto isOffset = [](const FrameBound& b) {
        return b.kind == FrameBound::Preceding || b.kind == FrameBound::Following;
    };
    if (f.range && (isOffset(f.start) || isOffset(f.end)))
        throw DbError(QStringLiteral("RANGE is only supported with UNBOUNDED and CURRENT ROW window frame delimiters."));
    if (startsAfterEnd(f.start, f.end))
        throw DbError(QStringLiteral("'BETWEEN %1 AND %2' is not a valid window frame and cannot be used with the OVER "
                                     "clause.").arg(boundKind(f.start), boundKind(f.end)));
    return QStringLiteral(" %1 BETWEEN %2 AND %3")
        .arg(f.range ? QStringLiteral("RANGE") : QStringLiteral("ROWS"), boundSql(f.start), boundSql(f.end));
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
    const QString frame = e.over->frame ? frameClause(*e.over) : QString();
    return QStringLiteral(" OVER (") + parts.join(QLatin1Char(' ')) + frame + QLatin1Char(')');
}

} // namespace db::sqlite
