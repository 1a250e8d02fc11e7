#include "shell/shutdown.h"

#include "config/settings.h"
#include "platform/platform.h"
#include "shell/log.h"

void Shutdown() {
  plat::ShowPointer();
  SaveSetup();
  // The score file and the farewell screen join here when they are built.
  LogLine("Closing Up");
  LogLine("");
  LogLine("Bye!");
  LogLine("");
  LogLine("Play again, soon!!");
  plat::CloseDisplay();
  CloseLog();
  plat::EndProcess(0);
}
