#include "store.h"

#include <chrono>
#include <utility>

namespace {

// The schema, one migration per version, applied in order and never edited once
// released: a change is a new migration. "{serial}" is the dialect's auto-numbered key.
const char* const kMigrations[] = {
    // 1: score records, best first per difficulty; the replays apart, read only for Watch.
    "CREATE TABLE scores ("
    " id {serial},"
    " hash TEXT NOT NULL UNIQUE,"
    " name TEXT NOT NULL,"
    " difficulty INTEGER NOT NULL,"
    " score BIGINT NOT NULL,"
    " frames INTEGER NOT NULL,"
    " recorded TEXT NOT NULL,"
    " accepted BIGINT NOT NULL,"
    " version TEXT NOT NULL,"
    " rules INTEGER NOT NULL);"
    "CREATE INDEX scores_board ON scores (difficulty, score DESC, accepted, id);"
    "CREATE TABLE replays (score_id BIGINT PRIMARY KEY REFERENCES scores (id), body TEXT NOT NULL);",
};

std::string Expand(std::string sql, const SqlConnection& db) {
  const std::string key = "{serial}";
  for (size_t at; (at = sql.find(key)) != std::string::npos;) sql.replace(at, key.size(), db.SerialKey());
  return sql;
}

// Runs `work` between `begin` and COMMIT; rolls back when it throws (unless the
// connection broke, which ends the transaction anyway).
template <typename Work>
void InTransaction(SqlConnection& db, const std::string& begin, Work work) {
  db.Script(begin);
  try {
    work();
    db.Script("COMMIT");
  } catch (...) {
    if (!db.Broken()) {
      try {
        db.Script("ROLLBACK");
      } catch (...) {
      }
    }
    throw;
  }
}

int64_t ToInt(const std::optional<std::string>& v) { return v ? std::stoll(*v) : 0; }

// The order of a board: best score first, then the earlier verified, then the lower id.
constexpr const char* kBetter =
    "difficulty = ? AND (score > ? OR (score = ? AND (accepted < ? OR (accepted = ? AND id < ?))))";

}  // namespace

// A connection lent from the pool; back to it when done, unless it broke.
class Store::Lease {
 public:
  explicit Lease(Store& store) : store_(store) {
    std::unique_lock lock(store_.mutex_);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (store_.pool_.empty() && store_.open_ >= store_.maxConnections_) {
      if (store_.idle_.wait_until(lock, deadline) == std::cv_status::timeout && store_.pool_.empty() &&
          store_.open_ >= store_.maxConnections_) {
        throw DatabaseUnavailable("no database connection free for 5 s");
      }
    }
    if (!store_.pool_.empty()) {
      db_ = std::move(store_.pool_.back());
      store_.pool_.pop_back();
      return;
    }
    ++store_.open_;
    lock.unlock();
    try {
      db_ = store_.Connect();
    } catch (...) {
      lock.lock();
      --store_.open_;
      store_.idle_.notify_one();
      throw;
    }
  }
  ~Lease() {
    std::lock_guard lock(store_.mutex_);
    if (db_ && !db_->Broken()) {
      store_.pool_.push_back(std::move(db_));
    } else {
      --store_.open_;
    }
    store_.idle_.notify_one();
  }
  SqlConnection& operator*() { return *db_; }
  SqlConnection* operator->() { return db_.get(); }

 private:
  Store& store_;
  std::unique_ptr<SqlConnection> db_;
};

Store::Store(std::string database, int connections)
    : database_(std::move(database)), maxConnections_(static_cast<size_t>(connections < 1 ? 1 : connections)) {}

std::unique_ptr<SqlConnection> Store::Connect() {
  if (database_.rfind("sqlite:", 0) == 0) return OpenSqlite(database_.substr(7));
  return OpenPostgres(database_);
}

int Store::LatestSchema() { return static_cast<int>(std::size(kMigrations)); }

