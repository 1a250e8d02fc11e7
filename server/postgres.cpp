// PostgreSQL through libpq: text parameters ($1, $2... in place of ?), results as text.
#include <libpq-fe.h>

#include <cstring>

#include "store.h"

namespace {

// `?` to `$n`. Our statements hold no `?` inside quotes.
std::string Numbered(const std::string& sql) {
  std::string out;
  int n = 0;
  for (char c : sql) {
    if (c == '?') {
      out += "$" + std::to_string(++n);
    } else {
      out += c;
    }
  }
  return out;
}

class PostgresConnection : public SqlConnection {
 public:
  explicit PostgresConnection(const std::string& url) {
    conn_ = PQconnectdb(url.c_str());
    if (!conn_ || PQstatus(conn_) != CONNECTION_OK) {
      const std::string why = conn_ ? PQerrorMessage(conn_) : "out of memory";
      PQfinish(conn_);
      conn_ = nullptr;
      throw DatabaseUnavailable("PostgreSQL: " + Line(why));
    }
    // Notices (such as "relation already exists, skipping") are not for the log.
    PQsetNoticeProcessor(conn_, [](void*, const char*) {}, nullptr);
  }
  ~PostgresConnection() override { PQfinish(conn_); }

  std::vector<SqlRow> Query(const std::string& sql, const std::vector<SqlValue>& params) override {
    std::vector<std::string> text;
    text.reserve(params.size());
    for (const SqlValue& p : params) {
      text.push_back(std::holds_alternative<int64_t>(p) ? std::to_string(std::get<int64_t>(p)) : std::get<std::string>(p));
    }
    std::vector<const char*> values;
    std::vector<int> lengths, formats;
    for (const std::string& t : text) {
      values.push_back(t.c_str());
      lengths.push_back(static_cast<int>(t.size()));
      formats.push_back(0);
    }
    PGresult* res = PQexecParams(conn_, Numbered(sql).c_str(), static_cast<int>(values.size()), nullptr, values.data(),
                                 lengths.data(), formats.data(), 0);
    Check(res);
    std::vector<SqlRow> rows;
    for (int r = 0; r < PQntuples(res); ++r) {
      SqlRow row;
      for (int c = 0; c < PQnfields(res); ++c) {
        if (PQgetisnull(res, r, c)) {
          row.emplace_back(std::nullopt);
        } else {
          row.emplace_back(std::string(PQgetvalue(res, r, c), static_cast<size_t>(PQgetlength(res, r, c))));
        }
      }
      rows.push_back(std::move(row));
    }
    PQclear(res);
    return rows;
  }

  void Script(const std::string& sql) override {
    PGresult* res = PQexec(conn_, sql.c_str());
    Check(res);
    PQclear(res);
  }
  std::string BeginExclusive() const override { return "BEGIN; SELECT pg_advisory_xact_lock(257027)"; }
  std::string SerialKey() const override { return "BIGSERIAL PRIMARY KEY"; }
  bool Broken() const override { return PQstatus(conn_) != CONNECTION_OK || broken_; }

 private:
  static std::string Line(std::string s) {
    while (!s.empty() && (s.back() == '\n' || s.back() == ' ')) s.pop_back();
    for (char& c : s) {
      if (c == '\n') c = ' ';
    }
    return s;
  }
  void Check(PGresult* res) {
    const ExecStatusType st = res ? PQresultStatus(res) : PGRES_FATAL_ERROR;
    if (st == PGRES_COMMAND_OK || st == PGRES_TUPLES_OK) return;
    const char* state = res ? PQresultErrorField(res, PG_DIAG_SQLSTATE) : nullptr;
    const std::string why = "PostgreSQL: " + Line(res ? PQresultErrorMessage(res) : PQerrorMessage(conn_));
    PQclear(res);
    // Connection failures (class 08), shutdowns (57P), too many connections (53300)
    // and serialization failures are waited out; anything else is a fault of ours.
    if (!state || PQstatus(conn_) != CONNECTION_OK || std::strncmp(state, "08", 2) == 0 ||
        std::strncmp(state, "57P", 3) == 0 || std::strncmp(state, "53", 2) == 0 || std::strcmp(state, "40001") == 0 ||
        std::strcmp(state, "40P01") == 0) {
      broken_ = true;
      throw DatabaseUnavailable(why);
    }
    // Inside a transaction the connection is unusable until ROLLBACK; the caller rolls back.
    throw std::runtime_error(why);
  }
  PGconn* conn_ = nullptr;
  bool broken_ = false;
};

}  // namespace

std::unique_ptr<SqlConnection> OpenPostgres(const std::string& url) {
  return std::make_unique<PostgresConnection>(url);
}
bool PostgresBuiltIn() { return true; }
