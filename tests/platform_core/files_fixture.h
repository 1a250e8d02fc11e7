// The fixture of the files tests, shared with their Linux-only part.
#pragma once

// Folders, file types and the one-byte-per-character text streams.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/headless/headless.h"
#include "platform/os.h"
#include "platform/platform.h"

namespace fs = std::filesystem;

class Files : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::UseHeadless();
    home_ = fs::current_path();
    dir_ = fs::path(PUFFWICK_BINARY_DIR) / ("platform_core_files_" + std::to_string(plat::sys::ProcessId()));
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "sub");
    fs::current_path(dir_);
  }
  void TearDown() override {
    fs::current_path(home_);
    fs::remove_all(dir_);
    plat::SetNoticeSink(nullptr);
  }
  static std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  static void Put(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  // The temporary files of saves left in a folder ("<name>.new" and "<name>.new-...").
  static std::vector<std::string> Temps(const std::string& folder = ".") {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(folder)) {
      const std::string name = e.path().filename().string();
      if (name.find(".new") != std::string::npos) out.push_back(name);
    }
    return out;
  }
  fs::path home_, dir_;
};
