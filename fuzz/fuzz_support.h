// Shared by the fuzz targets: a property check that stops like a crash (so
// libFuzzer keeps the input) with a line that names the property, the
// collector's heap check every target runs after each input, a private
// working directory for targets that go through files, and the input as
// text.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "host/log.h"
#include "runtime/gc.h"

namespace vantor::fuzz {

inline void Check(bool holds, const char* property) {
  if (!holds) Fatal("fuzz", std::string("property broken: ") + property);
}

// The collector's lists and colours hold together after an input, whether
// or not the code under test allocated from it (a stray write into them
// shows here first); gc_check_heap names what it found broken.
inline void CheckHeap() { Check(gc_check_heap(), "the collector's heap holds together"); }

// Enters a fresh temporary directory, removed when the process exits; in
// memory (/dev/shm) where there is one, since every input is written out.
// The corpus folders given to such a target must be absolute paths.
inline void EnterScratchDirectory() {
  namespace fs = std::filesystem;
  const fs::path base = fs::is_directory("/dev/shm") ? "/dev/shm" : fs::temp_directory_path();
  static std::string path = base / "vantor-fuzz-XXXXXX";
  Check(mkdtemp(path.data()) && chdir(path.c_str()) == 0, "a scratch directory");
  atexit([] { std::filesystem::remove_all(path); });
}

inline std::string Text(const std::uint8_t* bytes, std::size_t size) {
  return std::string(reinterpret_cast<const char*>(bytes), size);
}

}  // namespace vantor::fuzz
