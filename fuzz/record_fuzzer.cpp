// libFuzzer entry point for the saved record: arbitrary bytes are the state
// file and the game loads it. Whatever it held, the settings end in the
// ranges the game uses, the game saves exactly the record model's text
// (tools/testing/record_model.h) of what it loaded, and loading that text
// gives the same fields back. Loading builds collected arrays of the
// record's parts, so the collector's heap is checked after every input.
#include <algorithm>

#include "fuzz/fuzz_support.h"
#include "game/ids.h"
#include "tools/testing/record_game.h"
#include "tools/testing/temp_dir.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  using namespace vantor;
  static testing::RecordGame* game = (fuzz::EnterScratchDirectory(), new testing::RecordGame);
  const testing::RecordFields loaded = game->Load(fuzz::Text(bytes, size));
  const std::vector<int32_t>& settings = loaded[0];
  const int32_t soundMode = settings[kSettingSoundMode];
  fuzz::Check(soundMode >= 0 && soundMode < kSoundModes &&
                  std::min(settings[kSettingPadX], settings[kSettingPadY]) >= kPadMinPosition &&
                  settings[kSettingPadSize] >= kPadMinSize,
              "the sound mode and the pad are in range");
  game->app().m_Save();
  const std::string saved = testing::ReadFile(kStateFileName);
  fuzz::Check(saved == testing::RecordText(loaded),
              "the game saves the model's text of what it loaded");
  fuzz::Check(game->Load(saved) == loaded, "the saved record loads back the same");
  fuzz::CheckHeap();
  return 0;
}
