#pragma once

#include <QHash>
#include <QString>
#include <QVariant>

namespace db {

// Named statement parameters (":Name"), matched without regard to case. An
// invalid or null QVariant stands for SQL NULL.
class ParamValues {
public:
    void set(const QString& name, const QVariant& value) { values_.insert(name.toUpper(), value); }
    bool contains(const QString& name) const { return values_.contains(name.toUpper()); }
    QVariant value(const QString& name) const { return values_.value(name.toUpper()); }
    void clear() { values_.clear(); }
    bool isEmpty() const { return values_.isEmpty(); }

private:
    QHash<QString, QVariant> values_;
};

enum class ParamDirection { Input, Output, InputOutput, Result };

// One parameter of a stored-procedure call. Names carry their "@" except the
// return value, which is called "Result".
struct ProcParam {
    QString name;
    ParamDirection direction = ParamDirection::Input;
    QMetaType::Type type = QMetaType::QString;
    QVariant value;
};

} // namespace db
