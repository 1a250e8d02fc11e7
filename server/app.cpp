#include "app.h"

#include <chrono>
#include <cstdio>
#include <ctime>

#include "core/state.h"
#include "escape.h"
#include "sha256.h"

namespace {

int64_t NowMillis() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
      .count();
}

std::string Date(int64_t millis) {
  const std::time_t t = static_cast<std::time_t>(millis / 1000);
  std::tm tm{};
  gmtime_r(&t, &tm);
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y-%m-%d", &tm);
  return buf;
}

void Json(httplib::Response& res, int status, const std::string& body) {
  res.status = status;
  res.set_content(body + "\n", "application/json");
}

void Error(httplib::Response& res, int status, const std::string& message, const std::string& more = "") {
  Json(res, status, "{\"error\":" + JsonString(message) + more + "}");
}

// A whole number in [low, high] written plainly; `fallback` when absent.
bool ReadParam(const httplib::Request& req, const char* key, int low, int high, int fallback, int& out) {
  if (!req.has_param(key)) {
    out = fallback;
    return fallback >= low;
  }
  const std::string v = req.get_param_value(key);
  if (v.empty() || v.size() > 9) return false;
  int n = 0;
  for (char c : v) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + (c - '0');
  }
  out = n;
  return n >= low && n <= high;
}

thread_local std::chrono::steady_clock::time_point t_started;
thread_local bool t_timed = false;

const char* kDifficulties[] = {"Easy", "Medium", "Hard"};

// A file of at most 1 MiB, whole; false when it cannot be read or is larger.
bool ReadSmallFile(const std::string& path, std::string& out) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  char buf[65536];
  out.clear();
  for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0 && out.size() <= (1u << 20);) out.append(buf, n);
  const bool ok = !std::ferror(f) && out.size() <= (1u << 20);
  std::fclose(f);
  return ok;
}

}  // namespace

std::string ReplayHash(const std::string& replay) {
  // Only a header line counts: one before "frames".
  const size_t frames = replay.find("\nframes\n");
  const size_t at = replay.find("\nrecorded ");
  if (at == std::string::npos || (frames != std::string::npos && at > frames)) return Sha256Hex(replay);
  size_t end = replay.find('\n', at + 1);
  std::string rest = replay.substr(0, at) + replay.substr(end == std::string::npos ? replay.size() : end);
  return Sha256Hex(rest);
}

int RateLimit::Take(const std::string& address) {
  const int64_t now = NowMillis();
  std::lock_guard lock(mutex_);
  // Now and then, forget addresses quiet for a minute, so the table stays small.
  if (now - lastSweep_ > 60000) {
    lastSweep_ = now;
    for (auto it = seen_.begin(); it != seen_.end();) {
      it = it->second.empty() || now - it->second.back() >= 60000 ? seen_.erase(it) : std::next(it);
    }
  }
  auto& times = seen_[address];
  while (!times.empty() && now - times.front() >= 60000) times.pop_front();
  if (static_cast<int>(times.size()) >= perMinute_) {
    return static_cast<int>((60000 - (now - times.front())) / 1000) + 1;
  }
  times.push_back(now);
  return 0;
}

std::optional<std::string> ReadCache::Get(const std::string& key, Clock::time_point now) {
  std::lock_guard lock(mutex_);
  const auto it = entries_.find(key);
  if (it == entries_.end() || now - it->second.stored >= ttl_) return std::nullopt;
  return it->second.body;
}

uint64_t ReadCache::Generation() {
  std::lock_guard lock(mutex_);
  return generation_;
}

void ReadCache::Put(const std::string& key, std::string body, uint64_t generation, Clock::time_point now) {
  std::lock_guard lock(mutex_);
  if (generation != generation_) return;
  if (entries_.size() >= maxEntries_ && !entries_.count(key)) {
    for (auto it = entries_.begin(); it != entries_.end();) {
      it = now - it->second.stored >= ttl_ ? entries_.erase(it) : std::next(it);
    }
    if (entries_.size() >= maxEntries_) return;
  }
  entries_[key] = Entry{std::move(body), now};
}

void ReadCache::Invalidate() {
  std::lock_guard lock(mutex_);
  ++generation_;
  entries_.clear();
}

App::App(const ServerOptions& options, Store& store, Verifier& verifier)
    : options_(options), store_(store), verifier_(verifier), limit_(options.submissionsPerMinute) {}

