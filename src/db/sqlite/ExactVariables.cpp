#include "ExactVariables.h"

#include "WideDecimal.h"

#include <QByteArray>
#include <QString>

namespace db::sqlite {
namespace {

bool wideOf(const QVariant& value, fn::Decimal& d)
{
    if (value.typeId() != QMetaType::QByteArray)
        return false;
    const QByteArray bytes = value.toByteArray();
    return fn::decodeNumberKey(bytes.constData(), int(bytes.size()), d);
}

} // namespace

std::optional<QVariant> exactDecimalValue(const QVariant& value, int scale)
{
    fn::Decimal d;
    switch (value.typeId()) {
    case QMetaType::QByteArray:
        if (!wideOf(value, d))
            return std::nullopt;
        break;
    case QMetaType::QString: {
        const QByteArray utf8 = value.toString().toUtf8();
        const auto* p = reinterpret_cast<const fn::u8*>(utf8.constData());
        auto parsed = fn::Decimal::fromText(p, p + utf8.size(), true);
        if (!parsed)
            return std::nullopt;
        d = std::move(*parsed);
        break;
    }
    case QMetaType::LongLong:
    case QMetaType::Int:
        d = fn::Decimal::fromInt(value.toLongLong());
        break;
    default:
        // Doubles keep the rounding they always had.
        return std::nullopt;
    }
    d.round(scale, false);
    if (fn::carriedByDouble(d))
        return QVariant(d.toDouble());
    const std::string key = fn::encodeNumberKey(d);
    return QVariant(QByteArray(key.data(), qsizetype(key.size())));
}

QVariant publicValue(const QVariant& value)
{
    fn::Decimal d;
    if (!wideOf(value, d))
        return value;
    const std::string text = fn::decimalText(d, 0);
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

} // namespace db::sqlite
