// The game's actions over keys, joystick and iCade letters, the badge
// pop-ups, and an update and render cycle that allocates nothing once
// loading is done.
#include <string>
#include <tuple>
#include <vector>

#include "game/ids.h"
#include "host/input.h"
#include "runtime/gc.h"
#include "tests/game/game_harness.h"

namespace vantor::testing {
namespace {

const int kActions[] = {kActionUp,    kActionLeft,  kActionRight, kActionDown, kActionFire,
                        kActionFire2, kActionFire3, kActionFire4, kActionBack};

// The actions that are down.
std::vector<int> Down(MyApp& app) {
  std::vector<int> down;
  for (int action : kActions) {
    if (app.m_PlayKey(action)) down.push_back(action);
  }
  return down;
}

// Each action's sources: keys, the joystick button, and the iCade letter
// that latches it.
const struct {
  int action;
  std::vector<int> letters, keys;
  int button;
  char iCade;
} kSources[] = {
    {kActionUp, {'W'}, {38}, 9, 'W'},
    {kActionLeft, {'A'}, {37}, 8, 'A'},
    {kActionRight, {'D'}, {39}, 10, 'D'},
    {kActionDown, {'S'}, {40}, 11, 'X'},
    {kActionFire, {'Z', 'J'}, {32, 13}, 0, 'H'},
    {kActionFire2, {'X', 'K'}, {17}, 1, 'J'},
    {kActionFire3, {'C', 'L'}, {16}, 2, 'K'},
    {kActionFire4, {'V', 'I'}, {}, 3, 'Y'},
    {kActionBack, {}, {27, 46, 8}, 7, 'O'},
};

TEST(Controls, EveryKeyButtonAndICadeLetterDownsItsActionOnly) {
  GameHarness game;
  MyApp& app = game.app();
  auto expectOnly = [&](int action, const std::string& source) {
    game.Update();
    EXPECT_EQ(Down(app), std::vector<int>{action}) << source;
  };
  for (const auto& s : kSources) {
    std::vector<int> keys = s.letters;
    keys.insert(keys.end(), s.keys.begin(), s.keys.end());
    for (int key : keys)
      game.KeyDown(key), expectOnly(s.action, "key " + std::to_string(key)), game.KeyUp(key);
    game.platform().buttons.assign(12, 0);
    game.platform().buttons[s.button] = 1;
    expectOnly(s.action, "button " + std::to_string(s.button));
    game.platform().buttons.assign(12, 0);
    app.m_iCade(1);
    game.Type(std::string(1, s.iCade));
    expectOnly(s.action, std::string("iCade ") + s.iCade);
    app.m_iCade(0);
  }
  // The sticks count beyond 0.4 either way.
  for (const auto& [axis, value, down] :
       {std::tuple{0, -0.41f, 3}, std::tuple{0, 0.41f, 5}, std::tuple{1, -0.41f, 0},
        std::tuple{1, 0.41f, 8}, std::tuple{0, 0.4f, -1}, std::tuple{1, -0.4f, -1}}) {
    game.platform().axes.assign(kJoyAxisCount, 0);
    game.platform().axes[axis] = value;
    game.Update();
    EXPECT_EQ(Down(app), down < 0 ? std::vector<int>{} : std::vector<int>{down}) << value;
  }
}

// A pop-up slides in 16 units an update, rests, slides out and is freed
// after 240 updates; rows stack upward and only 13 are shown.
TEST(Badges, PopupsSlideInRestAndLeaveAfterFourSeconds) {
  GameHarness game;
  MyApp& app = game.app();
  auto boxes = [&] {
    std::vector<float> xy;
    for (const DrawRecord& r : RecordsOf(app, kRecordRect)) {
      if (r.width == 160 && r.height == 32) xy.insert(xy.end(), {r.x, r.y});
    }
    return xy;
  };
  app.popupBadge[0] = 63;
  app.popupBadge[12] = 64;  // no icon beyond the sheet's 64
  for (const int slot : {0, 12, 13}) app.popupTimer[slot] = 1;
  game.Frame();
  EXPECT_EQ(boxes(), (std::vector<float>{-128, 480 - 34, -128, 480 - 34 * 13}));
  EXPECT_EQ(RecordsOf(app, kBadgeIcons).size(), 1u);
  game.Frame(8);
  EXPECT_EQ(boxes().at(0), 0) << "at rest from the tenth update";
  game.Frame(220);
  EXPECT_EQ(boxes().at(0), 0);
  game.Frame();
  EXPECT_EQ(boxes().at(0), -16) << "leaving";
  game.Frame(11);
  EXPECT_TRUE(boxes().empty());
  EXPECT_EQ(app.popupTimer[13], 1) << "slot 13 is never shown";
}

TEST(SteadyState, MenusAndARunAllocateNothingPerFrame) {
  GameHarness game;
  for (const char* screen : {"title", "rate display", "run"}) {
    SCOPED_TRACE(screen);
    game::DebugMode = screen == std::string("rate display") ? 1 : 0;
    if (screen == std::string("run")) game.StartRun();
    game.Frame(60);
    const int before = gc_alloced_bytes;
    game.Frame(600);
    EXPECT_EQ(gc_alloced_bytes - before, 0);
  }
}

}  // namespace
}  // namespace vantor::testing
