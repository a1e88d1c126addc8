// Hand-edited and oversized records: loading keeps every value the game
// works with in the range it can handle, and reads a bounded amount.
#include <gtest/gtest.h>

#include <climits>

#include "tests/host/temp_dir.h"
#include "tests/record/record_game.h"

namespace vantor::testing {
namespace {

RecordFields ValidFields() {
  RecordFields fields = RecordFields::Defaults();
  fields.settings[10] = fields.settings[11] = 64;
  fields.settings[12] = 10;
  return fields;
}

TEST(RecordBounds, SoundModeLoadsIntoTheRangeTheGameUses) {
  struct Case {
    int stored, loaded;
  };
  // A checksum that matches makes every value reach the game.
  const Case cases[] = {{INT_MIN, 1}, {-1, 1}, {0, 0}, {3, 3}, {4, 1}, {INT_MAX, 1}};
  ScopedWorkDir dir;
  RecordGame game;
  for (const Case& c : cases) {
    RecordFields fields = ValidFields();
    fields.settings[5] = c.stored;
    const RecordFields loaded = game.Load(RecordText(RecordElements(fields)));
    EXPECT_EQ(loaded.settings[5], c.loaded) << "stored " << c.stored;
    fields.settings[5] = c.loaded;
    EXPECT_TRUE(loaded == fields) << "stored " << c.stored << ": other fields changed";
  }
}

TEST(RecordBounds, OnlyTheBoundedStartOfAHugeFileIsRead) {
  ScopedWorkDir dir;
  RecordGame game;
  RecordFields fields = ValidFields();
  fields.scores[0] = 12345;
  const std::string record = RecordText(RecordElements(fields));
  const std::string tail(4 * kMaxStateBytes, '7');
  WriteFile(kStateFileName, record + tail);
  const String text = LoadStateFile();
  EXPECT_EQ(text.Length(), kMaxStateBytes);
  EXPECT_TRUE(text.StartsWith(String(record.c_str())));
  EXPECT_TRUE(game.Load(record + tail) == fields);
}

}  // namespace
}  // namespace vantor::testing
