#pragma once

#include "Params.h"

#include <QString>
#include <QStringList>

namespace db {

// Several statements as lines; a line holding only "/" ends a statement.
// Each statement runs by itself and commits by itself: a failure stops the
// script there and leaves what ran before in place.
class Script {
public:
    explicit Script(const QString& alias, const QStringList& lines = {});

    QStringList& lines() { return lines_; }
    void setParam(const QString& name, const QVariant& value) { params_.set(name, value); }
    void execute();

    // The statements of a script, split at "/" lines; empty ones are dropped.
    static QStringList split(const QStringList& lines);

private:
    QString alias_;
    QStringList lines_;
    ParamValues params_;
};

} // namespace db