std::string App::Address(const httplib::Request& req) const {
  if (options_.trustProxy && (req.remote_addr == "127.0.0.1" || req.remote_addr == "::1")) {
    const std::string forwarded = req.get_header_value("X-Forwarded-For");
    const size_t comma = forwarded.rfind(',');
    std::string last = forwarded.substr(comma == std::string::npos ? 0 : comma + 1);
    while (!last.empty() && last.front() == ' ') last.erase(0, 1);
    if (!last.empty() && last.size() <= 64) return last;
  }
  return req.remote_addr;
}

void App::Install(httplib::Server& server) {
  server.set_payload_max_length(kMaxBodyBytes);
  // A client that trickles its request in holds a thread only this long.
  server.set_read_timeout(10, 0);
  server.set_write_timeout(10, 0);
  server.set_keep_alive_max_count(100);
  // An answer goes out as headers then body: without this, Nagle's algorithm holds
  // the body until the client's delayed acknowledgement, some 40 ms a request.
  server.set_tcp_nodelay(true);
  server.set_pre_routing_handler([](const httplib::Request&, httplib::Response& res) {
    t_started = std::chrono::steady_clock::now();
    t_timed = true;
    res.set_header("X-Content-Type-Options", "nosniff");
    return httplib::Server::HandlerResponse::Unhandled;
  });
  server.set_logger([](const httplib::Request& req, const httplib::Response& res) {
    double ms = 0;
    if (t_timed) ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t_started).count();
    t_timed = false;
    // A line the server could not read as a request has neither method nor path.
    std::fprintf(stderr, "%s %s %d %.1fms\n", req.method.empty() ? "-" : LogSafe(req.method, 16).c_str(),
                 req.path.empty() ? "-" : LogSafe(req.path).c_str(), res.status, ms);
  });
  server.set_exception_handler([](const httplib::Request& req, httplib::Response& res, std::exception_ptr ep) {
    try {
      std::rethrow_exception(ep);
    } catch (const DatabaseUnavailable& e) {
      std::fprintf(stderr, "database unavailable: %s\n", LogSafe(e.what(), 400).c_str());
      res.set_header("Retry-After", "10");
      Error(res, 503, "the database cannot be reached; try again later");
    } catch (const std::exception& e) {
      std::fprintf(stderr, "fault in %s: %s\n", LogSafe(req.path).c_str(), LogSafe(e.what(), 400).c_str());
      Error(res, 500, "internal error");
    } catch (...) {
      Error(res, 500, "internal error");
    }
  });
  // The body read here rather than by the library, which would parse a form-encoded
  // one (curl's default type) under a much smaller limit.
  server.Post("/api/v1/replays",
              [this](const httplib::Request& q, httplib::Response& r, const httplib::ContentReader& read) {
                std::string body;
                // A length over the limit is refused unread.
                const std::string length = q.get_header_value("Content-Length");
                const bool digits = !length.empty() && length.find_first_not_of("0123456789") == std::string::npos;
                bool tooBig = digits && (length.size() > 12 || std::stoull(length) > kMaxBodyBytes);
                if (!tooBig) read([&](const char* data, size_t size) {
                  if (body.size() + size > kMaxBodyBytes) {
                    tooBig = true;
                    return false;
                  }
                  body.append(data, size);
                  return true;
                });
                Submit(q, r, body, tooBig);
              });
  server.Get("/api/v1/scores", [this](const httplib::Request& q, httplib::Response& r) { Scores(q, r); });
  server.Get(R"(/api/v1/replays/(\d{1,18}))", [this](const httplib::Request& q, httplib::Response& r) { Replay(q, r); });
  server.Get("/", [this](const httplib::Request& q, httplib::Response& r) { Page(q, r); });
  // Before the mount point, which would hand the page out as it is on disk.
  server.set_pre_routing_handler([this](const httplib::Request& q, httplib::Response& r) {
    if ((q.method != "GET" && q.method != "HEAD") || (q.path != "/play/" && q.path != "/play/index.html")) {
      return httplib::Server::HandlerResponse::Unhandled;
    }
    PlayPage(r);
    return httplib::Server::HandlerResponse::Handled;
  });
  if (!server.set_mount_point("/play", options_.web)) {
    std::fprintf(stderr, "no web build in %s: /play/ answers 404\n", LogSafe(options_.web).c_str());
  }
  server.set_file_extension_and_mimetype_mapping("wasm", "application/wasm");
  server.set_file_extension_and_mimetype_mapping("data", "application/octet-stream");
}

