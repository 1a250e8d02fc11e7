// Verification of submitted replays, each in a process of its own: the engine's
// state is one per process, a crafted replay that finds a fault in the game can
// take down only its own process, and the kernel holds it to its CPU and memory
// budget. A fixed number run at once; a bounded number wait; more are refused.
#pragma once

#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>

#include "shell/replay.h"

// The longest game verified: an hour of play at 60 frames a second. A longer
// replay is refused before it is played.
constexpr int kMaxVerifiedFrames = 60 * 60 * 60;
// The CPU a verification may use: an hour-long game takes about 7 s on this
// project's reference machine (0.3 s for five minutes), and the kernel ends a
// worker that goes beyond.
constexpr int kVerifyCpuSeconds = 15;
// The time a verification may take whatever the CPU does (a stalled worker).
constexpr int kVerifyWallSeconds = 60;
// The memory a worker may map: a tape at most 8 MiB of text and the game's state.
constexpr long long kVerifyMemoryBytes = 1ll << 30;

struct Verification {
  enum Outcome { kDone, kBusy, kOverBudget, kFailed } outcome = kFailed;
  ReplayVerdict verdict;  // kDone
  std::string why;        // kFailed: for the log
};

class Verifier {
 public:
  // `program`: this server's own file, run with --verify.
  Verifier(std::string program, int workers, int queue);
  // Plays `replay` in a worker process; kBusy at once when `queue` are already waiting.
  Verification Verify(const std::string& replay);

 private:
  Verification RunWorker(const std::string& replay);
  std::string program_;
  int workers_, queue_;
  std::mutex mutex_;
  std::condition_variable free_;
  int running_ = 0, waiting_ = 0;
};

// The worker's side (puffwick-server --verify): reads a replay on standard input,
// prints its verdict on standard output. Returns the exit code.
int VerifyWorkerMain();
