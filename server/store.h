// The leaderboard's database: score records and their replays, on SQLite or
// PostgreSQL through the same SQL. Every call takes a connection from a small
// pool; a database that cannot be reached throws DatabaseUnavailable, and the next
// call tries again, so the server answers 503 meanwhile and recovers on its own.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

struct DatabaseUnavailable : std::runtime_error {
  using std::runtime_error::runtime_error;
};

using SqlValue = std::variant<int64_t, std::string>;
using SqlRow = std::vector<std::optional<std::string>>;

// One connection. Statements take `?` for their parameters, never values in the text.
class SqlConnection {
 public:
  virtual ~SqlConnection() = default;
  virtual std::vector<SqlRow> Query(const std::string& sql, const std::vector<SqlValue>& params = {}) = 0;
  // A script of statements without parameters (migrations).
  virtual void Script(const std::string& sql) = 0;
  // The statement that begins a migration: it must keep other servers out until COMMIT.
  virtual std::string BeginExclusive() const = 0;
  // What the dialect names an auto-numbered 64-bit key column.
  virtual std::string SerialKey() const = 0;
  virtual bool Broken() const = 0;
};

std::unique_ptr<SqlConnection> OpenSqlite(const std::string& path);
std::unique_ptr<SqlConnection> OpenPostgres(const std::string& url);
bool PostgresBuiltIn();

struct ScoreRecord {
  int64_t id = 0;
  std::string hash;      // SHA-256 of the replay without its "recorded" line
  std::string name;      // UTF-8
  int difficulty = 0;
  int64_t score = 0;
  int frames = 0;
  std::string recorded;  // as the replay says (the player's clock)
  int64_t accepted = 0;  // milliseconds since 1970 when verified: ties go to the earlier
  std::string version;   // the server's game version that verified it
  int rules = 0;
};

struct Standing {
  int64_t id = 0;
  int64_t rank = 0;  // from 1
  int64_t of = 0;    // records of its difficulty
};

class Store {
 public:
  // `database`: "sqlite:PATH" or "postgresql://..." ("postgres://" too). Connects lazily.
  Store(std::string database, int connections);
  // Applies the migrations not yet applied (at start, and before first use after
  // an unreachable start). Throws DatabaseUnavailable.
  void Migrate();
  // The standing of the record with this hash, when there is one.
  std::optional<Standing> Find(const std::string& hash);
  // Stores a record and its replay, committed before it returns; `created` false
  // when a record with the same hash was there first (its standing is returned).
  Standing Add(const ScoreRecord& record, const std::string& replay, bool& created);
  std::vector<ScoreRecord> Best(int difficulty, int limit, int offset);
  int64_t Count(int difficulty);
  std::optional<std::string> Replay(int64_t id);

  // Which schema versions exist (migrations are numbered from 1).
  static int LatestSchema();

 private:
  class Lease;
  std::unique_ptr<SqlConnection> Connect();
  Standing StandingOf(SqlConnection& db, int64_t id);
  void EnsureMigrated();

  std::string database_;
  size_t maxConnections_;
  std::mutex mutex_;
  std::condition_variable idle_;
  std::vector<std::unique_ptr<SqlConnection>> pool_;
  size_t open_ = 0;  // connections lent out or idle
  bool migrated_ = false;
  std::mutex migrateMutex_;
};