void App::Submit(const httplib::Request& req, httplib::Response& res, const std::string& body, bool tooBig) {
  if (const int wait = limit_.Take(Address(req)); wait > 0) {
    res.set_header("Retry-After", std::to_string(wait));
    Error(res, 429, "too many submissions from this address; try again later");
    return;
  }
  if (tooBig || body.size() > kMaxBodyBytes) {
    // What is left of the body is not read: the connection ends here.
    res.set_header("Connection", "close");
    Error(res, 413, "a replay is at most " + std::to_string(kMaxBodyBytes) + " bytes");
    return;
  }
  if (body.empty()) {
    Error(res, 400, "the body should be a replay file", ",\"line\":1");
    return;
  }
  const std::string hash = ReplayHash(body);
  // The same replay again: its record as it stands, without playing it again.
  if (auto known = store_.Find(hash)) {
    Json(res, 200, "{\"id\":" + std::to_string(known->id) + ",\"rank\":" + std::to_string(known->rank) +
                       ",\"of\":" + std::to_string(known->of) + "}");
    return;
  }
  const Verification v = verifier_.Verify(body);
  if (v.outcome == Verification::kBusy) {
    res.set_header("Retry-After", "5");
    Error(res, 503, "every verifier is busy; try again shortly");
    return;
  }
  if (v.outcome == Verification::kOverBudget) {
    Error(res, 422, "the replay took more than the " + std::to_string(kVerifyCpuSeconds) + " s a verification may use");
    return;
  }
  if (v.outcome == Verification::kFailed) {
    std::fprintf(stderr, "verification failed: %s\n", LogSafe(v.why).c_str());
    Error(res, 500, "the replay could not be verified");
    return;
  }
  const ReplayVerdict& d = v.verdict;
  switch (d.kind) {
    case ReplayVerdict::kUnreadable:
      Error(res, 400, d.error, ",\"line\":" + std::to_string(d.errorLine));
      return;
    case ReplayVerdict::kOtherRules:
      Error(res, 409, "this replay was played under rules " + std::to_string(d.rules) + "; this server verifies rules " +
                          std::to_string(Core.ThisGame.rulesVersion) + ": " +
                          (d.rules > Core.ThisGame.rulesVersion ? "the server" : "the game") + " must be updated");
      return;
    case ReplayVerdict::kTooLong:
      Error(res, 422, "a replay may hold at most " + std::to_string(kMaxVerifiedFrames) + " frames");
      return;
    case ReplayVerdict::kDiverged:
      Error(res, 422, "the replay does not play to the score it claims", ",\"frame\":" + std::to_string(d.divergedAt));
      return;
    case ReplayVerdict::kPlayed:
      break;
  }
  ScoreRecord record;
  record.hash = hash;
  record.name = NameToUtf8(d.name, kMaxNameChars);
  record.difficulty = d.difficulty;
  record.score = d.score;
  record.frames = d.frames;
  record.recorded = NameToUtf8(d.recorded, 40);
  record.accepted = NowMillis();
  record.version = Core.ThisGame.version;
  record.rules = d.rules;
  bool created = false;
  const Standing s = store_.Add(record, body, created);
  if (created) cache_.Invalidate();
  Json(res, created ? 201 : 200,
       "{\"id\":" + std::to_string(s.id) + ",\"rank\":" + std::to_string(s.rank) + ",\"of\":" + std::to_string(s.of) +
           ",\"difficulty\":" + std::to_string(d.difficulty) + ",\"score\":" + std::to_string(d.score) + "}");
}

