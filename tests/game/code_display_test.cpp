// The code typed on the vault keypad is shown in full, in the right-code
// colour only while it still matches the vault code so far.
#include <gtest/gtest.h>

#include <string>

#include "game/run.h"
#include "tests/game/run_helpers.h"

namespace vantor::testing {
namespace {

struct Colour {
  float red, green, blue, alpha;
};
constexpr Colour kRight = {150, 255, 150, 1};
constexpr Colour kWrong = {255, 150, 150, 0.5f};

TEST(CodeDisplay, TheTypedCodeLooksRightOnlyWhileItMatches) {
  struct Case {
    const char* typed;
    Colour colour;
  };
  const Case cases[] = {
      {"123", kRight},
      {"124", kWrong},
      {"1234567891", kWrong},   // ten digits, the last one wrong
      {"12345678901", kWrong},  // one digit past the whole code
  };
  GameHarness harness;
  MyApp& app = harness.app();
  StartRun(harness);
  harness.Frame();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    app.targetCode = T("1234567890");
    app.enteredCode = T(c.typed);
    harness.Frame();
    ASSERT_EQ(app.phase, run::kPhaseKeypad);
    EXPECT_TRUE(HasLine(app, c.typed));
    int glyphs = 0;
    for (const DrawRecord& glyph : ImagesOf(app, app.currentFont)) {
      const Colour& want = c.colour;
      if (glyph.red == want.red && glyph.green == want.green && glyph.blue == want.blue &&
          glyph.alpha == want.alpha) {
        ++glyphs;
      }
    }
    EXPECT_EQ(glyphs, static_cast<int>(std::string(c.typed).size()));
  }
}

}  // namespace
}  // namespace vantor::testing
