// The display and the assets that live inside it or are shared by the whole
// framework: fonts, icon strips, logos, badges. SetupDisplay fills them.
#pragma once

#include "platform/platform.h"

// Usable display modes, two parallel tables used from index 1.
struct ModeTable {
  int width[2500];
  int height[2500];
};
extern ModeTable ModeList;
extern int ModeCount;

extern int ScreenWidth;    // the display size actually opened
extern int ScreenHeight;
extern int VirtualWidth;   // the virtual drawing surface every screen draws on
extern int VirtualHeight;
extern int GraphicsStarted;  // 1 once the first display setup has shown its splash

extern plat::Font UiFonts[20];      // by role
extern plat::Font SizedFonts[100];  // three families at nine sizes
extern plat::Image IconsFiltered;   // 16x16 icon strip, 64 frames, smooth scaling
extern plat::Image IconsCrisp;      // the same strip, nearest-pixel scaling
extern plat::Image LogoImage;
extern plat::Image CommunityLogoImage;
extern plat::Image BadgesImage;
extern plat::Sound BadgeGetSound;

// Builds the mode list, opens the display at the chosen size and renderer (with
// the crash-marker fall-back), sets the virtual surface and (re)loads every shared
// asset and the game's media. Run at start-up and by the settings panel's Apply.
void SetupDisplay();
