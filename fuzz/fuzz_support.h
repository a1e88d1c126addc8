// Shared by the fuzz targets: a property check that stops like a crash (so
// libFuzzer keeps the input), and a private working directory for targets
// that go through files.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace vantor::fuzz {

inline void Check(bool holds, const char* property) {
  if (holds) return;
  std::fprintf(stderr, "property broken: %s\n", property);
  std::abort();
}

// Enters a fresh temporary directory, removed when the process exits. The
// corpus folders given to such a target must be absolute paths.
inline void EnterScratchDirectory() {
  static std::string path = (std::filesystem::temp_directory_path() / "vantor-fuzz-XXXXXX").string();
  if (!mkdtemp(path.data()) || chdir(path.c_str()) != 0) Check(false, "a scratch directory");
  std::atexit([] { std::filesystem::remove_all(path); });
}

inline void WriteBytes(const char* name, const unsigned char* data, size_t size) {
  std::ofstream(name, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

}  // namespace vantor::fuzz
