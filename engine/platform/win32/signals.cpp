// The console's control events in place of the termination signals, and the
// immediate end of the process. A window's close button comes as SDL_QUIT.
#include <windows.h>

#include <csignal>

#include "platform/os.h"

namespace plat::sys {

namespace {

void (*terminationHandler)(int) = nullptr;

BOOL WINAPI OnConsoleEvent(DWORD event) {
  if (!terminationHandler) return FALSE;
  if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) {
    terminationHandler(SIGINT);
    return TRUE;
  }
  // The console closes, or the user logs off or shuts down: the process ends
  // when this returns, so give the program its moment to save and end itself.
  terminationHandler(SIGTERM);
  Sleep(4000);
  return TRUE;
}

}  // namespace

void CatchTerminationSignals(void (*handler)(int signal)) {
  terminationHandler = handler;
  SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

// No destructors, no DLL detach (OpenAL's mixer thread), no buffered output flushed.
void EndNow(int code) {
  TerminateProcess(GetCurrentProcess(), static_cast<UINT>(code));
  for (;;) Sleep(INFINITE);
}

}  // namespace plat::sys
