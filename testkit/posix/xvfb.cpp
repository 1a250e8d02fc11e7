#include "testkit/xvfb.h"

#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace realtest {

namespace {

pid_t serverPid = 0;

void StopServer() {
  if (serverPid > 0) {
    kill(serverPid, SIGTERM);
    waitpid(serverPid, nullptr, 0);
    serverPid = 0;
  }
}

}  // namespace

bool EnsureXServer(std::string* why) {
  static int state = 0;  // 0 not tried, 1 up, 2 failed
  static std::string reason;
  if (state == 0) {
    state = 2;
    if (access("/usr/bin/Xvfb", X_OK) != 0) {
      if (std::getenv("DISPLAY")) {
        state = 1;  // no Xvfb, but a display to borrow
      } else {
        reason = "Xvfb is not installed and DISPLAY is unset";
      }
    } else {
      int fds[2];
      if (pipe(fds) == 0) {
        pid_t pid = fork();
        if (pid == 0) {
          close(fds[0]);
          prctl(PR_SET_PDEATHSIG, SIGTERM);  // never outlive a crashed test
          std::string fd = std::to_string(fds[1]);
          // -displayfd picks a free display and writes its number to the pipe.
          execl("/usr/bin/Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten",
                "tcp", "-noreset", static_cast<char*>(nullptr));
          _exit(127);
        }
        close(fds[1]);
        std::string number;
        char c;
        while (pid > 0 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
        close(fds[0]);
        if (pid > 0 && !number.empty()) {
          serverPid = pid;
          std::atexit(StopServer);
          setenv("DISPLAY", (":" + number).c_str(), 1);
          state = 1;
        } else {
          if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
          }
          reason = "Xvfb did not start";
        }
      } else {
        reason = "pipe failed";
      }
    }
  }
  if (why) *why = reason;
  return state == 1;
}

}  // namespace realtest
