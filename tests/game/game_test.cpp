// The game's table of bindings (its actions over keys, joystick and iCade
// letters), the badge
// pop-ups, and an update and render cycle that allocates nothing once
// loading is done.
#include <string>
#include <tuple>
#include <vector>

#include "game/ids.h"
#include "host/input.h"
#include "runtime/gc.h"
#include "tools/testing/game_harness.h"

namespace vantor::testing {
namespace {

// Every action of the table of bindings.
const std::vector<int> kActions = [] {
  std::vector<int> actions = {kActionUp,   kActionLeft,   kActionRight, kActionDown,
                              kActionFire, kActionFire2,  kActionFire3, kActionFire4,
                              kActionBack, kActionReload, kActionDuck,  kActionClear};
  for (int action = kActionDigit0; action <= kActionDigit9; ++action) actions.push_back(action);
  return actions;
}();

// The actions that are down.
std::vector<int> Down(MyApp& app) {
  std::vector<int> down;
  for (int action : kActions) {
    if (app.m_PlayKey(action)) down.push_back(action);
  }
  return down;
}

// Sources: keys (letters by their capital), pad buttons in the host's
// order (A 0, B 1, X 2, Y 3, Start 7, d-pad left, up, right, down 8-11),
// iCade letters, and the actions each downs. A pad's B and X and the
// iCade buttons that stand for them also duck and reload; Shift ducks, C
// clears, S and the down ways duck.
const struct {
  std::vector<int> keys, buttons;
  std::string iCade;
  std::vector<int> down;
} kSources[] = {
    {{'W', 38}, {9}, "W", {kActionUp}},
    {{'A', 37}, {8}, "A", {kActionLeft}},
    {{'D', 39}, {10}, "D", {kActionRight}},
    {{'S', 40}, {11}, "X", {kActionDown, kActionDuck}},
    {{'Z', 'J', 32, 13}, {0}, "H", {kActionFire}},
    {{'X', 'K', 17}, {}, "", {kActionFire2}},
    {{}, {1}, "J", {kActionFire2, kActionDuck}},
    {{'L'}, {}, "", {kActionFire3}},
    {{16}, {}, "", {kActionFire3, kActionDuck}},
    {{'C'}, {}, "", {kActionFire3, kActionClear}},
    {{}, {2}, "K", {kActionFire3, kActionReload}},
    {{'V', 'I'}, {3}, "Y", {kActionFire4}},
    {{27, 46, 8}, {7}, "O", {kActionBack}},
    {{'R'}, {}, "", {kActionReload}},
    {{'0', kKeyNumpad0}, {}, "", {kActionDigit0}},
    {{'7', kKeyNumpad0 + 7}, {}, "", {kActionDigit0 + 7}},
    {{'9', kKeyNumpad0 + 9}, {}, "", {kActionDigit9}},
};

TEST(Controls, EveryKeyButtonAndICadeLetterDownsItsActionsOnly) {
  GameHarness game;
  MyApp& app = game.app();
  auto expectOnly = [&](const std::vector<int>& down, const std::string& source) {
    game.Update();
    EXPECT_EQ(Down(app), down) << source;
  };
  for (const auto& s : kSources) {
    for (int key : s.keys)
      game.KeyDown(key), expectOnly(s.down, "key " + std::to_string(key)), game.KeyUp(key);
    for (int button : s.buttons) {
      game.platform().buttons.assign(12, 0);
      game.platform().buttons[button] = 1;
      expectOnly(s.down, "button " + std::to_string(button));
    }
    game.platform().buttons.assign(12, 0);
    if (s.iCade.empty()) continue;
    app.m_iCade(1);
    game.Type(s.iCade);
    expectOnly(s.down, "iCade " + s.iCade);
    app.m_iCade(0);
  }
  // Letters are the iCade's: in iCade mode a key typed as a letter downs
  // nothing, digits still type.
  app.m_iCade(1);
  game.KeyDown('R'), expectOnly({}, "R in iCade mode"), game.KeyUp('R');
  game.KeyDown('4'), expectOnly({kActionDigit0 + 4}, "4 in iCade mode"), game.KeyUp('4');
  app.m_iCade(0);
  // The sticks count beyond 0.4 either way.
  for (const auto& [axis, value, down] :
       {std::tuple{0, -0.41f, std::vector<int>{kActionLeft}},
        std::tuple{0, 0.41f, std::vector<int>{kActionRight}},
        std::tuple{1, -0.41f, std::vector<int>{kActionUp}},
        std::tuple{1, 0.41f, std::vector<int>{kActionDown, kActionDuck}},
        std::tuple{0, 0.4f, std::vector<int>{}}, std::tuple{1, -0.4f, std::vector<int>{}}}) {
    game.platform().axes.assign(kJoyAxisCount, 0);
    game.platform().axes[axis] = value;
    expectOnly(down, "stick " + std::to_string(value));
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
