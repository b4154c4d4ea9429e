#include "ExprShapes.h"

#include <QSet>

namespace db::sqlite {

const Expr& unparen(const Expr& e)
{
    const Expr* p = &e;
    while (p->kind == Expr::Paren)
        p = p->args[0].get();
    return *p;
}

bool isFixedValue(const Expr& e)
{
    const Expr& u = unparen(e);
    switch (u.kind) {
    case Expr::Param:
    case Expr::Variable:
    case Expr::Number:
    case Expr::String:
    case Expr::Null:
        return true;
    case Expr::Unary:
    case Expr::Convert:
        return isFixedValue(*u.args[0]);
    default:
        return false;
    }
}

void splitTerms(const ExprPtr& e, const QString& op, std::vector<ExprPtr>& out)
{
    const Expr& u = unparen(*e);
    if (u.kind == Expr::Binary && u.op == op) {
        splitTerms(u.args[0], op, out);
        splitTerms(u.args[1], op, out);
    } else {
        out.push_back(e);
    }
}

bool isAggregateName(const QString& name)
{
    static const QSet<QString> names{QStringLiteral("SUM"), QStringLiteral("COUNT"), QStringLiteral("COUNT_BIG"),
                                     QStringLiteral("MIN"), QStringLiteral("MAX"), QStringLiteral("AVG")};
    return names.contains(name);
}

bool isRankingName(const QString& name)
{
    static const QSet<QString> names{QStringLiteral("ROW_NUMBER"), QStringLiteral("RANK"), QStringLiteral("DENSE_RANK"),
                                     QStringLiteral("NTILE")};
    return names.contains(name);
}

bool isOffsetWindowName(const QString& name)
{
    static const QSet<QString> names{QStringLiteral("LAG"), QStringLiteral("LEAD"), QStringLiteral("FIRST_VALUE"),
                                     QStringLiteral("LAST_VALUE")};
    return names.contains(name);
}

bool hasAggregate(const Expr& e)
{
    if (e.kind == Expr::Function && (isAggregateName(e.text) || e.over))
        return true;
    for (const auto& a : e.args) {
        if (a && hasAggregate(*a))
            return true;
    }
    return false;  // a subquery's aggregates are its own
}

ExprPtr parenthesized(const ExprPtr& e)
{
    if (e->kind == Expr::Paren)
        return e;
    auto p = std::make_shared<Expr>();
    p->kind = Expr::Paren;
    p->args = {e};
    return p;
}

ExprPtr conjunction(const ExprPtr& a, const ExprPtr& b)
{
    auto e = std::make_shared<Expr>();
    e->kind = Expr::Binary;
    e->op = QStringLiteral("AND");
    e->args = {parenthesized(a), parenthesized(b)};
    return e;
}

ExprPtr numberExpr(const QString& text)
{
    auto e = std::make_shared<Expr>();
    e->kind = Expr::Number;
    e->text = text;
    return e;
}

ExprPtr columnExpr(const QString& qualifier, const QString& name)
{
    auto e = std::make_shared<Expr>();
    e->kind = Expr::Column;
    e->qualifier = qualifier;
    e->text = name;
    return e;
}

} // namespace db::sqlite
