#include "StoredProc.h"

#include "Connection.h"
#include "DbError.h"
#include "Engine.h"
#include "Query.h"

namespace db {

StoredProc::StoredProc(const QString& alias, const QString& procedureName)
    : alias_(alias), name_(procedureName)
{
}

void StoredProc::addParam(const QString& name, ParamDirection direction, QMetaType::Type type)
{
    params_.push_back(ProcParam{name, direction, type, QVariant()});
}

ProcParam& StoredProc::find(const QString& name)
{
    for (ProcParam& p : params_) {
        if (p.name.compare(name, Qt::CaseInsensitive) == 0)
            return p;
    }
    throw DbError(QStringLiteral("Parameter '%1' not found").arg(name));
}

const ProcParam& StoredProc::find(const QString& name) const
{
    return const_cast<StoredProc*>(this)->find(name);
}

void StoredProc::setParam(const QString& name, const QVariant& value)
{
    find(name).value = value;
}

QVariant StoredProc::param(const QString& name) const
{
    return find(name).value;
}

void StoredProc::execProc()
{
    for (ProcParam& p : params_) {
        if (p.direction == ParamDirection::Output || p.direction == ParamDirection::Result)
            p.value = QVariant();
    }
    Connection::byAlias(alias_).engine().callProcedure(name_, params_);
}

void StoredProc::close()
{
    for (ProcParam& p : params_) {
        if (p.direction == ParamDirection::Output || p.direction == ParamDirection::Result)
            p.value = QVariant();
    }
}

QString StoredProc::asString(const QString& name) const
{
    return variantToText(param(name));
}

qint64 StoredProc::asInteger(const QString& name) const
{
    return variantToInteger(param(name));
}

QDateTime StoredProc::asDateTime(const QString& name) const
{
    return variantToDateTime(param(name));
}

} // namespace db
