#include "core/assets.h"

int ScreenWidth = 800;
int ScreenHeight = 600;
int VirtualWidth = 1280;
int VirtualHeight = 960;

plat::Font UiFonts[20] = {};
plat::Font SizedFonts[100] = {};
plat::Image IconsFiltered = 0;
plat::Image IconsCrisp = 0;
plat::Image LogoImage = 0;
plat::Image CommunityLogoImage = 0;
plat::Image BadgesImage = 0;
plat::Sound BadgeGetSound = 0;
