#include "Engine.h"

#include "DbError.h"
#include "odbc/OdbcEngine.h"
#include "sqlite/SqliteEngine.h"

#include <QDir>
#include <QFileInfo>

namespace db {

ResultCursor::ResultCursor(ResultSet result) : rows_(std::move(result.rows))
{
    returnsRows_ = result.returnsRows;
    columns_ = std::move(result.columns);
    atEnd_ = rows_.empty();
}

void ResultCursor::fetch(int count, RowStore& rows)
{
    for (; count > 0 && next_ < rows_.size(); --count) {
        for (QVariant& v : rows_[next_++])
            rows.addValue(std::move(v));
    }
    atEnd_ = next_ >= rows_.size();
    if (atEnd_)
        rows_.clear();
}

std::unique_ptr<RowCursor> Engine::openCursor(const QString& sql, const ParamValues& params)
{
    return std::make_unique<ResultCursor>(execute(sql, params));
}

QString connectionParam(const QStringList& lines, const QString& name)
{
    for (const QString& line : lines) {
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        if (QStringView(line).left(eq).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return line.mid(eq + 1);
    }
    return QString();
}

int positiveConnectionParam(const QStringList& lines, const QString& name)
{
    bool ok = false;
    const int value = connectionParam(lines, name).trimmed().toInt(&ok);
    return ok && value > 0 ? value : 0;
}

std::unique_ptr<Engine> openEngine(const QStringList& connectionParams)
{
    const QString server = connectionParam(connectionParams, QStringLiteral("SERVER NAME"));
    if (server.trimmed().startsWith(QLatin1String("sqlite:"), Qt::CaseInsensitive)) {
        const QString folder = server.trimmed().mid(7);
        const QString database = connectionParam(connectionParams, QStringLiteral("DATABASE NAME")).trimmed();
        // A server file naming a folder that is not there (a typing slip, a
        // share not mounted) says which folder, not merely that a login failed.
        const QFileInfo where(folder.isEmpty() ? QStringLiteral(".") : folder);
        if (!where.isDir())
            throw DbError(QStringLiteral("Cannot open database \"%1\": the folder %2 named by the server \"%3\" "
                                         "does not exist.")
                              .arg(database, QDir::toNativeSeparators(where.absoluteFilePath()), server.trimmed()));
        return std::make_unique<sqlite::SqliteEngine>(
            folder, database, positiveConnectionParam(connectionParams, QStringLiteral("MAX QUERY TIME")));
    }
    return std::make_unique<odbc::OdbcEngine>(connectionParams);
}

} // namespace db
