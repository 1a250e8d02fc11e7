#include "config/settings_menu.h"

#include <algorithm>

#include "config/display.h"
#include "config/input.h"
#include "config/joysticks.h"
#include "config/settings.h"
#include "core/assets.h"
#include "core/fields.h"
#include "core/settings_table.h"
#include "core/state.h"
#include "draw/helpers.h"
#include "frame/frame.h"
#include "platform/keycodes.h"
#include "platform/platform.h"

namespace {

constexpr int kHiddenY = -300;
constexpr int kSlideStep = 32;
constexpr int kMaxAudioChoices = 6;
constexpr int kMaxLabels = 6;

int WrapUp(int index, int count) {
  index++;
  return index > count ? 1 : index;
}

int WrapDown(int index, int count) {
  index--;
  // A left-over index beyond a shorter list counts as past the end too.
  return (index <= 0 || index > count) ? count : index;
}

void ResolutionButton(int rowY) {
  const int underMouse = OptionWidget(slot::widescreen, 20, rowY, 11, {"Resolution"}) == 1 ||
                         MouseInRect(20, rowY + Config.MenuY, 200, 70);
  if (!underMouse) return;
  // Every key is asked so that its press is used up, whichever one acted.
  const int forward = plat::KeyHit(plat::kKeyRight) + plat::KeyHit(plat::kKeyUp) + Config.MenuClicked;
  const int back = plat::KeyHit(plat::kKeyLeft) + plat::KeyHit(plat::kKeyDown) + Config.MenuRightClicked;
  // With no modes listed there is nothing to pick (entry 0 is not a mode).
  if (Config.ModeCount < 1 || (forward == 0 && back == 0)) return;
  int& index = Core.Settings[slot::resolutionIndex];
  if (forward > 0) index = WrapUp(index, Config.ModeCount);
  if (back > 0) index = WrapDown(index, Config.ModeCount);
  Core.Settings[slot::width] = Config.ModeList.width[index];
  Core.Settings[slot::height] = Config.ModeList.height[index];
}

void SizeAndQuality(int rowY) {
  const int w = Core.Settings[slot::width], h = Core.Settings[slot::height];
  DrawTextAligned(20, rowY + Config.MenuY, std::to_string(w) + "x" + std::to_string(h), kAlignLeft, kAlignTop);
  if (h < 900) {
    SetColorAlpha(255, 180, 80);
    DrawTextAligned(80, rowY + Config.MenuY + 17, "Small (Bit blurry)", kAlignLeft, kAlignTop);
  } else if (h > 960) {
    SetColorAlpha(180, 255, 80);
    DrawTextAligned(80, rowY + Config.MenuY + 17, "Bigger! (High-Definition!)", kAlignLeft, kAlignTop);
  } else {
    SetColorAlpha(255, 255, 80);
    DrawTextAligned(80, rowY + Config.MenuY + 17, "Native (Crisp, Clear)", kAlignLeft, kAlignTop);
  }
}

void ApplyButton() {
  SetScaleXY(1);
  const int h = plat::TextHeight();
  const int w = plat::TextWidth("Apply");
  SetColorAlpha(0, 120, 0, 0.5);
  if (MouseInRect(18, Config.MenuY + 258, w + 4, h + 4)) {
    plat::DrawRect(18, Config.MenuY + 258, w + 4, h + 4);
    if (Config.MenuClicked > 0 && !Config.Applying) {
      Config.MenuClicked = 0;
      Core.MouseState.MouseClicked = 0;
      Frame.SettingsOpen = 0;
      SaveSetup();
      Config.Applying = true;
      SetupDisplay();
      Config.Applying = false;
      // Display setup ran frames of its own (the engine test), which passed through
      // here with their own clicks and drawing state, and it reloaded every font.
      Config.MenuClicked = 0;
      Config.MenuRightClicked = 0;
      plat::SetImageFont(Core.UiFonts[font::kPanel]);
      SetBlendKind(kBlendKindAlpha);
      SetScaleXY(1);
      SetColorAlpha(0, 120, 0, 0.5);
    }
  }
  SetColorAlpha(80, 255, 80);
  DrawTextAligned(20, Config.MenuY + 260, "Apply", kAlignLeft, kAlignTop);
}

int SnapVolume(int value) {
  if (value < 6) return 0;
  if (value > 94) return 100;
  return value;
}

void VolumeSliders(int x) {
  struct Row {
    int slot;
    const char* caption;
    int y;
  } rows[] = {{slot::masterVolume, "Master Volume", 70}, {slot::soundVolume, "Sounds", 120},
              {slot::musicVolume, "Music", 170}};
  for (const Row& r : rows) {
    Core.Settings[r.slot] = SnapVolume(VolumeSlider(Core.Settings[r.slot], x, Config.MenuY + r.y, r.caption));
  }
}

void JoystickList(int x) {
  int y = Config.MenuY + 230;
  const int count = std::min(Config.JoystickCount, kMaxJoysticks);
  for (int j = 1; j <= count; j++) {
    const int port = j - 1;
    const double alpha = Config.JoyEnabled[j] == 0 ? 0.2 : 1.0;
    if (plat::JoyButtonDown(port, 0)) {
      SetColorAlpha(255, 255, 80, alpha);
    } else {
      SetColorAlpha(80, 255, 80, alpha);
    }
    const std::string name = plat::JoyName(port);
    DrawTextAligned(x, y, name, kAlignLeft, kAlignTop);
    if (MouseInRect(x, y, plat::TextWidth(name), 14) && Config.MenuClicked > 0) {
      Config.MenuClicked = 0;
      Core.MouseState.MouseClicked = 0;
      Config.JoyEnabled[j] = Config.JoyEnabled[j] == 0 ? 1 : 0;
    }
    y += 15;
  }
}

// The least a game played with keys needs: per player, its bound actions by key
// name; a click on a row takes the next input held as that action's binding.
void KeyBindingRows() {
  if (Config.BindingCaptureSlot >= 0) {
    const int code = AnyInputCode();
    if (Config.CaptureWaitsForRelease) {
      if (code == 0) Config.CaptureWaitsForRelease = false;
    } else if (code > 0) {
      Core.KeyBindings[Config.BindingCaptureSlot] = code;
      Config.BindingCaptureSlot = -1;
    }
  }
  // The columns after these rows keep the alpha they would have had without them.
  const double alphaBefore = plat::GetAlpha();
  SetScaleXY(1);
  const int rowHeight = std::max(14, plat::TextHeight());
  const int players = std::clamp(Core.PlayerCount, 0, 4);
  for (int p = 1; p <= players; p++) {
    const int x = 260 + (p - 1) * 180;
    int y = Config.MenuY + 4;
    SetColorAlpha(80, 255, 80, 1);
    DrawTextAligned(x, y, "Player " + std::to_string(p), kAlignLeft, kAlignTop);
    for (int action = 0; action < 20; action++) {
      const int bindingSlot = (p - 1) * 20 + action;
      if (Core.KeyBindings[bindingSlot] <= 0 && bindingSlot != Config.BindingCaptureSlot) continue;
      y += rowHeight;
      const bool capturing = bindingSlot == Config.BindingCaptureSlot;
      const std::string text =
          "Action " + std::to_string(action) + " : " + (capturing ? "..." : KeyName(Core.KeyBindings[bindingSlot]));
      if (capturing) {
        SetColorAlpha(255, 255, 80);
      } else {
        SetColorAlpha(180, 255, 180);
      }
      DrawTextAligned(x, y, text, kAlignLeft, kAlignTop);
      if (Config.MenuClicked > 0 && MouseInRect(x, y, plat::TextWidth(text), rowHeight)) {
        Config.MenuClicked = 0;
        Core.MouseState.MouseClicked = 0;
        Config.BindingCaptureSlot = bindingSlot;
        Config.CaptureWaitsForRelease = true;
      }
    }
  }
  plat::SetAlpha(alphaBefore);
}

}  // namespace

