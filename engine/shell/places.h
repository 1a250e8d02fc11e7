// Where the game's files live. A working folder holding Files/ (a checkout, the
// build tree, the tests) is both the data and the save folder, as it always was.
// Otherwise the media come from ../share/puffwick-loopery/ beside the program and
// what the game writes goes to the user's save folder. --data and --save choose
// either one.
#pragma once

#include <string>

#include "shell/options.h"

struct FilePlaces {
  bool mount = false;  // false: the working folder, untouched
  std::string data;    // each holds Files/
  std::string save;
  std::string noSave;  // why there is no save folder, when `save` is empty
};

// What the machine says, apart so that the choice can be tested.
struct MachinePlaces {
  std::string workFolder;      // the working folder, absolute
  bool workHasFiles = false;   // it holds Files/
  std::string programFolder;   // the folder of the running program
  std::string userDataFolder;  // $XDG_DATA_HOME or ~/.local/share; "" without a home
  std::string noHome;          // without one, what is wrong with HOME ("HOME is not set")
};

MachinePlaces AskMachinePlaces();
FilePlaces ChooseFilePlaces(const ProgramOptions& options, const MachinePlaces& machine);

// What a run does with the folders: a replay saves nothing, and one played
// headless shows nothing either.
struct FileNeeds {
  bool media = true;
  bool saving = true;
};

// Mounts the two folders (making the save folder when the run saves). Returns the
// problems to report, one line each ("" when none), only those that touch what
// the run does: a save folder that cannot be made turns saving off; missing media
// are said but the game still starts.
std::string UseFilePlaces(const FilePlaces& places, FileNeeds needs = {});

// For --help: where the save folder is for this run.
std::string DescribeFilePlaces(const FilePlaces& places);

#include "shell/shell_state.h"  // the floor's record, Shell
