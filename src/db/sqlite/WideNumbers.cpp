// Money and decimals past a double's digits in generated SQL: such a number
// written in a statement becomes its wide value, and wherever SQLite would
// order values of those types (a range, ORDER BY, MIN and MAX) it orders
// their keys, since it puts every BLOB after every number. Equality needs
// nothing: a value has one form only, REAL up to 15 digits, wide beyond.

#include "ExprShapes.h"
#include "NumericTypes.h"
#include "SqlGenerator.h"
#include "WideDecimal.h"

#include <QByteArray>

#include <optional>

namespace db::sqlite {
namespace {

std::optional<fn::Decimal> writtenDecimal(const QString& text, bool allowExponent)
{
    const QByteArray latin = text.toLatin1();
    const auto* p = reinterpret_cast<const fn::u8*>(latin.constData());
    return fn::Decimal::fromText(p, p + latin.size(), allowExponent);
}

QString blobLiteral(const std::string& bytes)
{
    return QStringLiteral("X'") + QString::fromLatin1(QByteArray::fromStdString(bytes).toHex().toUpper())
        + QLatin1Char('\'');
}

// Written a second time, an expression must read the same and bind nothing.
bool writableTwice(const Expr& e)
{
    if (e.select || e.kind == Expr::Param || e.kind == Expr::Variable || e.over)
        return false;
    for (const auto& a : e.args) {
        if (a && !writableTwice(*a))
            return false;
    }
    return true;
}

bool isHexLiteral(const Expr& e)
{
    return e.text.size() >= 2 && e.text[1].toLower() == QLatin1Char('x');
}

QString flipped(const QString& op)
{
    if (op.startsWith(QLatin1Char('<')))
        return QLatin1Char('>') + op.mid(1);
    return QLatin1Char('<') + op.mid(1);
}

} // namespace

QString numberLiteral(const QString& text)
{
    // A float (with an exponent) is a double anyway; a whole number that 64
    // bits hold stays SQLite's INTEGER.
    if (text.contains(QLatin1Char('e'), Qt::CaseInsensitive))
        return text;
    const auto d = writtenDecimal(text, false);
    if (!d || fn::carriedByDouble(*d))
        return text;
    bool whole = false;
    text.toLongLong(&whole);
    return whole ? text : blobLiteral(fn::encodeNumberKey(*d));
}

bool SqlGenerator::ordersWideValues(std::initializer_list<const Expr*> sides, const Scope& scope) const
{
    bool wide = false;
    for (const Expr* side : sides) {
        const TypeName t = staticType(*side, scope);
        // Text beside a number is converted by SQLite's affinity as it is
        // today; dates keep their own path.
        if (t.isText() || t.isDate())
            return false;
        wide = wide || mayHoldWideValue(t);
    }
    return wide;
}

QString SqlGenerator::orderKey(const Expr& e, const Scope& scope)
{
    const Expr& u = unparen(e);
    // A constant's key is worked out once, here.
    if (u.kind == Expr::Number) {
        if (const auto d = writtenDecimal(u.text, true))
            return blobLiteral(fn::encodeNumberKey(*d));
    }
    QString value = expr(e, scope);
    // A parameter may come as the text of a number, which SQLite's affinity
    // would have read beside the column.
    if (u.kind == Expr::Param)
        value = QStringLiteral("CAST(%1 AS NUMERIC)").arg(value);
    return QStringLiteral("ms_key(%1)").arg(value);
}

bool SqlGenerator::isOrdinaryNumber(const Expr& e)
{
    const Expr& u = unparen(e);
    return u.kind == Expr::Number && !isHexLiteral(u) && numberLiteral(u.text) == u.text;
}

QString SqlGenerator::keyedRange(const Expr& l, const QString& op, const Expr& r, const Scope& scope)
{
    const Expr& left = unparen(l);
    const Expr& right = unparen(r);
    if (left.kind == Expr::Column && isOrdinaryNumber(right))
        return guardedRange(left, op, {&right}, scope);
    if (right.kind == Expr::Column && isOrdinaryNumber(left))
        return guardedRange(right, flipped(op), {&left}, scope);
    const QString leftKey = orderKey(l, scope);
    return leftKey + QLatin1Char(' ') + op + QLatin1Char(' ') + orderKey(r, scope);
}

QString SqlGenerator::keyedBetween(const Expr& value, const Expr& low, const Expr& high, const Scope& scope)
{
    const Expr& v = unparen(value);
    if (v.kind == Expr::Column && isOrdinaryNumber(low) && isOrdinaryNumber(high))
        return guardedRange(v, QStringLiteral("BETWEEN"), {&unparen(low), &unparen(high)}, scope);
    const QString valueKey = orderKey(value, scope);
    const QString lowKey = orderKey(low, scope);
    return QStringLiteral("%1 BETWEEN %2 AND %3").arg(valueKey, lowKey, orderKey(high, scope));
}

// SQLite's own comparison of a column with an ordinary number is right for
// every value but a wide one, which it places after every number: only
// those have their key worked out, and an index on the column still serves
// (`c >= X''` is every BLOB, as a range of the index).
QString SqlGenerator::guardedRange(const Expr& column, const QString& op, std::initializer_list<const Expr*> bounds,
                                   const Scope& scope)
{
    const QString c = expr(column, scope);
    QStringList plain, keys;
    for (const Expr* b : bounds) {
        plain.append(b->text);
        keys.append(orderKey(*b, scope));
    }
    const QString joiner = QStringLiteral(" AND ");
    const QString native = c + QLatin1Char(' ') + op + QLatin1Char(' ') + plain.join(joiner);
    const QString keyed = QStringLiteral("ms_key(%1) %2 %3").arg(c, op, keys.join(joiner));
    if (op.startsWith(QLatin1Char('>')))
        return QStringLiteral("(%1 AND (typeof(%2) <> 'blob' OR %3))").arg(native, c, keyed);
    return QStringLiteral("(%1 OR (%2 >= X'' AND %3))").arg(native, c, keyed);
}

QString SqlGenerator::sortTerm(const Expr& e, const Scope& scope)
{
    if (mayHoldWideValue(staticType(e, scope)))
        return orderKey(e, scope);
    return collatedTerm(e, scope);
}

QString SqlGenerator::resultColumnKey(const Expr& term, const SelectCore& core, const Scope& scope)
{
    const SelectItem* item = nullptr;
    if (term.kind == Expr::Number) {
        bool ok = false;
        const int ordinal = term.text.toInt(&ok);
        if (ok && ordinal >= 1 && ordinal <= int(core.items.size()))
            item = &core.items[size_t(ordinal - 1)];
    } else if (term.kind == Expr::Column && term.qualifier.isEmpty() && staticType(term, scope).name.isEmpty()) {
        for (const SelectItem& i : core.items) {
            if (i.alias.compare(term.text, Qt::CaseInsensitive) == 0) {
                item = &i;
                break;
            }
        }
    }
    if (!item || !item->assignVariable.isEmpty() || !mayHoldWideValue(staticType(*item->expr, scope)))
        return QString();
    const Expr& shown = unparen(*item->expr);
    if (!item->alias.isEmpty()) {
        // Inside an expression SQLite finds a result column's alias only
        // where no table column has its name.
        Expr named;
        named.kind = Expr::Column;
        named.text = item->alias;
        if (staticType(named, scope).name.isEmpty())
            return QStringLiteral("ms_key(%1)").arg(quoteIdent(item->alias));
    }
    // A column without a name: its expression once more.
    return shown.kind == Expr::Column || writableTwice(shown) ? orderKey(shown, scope) : QString();
}

QString SqlGenerator::compoundColumnKey(const Select& compound, const Expr& term) const
{
    const std::vector<SelectItem>& items = compound.cores.front().items;
    int index = -1;
    if (term.kind == Expr::Number) {
        bool ok = false;
        index = term.text.toInt(&ok) - 1;
        if (!ok)
            index = -1;
    } else if (term.kind == Expr::Column && term.qualifier.isEmpty()) {
        for (size_t i = 0; i < items.size() && index < 0; ++i) {
            if (itemName(items[i]).compare(term.text, Qt::CaseInsensitive) == 0)
                index = int(i);
        }
    }
    if (index < 0 || index >= int(items.size()))
        return QString();
    const QString name = itemName(items[size_t(index)]);
    if (name.isEmpty() || !mayHoldWideValue(resultColumnType(compound, size_t(index))))
        return QString();
    return QStringLiteral("ms_key(%1)").arg(quoteIdent(name));
}

QString SqlGenerator::extremum(const QString& name, const QString& argument, bool distinct, const QString& over)
{
    return QStringLiteral("ms_unkey(%1(%2ms_key(%3))%4)")
        .arg(name, distinct ? QStringLiteral("DISTINCT ") : QString(), argument, over);
}

} // namespace db::sqlite
