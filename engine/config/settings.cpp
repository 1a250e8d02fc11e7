#include "config/settings.h"

#include <climits>

#include "config/config_state.h"
#include "platform/platform.h"
#include "core/log.h"
#include "core/identity.h"
#include "core/state.h"

namespace {

constexpr size_t kMaxAudioDrivers = 100;
constexpr const char* kAsideSetupFile = "Setup.ini.unsaved";

// Absolute value that saturates instead of overflowing on INT_MIN.
int AbsInt(int v) {
  if (v == INT_MIN) return INT_MAX;
  return v < 0 ? -v : v;
}

bool StartsWithUpper(const std::string& name, const std::string& prefix) {
  return plat::Upper(name.substr(0, prefix.size())) == prefix;
}

std::string DriverName(int index) {
  if (index < 0 || static_cast<size_t>(index) >= Core.AudioDriverNames.size()) return "";
  return Core.AudioDriverNames[index];
}

void SetDefaults() {
  for (int& k : Core.KeyBindings) k = 0;
  Core.KeyBindings[0] = 38;
  Core.KeyBindings[3] = 37;
  Core.KeyBindings[5] = 39;
  Core.KeyBindings[8] = 40;
  Core.KeyBindings[10] = 90;
  Core.KeyBindings[11] = 88;
  Core.KeyBindings[12] = 67;
  Core.KeyBindings[13] = 86;
  for (int& s : Core.Settings) s = 0;
  Core.Settings[slot::width] = 800;
  Core.Settings[slot::height] = 600;
  Core.Settings[slot::masterVolume] = 50;
  Core.Settings[slot::soundVolume] = 50;
  Core.Settings[slot::musicVolume] = 50;
}

// Applies one line of the settings file; returns whether it named an audio driver.
bool ReadSetupLine(const std::string& line) {
  std::string key = plat::Upper(plat::Trim(GetField(line, "=", 1)));
  std::string value = plat::Trim(GetField(line, "=", 2));
  std::string upperValue = plat::Upper(value);
  bool namedDriver = false;
  if (key == "AUDIODRIVER") {
    namedDriver = true;
    for (size_t i = 0; i < Core.AudioDriverNames.size(); i++) {
      if (Core.AudioDriverNames[i] == value) Core.Settings[slot::audioDriver] = static_cast<int>(i);
    }
  }
  if (key == "FULLSCREEN" && (upperValue == "TRUE" || upperValue == "ON")) {
    Core.Settings[slot::fullscreen] = 1;
    LogLine("\tSetting to Fullscreen");
  }
  if (key == "GFX ENGINE" || key == "GFXENGINE") {
    if (upperValue == "DX9") {
      Core.Settings[slot::gfxEngine] = 1;
      LogLine("\tDirectX 9 Mode");
    }
    if (upperValue == "DX7") {
      Core.Settings[slot::gfxEngine] = 2;
      LogLine("\tDirectX 7 Mode");
    }
  }
  if (key == "WIDTH") Core.Settings[slot::width] = AbsInt(plat::ToInt(value));
  if (key == "HEIGHT") Core.Settings[slot::height] = AbsInt(plat::ToInt(value));
  if (key == "ESS") {
    Core.Settings[slot::slowSystem] = 1;
    LogLine("\tAssuming Emergency Slow System values.");
  }
  if (key == "KEY") {
    int keySlot = AbsInt(plat::ToInt(GetField(value, ",", 1)));
    int code = AbsInt(plat::ToInt(GetField(value, ",", 2)));
    if (keySlot > 0 && keySlot < 100) Core.KeyBindings[keySlot] = code;
  }
  if (key == "LEADERBOARD") Config.Leaderboard = value;
  if (key == "MASTER") Core.Settings[slot::masterVolume] = AbsInt(plat::ToInt(value));
  if (key == "SOUND") Core.Settings[slot::soundVolume] = AbsInt(plat::ToInt(value));
  if (key == "MUSIC") Core.Settings[slot::musicVolume] = AbsInt(plat::ToInt(value));
  return namedDriver;
}

// Without a driver named in the file: the last DirectSound-like driver, else the
// first OpenAL or FreeAudio one.
void ChooseDefaultDriver() {
  bool taken = false;
  for (size_t i = 0; i < Core.AudioDriverNames.size(); i++) {
    const std::string& name = Core.AudioDriverNames[i];
    if ((StartsWithUpper(name, "OPENAL") || StartsWithUpper(name, "FREE")) && !taken) {
      Core.Settings[slot::audioDriver] = static_cast<int>(i);
      taken = true;
    }
    if (StartsWithUpper(name, "DIRECT")) {
      Core.Settings[slot::audioDriver] = static_cast<int>(i);
      taken = true;
    }
  }
}

void StartAudioDriver() {
  std::string name = DriverName(Core.Settings[slot::audioDriver]);
  if (name.empty() || !plat::AudioDriverExists(name)) return;
  if (!StartsWithUpper(name, "OPENAL") || plat::EnableOpenAL()) plat::SetAudioDriver(name);
}

std::vector<std::string> SetupLines() {
  std::vector<std::string> lines;
  lines.push_back("[Graphics]");
  if (Core.Settings[slot::fullscreen] == 0) lines.push_back("Fullscreen = False");
  if (Core.Settings[slot::fullscreen] == 1) lines.push_back("Fullscreen = True");
  if (Core.Settings[slot::gfxEngine] == 0) lines.push_back("GFX Engine = OpenGL");
  if (Core.Settings[slot::gfxEngine] == 1) lines.push_back("GFX Engine = DX9");
  if (Core.Settings[slot::gfxEngine] == 2) lines.push_back("GFX Engine = DX7");
  lines.push_back("Width=" + std::to_string(Core.Settings[slot::width]));
  lines.push_back("Height=" + std::to_string(Core.Settings[slot::height]));
  if (Core.Settings[slot::slowSystem] == 1) {
    lines.push_back("ESS=1 ; This is a slow system, and things must run a wee bit slower for it.  Awww..");
  }
  lines.push_back("");
  lines.push_back("[Audio]");
  lines.push_back("Master = " + std::to_string(Core.Settings[slot::masterVolume]));
  lines.push_back("Sound = " + std::to_string(Core.Settings[slot::soundVolume]));
  lines.push_back("Music = " + std::to_string(Core.Settings[slot::musicVolume]));
  lines.push_back("AudioDriver = " + DriverName(Core.Settings[slot::audioDriver]));
  for (const std::string& name : Core.AudioDriverNames) lines.push_back("; AudioDriver = " + name);
  lines.push_back("");
  lines.push_back("[Controls]");
  for (int i = 0; i < 100; i++) {
    if (Core.KeyBindings[i] > 0) {
      lines.push_back("Key=" + std::to_string(i) + "," + std::to_string(Core.KeyBindings[i]));
    }
  }
  if (!Config.Leaderboard.empty()) {
    lines.push_back("");
    lines.push_back("[Leaderboard]");
    lines.push_back("Leaderboard = " + Config.Leaderboard);
  }
  return lines;
}

}  // namespace

