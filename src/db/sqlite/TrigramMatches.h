#pragma once

#include <QHash>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

struct sqlite3;

namespace db::sqlite {

// The rows of a trigram index holding every trigram of a LIKE's text, looked
// up once per reader. An ordered search first walks the index of its ORDER
// BY testing each row against them, and may go on with the whole statement
// driven by them; both read the same list, through the table-valued
// function qel_trigram_match('index table', 'match query'), instead of
// asking the full-text index twice (the look-up is most of what a name
// search costs before its first row).
class TrigramMatches {
public:
    using Rows = std::vector<long long>;  // rowids, ascending

    // A reader's look-ups, kept while its statement runs; emptied when the
    // statement is parked, since the rows may change before it runs again.
    using Lists = QHash<QString, std::shared_ptr<const Rows>>;

    // Look-ups made while `lists` is active are kept in it and served from
    // it; with none active every call looks up afresh.
    class Active {
    public:
        Active(TrigramMatches& matches, Lists& lists);
        ~Active();
        Active(const Active&) = delete;
        Active& operator=(const Active&) = delete;

    private:
        TrigramMatches& matches_;
        Lists* previous_;
    };

    // Told before (true) and after (false) a look-up: the reader's walk budget
    // is for walking, not for work the whole statement would do as well.
    std::function<void(bool)> lookingUp;

    // The rowids of `table` (a trigram index table) that `query` matches.
    // Throws DbError when the table is not a trigram index or SQLite fails.
    std::shared_ptr<const Rows> rows(sqlite3* db, const QString& table, const QString& query);

    // Rows of the list met by a walk since it last handed a row out: a walk
    // whose every candidate fails the rest of the statement is better given
    // up early.
    int fruitless() const { return fruitless_; }
    void candidateMet() { ++fruitless_; }
    void rowFound() { fruitless_ = 0; }

    int lookUps() const { return lookUps_; }  // made since the engine opened
    int lastFailure() const { return failure_; }  // SQLite's code for the last look-up that threw

private:
    Lists* active_ = nullptr;
    int lookUps_ = 0;
    int failure_ = 0;
    int fruitless_ = 0;
};

// Registers qel_trigram_match on a connection, and qel_trigram_has(rowid,
// 'index table', 'match query'), whether a row is in the same list (what a
// walk tests row by row); `matches` outlives the connection.
void registerTrigramMatches(sqlite3* handle, TrigramMatches* matches);

// The source of the rowids `query` matches in `table`, for a statement:
// "qel_trigram_match('table', 'query')".
QString trigramMatchSource(const QString& table, const QString& query);

// The test of `key` against that list: "qel_trigram_has(key, 'table', 'query')".
QString trigramMatchTest(const QString& key, const QString& table, const QString& query);

} // namespace db::sqlite
