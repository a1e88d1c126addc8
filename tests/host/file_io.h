// Whole-file reads and writes for the tests of files and saved state in
// tests/host and tests/modules (which run inside a ScratchDataDir, see
// tests/host/graphics_fixtures.h).
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

namespace vantor::testing {

// Writes `bytes` to `path` (relative to the working directory), creating
// its folders.
inline void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace vantor::testing
