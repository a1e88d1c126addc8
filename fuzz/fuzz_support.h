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

// Enters a fresh temporary directory, removed when the process exits; in
// memory (/dev/shm) where there is one, since every input is written out.
// The corpus folders given to such a target must be absolute paths.
inline void EnterScratchDirectory() {
  namespace fs = std::filesystem;
  const fs::path base = fs::is_directory("/dev/shm") ? "/dev/shm" : fs::temp_directory_path();
  static std::string path = (base / "vantor-fuzz-XXXXXX").string();
  if (!mkdtemp(path.data()) || chdir(path.c_str()) != 0) Check(false, "a scratch directory");
  std::atexit([] { std::filesystem::remove_all(path); });
}

// A fresh file each time: some file systems flush a truncated file as it
// closes, which would slow a run down to the disk's pace.
inline void WriteBytes(const char* name, const unsigned char* data, size_t size) {
  std::remove(name);
  std::ofstream(name, std::ios::binary)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

}  // namespace vantor::fuzz
