// SQLite: one file in WAL mode, so that readers never wait for the writer, with
// every commit synced before it returns (synchronous FULL): an answered score
// survives a kill -9 and a power cut.
#include <sqlite3.h>

#include "store.h"

namespace {

// What the server can wait out (a locked, full, read-only or vanished file) is
// "unavailable"; anything else is a fault of ours.
bool Transient(int code) {
  switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
    case SQLITE_IOERR:
    case SQLITE_FULL:
    case SQLITE_CANTOPEN:
    case SQLITE_READONLY:
    case SQLITE_PROTOCOL:
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
      return true;
    default:
      return false;
  }
}

class SqliteConnection : public SqlConnection {
 public:
  explicit SqliteConnection(const std::string& path) {
    const int rc = sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                                   nullptr);
    if (rc != SQLITE_OK) {
      const std::string why = db_ ? sqlite3_errmsg(db_) : "out of memory";
      sqlite3_close(db_);
      db_ = nullptr;
      throw DatabaseUnavailable("SQLite " + path + ": " + why);
    }
    sqlite3_busy_timeout(db_, 5000);
    sqlite3_extended_result_codes(db_, 1);
    Script("PRAGMA journal_mode = WAL; PRAGMA synchronous = FULL; PRAGMA foreign_keys = ON");
  }
  ~SqliteConnection() override { sqlite3_close_v2(db_); }

  std::vector<SqlRow> Query(const std::string& sql, const std::vector<SqlValue>& params) override {
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &st, nullptr);
    if (rc != SQLITE_OK) Fail(rc);
    struct Finalize {
      sqlite3_stmt* st;
      ~Finalize() { sqlite3_finalize(st); }
    } finalize{st};
    for (size_t i = 0; i < params.size(); ++i) {
      const int at = static_cast<int>(i) + 1;
      if (const int64_t* n = std::get_if<int64_t>(&params[i])) {
        rc = sqlite3_bind_int64(st, at, *n);
      } else {
        const std::string& s = std::get<std::string>(params[i]);
        rc = sqlite3_bind_text(st, at, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
      }
      if (rc != SQLITE_OK) Fail(rc);
    }
    std::vector<SqlRow> rows;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
      SqlRow row;
      for (int c = 0; c < sqlite3_column_count(st); ++c) {
        const unsigned char* text = sqlite3_column_text(st, c);
        if (text) {
          row.emplace_back(std::string(reinterpret_cast<const char*>(text), static_cast<size_t>(sqlite3_column_bytes(st, c))));
        } else {
          row.emplace_back(std::nullopt);
        }
      }
      rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE) Fail(rc);
    return rows;
  }

  void Script(const std::string& sql) override {
    const int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) Fail(rc);
  }
  std::string BeginExclusive() const override { return "BEGIN IMMEDIATE"; }
  std::string SerialKey() const override { return "INTEGER PRIMARY KEY"; }
  bool Broken() const override { return broken_; }

 private:
  [[noreturn]] void Fail(int rc) {
    const std::string why = std::string("SQLite: ") + sqlite3_errmsg(db_);
    if (Transient(rc)) {
      // A connection that failed this way may hold a half-done transaction: start afresh.
      broken_ = true;
      throw DatabaseUnavailable(why);
    }
    throw std::runtime_error(why);
  }
  sqlite3* db_ = nullptr;
  bool broken_ = false;
};

}  // namespace

std::unique_ptr<SqlConnection> OpenSqlite(const std::string& path) { return std::make_unique<SqliteConnection>(path); }
