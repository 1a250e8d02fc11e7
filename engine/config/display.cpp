#include "config/display.h"

ConfigState Config;

void ResetConfig() { Config = ConfigState{}; }
