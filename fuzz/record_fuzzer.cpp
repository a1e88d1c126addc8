// libFuzzer entry point for the saved record: arbitrary bytes are the state
// file, the game loads it, and the fields it ends with must be exactly what
// the independent model of the record (tests/record/record_model.h) gives
// for the same text, from the same bounded start of the file.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_support.h"
#include "tests/record/record_game.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  using namespace vantor;
  static testing::RecordGame* game = [] {
    fuzz::EnterScratchDirectory();
    return new testing::RecordGame;
  }();
  const testing::RecordFields loaded =
      game->Load(std::string(reinterpret_cast<const char*>(bytes), size));
  const String text =
      String::Load(bytes, static_cast<int>(std::min<std::size_t>(size, kMaxStateBytes)));
  const std::u16string units(text.Data(), static_cast<size_t>(text.Length()));
  fuzz::Check(loaded == testing::ModelLoad(units), "the game loads what the record model loads");
  return 0;
}
