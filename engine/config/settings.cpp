#include "config/settings.h"

#include <climits>

#include "platform/platform.h"
#include "core/log.h"
#include "core/identity.h"
#include "core/state.h"


namespace {

constexpr size_t kMaxAudioDrivers = 100;
constexpr const char* kAsideSetupFile = "Setup.ini.unsaved";

// Where this run saves its settings when the Setup.ini it found could not be read:
// that file holds the player's settings, which this run does not know, so it is
// never replaced. Empty while Setup.ini is this run's to write.
std::string g_asideSetupFile;

// Absolute value that saturates instead of overflowing on INT_MIN.
int AbsInt(int v) {
  if (v == INT_MIN) return INT_MAX;
  return v < 0 ? -v : v;
}

bool StartsWithUpper(const std::string& name, const std::string& prefix) {
  return plat::Upper(name.substr(0, prefix.size())) == prefix;
}

std::string DriverName(int index) {
  if (index < 0 || static_cast<size_t>(index) >= AudioDriverNames.size()) return "";
  return AudioDriverNames[index];
}

void SetDefaults() {
  for (int& k : KeyBindings) k = 0;
  KeyBindings[0] = 38;
  KeyBindings[3] = 37;
  KeyBindings[5] = 39;
  KeyBindings[8] = 40;
  KeyBindings[10] = 90;
  KeyBindings[11] = 88;
  KeyBindings[12] = 67;
  KeyBindings[13] = 86;
  for (int& s : Settings) s = 0;
  Settings[slot::width] = 800;
  Settings[slot::height] = 600;
  Settings[slot::masterVolume] = 50;
  Settings[slot::soundVolume] = 50;
  Settings[slot::musicVolume] = 50;
}

// Applies one line of the settings file; returns whether it named an audio driver.
bool ReadSetupLine(const std::string& line) {
  std::string key = plat::Upper(plat::Trim(GetField(line, "=", 1)));
  std::string value = plat::Trim(GetField(line, "=", 2));
  std::string upperValue = plat::Upper(value);
  bool namedDriver = false;
  if (key == "AUDIODRIVER") {
    namedDriver = true;
    for (size_t i = 0; i < AudioDriverNames.size(); i++) {
      if (AudioDriverNames[i] == value) Settings[slot::audioDriver] = static_cast<int>(i);
    }
  }
  if (key == "FULLSCREEN" && (upperValue == "TRUE" || upperValue == "ON")) {
    Settings[slot::fullscreen] = 1;
    LogLine("\tSetting to Fullscreen");
  }
  if (key == "GFX ENGINE" || key == "GFXENGINE") {
    if (upperValue == "DX9") {
      Settings[slot::gfxEngine] = 1;
      LogLine("\tDirectX 9 Mode");
    }
    if (upperValue == "DX7") {
      Settings[slot::gfxEngine] = 2;
      LogLine("\tDirectX 7 Mode");
    }
  }
  if (key == "WIDTH") Settings[slot::width] = AbsInt(plat::ToInt(value));
  if (key == "HEIGHT") Settings[slot::height] = AbsInt(plat::ToInt(value));
  if (key == "ESS") {
    Settings[slot::slowSystem] = 1;
    LogLine("\tAssuming Emergency Slow System values.");
  }
  if (key == "KEY") {
    int keySlot = AbsInt(plat::ToInt(GetField(value, ",", 1)));
    int code = AbsInt(plat::ToInt(GetField(value, ",", 2)));
    if (keySlot > 0 && keySlot < 100) KeyBindings[keySlot] = code;
  }
  if (key == "MASTER") Settings[slot::masterVolume] = AbsInt(plat::ToInt(value));
  if (key == "SOUND") Settings[slot::soundVolume] = AbsInt(plat::ToInt(value));
  if (key == "MUSIC") Settings[slot::musicVolume] = AbsInt(plat::ToInt(value));
  return namedDriver;
}

// Without a driver named in the file: the last DirectSound-like driver, else the
// first OpenAL or FreeAudio one.
void ChooseDefaultDriver() {
  bool taken = false;
  for (size_t i = 0; i < AudioDriverNames.size(); i++) {
    const std::string& name = AudioDriverNames[i];
    if ((StartsWithUpper(name, "OPENAL") || StartsWithUpper(name, "FREE")) && !taken) {
      Settings[slot::audioDriver] = static_cast<int>(i);
      taken = true;
    }
    if (StartsWithUpper(name, "DIRECT")) {
      Settings[slot::audioDriver] = static_cast<int>(i);
      taken = true;
    }
  }
}

void StartAudioDriver() {
  std::string name = DriverName(Settings[slot::audioDriver]);
  if (name.empty() || !plat::AudioDriverExists(name)) return;
  if (!StartsWithUpper(name, "OPENAL") || plat::EnableOpenAL()) plat::SetAudioDriver(name);
}

std::vector<std::string> SetupLines() {
  std::vector<std::string> lines;
  lines.push_back("[Graphics]");
  if (Settings[slot::fullscreen] == 0) lines.push_back("Fullscreen = False");
  if (Settings[slot::fullscreen] == 1) lines.push_back("Fullscreen = True");
  if (Settings[slot::gfxEngine] == 0) lines.push_back("GFX Engine = OpenGL");
  if (Settings[slot::gfxEngine] == 1) lines.push_back("GFX Engine = DX9");
  if (Settings[slot::gfxEngine] == 2) lines.push_back("GFX Engine = DX7");
  lines.push_back("Width=" + std::to_string(Settings[slot::width]));
  lines.push_back("Height=" + std::to_string(Settings[slot::height]));
  if (Settings[slot::slowSystem] == 1) {
    lines.push_back("ESS=1 ; This is a slow system, and things must run a wee bit slower for it.  Awww..");
  }
  lines.push_back("");
  lines.push_back("[Audio]");
  lines.push_back("Master = " + std::to_string(Settings[slot::masterVolume]));
  lines.push_back("Sound = " + std::to_string(Settings[slot::soundVolume]));
  lines.push_back("Music = " + std::to_string(Settings[slot::musicVolume]));
  lines.push_back("AudioDriver = " + DriverName(Settings[slot::audioDriver]));
  for (const std::string& name : AudioDriverNames) lines.push_back("; AudioDriver = " + name);
  lines.push_back("");
  lines.push_back("[Controls]");
  for (int i = 0; i < 100; i++) {
    if (KeyBindings[i] > 0) {
      lines.push_back("Key=" + std::to_string(i) + "," + std::to_string(KeyBindings[i]));
    }
  }
  return lines;
}

}  // namespace

