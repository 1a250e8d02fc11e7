// Shared helpers of the 2D tests: a headless display whose virtual size equals its
// real size, pixel reads, and small PNG files written with libpng directly (so that
// the loader is not tested against our own writer only).
#pragma once

#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"

namespace gfxtest {

struct Rgb {
  int r, g, b;
};

inline bool Near(Rgb a, Rgb b, int tolerance = 1) {
  return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

inline std::ostream& operator<<(std::ostream& os, Rgb c) {
  return os << "(" << c.r << "," << c.g << "," << c.b << ")";
}

// Writes a PNG of any colour type and bit depth from raw row bytes.
inline bool WriteRawPng(const std::string& path, int w, int h, int colorType, int bitDepth,
                        const std::vector<uint8_t>& data, const std::vector<png_color>& palette = {},
                        const std::vector<uint8_t>& paletteAlpha = {}) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
    return false;
  }
  png_init_io(png, f);
  png_set_IHDR(png, info, w, h, bitDepth, colorType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (!palette.empty()) png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
  if (!paletteAlpha.empty()) {
    png_set_tRNS(png, info, paletteAlpha.data(), static_cast<int>(paletteAlpha.size()), nullptr);
  }
  png_write_info(png, info);
  const size_t stride = data.size() / h;
  for (int y = 0; y < h; ++y) png_write_row(png, const_cast<png_bytep>(&data[y * stride]));
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  std::fclose(f);
  return true;
}

// RGBA8 convenience: pixels given as 0xRRGGBBAA, top row first.
inline bool WriteRgbaPng(const std::string& path, int w, int h, const std::vector<uint32_t>& pixels) {
  std::vector<uint8_t> data;
  for (uint32_t p : pixels) {
    data.push_back(p >> 24);
    data.push_back((p >> 16) & 255);
    data.push_back((p >> 8) & 255);
    data.push_back(p & 255);
  }
  return WriteRawPng(path, w, h, PNG_COLOR_TYPE_RGB_ALPHA, 8, data);
}

class GfxTest : public ::testing::Test {
 public:
  static constexpr int kW = 64, kH = 48;

  void SetUp() override {
    backend_ = &plat::UseHeadless();
    ASSERT_TRUE(plat::OpenDisplay(kW, kH, 0, 60, 0));
    plat::SetVirtualResolution(kW, kH);
    ResetState();
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "_" + info->name();
    std::replace(name.begin(), name.end(), '/', '_');  // parameterised names
    dir_ = std::filesystem::path(PUFFWICK_BINARY_DIR) / "platform_gfx_tmp" / name;
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }

  void TearDown() override {
    ResetState();
    std::filesystem::remove_all(dir_);
  }

  static void ResetState() {
    plat::SetColor(255, 255, 255);
    plat::SetAlpha(1);
    plat::SetBlend(plat::kBlendAlpha);
    plat::SetRotation(0);
    plat::SetScale(1, 1);
    plat::SetImageFont(0);
    plat::AutoMidHandle(false);
  }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

 public:
  // A back-buffer pixel (real pixels).
  static Rgb Px(int x, int y) {
    uint8_t p[4];
    plat::CurrentBackend().renderer()->ReadPixels(x, y, 1, 1, p);
    return {p[0], p[1], p[2]};
  }

  // True when any pixel of the back buffer outside the box [x0,x1) x [y0,y1) is not
  // black; `inside` counts the lit pixels within it.
  static bool LitOutside(int x0, int y0, int x1, int y1, int* inside) {
    std::vector<uint8_t> buf(kW * kH * 4);
    plat::CurrentBackend().renderer()->ReadPixels(0, 0, kW, kH, buf.data());
    bool outside = false;
    *inside = 0;
    for (int y = 0; y < kH; ++y) {
      for (int x = 0; x < kW; ++x) {
        const uint8_t* p = &buf[(y * kW + x) * 4];
        if (p[0] == 0 && p[1] == 0 && p[2] == 0) continue;
        if (x >= x0 && x < x1 && y >= y0 && y < y1) {
          ++*inside;
        } else {
          outside = true;
        }
      }
    }
    return outside;
  }

 protected:
  plat::HeadlessBackend* backend_ = nullptr;
  std::filesystem::path dir_;
};

}  // namespace gfxtest
