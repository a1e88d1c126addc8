// The code typed on the vault keypad is shown in full, in the right-code
// colour only while it still matches the vault code so far.
#include <gtest/gtest.h>

#include <string>

#include "game/run.h"
#include "tests/game/run_helpers.h"

namespace vantor::testing {
namespace {

TEST(CodeDisplay, TheTypedCodeLooksRightOnlyWhileItMatches) {
  // Right: (150, 255, 150) alpha 1; wrong: (255, 150, 150) alpha 0.5.
  struct Case {
    const char* typed;
    float red, green, alpha;
  };
  const Case cases[] = {
      {"123", 150, 255, 1},
      {"124", 255, 150, 0.5f},
      {"1234567891", 255, 150, 0.5f},   // ten digits, the last one wrong
      {"12345678901", 255, 150, 0.5f},  // one digit past the whole code
  };
  GameHarness harness;
  MyApp& app = harness.app();
  StartRun(harness);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    app.targetCode = T("1234567890");
    app.enteredCode = T(c.typed);
    harness.Frame();
    ASSERT_EQ(app.phase, run::kPhaseKeypad);
    EXPECT_TRUE(HasLine(app, c.typed));
    int glyphs = 0;
    for (const DrawRecord& glyph : ImagesOf(app, app.currentFont)) {
      glyphs += glyph.red == c.red && glyph.green == c.green && glyph.alpha == c.alpha;
    }
    EXPECT_EQ(glyphs, static_cast<int>(std::string(c.typed).size()));
  }
}

}  // namespace
}  // namespace vantor::testing
