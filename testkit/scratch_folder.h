// A scratch folder of its own for a test or a tool's session.
#pragma once

#include <filesystem>
#include <random>
#include <string>

// A new empty folder of this test's own under the system's temporary folder,
// as a path with '/' ("" when none could be made).
inline std::string MakeScratchFolder() {
  std::error_code error;
  const std::filesystem::path temp = std::filesystem::temp_directory_path(error);
  if (error) return {};
  std::random_device seed;
  std::mt19937_64 pick(seed());
  for (int tries = 0; tries < 100; ++tries) {
    const std::filesystem::path dir = temp / ("puffwick_test_" + std::to_string(pick() % 1000000000000ull));
    if (std::filesystem::create_directory(dir, error)) return dir.generic_string();
  }
  return {};
}
