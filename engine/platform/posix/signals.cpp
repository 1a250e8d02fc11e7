// Termination signals and the immediate end of the process.
#include <signal.h>
#include <unistd.h>

#include <csignal>

#include "platform/os.h"

namespace plat::sys {

void CatchTerminationSignals(void (*handler)(int signal)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  sigset_t ours;
  sigemptyset(&ours);
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
    // A hang-up or interrupt the program was started to ignore (nohup, a
    // background job) stays ignored.
    struct sigaction inherited {};
    if (signal != SIGTERM && sigaction(signal, nullptr, &inherited) == 0 && inherited.sa_handler == SIG_IGN) continue;
    sigaction(signal, &action, nullptr);
    sigaddset(&ours, signal);
  }
  // Blocked, they could never end the program in order; one that arrived while
  // blocked comes now, to the handler.
  sigprocmask(SIG_UNBLOCK, &ours, nullptr);
  // A connection whose other end has gone (the display server) reports it through
  // the failed write, not by a signal that would end the program unsaved.
  std::signal(SIGPIPE, SIG_IGN);
}

void EndNow(int code) { _exit(code); }

}  // namespace plat::sys
