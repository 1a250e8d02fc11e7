#include "verifier.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "loopery/loopery.h"
#include "replay/replay_text.h"

extern char** environ;

namespace {

// The verdict as the worker prints it: one "key value" line each, text values last
// on their line and %-encoded (replay_text's EncodeName), so no value can break a line.
std::string FormatVerdict(const ReplayVerdict& v) {
  std::ostringstream out;
  out << "kind " << v.kind << "\nscore " << v.score << "\nframes " << v.frames << "\nclaimed " << v.claimedScore
      << "\ndiverged " << v.divergedAt << "\nline " << v.errorLine << "\nrules " << v.rules << "\ndifficulty "
      << v.difficulty << "\nname " << plat::EncodeName(v.name) << "\nrecorded " << plat::EncodeName(v.recorded)
      << "\nerror " << plat::EncodeName(v.error) << "\nend\n";
  return out.str();
}

bool ParseVerdict(const std::string& text, ReplayVerdict& v) {
  std::istringstream in(text);
  std::string key, value;
  bool ended = false;
  while (in >> key) {
    if (key == "end") {
      ended = true;
      break;
    }
    in.get();
    std::getline(in, value);
    try {
      if (key == "kind") {
        const int k = std::stoi(value);
        if (k < ReplayVerdict::kPlayed || k > ReplayVerdict::kDiverged) return false;
        v.kind = static_cast<ReplayVerdict::Kind>(k);
      } else if (key == "score") {
        v.score = std::stoi(value);
      } else if (key == "frames") {
        v.frames = std::stoi(value);
      } else if (key == "claimed") {
        v.claimedScore = std::stoi(value);
      } else if (key == "diverged") {
        v.divergedAt = std::stoi(value);
      } else if (key == "line") {
        v.errorLine = std::stoi(value);
      } else if (key == "rules") {
        v.rules = std::stoi(value);
      } else if (key == "difficulty") {
        v.difficulty = std::stoi(value);
      } else if (key == "name") {
        if (!plat::DecodeName(value, v.name)) return false;
      } else if (key == "recorded") {
        if (!plat::DecodeName(value, v.recorded)) return false;
      } else if (key == "error") {
        if (!plat::DecodeName(value, v.error)) return false;
      }
    } catch (...) {
      return false;
    }
  }
  return ended;
}

bool WriteAll(int fd, const char* p, size_t n) {
  while (n > 0) {
    const ssize_t w = write(fd, p, n);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return false;
    p += w;
    n -= static_cast<size_t>(w);
  }
  return true;
}

}  // namespace

Verifier::Verifier(std::string program, int workers, int queue)
    : program_(std::move(program)), workers_(workers < 1 ? 1 : workers), queue_(queue < 0 ? 0 : queue) {}

Verification Verifier::Verify(const std::string& replay) {
  {
    std::unique_lock lock(mutex_);
    if (running_ >= workers_) {
      if (waiting_ >= queue_) return Verification{Verification::kBusy, {}, {}};
      ++waiting_;
      free_.wait(lock, [&] { return running_ < workers_; });
      --waiting_;
    }
    ++running_;
  }
  Verification v = RunWorker(replay);
  {
    std::lock_guard lock(mutex_);
    --running_;
  }
  free_.notify_one();
  return v;
}

Verification Verifier::RunWorker(const std::string& replay) {
  Verification result;
  int in[2], out[2];
  // Close-on-exec, so that workers started at the same time by other threads do
  // not inherit each other's pipes (and keep them open past their worker's end).
  if (pipe2(in, O_CLOEXEC) != 0) {
    result.why = std::string("pipe: ") + std::strerror(errno);
    return result;
  }
  if (pipe2(out, O_CLOEXEC) != 0) {
    result.why = std::string("pipe: ") + std::strerror(errno);
    close(in[0]), close(in[1]);
    return result;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  char arg0[] = "puffwick-server", arg1[] = "--verify";
  char* argv[] = {arg0, arg1, nullptr};
  pid_t pid = 0;
  const int rc = posix_spawn(&pid, program_.c_str(), &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  close(in[0]);
  close(out[1]);
  if (rc != 0) {
    close(in[1]), close(out[0]);
    result.why = "cannot start " + program_ + ": " + std::strerror(rc);
    return result;
  }
  // The worker reads its whole input before it writes, so writing all first is safe.
  WriteAll(in[1], replay.data(), replay.size());
  close(in[1]);
  std::string answer;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(kVerifyWallSeconds);
  bool late = false;
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      late = true;
      break;
    }
    pollfd p{out[0], POLLIN, 0};
    const int n = poll(&p, 1, static_cast<int>(left.count()));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) continue;
    char buf[4096];
    const ssize_t got = read(out[0], buf, sizeof buf);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    if (answer.size() < 65536) answer.append(buf, static_cast<size_t>(got));
  }
  close(out[0]);
  if (late) kill(pid, SIGKILL);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (late || (WIFSIGNALED(status) && (WTERMSIG(status) == SIGXCPU || WTERMSIG(status) == SIGKILL))) {
    result.outcome = Verification::kOverBudget;
    return result;
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || !ParseVerdict(answer, result.verdict)) {
    result.why = WIFSIGNALED(status) ? "worker ended by signal " + std::to_string(WTERMSIG(status))
                                     : "worker failed (exit " + std::to_string(WEXITSTATUS(status)) + ")";
    return result;
  }
  result.outcome = Verification::kDone;
  return result;
}

int VerifyWorkerMain() {
  // The budget, enforced by the kernel: SIGXCPU at the soft CPU limit, and no more
  // memory than a replay needs.
  rlimit cpu{kVerifyCpuSeconds, kVerifyCpuSeconds + 1};
  setrlimit(RLIMIT_CPU, &cpu);
#if !defined(__SANITIZE_ADDRESS__)
  // An address-sanitized build maps terabytes of shadow memory at start: the cap
  // would stop every worker, so such a build keeps only the CPU and wall budgets.
  rlimit mem{static_cast<rlim_t>(kVerifyMemoryBytes), static_cast<rlim_t>(kVerifyMemoryBytes)};
  setrlimit(RLIMIT_AS, &mem);
#endif
  // Nothing is read or written but the pipes; the root keeps a stray relative path harmless.
  if (chdir("/") != 0) return 1;
  std::string text;
  char buf[65536];
  for (;;) {
    const ssize_t got = read(0, buf, sizeof buf);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    text.append(buf, static_cast<size_t>(got));
    if (text.size() > static_cast<size_t>(plat::kMaxReplayBytes)) break;
  }
  ReplayVerdict v;
  if (text.size() > static_cast<size_t>(plat::kMaxReplayBytes)) {
    v.error = "more than a replay may hold";
  } else {
    UseGame(LooperyTable());
    v = VerifyReplay(text, kMaxVerifiedFrames);
  }
  const std::string out = FormatVerdict(v);
  return WriteAll(1, out.data(), out.size()) ? 0 : 1;
}
