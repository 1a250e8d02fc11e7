// The display's sizes and the assets shared by every screen: fonts by role and by
// size, the icon strips, logos and badges. Display setup fills them.
#pragma once

#include "platform/platform.h"

extern int ScreenWidth;    // the display size actually opened
extern int ScreenHeight;
extern int VirtualWidth;   // the virtual drawing surface every screen draws on
extern int VirtualHeight;

extern plat::Font UiFonts[20];      // by role
extern plat::Font SizedFonts[100];  // three families at nine sizes
extern plat::Image IconsFiltered;   // 16x16 icon strip, 64 frames, smooth scaling
extern plat::Image IconsCrisp;      // the same strip, nearest-pixel scaling
extern plat::Image LogoImage;
extern plat::Image CommunityLogoImage;
extern plat::Image BadgesImage;
extern plat::Sound BadgeGetSound;
