// A Windows program: its folders come from the command line or the machine's
// places, and its command line from the system in UTF-16 (argv holds it in the
// ANSI code page, which cannot name every file).
#include <windows.h>
#include <shellapi.h>

#include "core/game_table.h"
#include "platform/platform.h"
#include "platform/win32/wide.h"  // the same target's conversions
#include "shell/target.h"

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!wide) return {argv + 1, argv + argc};
  std::vector<std::string> arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(plat::sys::Utf8(wide[i]));
  LocalFree(wide);
  return arguments;
}

void ApplyTargetDefaults(ProgramOptions& options) {
  // An installed game keeps its media beside the .exe, in a folder the player
  // may not write to (and which is also the working folder when it is started
  // from its shortcut): what it saves goes under %APPDATA%\<program>\ instead.
  const std::string program = plat::ProgramFolder();
  if (options.dataFolder.empty() && plat::FileType(program + "/Files") == plat::kFileTypeFolder) {
    options.dataFolder = program;
  }
  const std::string appData = plat::UserDataFolder();
  if (options.saveFolder.empty() && !appData.empty()) options.saveFolder = appData + "/" + Core.ThisGame.programName;
}

// As on other desktops, the result went to the standard output (a file or pipe
// when one is given: the program has no console of its own).
void ReportReplayResult(const std::string&) {}
