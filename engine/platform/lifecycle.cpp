// Backend lifecycle, the ends the machine imposes (signals, a lost display) and
// the notice sink.
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "platform/files.h"
#include "platform/platform_internal.h"
#include "platform/render.h"
#include "platform/os.h"
#include "platform/record/replay_internal.h"

namespace plat {

namespace {

// The machine's lifecycle: the backend in use, where notices go, and whether the
// process is on its way out.
struct Lifecycle {
  std::unique_ptr<Backend> backend;
  std::function<void(const std::string&)> noticeSink;
  bool inNotice = false;  // a notice is being written (one from the sink is dropped)
  bool ending = false;  // an end without the farewell is under way
};

Lifecycle& Life() {
  static Lifecycle state;
  return state;
}

// Once the services run, the handler only notes the signal; the program acts on it
// at its next wait or input query, where saving files is safe. Before, there is
// nothing to save and the process ends in the handler.
volatile std::sig_atomic_t pendingSignal = 0;
volatile std::sig_atomic_t servicesStarted = 0;

void OnTerminationSignal(int signal) {
  if (!servicesStarted) sys::EndNow(0);
  pendingSignal = signal;
}

// Runs the upper floors' save once per process end.
void SaveForEnd() {
  Lifecycle& s = Life();
  if (s.ending) return;
  s.ending = true;
  if (EndHooks.SaveForEnd) EndHooks.SaveForEnd();
}

}  // namespace

EndServices EndHooks;

void CatchTerminationSignals() { sys::CatchTerminationSignals(OnTerminationSignal); }

void UseBackend(std::unique_ptr<Backend> backend) {
  Lifecycle& s = Life();
  if (s.backend) {
    s.backend->Shutdown();
    s.backend.reset();
  }
  s.backend = std::move(backend);
  // A new backend is a fresh machine: nothing open, no input pending, and the
  // random sequence back at its start so that runs are repeatable.
  detail::ResetDisplayState();
  detail::ResetRandom();
  detail::ResetTape();
  Input() = InputState{};
  s.ending = false;
  pendingSignal = 0;
}

Backend& CurrentBackend() {
  // No stand-in is chosen behind the caller's back: the program installs the real
  // backend and every test installs the one it wants. Reaching the machine before
  // that is a programming error, said plainly rather than run on a fake machine.
  if (!Life().backend) {
    std::fputs("platform: no backend installed; call plat::UseBackend (or plat::UseHeadless in a test) first\n",
               stderr);
    std::abort();
  }
  return *Life().backend;
}

bool HasBackend() { return Life().backend != nullptr; }

bool StartServices() {
  servicesStarted = 1;
  CatchTerminationSignals();
  bool ok = CurrentBackend().Start();
  if (!ok) Notice("Platform services could not be started");
  return ok;
}

[[noreturn]] void EndProcess(int code) {
  detail::FlushWriteStreams();
  CurrentBackend().Exit(code);
  std::abort();  // a backend's Exit never comes back
}

void detail::CheckTermination() {
  if (pendingSignal == 0 || Life().ending) return;
  pendingSignal = 0;
  SaveForEnd();
  EndProcess(0);
}

[[noreturn]] void EndForLostDisplay() {
  Notice("Display connection lost");
  SaveForEnd();
  detail::FlushWriteStreams();
  sys::EndNow(1);
}

void ResetProgramState() {
  Lifecycle& s = Life();
  s.noticeSink = nullptr;
  s.inNotice = false;
  s.ending = false;
  pendingSignal = 0;
  EndHooks = EndServices{};
  BlockFileWrites(false);
  UnmountFileRoots();
  AutoMidHandle(false);
}

void SetNoticeSink(std::function<void(const std::string&)> sink) { Life().noticeSink = std::move(sink); }

void Notice(const std::string& text) {
  Lifecycle& c = Life();
  // The sink usually writes the log through this layer; a failure there must not
  // report itself again without end.
  if (!c.noticeSink || c.inNotice) return;
  c.inNotice = true;
  c.noticeSink(text);
  c.inNotice = false;
}

}  // namespace plat
