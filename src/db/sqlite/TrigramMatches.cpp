#include "TrigramMatches.h"

#include "SqlGenerator.h"
#include "TrigramIndexes.h"
#include "db/DbError.h"

#include <sqlite3.h>

#include <algorithm>

namespace db::sqlite {

namespace {

const char kModule[] = "qel_trigram_match";

enum Column { Value, Table, Query };

struct MatchTable : sqlite3_vtab {
    TrigramMatches* matches = nullptr;
    sqlite3* db = nullptr;
};

struct MatchCursor : sqlite3_vtab_cursor {
    std::shared_ptr<const TrigramMatches::Rows> rows;
    size_t at = 0;
};

int connect(sqlite3* db, void* aux, int, const char* const*, sqlite3_vtab** out, char**)
{
    const int rc = sqlite3_declare_vtab(db, "CREATE TABLE x(value INTEGER, tbl HIDDEN, query HIDDEN)");
    if (rc != SQLITE_OK)
        return rc;
    auto* table = new MatchTable{};
    table->matches = static_cast<TrigramMatches*>(aux);
    table->db = db;
    *out = table;
    return SQLITE_OK;
}

int disconnect(sqlite3_vtab* table)
{
    delete static_cast<MatchTable*>(table);
    return SQLITE_OK;
}

int bestIndex(sqlite3_vtab*, sqlite3_index_info* info)
{
    // Both arguments must be given, as equalities SQLite hands to filter().
    int argument[2] = {-1, -1};
    for (int i = 0; i < info->nConstraint; ++i) {
        const auto& c = info->aConstraint[i];
        if ((c.iColumn == Table || c.iColumn == Query) && c.op == SQLITE_INDEX_CONSTRAINT_EQ) {
            if (!c.usable)
                return SQLITE_CONSTRAINT;
            argument[c.iColumn - Table] = i;
        }
    }
    if (argument[0] < 0 || argument[1] < 0)
        return SQLITE_CONSTRAINT;
    for (int k = 0; k < 2; ++k) {
        info->aConstraintUsage[argument[k]].argvIndex = k + 1;
        info->aConstraintUsage[argument[k]].omit = 1;
    }
    if (info->nOrderBy == 1 && info->aOrderBy[0].iColumn == Value && !info->aOrderBy[0].desc)
        info->orderByConsumed = 1;
    info->estimatedCost = 1000;
    info->estimatedRows = 1000;
    return SQLITE_OK;
}

int open(sqlite3_vtab*, sqlite3_vtab_cursor** out)
{
    *out = new MatchCursor{};
    return SQLITE_OK;
}

int close(sqlite3_vtab_cursor* cursor)
{
    delete static_cast<MatchCursor*>(cursor);
    return SQLITE_OK;
}

QString textArgument(sqlite3_value* value)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
    return QString::fromUtf8(text, sqlite3_value_bytes(value));
}

int filter(sqlite3_vtab_cursor* base, int, const char*, int argc, sqlite3_value** argv)
{
    auto* cursor = static_cast<MatchCursor*>(base);
    auto* table = static_cast<MatchTable*>(base->pVtab);
    cursor->at = 0;
    cursor->rows.reset();
    if (argc != 2)
        return SQLITE_ERROR;
    try {
        cursor->rows = table->matches->rows(table->db, textArgument(argv[0]), textArgument(argv[1]));
    } catch (const DbError& e) {
        sqlite3_free(table->zErrMsg);
        table->zErrMsg = sqlite3_mprintf("%s", e.what());
        // An interrupt (the time-out) stays one for the statement around it.
        return table->matches->lastFailure();
    }
    return SQLITE_OK;
}

int next(sqlite3_vtab_cursor* base)
{
    ++static_cast<MatchCursor*>(base)->at;
    return SQLITE_OK;
}

int eof(sqlite3_vtab_cursor* base)
{
    const auto* cursor = static_cast<MatchCursor*>(base);
    return !cursor->rows || cursor->at >= cursor->rows->size();
}

int column(sqlite3_vtab_cursor* base, sqlite3_context* context, int column)
{
    const auto* cursor = static_cast<MatchCursor*>(base);
    if (column == Value)
        sqlite3_result_int64(context, (*cursor->rows)[cursor->at]);
    else
        sqlite3_result_null(context);
    return SQLITE_OK;
}

int rowid(sqlite3_vtab_cursor* base, sqlite_int64* out)
{
    const auto* cursor = static_cast<MatchCursor*>(base);
    *out = (*cursor->rows)[cursor->at];
    return SQLITE_OK;
}

const sqlite3_module& module()
{
    static const sqlite3_module m = [] {
        sqlite3_module x{};
        x.iVersion = 1;
        x.xCreate = nullptr;  // eponymous only: never a table of the file
        x.xConnect = connect;
        x.xBestIndex = bestIndex;
        x.xDisconnect = disconnect;
        x.xOpen = open;
        x.xClose = close;
        x.xFilter = filter;
        x.xNext = next;
        x.xEof = eof;
        x.xColumn = column;
        x.xRowid = rowid;
        return x;
    }();
    return m;
}

void has(sqlite3_context* context, int, sqlite3_value** argv)
{
    // The list is kept with the statement's constant arguments, so that a
    // walk finds it again at each row without a look-up by name.
    using Shared = std::shared_ptr<const TrigramMatches::Rows>;
    auto* matches = static_cast<TrigramMatches*>(sqlite3_user_data(context));
    auto* rows = static_cast<Shared*>(sqlite3_get_auxdata(context, 2));
    if (!rows) {
        try {
            rows = new Shared(matches->rows(sqlite3_context_db_handle(context), textArgument(argv[1]),
                                            textArgument(argv[2])));
        } catch (const DbError& e) {
            const QByteArray message = QString::fromUtf8(e.what()).toUtf8();
            if (matches->lastFailure() == SQLITE_INTERRUPT)
                sqlite3_result_error_code(context, SQLITE_INTERRUPT);
            else
                sqlite3_result_error(context, message.constData(), int(message.size()));
            return;
        }
        sqlite3_set_auxdata(context, 2, rows, [](void* p) { delete static_cast<Shared*>(p); });
        // SQLite may drop it at once when the argument is not a constant.
        rows = static_cast<Shared*>(sqlite3_get_auxdata(context, 2));
        if (!rows) {
            sqlite3_result_error(context, "qel_trigram_has: the list must be named by constants", -1);
            return;
        }
    }
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_int(context, 0);
        return;
    }
    const long long key = sqlite3_value_int64(argv[0]);
    const bool found = std::binary_search((*rows)->begin(), (*rows)->end(), key);
    if (found)
        matches->candidateMet();
    sqlite3_result_int(context, found ? 1 : 0);
}

} // namespace

