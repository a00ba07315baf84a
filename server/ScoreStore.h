#pragma once
// The service's records, kept in one SQLite file. Write-ahead logging with
// full syncs: an accepted score is on disk before "OK" is answered, and a
// killed service loses nothing it has confirmed.

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

struct sqlite3;

struct ScoreRow {
    double score = 0;
    int64_t created = 0;     // seconds since 1970, UTC
    std::string fieldsJSON;  // the record's other fields, a JSON object
};

struct ScoreQuery {
    std::string game;
    std::string category;    // empty: every category
    int64_t since = 0;       // only records made at or after this time
    bool ascending = false;  // lowest score first
    bool bestPerDevice = false;
    int64_t offset = 0;
    int64_t limit = 25;
};

class ScoreStore {
  public:
    ScoreStore() = default;
    ~ScoreStore();
    ScoreStore(const ScoreStore&) = delete;
    ScoreStore& operator=(const ScoreStore&) = delete;

    bool open(const std::string& path, std::string& error);
    bool add(const std::string& game, const std::string& category, const std::string& device, double score,
             const std::string& fieldsJSON, int64_t created, std::string& error);
    bool query(const ScoreQuery& q, std::vector<ScoreRow>& rows, std::string& error);

  private:
    std::mutex mutex_; // the HTTP server answers on several threads
    sqlite3* db_ = nullptr;
};
