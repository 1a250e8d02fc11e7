// Display setup: the mode list, the renderer choice with its crash fall-back, the
// virtual surface, and every asset that lives inside the display or is shared by
// the whole framework.
#include <string>

#include "audio/sfx.h"
#include "config/display.h"
#include "config/display_setup.h"
#include "config/settings.h"
#include "core/log.h"
#include "draw/helpers.h"
#include "platform/platform.h"

namespace {

constexpr const char* kCrashMarker = "crash.dat";
constexpr const char* kBanner = "-=-=-=-=-=-=-=-=-=-=-=-=-=-";
const char* const kDriverLines[3] = {"\tUsing OpenGL Driver", "\tUsing DirectX 9 Driver",
                                     "\tUsing DirectX 7 Driver"};

bool AspectAccepted(int w, int h) { return h == (w * 10) / 16 || h == (w * 9) / 16 || h == (w * 3) / 4; }

void BuildModeList(const std::vector<plat::DisplayMode>& modes) {
  Config.ModeCount = 0;
  for (const plat::DisplayMode& m : modes) {
    if (!AspectAccepted(m.width, m.height)) continue;
    bool known = false;
    for (int i = 1; i <= Config.ModeCount && !known; ++i) known = Config.ModeList.width[i] == m.width && Config.ModeList.height[i] == m.height;
    if (known || Config.ModeCount + 1 >= 2500) continue;
    ++Config.ModeCount;
    Config.ModeList.width[Config.ModeCount] = m.width;
    Config.ModeList.height[Config.ModeCount] = m.height;
    if (m.width == Core.Settings[slot::width] && m.height == Core.Settings[slot::height]) {
      Core.Settings[slot::resolutionIndex] = Config.ModeCount;
      Core.ScreenWidth = m.width;
      Core.ScreenHeight = m.height;
    }
  }
}

int FullScreenDepth(const std::vector<plat::DisplayMode>& modes) {
  for (int depth : {32, 24, 16}) {
    for (const plat::DisplayMode& m : modes) {
      if (m.width == Core.ScreenWidth && m.height == Core.ScreenHeight && m.depth == depth) return depth;
    }
  }
  return 0;
}

void CreateCrashMarker() {
  // One left by a crash serves as it is; a new one is saved like any file (never
  // written through a link planted in its place).
  if (plat::FileType(kCrashMarker) != plat::kFileTypeFile && !plat::ReplaceFileContents(kCrashMarker, "")) {
    LogLine("\tCould not create " + std::string(kCrashMarker));
    return;
  }
  Config.CrashMarkerPath = plat::CurrentDir() + "/" + kCrashMarker;
}

const char* const kFullscreenRefused = "Can't set to fullscreen in this resolution.";

// Opens the display with the current renderer: at the chosen depth, and when a
// full screen is refused, as a window of the same size (with the same notice as
// when no depth is listed).
bool OpenWithRenderer(int depth) {
  if (plat::OpenDisplay(Core.ScreenWidth, Core.ScreenHeight, depth, 60, 0)) return true;
  if (depth == 0 || !plat::OpenDisplay(Core.ScreenWidth, Core.ScreenHeight, 0, 60, 0)) return false;
  AddMessage(kFullscreenRefused, 1);
  LogLine("\tFullscreen refused; using a window");
  LogLine("\tResolution : " + std::to_string(Core.ScreenWidth) + "x" + std::to_string(Core.ScreenHeight) + ",0");
  return true;
}

// Opens the display with the chosen renderer; only a renderer that cannot open
// even a window gives way to the next one, so that a machine with any working
// display gets a picture.
bool OpenChosenDisplay(int depth) {
  if (OpenWithRenderer(depth)) return true;
  for (int engine = Core.Settings[slot::gfxEngine] + 1; engine <= 2; ++engine) {
    LogLine("\tRenderer failed to start, trying the next one");
    Core.Settings[slot::gfxEngine] = engine;
    LogLine(kDriverLines[engine]);
    plat::SetGraphicsDriver(engine);
    if (OpenWithRenderer(depth)) return true;
  }
  return false;
}

void ChooseVirtualSurface() {
  Core.Settings[slot::widescreen] = 0;
  Core.VirtualWidth = 1280;
  Core.VirtualHeight = 960;
  if (Core.ScreenHeight == (Core.ScreenWidth * 9) / 16) {
    Core.Settings[slot::widescreen] = 1;
    Core.VirtualWidth = 1600;
    Core.VirtualHeight = 900;
    LogLine("\tWidescreen mode!");
  }
  if (Core.ScreenHeight == (Core.ScreenWidth * 10) / 16) {
    Core.Settings[slot::widescreen] = 1;
    Core.VirtualWidth = 1440;
    Core.VirtualHeight = 900;
    LogLine("\tWidescreen mode B (10:16)!");
  }
  plat::SetVirtualResolution(Core.VirtualWidth, Core.VirtualHeight);
}

void ReplaceFont(plat::Font& slotHandle, const std::string& file, int size) {
  plat::FreeFont(slotHandle);
  slotHandle = plat::LoadImageFont(file, size, 4);
}

void ReplaceImage(plat::Image& handle, plat::Image fresh) {
  plat::FreeImage(handle);
  handle = fresh;
}

void ReplaceSound(plat::Sound& handle, plat::Sound fresh) {
  plat::FreeSound(handle);
  handle = fresh;
}

void LoadFonts() {
  FontSizes sizes = SharedFontSizes(Core.ScreenWidth);
  for (int slot = 1; slot <= 13; ++slot) ReplaceFont(Core.UiFonts[slot], kUiFontFiles[slot], sizes.ui[slot]);
  for (int family = 0; family < 3; ++family) {
    for (int i = 0; i < 9; ++i) {
      const int slot = family * 10 + i;
      ReplaceFont(Core.SizedFonts[slot], kFontFamilies[family], sizes.sized[slot]);
    }
  }
}

void ShowSplash() {
  BeginFrameDrawing(1);
  ResetDrawState();
  DrawStripes();
  ResetDrawState();
  SetScaleXY(1.5);
  plat::DrawImage(Core.LogoImage, 0.4 * Core.VirtualHeight, 0.3 * Core.VirtualHeight);
  plat::DrawImage(Core.CommunityLogoImage, Core.VirtualWidth - 0.4 * Core.VirtualHeight, 0.7 * Core.VirtualHeight);
  SetScaleXY(1);
  if (Core.BadgeGetSound != 0) {
    Audio.ChannelTable[kBadgeJingleSlot] = plat::CueSound(Core.BadgeGetSound, Audio.ChannelTable[kBadgeJingleSlot]);
    plat::SetChannelVolume(Audio.ChannelTable[kBadgeJingleSlot],
                           Core.Settings[slot::soundVolume] * Core.Settings[slot::masterVolume] / 100.0 / 100.0);
    plat::SetChannelPaused(Audio.ChannelTable[kBadgeJingleSlot], false);
  }
  plat::Flip(-1);
  Config.GraphicsStarted = 1;
}

std::string ThreeDigits(int k) {
  std::string s = "00" + std::to_string(k);
  return s.substr(s.size() - 3);
}

}  // namespace