void App::Scores(const httplib::Request& req, httplib::Response& res) {
  int difficulty = 0, limit = 0, offset = 0;
  if (!ReadParam(req, "difficulty", 0, 2, -1, difficulty) || !ReadParam(req, "limit", 1, kMaxScoresLimit, 25, limit) ||
      !ReadParam(req, "offset", 0, kMaxScoresOffset, 0, offset)) {
    Error(res, 400, "difficulty=0|1|2 (required), limit=1.." + std::to_string(kMaxScoresLimit) + ", offset=0..");
    return;
  }
  const bool cached = offset + limit <= kReadCacheRows;
  const std::string key = std::to_string(difficulty) + "/" + std::to_string(limit) + "/" + std::to_string(offset);
  if (cached) {
    if (auto body = cache_.Get(key)) {
      Json(res, 200, *body);
      return;
    }
  }
  const uint64_t generation = cache_.Generation();
  const auto rows = store_.Best(difficulty, limit, offset);
  std::string body = "{\"difficulty\":" + std::to_string(difficulty) + ",\"offset\":" + std::to_string(offset) +
                     ",\"of\":" + std::to_string(store_.Count(difficulty)) + ",\"scores\":[";
  int rank = offset;
  for (const ScoreRecord& r : rows) {
    if (rank > offset) body += ",";
    body += "{\"rank\":" + std::to_string(++rank) + ",\"id\":" + std::to_string(r.id) + ",\"name\":" + JsonString(r.name) +
            ",\"score\":" + std::to_string(r.score) + ",\"frames\":" + std::to_string(r.frames) +
            ",\"recorded\":" + JsonString(r.recorded) + ",\"date\":" + JsonString(Date(r.accepted)) + "}";
  }
  body += "]}";
  if (cached) cache_.Put(key, body, generation);
  Json(res, 200, body);
}

void App::Replay(const httplib::Request& req, httplib::Response& res) {
  const auto body = store_.Replay(std::stoll(req.matches[1].str()));
  if (!body) {
    Error(res, 404, "no such replay");
    return;
  }
  // A download, never a page of this site: the file is a stranger's.
  res.set_header("Content-Disposition", "attachment; filename=\"replay-" + req.matches[1].str() + ".txt\"");
  res.set_content(*body, "text/plain; charset=ISO-8859-1");
}

void App::PlayPage(httplib::Response& res) {
  // Read each time: a new web build may be put in place while the server runs.
  std::string html;
  if (!ReadSmallFile(options_.web + "/index.html", html)) {
    Error(res, 404, "no web build");
    return;
  }
  // The page posts its games to this server (its own origin) only when it finds
  // this mark; served by anything else it sends nothing.
  const size_t head = html.find("<head>");
  if (head != std::string::npos) html.insert(head + 6, "\n" + std::string(kLeaderboardMark));
  res.set_header("Cache-Control", "no-cache");
  res.set_content(html, "text/html; charset=utf-8");
}

void App::Page(const httplib::Request&, httplib::Response& res) {
  // No script of any kind on this page, whatever a name holds.
  res.set_header("Content-Security-Policy", "default-src 'none'; style-src 'unsafe-inline'");
  if (auto html = cache_.Get("page")) {
    res.set_content(*html, "text/html; charset=utf-8");
    return;
  }
  const uint64_t generation = cache_.Generation();
  std::string html =
      "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
      "<title>" + HtmlEscape(Core.ThisGame.titleFirst + " " + Core.ThisGame.titleSecond) + " world leaderboard</title>"
      "<style>body{font-family:sans-serif;background:#10202c;color:#eef;margin:2em}"
      "h1{font-weight:normal}section{display:inline-block;vertical-align:top;margin:0 2em 2em 0}"
      "table{border-collapse:collapse}td,th{padding:.2em .6em;text-align:left}td.n{text-align:right}"
      "tr:nth-child(even){background:#1a3040}a{color:#fc6}</style></head><body>\n<h1>" +
      HtmlEscape(Core.ThisGame.titleFirst + " " + Core.ThisGame.titleSecond) +
      " world leaderboard</h1>\n<p>Every score here was verified by playing its replay to the end.</p>\n";
  for (int d = 0; d < 3; ++d) {
    html += "<section><h2>" + std::string(kDifficulties[d]) + "</h2>\n<table id=\"" + kDifficulties[d] +
            "\"><tr><th>Rank</th><th>Name</th><th>Score</th><th>Date</th><th></th></tr>\n";
    int rank = 0;
    for (const ScoreRecord& r : store_.Best(d, kPageRows, 0)) {
      html += "<tr><td class=\"n\">" + std::to_string(++rank) + "</td><td>" + HtmlEscape(r.name) + "</td><td class=\"n\">" +
              std::to_string(r.score) + "</td><td>" + Date(r.accepted) + "</td><td><a href=\"/play/?replay=" +
              std::to_string(r.id) + "\">Watch</a></td></tr>\n";
    }
    html += "</table></section>\n";
  }
  html += "</body></html>\n";
  cache_.Put("page", html, generation);
  res.set_content(html, "text/html; charset=utf-8");
}
