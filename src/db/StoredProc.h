#pragma once

#include "Params.h"

#include <QDateTime>
#include <QString>
#include <vector>

namespace db {

// A stored procedure called by name on a connection alias. Parameters are
// declared in order with their direction; the return value is the parameter
// named "Result". Outputs are readable after execProc().
class StoredProc {
public:
    StoredProc(const QString& alias, const QString& procedureName);

    void addParam(const QString& name, ParamDirection direction,
                  QMetaType::Type type = QMetaType::QString);
    void setParam(const QString& name, const QVariant& value);
    QVariant param(const QString& name) const;

    void execProc();
    void close();  // forgets the outputs of the last call

    QString asString(const QString& name) const;
    qint64 asInteger(const QString& name) const;
    QDateTime asDateTime(const QString& name) const;

    const QString& procedureName() const { return name_; }

private:
    ProcParam& find(const QString& name);
    const ProcParam& find(const QString& name) const;

    QString alias_;
    QString name_;
    std::vector<ProcParam> params_;
};

} // namespace db
