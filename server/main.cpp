// puffwick-server: the world leaderboard. A score is accepted only when its
// replay, played here headless, ends on the score it claims.
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "app.h"
#include "core/state.h"
#include "loopery/loopery.h"

namespace {

const char* kUsage =
    "usage: puffwick-server [--listen HOST:PORT] [--database sqlite:PATH | postgresql://...] [--web DIR]\n"
    "                       [--workers N] [--queue N] [--submissions-per-minute N] [--trust-proxy]\n"
    "  --listen HOST:PORT   where to listen (127.0.0.1:8080)\n"
    "  --database DB        sqlite:PATH (sqlite:leaderboard.db) or a PostgreSQL URL\n"
    "  --web DIR            the web build served at /play/ (build/web)\n"
    "  --workers N          replays verified at once (one per core)\n"
    "  --queue N            replays waiting for a worker before 503 (32)\n"
    "  --submissions-per-minute N   per address, before 429 (30)\n"
    "  --trust-proxy        take the address from X-Forwarded-For when the peer is this machine\n"
    "  --verify             read a replay on standard input and print its verdict\n"
    "  --help, --version\n";

bool ToNumber(const std::string& text, int low, int high, int& out) {
  if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos) return false;
  out = std::stoi(text);
  return out >= low && out <= high;
}

// An error message, or "" with `o` filled.
std::string ParseOptions(const std::vector<std::string>& args, ServerOptions& o, bool& help, bool& version, bool& verify) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= args.size()) return false;
      out = args[++i];
      return true;
    };
    std::string v;
    if (a == "--help") {
      help = true;
    } else if (a == "--version") {
      version = true;
    } else if (a == "--verify") {
      verify = true;
    } else if (a == "--trust-proxy") {
      o.trustProxy = true;
    } else if (a == "--listen") {
      if (!value(v)) return "--listen needs HOST:PORT";
      const size_t colon = v.rfind(':');
      if (colon == std::string::npos || colon == 0 || !ToNumber(v.substr(colon + 1), 1, 65535, o.port)) {
        return "--listen needs HOST:PORT, not " + v;
      }
      o.host = v.substr(0, colon);
      if (o.host.size() > 2 && o.host.front() == '[' && o.host.back() == ']') o.host = o.host.substr(1, o.host.size() - 2);
    } else if (a == "--database") {
      if (!value(v)) return "--database needs sqlite:PATH or a postgresql:// URL";
      if (v.rfind("sqlite:", 0) == 0 && v.size() > 7) {
        o.database = v;
      } else if (v.rfind("postgresql://", 0) == 0 || v.rfind("postgres://", 0) == 0) {
        if (!PostgresBuiltIn()) return "this server was built without PostgreSQL";
        o.database = v;
      } else {
        return "--database needs sqlite:PATH or a postgresql:// URL";
      }
    } else if (a == "--web") {
      if (!value(v) || v.empty()) return "--web needs a folder";
      o.web = v;
    } else if (a == "--workers") {
      if (!value(v) || !ToNumber(v, 1, 256, o.workers)) return "--workers needs 1..256";
    } else if (a == "--queue") {
      if (!value(v) || !ToNumber(v, 0, 10000, o.queue)) return "--queue needs 0..10000";
    } else if (a == "--submissions-per-minute") {
      if (!value(v) || !ToNumber(v, 1, 1000000, o.submissionsPerMinute)) return "--submissions-per-minute needs 1..1000000";
    } else {
      return "unknown option " + a;
    }
  }
  return "";
}

// This program's own file, to start verification workers from.
std::string SelfPath() {
  std::vector<char> buf(4096);
  const ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size() - 1);
  return n > 0 ? std::string(buf.data(), static_cast<size_t>(n)) : std::string();
}

}  // namespace

int main(int argc, char** argv) {
  UseGame(LooperyTable());
  ServerOptions options;
  bool help = false, version = false, verify = false;
  const std::string error = ParseOptions(std::vector<std::string>(argv + 1, argv + argc), options, help, version, verify);
  if (!error.empty()) {
    std::fprintf(stderr, "puffwick-server: %s\n%s", error.c_str(), kUsage);
    return 2;
  }
  if (help) {
    std::printf("%s", kUsage);
    return 0;
  }
  if (version) {
    std::printf("puffwick-server %s (rules %d, schema %d)\n", Core.ThisGame.version.c_str(), Core.ThisGame.rulesVersion,
                Store::LatestSchema());
    return 0;
  }
  if (verify) return VerifyWorkerMain();

  // A client gone mid-answer is not a reason to end; SIGINT and SIGTERM end in order.
  signal(SIGPIPE, SIG_IGN);
  sigset_t ending;
  sigemptyset(&ending);
  sigaddset(&ending, SIGINT);
  sigaddset(&ending, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &ending, nullptr);

  const unsigned cores = std::thread::hardware_concurrency();
  if (options.workers == 0) options.workers = cores > 0 ? static_cast<int>(cores) : 1;
  Store store(options.database, 16);
  try {
    store.Migrate();
  } catch (const DatabaseUnavailable& e) {
    // Started before its database: answers 503 until it can be reached.
    std::fprintf(stderr, "database unavailable: %s\n", e.what());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "puffwick-server: the database cannot be used: %s\n", e.what());
    return 1;
  }
  Verifier verifier(SelfPath(), options.workers, options.queue);
  App app(options, store, verifier);
  httplib::Server server;
  // Threads for the connections: enough for many readers while the workers verify.
  server.new_task_queue = [] { return new httplib::ThreadPool(64); };
  app.Install(server);
  if (!server.bind_to_port(options.host, options.port)) {
    std::fprintf(stderr, "puffwick-server: cannot listen on %s:%d: %s\n", options.host.c_str(), options.port,
                 std::strerror(errno));
    return 1;
  }
  std::thread stopper([&] {
    int sig = 0;
    sigwait(&ending, &sig);
    server.stop();
  });
  std::fprintf(stderr, "listening on %s:%d, database %s, %d workers\n", options.host.c_str(), options.port,
               options.database.rfind("sqlite:", 0) == 0 ? options.database.c_str() : "postgresql", options.workers);
  server.listen_after_bind();
  // Stopped by a signal: the stopper has returned. Stopped otherwise: wake it.
  pthread_kill(stopper.native_handle(), SIGTERM);
  stopper.join();
  return 0;
}
