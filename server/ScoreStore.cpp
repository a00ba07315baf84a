#include "ScoreStore.h"

#include <sqlite3.h>

namespace {

bool exec(sqlite3* db, const char* sql, std::string& error) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) == SQLITE_OK) return true;
    error = message ? message : "unknown error";
    sqlite3_free(message);
    return false;
}

// A prepared statement, finalized on every way out.
struct Statement {
    sqlite3_stmt* s = nullptr;
    ~Statement() { sqlite3_finalize(s); }
};

} // namespace

ScoreStore::~ScoreStore() {
    if (db_) sqlite3_close(db_);
}

bool ScoreStore::open(const std::string& path, std::string& error) {
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                        nullptr) != SQLITE_OK) {
        error = db_ ? sqlite3_errmsg(db_) : "cannot open";
        return false;
    }
    sqlite3_busy_timeout(db_, 5000);
    return exec(db_, "PRAGMA journal_mode=WAL", error) && exec(db_, "PRAGMA synchronous=FULL", error) &&
           exec(db_,
                "CREATE TABLE IF NOT EXISTS scores ("
                " id INTEGER PRIMARY KEY,"
                " game TEXT NOT NULL,"
                " category TEXT NOT NULL,"
                " device TEXT NOT NULL,"
                " score REAL NOT NULL,"
                " created INTEGER NOT NULL,"
                " fields TEXT NOT NULL);"
                "CREATE INDEX IF NOT EXISTS scores_by_game ON scores (game, category, score)",
                error);
}

bool ScoreStore::add(const std::string& game, const std::string& category, const std::string& device, double score,
                     const std::string& fieldsJSON, int64_t created, std::string& error) {
    std::lock_guard<std::mutex> lock(mutex_);
    Statement st;
    if (sqlite3_prepare_v2(db_,
                           "INSERT INTO scores (game, category, device, score, created, fields)"
                           " VALUES (?, ?, ?, ?, ?, ?)",
                           -1, &st.s, nullptr) != SQLITE_OK) {
        error = sqlite3_errmsg(db_);
        return false;
    }
    sqlite3_bind_text(st.s, 1, game.data(), static_cast<int>(game.size()), SQLITE_TRANSIENT);
    sqlite3_bind_text(st.s, 2, category.data(), static_cast<int>(category.size()), SQLITE_TRANSIENT);
    sqlite3_bind_text(st.s, 3, device.data(), static_cast<int>(device.size()), SQLITE_TRANSIENT);
    sqlite3_bind_double(st.s, 4, score);
    sqlite3_bind_int64(st.s, 5, created);
    sqlite3_bind_text(st.s, 6, fieldsJSON.data(), static_cast<int>(fieldsJSON.size()), SQLITE_TRANSIENT);
    if (sqlite3_step(st.s) != SQLITE_DONE) {
        error = sqlite3_errmsg(db_);
        return false;
    }
    return true;
}

bool ScoreStore::query(const ScoreQuery& q, std::vector<ScoreRow>& rows, std::string& error) {
    std::lock_guard<std::mutex> lock(mutex_);
    // Ties go to the record that reached the score first.
    std::string order = q.ascending ? "score ASC, id ASC" : "score DESC, id ASC";
    std::string where = "game = ?1 AND created >= ?2 AND (?3 = '' OR category = ?3)";
    std::string sql;
    if (q.bestPerDevice)
        sql = "SELECT score, created, fields FROM (SELECT *, ROW_NUMBER() OVER (PARTITION BY device ORDER BY " +
              order + ") AS rank FROM scores WHERE " + where + ") WHERE rank = 1 ORDER BY " + order +
              " LIMIT ?4 OFFSET ?5";
    else
        sql = "SELECT score, created, fields FROM scores WHERE " + where + " ORDER BY " + order +
              " LIMIT ?4 OFFSET ?5";
    Statement st;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st.s, nullptr) != SQLITE_OK) {
        error = sqlite3_errmsg(db_);
        return false;
    }
    sqlite3_bind_text(st.s, 1, q.game.data(), static_cast<int>(q.game.size()), SQLITE_TRANSIENT);
    sqlite3_bind_int64(st.s, 2, q.since);
    sqlite3_bind_text(st.s, 3, q.category.data(), static_cast<int>(q.category.size()), SQLITE_TRANSIENT);
    sqlite3_bind_int64(st.s, 4, q.limit);
    sqlite3_bind_int64(st.s, 5, q.offset);
    int rc;
    while ((rc = sqlite3_step(st.s)) == SQLITE_ROW) {
        ScoreRow row;
        row.score = sqlite3_column_double(st.s, 0);
        row.created = sqlite3_column_int64(st.s, 1);
        const unsigned char* fields = sqlite3_column_text(st.s, 2);
        row.fieldsJSON = fields ? reinterpret_cast<const char*>(fields) : "{}";
        rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE) {
        error = sqlite3_errmsg(db_);
        return false;
    }
    return true;
}
