// The leaderboard server's figures: verified submissions per second (and per
// core) with a long replay, leaderboard reads per second with their p50 and p99
// latency for 64 concurrent clients, and the server's memory with 10 000 stored
// scores. It starts the server itself on the database given.
//   leaderboard_bench SERVER REPLAY DATABASE PORT [SUBMISSIONS]
// DATABASE: sqlite:PATH (a fresh file) or the URL of an empty PostgreSQL database.
#include <httplib.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "store.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// The CPU the server's finished workers used, in seconds (/proc/PID/stat's cutime + cstime).
double ChildCpu(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(in)), {});
  const size_t paren = text.rfind(')');
  std::vector<std::string> f;
  std::string word;
  for (size_t i = paren + 2; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == ' ') {
      f.push_back(word);
      word.clear();
    } else {
      word += text[i];
    }
  }
  // Fields from the state (3rd): cutime is the 16th, cstime the 17th.
  return (std::stod(f[13]) + std::stod(f[14])) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

long RssKb(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return 0;
}

pid_t StartServer(const std::string& program, const std::string& database, int port) {
  const pid_t pid = fork();
  if (pid == 0) {
    // Its log (a line a request) is not what is measured.
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 2);
    const std::string listen = "127.0.0.1:" + std::to_string(port);
    execl(program.c_str(), program.c_str(), "--listen", listen.c_str(), "--database", database.c_str(),
          "--submissions-per-minute", "1000000", "--queue", "1000", static_cast<char*>(nullptr));
    _exit(127);
  }
  httplib::Client probe("127.0.0.1", port);
  for (int i = 0; i < 200; ++i) {
    if (probe.Get("/api/v1/scores?difficulty=0")) return pid;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  std::fprintf(stderr, "the server did not start\n");
  kill(pid, SIGKILL);
  exit(1);
}

void StopServer(pid_t pid) {
  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
}

