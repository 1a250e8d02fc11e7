// Input codes: names, bindings held, the first input held, and the joystick
// calibration they compare against.
#include "testkit/scratch.h"
#include "config/input.h"
#include "config/joysticks.h"
#include "platform/keycodes.h"

namespace {

TEST(KeyName, NamesEveryKindOfCode) {
  const std::pair<int, const char*> cases[] = {
      {90, "Z"},       {301, "Y+"},        {335, "5"},     {13, "Return"},        {0, "Pause"},
      {19, "Pause"},   {1, "Left Mousebutton"}, {144, "NumLock"}, {145, "ScrollLock"}, {48, "0"},
      {96, "0"},       {105, "9"},         {112, "F1"},    {123, "F12"},          {220, "\\"},
      {226, "\\"},     {223, "`"},         {222, "#"},     {164, "LAlt"},         {174, "Volume Down"},
      {300, "Y-"},     {303, "X+"},        {311, "R+"},    {320, "Up"},           {323, "Left"},
      {325, "Right"},  {328, "Down"},      {380, "0"},     {498, "18"},
      {186, ";"},      {187, "="},         {188, ","},     {189, "-"},            {190, "."},
      {191, "/"},      {192, "'"},         {219, "["},     {221, "]"},            {185, "5"},
      {193, "13"},     {218, "-12"},       {224, "-6"},  // neighbours of the ranges: by the joystick rule
  };
  for (const auto& [code, name] : cases) EXPECT_EQ(KeyName(code), name) << code;
}

class InputTest : public ScratchTest {
 protected:
  // One stick on port 0 with six buttons, resting at `restX` on X, hat centred or not.
  void PlugStick(double restX, double hat = -1.0) {
    plat::JoystickState stick;
    stick.name = "Test Pad";
    stick.axes[plat::kAxisX] = restX;
    stick.hat = hat;
    stick.buttons.assign(6, false);
    machine_->PlugJoystick(stick);
  }
  plat::JoystickState& Stick(int port = 0) { return machine_->JoystickAt(port); }
  plat::InputState& Keys() { return machine_->ScriptInput(); }
};

TEST_F(InputTest, CalibrationTakesNamesButtonsRestValuesAndHat) {
  PlugStick(0.1);
  PlugStick(0, 0.5);  // a hat that does not read centred counts as absent
  Stick(1).axes[plat::kAxisR] = -0.6;
  ReadJoysticks();
  EXPECT_EQ(Config.JoystickCount, 2);
  EXPECT_EQ(Config.JoystickName[1], "Test Pad");
  EXPECT_EQ(Config.JoystickButtons[1], 6);
  EXPECT_DOUBLE_EQ(Config.JoystickRest[1][plat::kAxisX], 0.1);
  EXPECT_DOUBLE_EQ(Config.JoystickRest[2][plat::kAxisR], -0.6);
  EXPECT_EQ(Config.JoyEnabled[1], 1);
  EXPECT_EQ(Config.JoyEnabled[2], 1);
  EXPECT_EQ(Config.JoyEnabled[3], 0);
  EXPECT_EQ(Config.HatPresent[1], 1);
  EXPECT_EQ(Config.HatPresent[2], 0);
}

TEST_F(InputTest, KeyboardCodesFollowTheKeysAndMouseCodesAreNeverHeld) {
  Keys().PressMouse(1);
  Keys().PressKey(plat::kKeyTab);
  Keys().PressKey(plat::kKeyZ);
  EXPECT_EQ(BindingDown(1), 0);
  EXPECT_EQ(BindingDown(plat::kKeyTab), 0);  // below 10
  EXPECT_EQ(BindingDown(plat::kKeyZ), 1);
  EXPECT_EQ(BindingDown(plat::kKeyUp), 0);
  Keys().PressKey(255);
  EXPECT_EQ(BindingDown(255), 0);
  EXPECT_EQ(BindingDown(299), 0);
}

TEST_F(InputTest, AxesCountOnlyBeyondTheDeadZoneAroundTheirRest) {
  PlugStick(0.1);
  ReadJoysticks();
  const std::pair<double, std::pair<int, int>> cases[] = {
      // X value -> (303 X above, 302 X below)
      {0.1, {0, 0}}, {0.4, {0, 0}}, {0.41, {1, 0}}, {-0.19, {0, 0}}, {-0.21, {0, 1}},
  };
  for (const auto& [x, held] : cases) {
    Stick().axes[plat::kAxisX] = x;
    EXPECT_EQ(BindingDown(303), held.first) << x;
    EXPECT_EQ(BindingDown(302), held.second) << x;
  }
  Stick().axes[plat::kAxisY] = 0.5;
  Stick().axes[plat::kAxisV] = -0.5;
  EXPECT_EQ(BindingDown(301), 1);
  EXPECT_EQ(BindingDown(300), 0);
  EXPECT_EQ(BindingDown(308), 1);
  EXPECT_EQ(BindingDown(305), 0);
}

TEST_F(InputTest, HatAndButtons) {
  PlugStick(0);
  PlugStick(0, 0.0);  // no hat found at start-up
  ReadJoysticks();
  const std::pair<double, int> hats[] = {{0.0, 320}, {0.25, 325}, {0.5, 328}, {0.75, 323}, {0.9, 320}};
  for (const auto& [hat, code] : hats) {
    Stick().hat = hat;
    for (int d : {20, 23, 25, 28}) EXPECT_EQ(BindingDown(300 + d), 300 + d == code ? 1 : 0) << hat << " " << d;
    Stick(1).hat = hat;
    EXPECT_EQ(BindingDown(350 + code - 300), 0) << "hat absent at start-up";
  }
  Stick().hat = -1;
  for (int d : {20, 23, 25, 28}) EXPECT_EQ(BindingDown(300 + d), 0);

  Stick().buttons[5] = true;
  EXPECT_EQ(BindingDown(335), 1);
  EXPECT_EQ(BindingDown(334), 0);
  EXPECT_EQ(BindingDown(345), 0);  // past the stick's buttons
  EXPECT_EQ(BindingDown(315), 0);  // no control at d 15
}

TEST_F(InputTest, ADisabledOrMissingJoystickIsNeverHeld) {
  PlugStick(0);
  ReadJoysticks();
  Stick().buttons[0] = true;
  Stick().axes[plat::kAxisY] = 1;
  Stick().hat = 0;
  EXPECT_EQ(AnyInputCode(), 301);
  Config.JoyEnabled[1] = 0;
  for (int code = 300; code < 350; ++code) EXPECT_EQ(BindingDown(code), 0) << code;
  EXPECT_EQ(AnyInputCode(), 0);
  // Beyond the fourth joystick's codes there is no joystick at all.
  EXPECT_EQ(BindingDown(530), 0);
  EXPECT_EQ(BindingDown(100000), 0);
}

// Four sticks with every button held and every axis pushed: the fourth stick's
// codes are held, and codes past its block belong to none of them.
TEST_F(InputTest, CodesPastTheFourthJoystickAreNeverHeld) {
  for (int port = 0; port < 4; ++port) PlugStick(0);
  ReadJoysticks();
  for (int port = 0; port < 4; ++port) {
    Stick(port).buttons.assign(6, true);
    Stick(port).axes.fill(1);
  }
  EXPECT_EQ(BindingDown(480), 1);  // joystick 4, button 0
  EXPECT_EQ(BindingDown(451), 1);  // joystick 4, Y above rest
  for (int code : {500, 501, 530, 531, 549, 550, 580, 100000, 100030}) EXPECT_EQ(BindingDown(code), 0) << code;
}

TEST_F(InputTest, ActionsReadTheirPlayersSlots) {
  Core.KeyBindings[kActionFire] = plat::kKeyZ;
  Core.KeyBindings[20 + kActionUp] = plat::kKeyUp;
  Core.KeyBindings[kActionUp] = plat::kKeyX;
  Keys().PressKey(plat::kKeyZ);
  Keys().PressKey(plat::kKeyUp);
  EXPECT_EQ(ActionDown(kActionFire, 1), 1);
  EXPECT_EQ(ActionDown(kActionUp, 2), 1);
  EXPECT_EQ(ActionDown(kActionUp, 1), 0);
  EXPECT_EQ(ActionDown(kActionFire, 2), 0);  // slot 30 unbound
}

TEST_F(InputTest, AnyInputFindsTheFirstHeldInputButNotF11OrF12) {
  EXPECT_EQ(AnyInputCode(), 0);
  Keys().PressKey(plat::kKeyF11);
  EXPECT_EQ(AnyInputCode(), 0);
  Keys().PressKey(plat::kKeyZ);
  EXPECT_EQ(AnyInputCode(), 0);  // F11 held hides everything
  Keys().ReleaseKey(plat::kKeyF11);
  EXPECT_EQ(AnyInputCode(), plat::kKeyZ);
  Keys().PressKey(plat::kKeyUp);
  EXPECT_EQ(AnyInputCode(), plat::kKeyUp);  // lowest code first
  Keys().ReleaseKey(plat::kKeyUp);
  Keys().ReleaseKey(plat::kKeyZ);
  Keys().PressKey(plat::kKeyF12);
  EXPECT_EQ(AnyInputCode(), 0);
  Keys().ReleaseKey(plat::kKeyF12);
  Keys().PressMouse(2);
  EXPECT_EQ(AnyInputCode(), 2);
}

TEST_F(InputTest, AnyInputReportsJoystickControlsInOrder) {
  PlugStick(0.1);
  PlugStick(0);
  ReadJoysticks();
  Stick(1).buttons[3] = true;
  EXPECT_EQ(AnyInputCode(), 383);
  Stick(1).hat = 0.75;
  EXPECT_EQ(AnyInputCode(), 373);
  Stick(1).hat = 0.7;  // only the four exact directions count here
  EXPECT_EQ(AnyInputCode(), 383);
  Stick(1).axes[plat::kAxisR] = -0.5;
  EXPECT_EQ(AnyInputCode(), 360);
  Stick().axes[plat::kAxisX] = 0.45;
  EXPECT_EQ(AnyInputCode(), 303);
  Stick().axes[plat::kAxisY] = -0.35;
  EXPECT_EQ(AnyInputCode(), 300);
}

}  // namespace