void Store::Migrate() {
  Lease db(*this);
  // One server at a time: several may start together on one PostgreSQL.
  InTransaction(*db, db->BeginExclusive(), [&] {
    db->Script("CREATE TABLE IF NOT EXISTS schema_migrations (version INTEGER PRIMARY KEY, applied BIGINT NOT NULL)");
    const int64_t have = ToInt(db->Query("SELECT COALESCE(MAX(version), 0) FROM schema_migrations").at(0).at(0));
    const int64_t now = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::system_clock::now().time_since_epoch()).count();
    for (int64_t v = have + 1; v <= LatestSchema(); ++v) {
      db->Script(Expand(kMigrations[v - 1], *db));
      db->Query("INSERT INTO schema_migrations (version, applied) VALUES (?, ?)", {v, now});
    }
  });
  std::lock_guard lock(migrateMutex_);
  migrated_ = true;
}

void Store::EnsureMigrated() {
  {
    std::lock_guard lock(migrateMutex_);
    if (migrated_) return;
  }
  Migrate();
}

Standing Store::StandingOf(SqlConnection& db, int64_t id) {
  auto row = db.Query("SELECT difficulty, score, accepted FROM scores WHERE id = ?", {id}).at(0);
  const int64_t difficulty = ToInt(row[0]), score = ToInt(row[1]), accepted = ToInt(row[2]);
  Standing s;
  s.id = id;
  s.rank = 1 + ToInt(db.Query(std::string("SELECT COUNT(*) FROM scores WHERE ") + kBetter,
                              {difficulty, score, score, accepted, accepted, id})
                         .at(0)
                         .at(0));
  s.of = ToInt(db.Query("SELECT COUNT(*) FROM scores WHERE difficulty = ?", {difficulty}).at(0).at(0));
  return s;
}

std::optional<Standing> Store::Find(const std::string& hash) {
  EnsureMigrated();
  Lease db(*this);
  auto rows = db->Query("SELECT id FROM scores WHERE hash = ?", {hash});
  if (rows.empty()) return std::nullopt;
  return StandingOf(*db, ToInt(rows[0][0]));
}

Standing Store::Add(const ScoreRecord& r, const std::string& replay, bool& created) {
  EnsureMigrated();
  Lease db(*this);
  int64_t id = 0;
  InTransaction(*db, "BEGIN", [&] {
    auto rows = db->Query(
        "INSERT INTO scores (hash, name, difficulty, score, frames, recorded, accepted, version, rules)"
        " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?) ON CONFLICT (hash) DO NOTHING RETURNING id",
        {r.hash, r.name, int64_t{r.difficulty}, r.score, int64_t{r.frames}, r.recorded, r.accepted, r.version,
         int64_t{r.rules}});
    created = !rows.empty();
    if (created) {
      id = ToInt(rows[0][0]);
      db->Query("INSERT INTO replays (score_id, body) VALUES (?, ?)", {id, replay});
    }
  });
  if (!created) id = ToInt(db->Query("SELECT id FROM scores WHERE hash = ?", {r.hash}).at(0).at(0));
  return StandingOf(*db, id);
}

std::vector<ScoreRecord> Store::Best(int difficulty, int limit, int offset) {
  EnsureMigrated();
  Lease db(*this);
  std::vector<ScoreRecord> out;
  for (const SqlRow& row : db->Query("SELECT id, name, score, frames, recorded, accepted FROM scores"
                                     " WHERE difficulty = ? ORDER BY score DESC, accepted, id LIMIT ? OFFSET ?",
                                     {int64_t{difficulty}, int64_t{limit}, int64_t{offset}})) {
    ScoreRecord r;
    r.id = ToInt(row[0]);
    r.name = row[1].value_or("");
    r.difficulty = difficulty;
    r.score = ToInt(row[2]);
    r.frames = static_cast<int>(ToInt(row[3]));
    r.recorded = row[4].value_or("");
    r.accepted = ToInt(row[5]);
    out.push_back(std::move(r));
  }
  return out;
}

int64_t Store::Count(int difficulty) {
  EnsureMigrated();
  Lease db(*this);
  return ToInt(db->Query("SELECT COUNT(*) FROM scores WHERE difficulty = ?", {int64_t{difficulty}}).at(0).at(0));
}

std::optional<std::string> Store::Replay(int64_t id) {
  EnsureMigrated();
  Lease db(*this);
  auto rows = db->Query("SELECT body FROM replays WHERE score_id = ?", {id});
  if (rows.empty() || !rows[0][0]) return std::nullopt;
  return rows[0][0];
}
