// The config floor's state, one record: display modes and setup, the joysticks and
// their calibration, the engine test's frame rate, the settings file and panel.
// Each config header includes this one after its own types, so that including any
// of them brings the record.
#pragma once

#include <string>

#include "config/display.h"
#include "config/joysticks.h"

struct ConfigState {
  // Display (config/display.h, display_setup.cpp).
  ModeTable ModeList = {};  // usable display modes, two parallel tables used from index 1
  int ModeCount = 0;
  int GraphicsStarted = 0;  // 1 once the first display setup has shown its splash
  DisplayServices DisplayHooks;  // the layers' services display setup runs
  std::string CrashMarkerPath;   // where the crash marker was made, to remove it from any folder

  // Joysticks (config/joysticks.h, input.h), per joystick j = 1..JoystickCount
  // (index 0 unused), read once by ReadJoysticks.
  int JoystickCount = 0;  // at most kMaxJoysticks
  std::string JoystickName[kMaxJoysticks + 1];
  int JoystickButtons[kMaxJoysticks + 1] = {};  // button count
  // Rest value of each axis, indexed by plat::JoyAxis (X, Y, Z, R, U, V).
  double JoystickRest[kMaxJoysticks + 1][6] = {};
  int JoyEnabled[kMaxJoysticks + 1] = {};  // enabled in the settings panel
  int HatPresent[kMaxJoysticks + 1] = {};  // a hat read centred at start-up

  int TargetFps = 60;  // the frame rate the last engine test aimed for

  // Where this run saves its settings when the Setup.ini it found could not be read:
  // that file holds the player's settings, which this run does not know, so it is
  // never replaced. Empty while Setup.ini is this run's to write.
  std::string AsideSetupFile;

  // Setup.ini's "Leaderboard = URL": the leaderboard server the games' replays go
  // to ("" sends none). Kept as read, and written back with the other settings.
  std::string Leaderboard;

  // The settings panel (config/settings_menu.h).
  int MenuY = -300;  // the panel's vertical offset: -300 hidden, 20 at rest
  // The key-binding rows (only shown with ControlMode 0): the KeyBindings slot
  // waiting for its next input, or -1.
  int BindingCaptureSlot = -1;
  // The clicks of this frame of the panel, taken from MouseState when it starts.
  // Apply and the joystick names clear MenuClicked so that nothing drawn after them
  // takes the same click.
  int MenuClicked = 0;
  int MenuRightClicked = 0;
  // Set after a binding row is clicked: the button of that click must be let go
  // before the next held input is taken.
  bool CaptureWaitsForRelease = false;
  // Set while Apply's display setup runs: its frames pass through the panel too, and
  // a second Apply from them would open the display inside its own setup.
  bool Applying = false;
};
extern ConfigState Config;

// Puts Config back as a fresh program has it.
void ResetConfig();
