// Drawing in two dimensions: colours and blending, images, pixmaps (with PNG
// saving) and fonts. Images and fonts keep working across display changes.
#pragma once

#include <cstdint>
#include <string>

namespace plat {

using Image = int;
using Font = int;
using Pixmap = int;

// ---------------------------------------------------------------- 2D drawing
enum BlendMode { kBlendMask = 1, kBlendSolid = 2, kBlendAlpha = 3, kBlendLight = 4, kBlendShade = 5 };

void SetColor(int r, int g, int b);
void GetColor(int& r, int& g, int& b);
void SetAlpha(double alpha);
double GetAlpha();
void SetBlend(int mode);
int GetBlend();
void SetRotation(double degrees);
double GetRotation();
void SetScale(double x, double y);
void GetScale(double& x, double& y);
void DrawRect(double x, double y, double width, double height);
void DrawImage(Image image, double x, double y, int frame = 0);
void DrawText(const std::string& text, double x, double y);
int TextWidth(const std::string& text);
int TextHeight();
// The box of the pixels the text covers when drawn at 0,0 with the current font
// (its glyph pictures, not its line box), in unscaled pixels, right and bottom
// exclusive. False for a text that covers none.
bool TextInkBox(const std::string& text, int& left, int& top, int& right, int& bottom);
void SetImageFont(Font font);  // 0 selects the built-in default font
Font GetImageFont();

// ---------------------------------------------------------------- images
// kImageDefault stands for masked and filtered; kImagePlain is neither.
enum ImageFlags { kImageDefault = -1, kImagePlain = 0, kImageMasked = 1, kImageFiltered = 2, kImageMipmapped = 4 };

Image LoadImage(const std::string& path, int flags = kImageDefault);
Image LoadAnimImage(const std::string& path, int cellWidth, int cellHeight, int firstCell,
                    int cellCount, int flags = kImageDefault);
int ImageWidth(Image image);
int ImageHeight(Image image);
int ImageFrames(Image image);
void SetImageHandle(Image image, double x, double y);
double ImageHandleX(Image image);
double ImageHandleY(Image image);
void MidHandle(Image image);
void AutoMidHandle(bool on);
Image CreateImage(int width, int height, int frames = 1, int flags = -1);
// Copies the back buffer at x,y (real pixels) into frame `frame` of the image.
void GrabImage(Image image, int x, int y, int frame = 0);
void FreeImage(Image image);

// A pixel map held in memory, RGBA8, top row first.
Pixmap GrabPixmap(int x, int y, int width, int height);
Pixmap LoadPixmap(const std::string& path);
int PixmapWidth(Pixmap pixmap);
int PixmapHeight(Pixmap pixmap);
// 0xRRGGBBAA
uint32_t PixmapPixel(Pixmap pixmap, int x, int y);
// False when no file was written; `why` (if given) then says what stopped it.
bool SavePixmapPNG(Pixmap pixmap, const std::string& path, int compressionLevel, std::string* why = nullptr);
// Offers a saved file to the player as a download (a web page); elsewhere nothing.
void OfferDownload(const std::string& path);
void FreePixmap(Pixmap pixmap);

// ---------------------------------------------------------------- fonts
// TrueType through FreeType; glyphs are rendered once into images. Fonts stay
// usable across display changes.
Font LoadImageFont(const std::string& path, int pixelSize, int styleFlags = 4);
void FreeFont(Font font);

}  // namespace plat