int OptionWidget(int slot, int x, int y, int firstIcon, const std::vector<std::string>& labels) {
  std::vector<std::string> shown(labels.begin(), labels.begin() + std::min<size_t>(labels.size(), kMaxLabels));
  if (!shown.empty() && shown[0] == "AUDIO") {
    shown.clear();
    const size_t n = std::min<size_t>(Core.AudioDriverNames.size(), kMaxAudioChoices);
    for (size_t i = 0; i < n; i++) shown.push_back("Audio Driver|" + Core.AudioDriverNames[i]);
  }
  int count = 1;
  for (size_t i = 1; i < shown.size(); i++) count += shown[i].empty() ? 0 : 1;
  int& value = Core.Settings[slot];
  const std::string label = (value >= 0 && value < static_cast<int>(shown.size())) ? shown[value] : "";

  plat::SetImageFont(Core.UiFonts[font::kPanel]);
  SetScaleXY(1);
  std::string measured = label;
  if (label.find('|') != std::string::npos) {
    measured = GetField(label, "|", 1);
    DrawTextAligned(x + 38, y + Config.MenuY + 8, measured, kAlignLeft, kAlignMiddle);
    DrawTextAligned(x + 38, y + Config.MenuY + 24, GetField(label, "|", 2), kAlignLeft, kAlignMiddle);
  } else {
    DrawTextAligned(x + 38, y + Config.MenuY + 16, label, kAlignLeft, kAlignMiddle);
  }
  const int textWidth = plat::TextWidth(measured);

  SetScaleXY(2);
  const int frame = firstIcon + value;
  if (!MouseInRect(x, y + Config.MenuY, textWidth, 32)) DrawImageCounted(Core.IconsCrisp, x, y + Config.MenuY, frame, kBudgetMain);
  if (!MouseInRect(x, y + Config.MenuY, textWidth + 38, 32)) return 0;
  DrawGlowImage(Core.IconsCrisp, x, y + Config.MenuY, frame, Core.IconsFiltered, 1.1, 0.8);
  if (Config.MenuClicked > 0) value = ((value + 1) % count + count) % count;
  return 1;
}