void LoadSetup() {
  AudioDriverNames = plat::AudioDrivers();
  if (AudioDriverNames.size() > kMaxAudioDrivers) AudioDriverNames.resize(kMaxAudioDrivers);
  SetDefaults();
  bool namedDriver = false;
  g_asideSetupFile.clear();

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
      g_asideSetupFile = plat::UnusedFileName(kAsideSetupFile);
      LogLine(std::string("\t") + kSetupFile + " could not be read, so it is kept as it is; this run uses the " +
              "defaults and saves its settings in " + g_asideSetupFile);
    }
  }

  if (!namedDriver) ChooseDefaultDriver();
  LogLine("Setting Audio Driver");
  StartAudioDriver();
  LogLine("Set Audio Driver");
  LogLine("");

  LogLine("\tRequested Resolution : " + std::to_string(Settings[slot::width]) + "x" +
          std::to_string(Settings[slot::height]));
  LogLine("\tSetup Loaded");
  LogLine("");
}

void SaveSetup() {
  // The file lives in the Files/ folder that start-up entered (or, before start-up
  // has run, the current folder); the current folder is left alone.
  const std::string name = g_asideSetupFile.empty() ? kSetupFile : g_asideSetupFile;
  std::string path = name;
  if (!FilesFolderPath.empty()) path = FilesFolderPath + "/" + name;
  std::string text;
  for (const std::string& line : SetupLines()) text += line + "\r\n";
  if (!g_asideSetupFile.empty()) {
    if (!plat::ReplaceFileContents(path, text)) LogLine("\tCould not write " + name);
  } else if (plat::FileIsReadOnly(path)) {
    LogLine("\tSetup.ini is read-only, so it is kept as it is");
  } else if (!plat::ReplaceFileContents(path, text)) {
    LogLine("\tCould not write Setup.ini");
  }
}