TrigramMatches::Active::Active(TrigramMatches& matches, Lists& lists) : matches_(matches), previous_(matches.active_)
{
    matches_.active_ = &lists;
}

TrigramMatches::Active::~Active()
{
    matches_.active_ = previous_;
}

std::shared_ptr<const TrigramMatches::Rows> TrigramMatches::rows(sqlite3* db, const QString& table, const QString& query)
{
    const QString key = table + QChar(0x1f) + query;
    if (active_) {
        const auto found = active_->constFind(key);
        if (found != active_->constEnd())
            return found.value();
    }
    // Only the engine's own indexes: the name goes into the statement.
    if (!table.startsWith(TrigramIndexes::catalogTable() + QLatin1Char('_'), Qt::CaseInsensitive)) {
        failure_ = SQLITE_ERROR;
        throw DbError(QStringLiteral("Invalid object name '%1'.").arg(table));
    }
    if (lookingUp)
        lookingUp(true);
    struct Resume {
        TrigramMatches& m;
        ~Resume()
        {
            if (m.lookingUp)
                m.lookingUp(false);
        }
    } resume{*this};
    const QByteArray sql =
        QStringLiteral("SELECT rowid FROM %1 WHERE %1 MATCH ?").arg(quoteIdent(table)).toUtf8();
    sqlite3_stmt* statement = nullptr;
    failure_ = sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &statement, nullptr);
    if (failure_ != SQLITE_OK)
        throw DbError(QString::fromUtf8(sqlite3_errmsg(db)));
    const QByteArray q = query.toUtf8();
    sqlite3_bind_text(statement, 1, q.constData(), int(q.size()), SQLITE_TRANSIENT);
    auto rows = std::make_shared<Rows>();
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW)
        rows->push_back(sqlite3_column_int64(statement, 0));
    if (rc != SQLITE_DONE) {
        failure_ = rc;
        const QString message = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_finalize(statement);
        throw DbError(message);
    }
    sqlite3_finalize(statement);
    ++lookUps_;
    if (active_)
        active_->insert(key, rows);
    return rows;
}

void registerTrigramMatches(sqlite3* handle, TrigramMatches* matches)
{
    if (sqlite3_create_module(handle, kModule, &module(), matches) != SQLITE_OK
        || sqlite3_create_function_v2(handle, "qel_trigram_has", 3, SQLITE_UTF8, matches, has, nullptr, nullptr,
                                      nullptr) != SQLITE_OK)
        throw DbError(QStringLiteral("Cannot register %1: %2")
                          .arg(QLatin1String(kModule), QString::fromUtf8(sqlite3_errmsg(handle))));
}

QString trigramMatchTest(const QString& key, const QString& table, const QString& query)
{
    return QStringLiteral("qel_trigram_has(%1, %2, %3)").arg(key, quoteString(table), quoteString(query));
}

QString trigramMatchSource(const QString& table, const QString& query)
{
    return QStringLiteral("%1(%2, %3)").arg(QLatin1String(kModule), quoteString(table), quoteString(query));
}

} // namespace db::sqlite