void LoadSetup() {
  Core.AudioDriverNames = plat::AudioDrivers();
  if (Core.AudioDriverNames.size() > kMaxAudioDrivers) Core.AudioDriverNames.resize(kMaxAudioDrivers);
  SetDefaults();
  bool namedDriver = false;
  Config.AsideSetupFile.clear();

  if (plat::FileType(kSetupFile) == plat::kFileTypeFile) {
    LogLine("\tReading Setup File");
    plat::Stream in = plat::ReadFile(kSetupFile);
    bool read = in != 0;
    if (read) {
      // End of file is tested after each line, so an empty file still gives one line.
      do {
        if (ReadSetupLine(plat::ReadLine(in))) namedDriver = true;
      } while (!plat::Eof(in));
      read = !plat::StreamFailed(in);
      plat::CloseStream(in);
    }
    if (!read) {
      // Part of a file is no better than none: the run starts from the defaults.
      SetDefaults();
      namedDriver = false;
      // Not one an earlier run left: that holds that run's settings.
      Config.AsideSetupFile = plat::UnusedFileName(kAsideSetupFile);
      LogLine(std::string("\t") + kSetupFile + " could not be read, so it is kept as it is; this run uses the " +
              "defaults and saves its settings in " + Config.AsideSetupFile);
    }
  }

  if (!namedDriver) ChooseDefaultDriver();
  LogLine("Setting Audio Driver");
  StartAudioDriver();
  LogLine("Set Audio Driver");
  LogLine("");

  LogLine("\tRequested Resolution : " + std::to_string(Core.Settings[slot::width]) + "x" +
          std::to_string(Core.Settings[slot::height]));
  LogLine("\tSetup Loaded");
  LogLine("");
}

void SaveSetup() {
  // The file lives in the Files/ folder that start-up entered (or, before start-up
  // has run, the current folder); the current folder is left alone.
  const std::string name = Config.AsideSetupFile.empty() ? kSetupFile : Config.AsideSetupFile;
  std::string path = name;
  if (!Core.FilesFolderPath.empty()) path = Core.FilesFolderPath + "/" + name;
  std::string text;
  for (const std::string& line : SetupLines()) text += line + "\r\n";
  if (!Config.AsideSetupFile.empty()) {
    if (!plat::ReplaceFileContents(path, text)) LogLine("\tCould not write " + name);
  } else if (plat::FileIsReadOnly(path)) {
    LogLine("\tSetup.ini is read-only, so it is kept as it is");
  } else if (!plat::ReplaceFileContents(path, text)) {
    LogLine("\tCould not write Setup.ini");
  }
}
