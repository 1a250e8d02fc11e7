// Display setup and the shared assets.
#pragma once

// Font files of the three families, and the file of each Core.UiFonts slot 1..13.
extern const char* const kFontFamilies[3];
extern const char* const kUiFontFiles[14];

// Pixel sizes of Core.UiFonts slots 1..13 and Core.SizedFonts slots 0..8, 10..18, 20..28
// for a display of the given width (small displays get larger type).
struct FontSizes {
  int ui[14] = {};
  int sized[30] = {};
};
FontSizes SharedFontSizes(int screenWidth);

// Loads fonts, icons, logos, the badge jingle (and the splash on the first run),
// the badges, the sound effects and the score list.
void LoadSharedAssets();
