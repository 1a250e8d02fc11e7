#include "shell/places.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "core/game_table.h"
#include "base/paths.h"
#include "platform/platform.h"

namespace {

// Absolute against the working folder and without "." or ".." steps, as it is shown.
std::string Clean(const std::string& path, const std::string& work) {
  std::filesystem::path p = plat::PathFromUtf8(path);
  if (p.is_relative()) p = plat::PathFromUtf8(work) / p;
  return plat::NormalPath(p);
}

}  // namespace

MachinePlaces AskMachinePlaces() {
  MachinePlaces m;
  m.workFolder = plat::CurrentDir();
  m.workHasFiles = plat::FileType("Files") == plat::kFileTypeFolder;
  m.programFolder = plat::ProgramFolder();
  m.userDataFolder = plat::UserDataFolder();
  if (m.userDataFolder.empty()) {
    const char* home = std::getenv("HOME");
    if (!home) {
      m.noHome = "HOME is not set";
    } else if (home[0] == 0) {
      m.noHome = "HOME is empty";
    } else {
      m.noHome = std::string("HOME is not an absolute path: ") + home;
    }
  }
  return m;
}

FilePlaces ChooseFilePlaces(const ProgramOptions& options, const MachinePlaces& machine) {
  FilePlaces places;
  if (options.dataFolder.empty() && options.saveFolder.empty() && machine.workHasFiles) return places;
  places.mount = true;
  const std::string& here = machine.workFolder;
  if (!options.dataFolder.empty()) {
    places.data = options.dataFolder;
  } else if (machine.workHasFiles) {
    places.data = here;
  } else {
    places.data = machine.programFolder + "/../share/" + Core.ThisGame.programName;
  }
  if (!options.saveFolder.empty()) {
    places.save = options.saveFolder;
  } else if (machine.workHasFiles) {
    places.save = here;
  } else if (!machine.userDataFolder.empty()) {
    places.save = machine.userDataFolder + "/" + Core.ThisGame.programName;
  } else {
    places.noSave = machine.noHome.empty() ? "HOME is not set" : machine.noHome;
  }
  places.data = Clean(places.data, machine.workFolder);
  if (!places.save.empty()) places.save = Clean(places.save, machine.workFolder);
  return places;
}

std::string UseFilePlaces(const FilePlaces& places, FileNeeds needs) {
  Shell.FilePlacesProblem.clear();
  plat::UnmountFileRoots();
  if (!places.mount) return {};
  // The terminal gets the whole story; the screen a line short enough to read there.
  std::string problems;
  auto add = [&problems](const std::string& full, const std::string& brief) {
    problems += (problems.empty() ? "" : "\n") + full;
    Shell.FilePlacesProblem += (Shell.FilePlacesProblem.empty() ? "" : "\n") + brief;
  };
  if (needs.media && plat::FileType(places.data + "/Files") != plat::kFileTypeFolder) {
    add("No game media in " + places.data + "/Files (start with --data DIR)", "The game's media are missing");
  }
  bool saving = false;
  const std::string notSaved = "settings, scores and screenshots will not be saved";
  if (!needs.saving) {
    // Nothing to say and no folder to make: reads still look in the save folder.
  } else if (places.save.empty()) {
    add("No home folder (" + places.noSave + "): " + notSaved, "No save folder: " + notSaved);
  } else if (plat::MakeDir(places.save + "/Files")) {
    saving = true;
  } else {
    const int why = errno;
    add("Cannot create the save folder " + places.save + " (" + std::strerror(why) + "): " + notSaved,
        "No save folder: " + notSaved);
  }
  plat::MountFileRoots(places.data, places.save.empty() ? places.data : places.save, saving);
  return problems;
}

std::string DescribeFilePlaces(const FilePlaces& places) {
  if (!places.mount) return "Data and save folder: Files/ in the working folder\n";
  return "Data folder: " + places.data + "\nSave folder: " + (places.save.empty() ? "none" : places.save) + "\n";
}
