// Badges: the catalogue's answers and the pop-up strip's timing, rows and
// icons, seen in the draw list of whole updates.
#include <gtest/gtest.h>

#include "tests/game/run_helpers.h"

namespace vantor::testing {
namespace {

constexpr int kBadgeSheet = 80;

class BadgesTest : public ::testing::Test {
 protected:
  // The pop-up boxes drawn in the last update.
  std::vector<DrawRecord> PopupBoxes() {
    std::vector<DrawRecord> boxes;
    for (const DrawRecord& rect : RectsOf(app)) {
      if (rect.width == 160 && rect.height == 32 && rect.blue == 80 && rect.red == 0) {
        boxes.push_back(rect);
      }
    }
    return boxes;
  }

  void StartPopup(int slot, int badge) {
    app.popupBadge[slot] = badge;
    app.popupTimer[slot] = 1;
  }

  GameHarness harness;
  MyApp& app = harness.app();
};

TEST_F(BadgesTest, TheCatalogueHoldsOnlyTheTestBadge) {
  EXPECT_TRUE(app.m_BadgeName(0) == T("Test Badge"));
  EXPECT_TRUE(app.m_BadgeDetail(0) == T("This is a Test Badge which has no purpose."));
  EXPECT_EQ(app.m_BadgeName(5).Length(), 0);
  EXPECT_EQ(app.m_BadgeID(5).Length(), 0);
  // An id without a record has no detail to give.
  EXPECT_EQ(app.m_BadgeDetail(5).Length(), 0);
  EXPECT_EQ(app.m_BadgeDetail(-1).Length(), 0);
}

TEST_F(BadgesTest, APopupSlidesInRestsSlidesOutAndIsFreed) {
  StartPopup(0, 0);
  std::vector<float> xs;
  for (int update = 0; update < 240; ++update) {
    harness.Frame();
    const std::vector<DrawRecord> boxes = PopupBoxes();
    ASSERT_EQ(boxes.size(), 1u) << "update " << update;
    EXPECT_EQ(boxes[0].y, 480 - 34);
    xs.push_back(boxes[0].x);
  }
  // xs[i] is drawn at age i + 2.
  EXPECT_EQ(xs[0], -128);
  EXPECT_EQ(xs[7], -16);
  EXPECT_EQ(xs[8], 0);      // age 10
  EXPECT_EQ(xs[228], 0);    // age 230
  EXPECT_EQ(xs[229], -16);  // age 231: leaving
  EXPECT_EQ(xs[239], -176);  // age 241: drawn once more, off screen
  EXPECT_EQ(app.popupTimer[0], 0);
  EXPECT_TRUE(HasLine(app, "Test Badge"));
  harness.Frame();
  EXPECT_TRUE(PopupBoxes().empty());
}

TEST_F(BadgesTest, LaterSlotsStackUpwardAndOnlyThirteenAreShown) {
  StartPopup(3, 0);
  StartPopup(12, 0);
  StartPopup(13, 0);
  harness.Frame();
  std::vector<float> ys;
  for (const DrawRecord& box : PopupBoxes()) ys.push_back(box.y);
  EXPECT_EQ(ys, (std::vector<float>{480 - 34 * 4, 480 - 34 * 13}));
  EXPECT_EQ(app.popupTimer[13], 1);
}

TEST_F(BadgesTest, OnlyIdsBelow64ShowAnIcon) {
  StartPopup(0, 63);
  StartPopup(1, 64);
  harness.Frame(20);
  const std::vector<DrawRecord> icons = ImagesOf(app, kBadgeSheet);
  ASSERT_EQ(icons.size(), 1u);
  EXPECT_EQ(icons[0].frame, 63);
  EXPECT_EQ(icons[0].x, 160 - 16);
  EXPECT_EQ(icons[0].y, 480 - 34 + 16);
  EXPECT_FLOAT_EQ(icons[0].width, 0.5f);
  EXPECT_EQ(PopupBoxes().size(), 2u);
}

TEST_F(BadgesTest, TheBadgeBoxScrollsWithTheKeysButNeverBelowTheTop) {
  app.badgesOpen = 1;
  harness.KeyDown(40);  // down
  harness.Frame(3);
  harness.KeyUp(40);
  EXPECT_EQ(app.badgeScrollTarget, 0);
  harness.KeyDown(38);  // up
  harness.Frame(3);
  harness.KeyUp(38);
  EXPECT_EQ(app.badgeScrollTarget, -48);
  harness.Frame(30);
  EXPECT_EQ(app.badgeScroll, -48);
  EXPECT_EQ(app.selectedBadge, -1);
  KeyFrame(harness, 27);
  EXPECT_EQ(app.badgesOpen, 0);
}

}  // namespace
}  // namespace vantor::testing
