#include "config/display.h"

ModeTable ModeList = {};
int ModeCount = 0;
int GraphicsStarted = 0;
DisplayServices DisplayHooks;