const char* const kFontFamilies[3] = {"SVBasicManual.ttf", "Blue Highway.ttf", "Acknowledge TT QVL.ttf"};
const char* const kUiFontFiles[14] = {"",
                                      kFontFamilies[0], kFontFamilies[0], kFontFamilies[0], kFontFamilies[0],
                                      kFontFamilies[1], kFontFamilies[1], kFontFamilies[1],
                                      kFontFamilies[0], kFontFamilies[0],
                                      kFontFamilies[2], kFontFamilies[2], kFontFamilies[2], kFontFamilies[2]};

FontSizes SharedFontSizes(int screenWidth) {
  double s1 = 1.0, s2 = 1.0;
  if (screenWidth < 900) {
    s1 = 1.2;
    s2 = 1.4;
  }
  if (screenWidth < 600) {
    s1 = 1.5;
    s2 = 2.0;
  }
  FontSizes f;
  const double base[14] = {0, 24 * s1, 16 * s2, 16 * s2, 20 * s1, 96 * s1, 72 * s1, 32 * s1,
                           32 * s1, 14 * s1, 112, 96, 32, 20};
  for (int i = 1; i <= 13; ++i) f.ui[i] = static_cast<int>(base[i]);
  const int steps[9] = {8, 12, 18, 24, 32, 40, 52, 64, 96};
  for (int family = 0; family < 3; ++family) {
    for (int i = 0; i < 9; ++i) f.sized[family * 10 + i] = static_cast<int>(steps[i] * s1);
  }
  return f;
}

