// A press that begins and ends between two updates: the next update sees it
// held, the one after sees it up, for keys, mouse buttons and the touch that
// follows the left button alike.
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "host/input.h"
#include "tests/host/loop_app.h"

namespace vantor::testing {
namespace {

class QuickPressTest : public LoopTest {
 protected:
  // KeyDown of each of `keys`, as one update reads them.
  std::vector<int> DownInNextUpdate(const std::vector<int>& keys) {
    std::vector<int> seen;
    app->onUpdate = [&] {
      for (const int key : keys) seen.push_back(app->input->KeyDown(key));
    };
    app->InvokeOnUpdate();
    return seen;
  }
};

TEST_F(QuickPressTest, APressReleasedBeforeTheUpdateIsHeldForExactlyThatUpdate) {
  struct Case {
    const char* name;
    std::function<void(gxtkApp&, int action)> press;
    std::vector<int> keys;  // every key code the press drives
  };
  const Case cases[] = {
      {"enter", [](gxtkApp& a, int action) { a.OnKey(GLFW_KEY_ENTER, action); }, {13}},
      {"left shift", [](gxtkApp& a, int action) { a.OnKey(GLFW_KEY_LEFT_SHIFT, action); },
       {160, 16}},
      {"left button", [](gxtkApp& a, int action) { a.OnMouseButton(0, action); }, {1, 384}},
  };
  app->SetUpdateRate(kRate);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<int> held(c.keys.size(), 1), up(c.keys.size(), 0);
    c.press(*app, GLFW_PRESS);
    c.press(*app, GLFW_RELEASE);
    EXPECT_EQ(DownInNextUpdate(c.keys), held);
    EXPECT_EQ(DownInNextUpdate(c.keys), up);
    // A press the updates have seen held is up as soon as it is let go.
    c.press(*app, GLFW_PRESS);
    EXPECT_EQ(DownInNextUpdate(c.keys), held);
    c.press(*app, GLFW_RELEASE);
    EXPECT_EQ(DownInNextUpdate(c.keys), up);
  }
}

}  // namespace
}  // namespace vantor::testing
