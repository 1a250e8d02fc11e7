// Child processes for the tests of what a process sees of another (Linux only:
// included by *_posix_test.cpp files).
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <functional>

// Runs `body` in a child process, as an ordinary user when `dropRights` (the tests
// run as root, whom permission bits do not stop), and returns the exit status it
// ended with: body's result, or 77 when the rights could not be dropped.
inline int ExitStatusOfChild(bool dropRights, const std::function<int()>& body) {
  const pid_t child = ::fork();
  if (child == 0) {
    if (dropRights && ::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(77);
    ::_exit(body());
  }
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}
