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
