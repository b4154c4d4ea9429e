#pragma once

#include "qeldb/QelDb.h"

#include <QBuffer>
#include <QString>
#include <QStringList>

// qel-db run in-process: its exit status and what it wrote.
struct ToolOutcome {
    int status = -1;
    QString out;
    QString err;
};

inline ToolOutcome runTool(const QStringList& arguments)
{
    QBuffer out;
    QBuffer err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    ToolOutcome o;
    o.status = qeldb::run(arguments, out, err);
    o.out = QString::fromUtf8(out.data());
    o.err = QString::fromUtf8(err.data());
    return o;
}