void LoadSharedAssets() {
  plat::AutoMidHandle(true);
  LogLine("");
  LogLine("Loading : Common Objects");
  LogLine("");
  LogLine("Switching to Default Folder");
  LogLine("");
  // Come back to exactly where we started, even when a folder on the way is missing.
  const std::string gameFolder = plat::CurrentDir();
  plat::ChangeDir("../");
  plat::ChangeDir("Common/");

  LogLine("\tDefault Fonts");
  LoadFonts();
  LogLine("\tDefault Icons");
  ReplaceImage(Core.IconsFiltered, plat::LoadAnimImage("icons.png", 16, 16, 0, 64, plat::kImageDefault));
  ReplaceImage(Core.IconsCrisp, plat::LoadAnimImage("icons.png", 16, 16, 0, 64, plat::kImageMasked));
  LogLine("\tLogos");
  ReplaceImage(Core.LogoImage, plat::LoadImage("logo.png", plat::kImageDefault));
  ReplaceImage(Core.CommunityLogoImage, plat::LoadImage("Pellium.png", plat::kImageDefault));
  LogLine("\tBadgeGet");
  ReplaceSound(Core.BadgeGetSound, plat::LoadSound("badgeget.wav", 0));
  if (Config.GraphicsStarted == 0) ShowSplash();

  LogLine("");
  LogLine("Switching to Game Folder");
  plat::ChangeDir(gameFolder);
  ReplaceImage(Core.BadgesImage, plat::LoadAnimImage("badges.png", 64, 64, 0, 16, plat::kImageDefault));

  LogLine("");
  LogLine("Loading Sound effects");
  for (int k = 1; k <= 200; ++k) {
    const std::string file = ThreeDigits(k) + ".wav";
    if (plat::FileType(file) != plat::kFileTypeFile) {
      ReplaceSound(Audio.SoundEffects[k], 0);
      continue;
    }
    LogLine("\tSFX(" + std::to_string(k) + ")");
    ReplaceSound(Audio.SoundEffects[k], plat::LoadSound(file, 0));
  }
  LogLine("Sounds loaded");
  LogLine("");
  if (Config.DisplayHooks.LoadScores) Config.DisplayHooks.LoadScores();
}

void SetupDisplay() {
  const std::vector<plat::DisplayMode> modes = plat::DisplayModes();
  BuildModeList(modes);
  Core.Settings[slot::width] = Core.ScreenWidth;
  Core.Settings[slot::height] = Core.ScreenHeight;

  LogLine("");
  LogLine(kBanner);
  LogLine("Applying Graphical Settings");
  if (Config.GraphicsStarted == 1) {
    plat::CloseDisplay();
    LogLine("\tChanged Graphics Mode ingame.");
  }
  // A marker left behind means the last attempt died while opening the display.
  if (plat::FileType(kCrashMarker) == plat::kFileTypeFile && Core.Settings[slot::gfxEngine] == 0) {
    Core.Settings[slot::gfxEngine] = 1;
  }
  const int engine = Core.Settings[slot::gfxEngine];
  if (engine >= 0 && engine <= 2) LogLine(kDriverLines[engine]);
  plat::SetGraphicsDriver(engine);

  int depth = 0;
  if (Core.Settings[slot::fullscreen] == 1) {
    depth = FullScreenDepth(modes);
    if (depth == 0) AddMessage(kFullscreenRefused, 1);
  }
  LogLine("\tResolution : " + std::to_string(Core.ScreenWidth) + "x" + std::to_string(Core.ScreenHeight) + "," +
          std::to_string(depth));

  CreateCrashMarker();
  if (!OpenChosenDisplay(depth)) {
    // Not a crash: no display can be had at all, so end cleanly and say why.
    LogLine("\tNo display could be opened; ending.");
    RemoveCrashMarker();
    CloseLog();
    plat::EndProcess(1);
  }
  ChooseVirtualSurface();
  LoadSharedAssets();
  if (Config.DisplayHooks.LoadGameMedia) Config.DisplayHooks.LoadGameMedia();
  LogLine(kBanner);
  RemoveCrashMarker();
}

void RemoveCrashMarker() {
  if (Config.CrashMarkerPath.empty()) return;
  plat::DeleteFile(Config.CrashMarkerPath);
  Config.CrashMarkerPath.clear();
}
