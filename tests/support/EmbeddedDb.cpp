#include "EmbeddedDb.h"

#include "db/DbError.h"
#include "db/sqlite/SqliteEngine.h"

#include <gtest/gtest.h>

EmbeddedDb::EmbeddedDb(const QString& alias, const QString& database) : alias_(alias)
{
    if (!dir_.isValid())
        throw std::runtime_error("no temporary folder");
    db::sqlite::createDatabase(dir_.path(), database);
    connection_ = std::make_unique<db::Connection>(alias);
    connection_->params() = QStringList{QStringLiteral("DATABASE NAME=") + database,
                                        QStringLiteral("SERVER NAME=sqlite:") + dir_.path()};
}

EmbeddedDb::~EmbeddedDb()
{
    connection_->close();
}

void EmbeddedDb::exec(const QString& sql, std::initializer_list<std::pair<const char*, QVariant>> params)
{
    db::Query q(alias_);
    q.setSql(QStringList{sql});
    for (const auto& [name, value] : params)
        q.setParam(QLatin1String(name), value);
    q.execSql();
}

std::unique_ptr<db::Query> EmbeddedDb::open(const QStringList& lines,
                                            std::initializer_list<std::pair<const char*, QVariant>> params)
{
    auto q = std::make_unique<db::Query>(alias_);
    q->setSql(lines);
    for (const auto& [name, value] : params)
        q->setParam(QLatin1String(name), value);
    q->open();
    return q;
}

std::unique_ptr<db::Query> EmbeddedDb::open(const QString& sql,
                                            std::initializer_list<std::pair<const char*, QVariant>> params)
{
    return open(QStringList{sql}, params);
}

QString EmbeddedDb::scalar(const QString& sql, std::initializer_list<std::pair<const char*, QVariant>> params)
{
    auto q = open(sql, params);
    if (q->isEmpty() || q->fieldCount() == 0)
        return QString();
    return db::variantToText(q->valueAt(0, 0));
}

namespace {

QString cellText(const QVariant& v)
{
    return v.isNull() ? QStringLiteral("<null>") : db::variantToText(v);
}

}  // namespace

QStringList rowsOf(const db::Query& q)
{
    QStringList out;
    for (int r = 0; r < q.recordCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < q.fieldCount(); ++c)
            cells.append(cellText(q.valueAt(r, c)));
        out.append(cells.join(QLatin1Char('|')));
    }
    return out;
}

QStringList rowsOf(const db::ResultSet& r)
{
    QStringList out;
    for (const auto& row : r.rows) {
        QStringList cells;
        for (const QVariant& v : row)
            cells.append(cellText(v));
        out.append(cells.join(QLatin1Char('|')));
    }
    return out;
}

QStringList EmbeddedDb::rows(const QString& sql, std::initializer_list<std::pair<const char*, QVariant>> params)
{
    return rowsOf(*open(sql, params));
}

QString EmbeddedDb::errorOf(const QString& sql)
{
    try {
        exec(sql);
    } catch (const db::DbError& e) {
        return e.message();
    }
    return QString();
}
