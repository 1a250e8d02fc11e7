// The leaderboard's HTTP face: the API, the page and the web build, on cpp-httplib.
#pragma once

#include <httplib.h>

#include <chrono>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

#include "store.h"
#include "verifier.h"

// The largest request body read: a replay file at its limit.
constexpr size_t kMaxBodyBytes = 8u << 20;
// The longest name shown; a longer one is cut.
constexpr size_t kMaxNameChars = 40;
// The most rows one scores request returns, and the deepest offset.
constexpr int kMaxScoresLimit = 100;
constexpr int kMaxScoresOffset = 10000000;
// Rows per table on the page.
constexpr int kPageRows = 100;
// How long a board's first rows are answered from memory. A score stored through
// this process clears them at once; one stored through another process on the same
// database shows here within this time, shorter than a player takes to look.
constexpr std::chrono::milliseconds kReadCacheTime{1000};
// Only answers within a board's first rows are kept (the page shows as many), and
// at most this many of them, so that odd limits and offsets cannot fill memory.
constexpr int kReadCacheRows = kPageRows;
constexpr size_t kReadCacheEntries = 512;
// What the web build's page (/play/) finds in its head when this server served it:
// then it posts its games here (tools/web/pre.js looks for it).
constexpr const char* kLeaderboardMark = "<meta name=\"puffwick-leaderboard\" content=\"same-origin\">";

struct ServerOptions {
  std::string host = "127.0.0.1";
  int port = 8080;
  std::string database = "sqlite:leaderboard.db";
  std::string web = "build/web";
  int workers = 0;           // 0: one per core
  int queue = 32;            // verifications waiting for a worker
  int submissionsPerMinute = 30;  // per address
  bool trustProxy = false;   // the address is X-Forwarded-For's last, from a proxy on this machine
};

// Submissions per address in the last minute. Per process: several servers behind
// one proxy each count their own.
class RateLimit {
 public:
  explicit RateLimit(int perMinute) : perMinute_(perMinute) {}
  // 0 when allowed (and counted); otherwise the seconds until the next is.
  int Take(const std::string& address);

 private:
  int perMinute_;
  std::mutex mutex_;
  std::map<std::string, std::deque<int64_t>> seen_;  // milliseconds, oldest first
  int64_t lastSweep_ = 0;
};

// Rendered answers for the boards' first rows, kept for a short time: nearly every
// read is of a first page, and they need not each query the database.
class ReadCache {
 public:
  using Clock = std::chrono::steady_clock;
  explicit ReadCache(Clock::duration ttl, size_t maxEntries) : ttl_(ttl), maxEntries_(maxEntries) {}
  std::optional<std::string> Get(const std::string& key, Clock::time_point now = Clock::now());
  // Taken before the database is read; an answer read while a score was stored is
  // then not kept, since it may miss that score.
  uint64_t Generation();
  void Put(const std::string& key, std::string body, uint64_t generation, Clock::time_point now = Clock::now());
  // A score was stored: every answer kept is out of date.
  void Invalidate();

 private:
  struct Entry {
    std::string body;
    Clock::time_point stored;
  };
  Clock::duration ttl_;
  size_t maxEntries_;
  std::mutex mutex_;
  std::unordered_map<std::string, Entry> entries_;
  uint64_t generation_ = 0;
};

class App {
 public:
  App(const ServerOptions& options, Store& store, Verifier& verifier);
  // Routes, limits and the log on `server`.
  void Install(httplib::Server& server);

 private:
  void Submit(const httplib::Request& req, httplib::Response& res, const std::string& body, bool tooBig);
  void Scores(const httplib::Request& req, httplib::Response& res);
  void Replay(const httplib::Request& req, httplib::Response& res);
  void Page(const httplib::Request& req, httplib::Response& res);
  // The web build's own page under /play/, marked as served by this server.
  void PlayPage(httplib::Response& res);
  std::string Address(const httplib::Request& req) const;

  ServerOptions options_;
  Store& store_;
  Verifier& verifier_;
  RateLimit limit_;
  ReadCache cache_{kReadCacheTime, kReadCacheEntries};
};

// The hash a replay is known by: SHA-256 of its text less the "recorded" line
// (the player's clock, which changes nothing of the game).
std::string ReplayHash(const std::string& replay);