int VolumeSlider(int value, int x, int y, const std::string& caption) {
  SetColorAlpha(80, 255, 80);
  SetScaleXY(3.1, 1.5);
  DrawImageCounted(Core.IconsCrisp, x - 2, y, 21, kBudgetMain);
  DrawImageCounted(Core.IconsCrisp, x + 48, y, 22, kBudgetMain);
  SetColorAlpha(255, 80, 80);
  SetScaleXY(1, 1.5);
  // Setup.ini may hold any integer; the knob stays on its track.
  DrawImageCounted(Core.IconsCrisp, x + std::clamp(value, 0, 100) - 9, y, 23, kBudgetMain);
  SetColorAlpha(80, 180, 255);
  if (MouseInRect(x - 2, y - 4, 100, 24) && plat::MouseDown(plat::kMouseLeft)) value = Core.MouseState.x - x + 2;
  SetScaleXY(1);
  DrawTextAligned(x, y + 20, caption + " : " + std::to_string(value), kAlignLeft, kAlignTop);
  return value;
}

void DrawSettingsMenu() {
  Config.MenuClicked = Core.MouseState.MouseClicked;
  Config.MenuRightClicked = Core.MouseState.RightClicked;
  if (Frame.SettingsOpen == 1 && Config.MenuY < 0) Config.MenuY += kSlideStep;
  if (Frame.SettingsOpen == 0 && Config.MenuY > kHiddenY) Config.MenuY -= kSlideStep;
  if (Config.MenuY < kHiddenY + 1) {
    Config.BindingCaptureSlot = -1;
    return;
  }

  plat::SetImageFont(Core.UiFonts[font::kPanel]);
  ResetDrawState();
  SetBlendKind(kBlendKindShade);
  SetColorAlpha(40, 40, 40, 0.8);
  plat::DrawRect(0, 0, Core.VirtualWidth, Config.MenuY + 300);
  SetBlendKind(kBlendKindAlpha);
  SetColorAlpha(80, 80, 80, 0.4);
  plat::DrawRect(0, 0, Core.VirtualWidth, Config.MenuY + 298);
  SetColorAlpha(180, 255, 180, 1);
  plat::DrawRect(0, Config.MenuY + 298, Core.VirtualWidth, 2);
  Draw.DrawCount[kBudgetMain] = 0;
  Draw.DrawCount[kBudgetGlow] = 0;

  SetColorAlpha(80, 255, 80);
  DrawTextAligned(20, Config.MenuY + 4, "Graphics", kAlignLeft, kAlignTop);
  OptionWidget(slot::fullscreen, 20, 30, 13, {"Windowed", "Fullscreen"});
  ResolutionButton(70);
  // The option widgets leave scale 2 behind, at which these texts would overlap
  // the rows below them.
  SetScaleXY(1);
  SizeAndQuality(108);
  SetColorAlpha(80, 255, 80);
  OptionWidget(slot::slowSystem, 20, 146, 18, {"Draw all Frames|Decent System", "Frameskip|Slow System"});
  std::vector<std::string> engines = {"OpenGL|Optimum", "DirectX 9|Alternative", "DirectX 7|Backup"};
  engines.resize(std::clamp<size_t>(plat::RendererChoices(), 1, engines.size()));
  OptionWidget(slot::gfxEngine, 20, 184, 18, engines);
  ApplyButton();

  if (Core.ControlMode == 0) KeyBindingRows();

  const int x = Core.VirtualWidth - 280;
  OptionWidget(slot::audioDriver, x, 20, 24, {"AUDIO"});
  // Scale 2 from the widget would run this notice off the right edge.
  SetScaleXY(1);
  SetColorAlpha(255, 180, 180);
  DrawTextAligned(x, Config.MenuY + 50, "Changes require a Restart", kAlignLeft, kAlignTop);
  VolumeSliders(x);
  JoystickList(x);
}
