// The platform's life: the backend operations go to, starting and ending the
// process, the machine's notices and its memory.
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace plat {

class Backend;

// ---------------------------------------------------------------- lifecycle
// Installs the backend all operations go to (replacing and shutting down any
// previous one). Tests install a HeadlessBackend; main() installs the real one.
void UseBackend(std::unique_ptr<Backend> backend);
Backend& CurrentBackend();
bool HasBackend();
// Starts the services (files, sound, images, fonts, input, timers, joysticks).
bool StartServices();
// Ends the process. On the real backend this exits; the headless backend throws
// ProcessEnded so that a test can catch it. Never returns.
[[noreturn]] void EndProcess(int code);

struct ProcessEnded {
  int code;
};

// When the machine rather than the player ends the program: a termination signal
// (SIGTERM, SIGINT, SIGHUP) ends it with status 0, and a lost
// display connection logs "Display connection lost" and ends it with status 1
// without touching the display again. Neither shows anything. Start-up fills the
// table; an empty entry is skipped.
struct EndServices {
  // Saves what the player must not lose and writes the closing log lines; must
  // not draw or read input. Runs at most once per process end.
  void (*SaveForEnd)() = nullptr;
};
extern EndServices EndHooks;
// Catches the termination signals (main() calls it first of all; StartServices
// again) and lets through any a launcher left blocked. Until StartServices has run
// nothing is loaded and nothing needs saving: a signal ends the process at once,
// with status 0 and no output. From then on it is acted on wherever the program
// waits or reads input, where saving files is safe.
void CatchTerminationSignals();

// Problems the platform meets (no sound device, an unreadable file) are reported
// through one sink, which the program points at its debug log. Without a sink
// notices are dropped.
void SetNoticeSink(std::function<void(const std::string&)> sink);
void Notice(const std::string& text);

// What the platform keeps for the program beside its backend, back as a fresh
// process has it: no notice sink, no end hooks, no end under way, no signal
// pending, file writes allowed, the file roots unmounted, new images handled at
// their corner. The backend stays.
void ResetProgramState();

// ---------------------------------------------------------------- memory
// One clean-up step (returns bytes released) and the bytes the program has in use.
long long CollectMemory();
long long MemoryInUse();

}  // namespace plat
