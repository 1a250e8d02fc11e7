// Glyph pictures: TrueType faces read from a font file's bytes and rendered with
// FreeType, and the built-in font's hand-drawn glyphs. Coverage bitmaps out,
// nothing of the screen or of any renderer in.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

struct FT_FaceRec_;
struct FT_SizeRec_;

namespace plat::media {

enum FontStyle { kStyleBold = 1, kStyleItalic = 2, kStyleSmooth = 4 };

// One character's picture: coverage 0..255, w*h bytes, top row first.
struct GlyphBitmap {
  int advance = 0;
  int left = 0, top = 0;  // bitmap offset from the pen: x right, y down from the line top
  int w = 0, h = 0;
  std::vector<uint8_t> coverage;
};

// A face read from a font file's bytes. One face serves every size made from it:
// a game loads the same few files at many sizes.
class FontFace {
 public:
  // Null when FreeType cannot read the bytes.
  static std::shared_ptr<FontFace> Open(std::vector<uint8_t> bytes);
  ~FontFace();
  FontFace(const FontFace&) = delete;
  FontFace& operator=(const FontFace&) = delete;

 private:
  FontFace() = default;
  friend class FontSize;
  std::vector<uint8_t> bytes_;  // FreeType reads the face from them while it lives
  FT_FaceRec_* face_ = nullptr;
};

// A face at one pixel size (the height of a line, ascender plus descender) and
// style (FontStyle). Sizes of one face share it: Activate makes this one current
// before glyphs are measured or rendered.
class FontSize {
 public:
  // Null when FreeType refuses the size. The size is left active.
  static std::unique_ptr<FontSize> Make(std::shared_ptr<FontFace> face, int pixelSize, int style);
  ~FontSize();
  FontSize(const FontSize&) = delete;
  FontSize& operator=(const FontSize&) = delete;

  // Makes this size the face's active one; false if FreeType refuses.
  bool Activate();
  // Lets go of the size's hinting state until the next Activate (most fonts are
  // only measured, if used at all).
  void DropSize();
  // The baseline's distance below the line top, in pixels, within 0..pixelSize.
  int Ascent() const { return ascent_; }
  int Style() const { return style_; }
  // The advance of a Latin-1 code, and whether it has no picture (a space); false
  // when the face lacks the character. The size must be active.
  bool Measure(int code, int& advance, bool& blank);
  // The picture of a Latin-1 code; false if the face has none. The size must be active.
  bool Render(int code, GlyphBitmap& out);

 private:
  FontSize() = default;
  std::shared_ptr<FontFace> face_;
  FT_SizeRec_* size_ = nullptr;  // made on Activate (it holds hinting state)
  int pixelSize_ = 0;
  int style_ = 0;
  int ascent_ = 0;
};

// The built-in font: hand-drawn glyphs for printable ASCII (accented Latin-1
// letters folded to their base letter), with no smoothing.
struct BuiltInFont {
  int lineHeight = 0;
  std::array<GlyphBitmap, 256> glyphs;
};
BuiltInFont BuiltInFontGlyphs();

}  // namespace plat::media
