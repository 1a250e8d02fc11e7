#include "shell/shutdown.h"

#include "config/display.h"
#include "config/settings.h"
#include "core/log.h"
#include "platform/platform.h"
#include "scores/scores.h"

void Shutdown() {
  plat::ShowPointer();
  SaveSetup();
  SaveScores();
  // A close request during display setup must not leave the crash marker behind.
  RemoveCrashMarker();
  LogLine("Closing Up");
  LogLine("");
  LogLine("Bye!");
  LogLine("");
  LogLine("Play again, soon!!");
  // The farewell screen joins here when it is built.
  plat::CloseDisplay();
  CloseLog();
  plat::EndProcess(0);
}
