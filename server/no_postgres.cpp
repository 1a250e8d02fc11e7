// Built without libpq: a postgresql:// database is refused at start.
#include "store.h"

std::unique_ptr<SqlConnection> OpenPostgres(const std::string&) {
  throw std::runtime_error("this server was built without PostgreSQL (libpq)");
}
bool PostgresBuiltIn() { return false; }
