#include "config/display.h"

ModeTable ModeList = {};
int ModeCount = 0;
int ScreenWidth = 800;
int ScreenHeight = 600;
int VirtualWidth = 1280;
int VirtualHeight = 960;
int GraphicsStarted = 0;

plat::Font UiFonts[20] = {};
plat::Font SizedFonts[100] = {};
plat::Image IconsFiltered = 0;
plat::Image IconsCrisp = 0;
plat::Image LogoImage = 0;
plat::Image CommunityLogoImage = 0;
plat::Image BadgesImage = 0;
plat::Sound BadgeGetSound = 0;