// 10 000 scores straight into the database, in one transaction.
void Seed(const std::string& database, int count) {
  Store store(database, 1);
  store.Migrate();
  auto db = database.rfind("sqlite:", 0) == 0 ? OpenSqlite(database.substr(7)) : OpenPostgres(database);
  db->Script("BEGIN");
  for (int i = 0; i < count; ++i) {
    auto id = db->Query("INSERT INTO scores (hash, name, difficulty, score, frames, recorded, accepted, version, rules)"
                        " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?) RETURNING id",
                        {"seed" + std::to_string(i), "Seed " + std::to_string(i), int64_t{i % 3}, int64_t{(i * 7919) % 20000},
                         int64_t{18000}, std::string("10 Dec 2026 12:00:00"), int64_t{1700000000000} + i, std::string("bench"),
                         int64_t{1}});
    db->Query("INSERT INTO replays (score_id, body) VALUES (?, ?)", {std::stoll(*id.at(0).at(0)), std::string("x")});
  }
  db->Script("COMMIT");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: leaderboard_bench SERVER REPLAY DATABASE PORT [SUBMISSIONS]\n");
    return 2;
  }
  const std::string program = argv[1], database = argv[3];
  const int port = std::stoi(argv[4]);
  const int submissions = argc > 5 ? std::stoi(argv[5]) : 20;
  std::ifstream in(argv[2], std::ios::binary);
  const std::string replay((std::istreambuf_iterator<char>(in)), {});
  const size_t frameAt = replay.rfind(" frames ");
  const int frames = frameAt == std::string::npos ? 0 : std::stoi(replay.substr(frameAt + 8));
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  std::printf("database: %s\n", database.rfind("sqlite:", 0) == 0 ? "SQLite" : "PostgreSQL");

  // Verified submissions: distinct replays of one game (each its own "player" line),
  // from as many clients as there are cores.
  {
    const pid_t pid = StartServer(program, database, port);
    std::atomic<int> next{0}, accepted{0};
    const auto start = Clock::now();
    std::vector<std::thread> clients;
    for (unsigned c = 0; c < cores; ++c) {
      clients.emplace_back([&] {
        httplib::Client cli("127.0.0.1", port);
        cli.set_read_timeout(120, 0);
        for (int i; (i = next++) < submissions;) {
          // The name entry starts from the header's "player" line: one of its own each.
          std::string body = replay;
          const size_t headerEnd = body.find("\nframes\n");
          const size_t player = body.find("\nplayer ");
          if (player < headerEnd) body.erase(player, body.find('\n', player + 1) - player);
          body.insert(body.find("\nframes\n"), "\nplayer Bench" + std::to_string(i));
          auto res = cli.Post("/api/v1/replays", body, "application/octet-stream");
          if (res && res->status == 201) ++accepted;
        }
      });
    }
    for (auto& t : clients) t.join();
    const double wall = Seconds(Clock::now() - start);
    const double cpu = ChildCpu(pid);
    StopServer(pid);
    std::printf("verified submissions: %d of %d accepted, a %d-frame replay (%.1f min of play)\n", accepted.load(),
                submissions, frames, frames / 3600.0);
    std::printf("  %.2f per second on %u cores (%.2f per core), %.3f s CPU each (%.3f s per 5 minutes of play)\n",
                accepted / wall, cores, accepted / wall / cores, cpu / std::max(1, accepted.load()),
                frames > 0 ? cpu / std::max(1, accepted.load()) * 18000.0 / frames : 0.0);
  }

  // Reads with 10 000 scores stored: 64 clients, each on its own connection; the
  // first page of a board (what the page and most players read), then pages down
  // to the 3 000th score (each skips what comes before it). First as fast as the
  // clients can ask (the most the server gives), then at a steady 2 000 a second
  // between them, each request timed from when it was due, so that a stall shows
  // in the latency rather than as fewer requests.
  Seed(database, 10000);
  {
    const pid_t pid = StartServer(program, database, port);
    struct Run {
      int deepest;
      double rate;  // requests a second in all; 0: as fast as they can
    };
    for (const Run run : {Run{0, 0}, Run{3000, 0}, Run{0, 2000}, Run{3000, 2000}}) {
      constexpr int kClients = 64;
      const auto start = Clock::now();
      const auto until = start + std::chrono::seconds(10);
      const auto interval = run.rate > 0 ? std::chrono::duration_cast<Clock::duration>(
                                               std::chrono::duration<double>(kClients / run.rate))
                                         : Clock::duration::zero();
      std::vector<std::vector<double>> latencies(kClients);
      std::atomic<int> errors{0};
      std::vector<std::thread> clients;
      for (int c = 0; c < kClients; ++c) {
        clients.emplace_back([&, c] {
          httplib::Client cli("127.0.0.1", port);
          cli.set_keep_alive(true);
          // Paced clients start spread over one interval, not all at once.
          auto due = start + interval * c / kClients;
          for (int i = 0; Clock::now() < until; ++i) {
            if (run.rate > 0) {
              std::this_thread::sleep_until(due);
            } else {
              due = Clock::now();
            }
            const int offset = run.deepest > 0 ? (c * 25 + i * 100) % run.deepest : 0;
            auto res = cli.Get("/api/v1/scores?difficulty=" + std::to_string(i % 3) + "&limit=25&offset=" +
                               std::to_string(offset));
            if (!res || res->status != 200) ++errors;
            latencies[static_cast<size_t>(c)].push_back(Seconds(Clock::now() - due) * 1000);
            due += interval;
          }
        });
      }
      for (auto& t : clients) t.join();
      const double wall = Seconds(Clock::now() - start);
      std::vector<double> all;
      for (auto& l : latencies) all.insert(all.end(), l.begin(), l.end());
      std::sort(all.begin(), all.end());
      auto pct = [&](double p) { return all.empty() ? 0.0 : all[static_cast<size_t>(p * (all.size() - 1))]; };
      std::printf("reads (25 rows, %s, 64 clients, %s, 10 000 scores): %.0f per second, p50 %.2f ms, p99 %.2f ms, %d errors\n",
                  run.deepest > 0 ? "offsets to 3 000" : "first page",
                  run.rate > 0 ? ("offered " + std::to_string(static_cast<int>(run.rate)) + " a second").c_str()
                               : "as fast as they can",
                  all.size() / wall, pct(0.5), pct(0.99), errors.load());
    }
    std::printf("server memory with 10 000 scores, after the reads: %ld KiB resident\n", RssKb(pid));
    StopServer(pid);
  }
  return 0;
}
