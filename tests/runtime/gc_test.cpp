// The collector: when objects survive and when they die, the write barrier,
// the marking bound and the sweep thresholds, arrays, the small-block cache
// and the heap check itself.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "runtime/array.h"
#include "runtime/gc.h"
#include "runtime/text.h"
#include "tests/runtime/gc_test_support.h"

namespace vantor {
namespace {

using testing_support::CollectorTest;
using testing_support::Tracked;
using testing_support::gc_size_of;

gc_ref<Tracked> g_root;
void mark_root() { g_root.queue_mark(); }

class Collector : public CollectorTest {
 protected:
  void SetUp() override {
    CollectorTest::SetUp();
    g_root = nullptr;
    gc_register_roots(mark_root);
  }
  void TearDown() override {
    g_root = nullptr;
    CollectorTest::TearDown();
  }

  // Runs steps until the queue is empty, without passing a sweep threshold.
  static void finish_marking() {
    while (gc_list_counts().queued > 0) gc_collect();
  }

  // Pushes growth past the sweep threshold, then collects once.
  static void sweep_by_growth() {
    add_garbage(kGcSweepGrowthBytes + 8);
    gc_collect();
  }

  static bool is_white(const gc_object* object) { return object->gc_colour() == gc_markbit; }
};

TEST_F(Collector, GarbageDiesOnlyAfterASweepAndALaterAllocation) {
  bool destroyed = false;
  gc_new<Tracked>(&destroyed);
  finish_marking();
  EXPECT_FALSE(destroyed);
  sweep_by_growth();
  EXPECT_FALSE(destroyed) << "swept garbage waits for an allocation";
  EXPECT_EQ(gc_list_counts().free, 2);
  EXPECT_TRUE(gc_check_heap());
  gc_new<Tracked>();
  EXPECT_TRUE(destroyed);
  EXPECT_TRUE(gc_check_heap());
}

TEST_F(Collector, ForcedSweepDestroysAllGarbageInOneCall) {
  bool destroyed[3] = {};
  for (bool& flag : destroyed) gc_new<Tracked>(&flag);
  gc_force_sweep = true;
  gc_collect();
  for (bool flag : destroyed) EXPECT_TRUE(flag);
  EXPECT_FALSE(gc_force_sweep);
  EXPECT_EQ(gc_free_bytes, 0);
  EXPECT_EQ(gc_list_counts().free, 0);
}

TEST_F(Collector, ReachableObjectsSurviveForcedSweeps) {
  bool destroyed[2] = {};
  g_root = gc_new<Tracked>(&destroyed[0]);
  g_root->next = gc_new<Tracked>(&destroyed[1]);
  full_collections(3);
  EXPECT_FALSE(destroyed[0] || destroyed[1]);
  g_root->next = nullptr;
  full_collections();
  EXPECT_TRUE(destroyed[1]);
  EXPECT_FALSE(destroyed[0]);
}

TEST_F(Collector, GrowthUpToTheThresholdNeverSweeps) {
  bool destroyed = false;
  gc_new<Tracked>(&destroyed);
  add_garbage(kGcSweepGrowthBytes - gc_alloced_bytes);
  ASSERT_EQ(gc_alloced_bytes, kGcSweepGrowthBytes);
  for (int i = 0; i < 20; ++i) gc_collect();
  EXPECT_EQ(gc_list_counts().free, 0);
  EXPECT_EQ(gc_list_counts().unmarked, 2);
  gc_new<Tracked>();
  gc_collect();
  EXPECT_EQ(gc_list_counts().free, 3);
  EXPECT_EQ(gc_alloced_bytes, 0);
  EXPECT_FALSE(destroyed);
}

TEST_F(Collector, ObjectStoredIntoAScannedObjectSurvivesTheSweep) {
  g_root = gc_new<Tracked>();
  gc_mark();
  finish_marking();
  ASSERT_EQ(gc_list_counts().marked, 1) << "the root is black";
  bool destroyed = false;
  g_root->next = gc_new<Tracked>(&destroyed);
  EXPECT_TRUE(gc_check_heap());
  sweep_by_growth();
  gc_force_sweep = true;
  gc_collect();
  EXPECT_FALSE(destroyed);
  EXPECT_TRUE(gc_check_heap());
}

// A class that stores without the barrier shows what the barrier prevents,
// and that the heap check sees it.
class Unbarriered : public Object {
 public:
  void mark() override { gc_queue_mark(raw); }
  Tracked* raw = nullptr;
};

gc_ref<Unbarriered> g_unbarriered;
void mark_unbarriered() { g_unbarriered.queue_mark(); }

TEST_F(Collector, StoreThatBypassesTheBarrierIsCaughtByTheHeapCheck) {
  gc_register_roots(mark_unbarriered);
  g_unbarriered = gc_new<Unbarriered>();
  gc_mark();
  finish_marking();
  bool destroyed = false;
  g_unbarriered->raw = gc_new<Tracked>(&destroyed);
  testing::internal::CaptureStdout();
  EXPECT_FALSE(gc_check_heap());
  EXPECT_NE(testing::internal::GetCapturedStdout().find("refers to white"), std::string::npos);
  sweep_by_growth();
  gc_force_sweep = true;
  gc_collect();
  EXPECT_TRUE(destroyed) << "without the barrier the object is lost";
  g_unbarriered = nullptr;
}

TEST_F(Collector, RootStoredWithoutTheBarrierIsCaughtByTheHeapCheck) {
  static Tracked* raw_root = nullptr;
  gc_register_roots([] { gc_queue_mark(raw_root); });
  raw_root = gc_new<Tracked>();
  testing::internal::CaptureStdout();
  EXPECT_FALSE(gc_check_heap());
  EXPECT_NE(testing::internal::GetCapturedStdout().find("refers to white"), std::string::npos);
  gc_mark();
  EXPECT_TRUE(gc_check_heap());
  raw_root = nullptr;
}

TEST_F(Collector, MarkingScansAtMostTheBoundPerStep) {
  constexpr int kChain = 2 * kGcMarkObjectsPerStep + 100;
  g_root = gc_new<Tracked>();
  Tracked* tail = g_root;
  for (int i = 1; i < kChain; ++i) tail = tail->next = gc_new<Tracked>();
  gc_mark();
  add_garbage(kGcSweepGrowthBytes);
  gc_collect();
  EXPECT_EQ(gc_marked_objs, kGcMarkObjectsPerStep);
  EXPECT_EQ(gc_list_counts().free, 0) << "no sweep while objects are queued";
  gc_collect();
  EXPECT_EQ(gc_marked_objs, 2 * kGcMarkObjectsPerStep);
  gc_collect();
  EXPECT_EQ(gc_list_counts().free, 1) << "the queue emptied and the sweep came";
  EXPECT_EQ(gc_list_counts().unmarked + gc_list_counts().queued, kChain);
  EXPECT_TRUE(gc_check_heap());
}

TEST_F(Collector, GrowthPastTheFullModeThresholdMarksAndSweepsAtOnce) {
  constexpr int kChain = 3 * kGcMarkObjectsPerStep;
  g_root = gc_new<Tracked>();
  Tracked* tail = g_root;
  for (int i = 1; i < kChain; ++i) tail = tail->next = gc_new<Tracked>();
  gc_mark();
  add_garbage(kGcFullModeGrowthBytes + 8);
  gc_collect();
  EXPECT_EQ(gc_list_counts().free, 1);
  EXPECT_EQ(gc_alloced_bytes, kChain * gc_size_of<Tracked>());
}

TEST_F(Collector, EmptyArraysAreStaticAndNeverTouched) {
  const int before = gc_alloced_bytes;
  const Array<int> ints(0);
  const Array<gc_ref<Tracked>> refs;
  const Array<String> strings(0);
  EXPECT_EQ(gc_alloced_bytes, before) << "an empty array allocates nothing";
  EXPECT_EQ(ints.GetRep(), Array<int>().GetRep());
  EXPECT_EQ(refs.GetRep(), Array<gc_ref<Tracked>>(0).GetRep());
  Array<int> field;
  field = ints;
  for (int i = 0; i < 3; ++i) {
    gc_force_sweep = true;
    gc_collect();
  }
  for (const gc_object* rep : {static_cast<const gc_object*>(ints.GetRep()),
                               static_cast<const gc_object*>(refs.GetRep()),
                               static_cast<const gc_object*>(strings.GetRep())}) {
    EXPECT_EQ(rep->gc_colour(), gc_object::kStaticColour);
    EXPECT_EQ(rep->succ, nullptr);
    EXPECT_FALSE(gc_is_live_object(rep));
  }
  EXPECT_EQ(Array<int>().GetRep(), ints.GetRep());
  EXPECT_EQ(ints.Length(), 0);
}

class Holder : public Object {
 public:
  void mark() override { items.queue_mark(); }
  Array<gc_ref<Tracked>> items;
};

gc_ref<Holder> g_holder;
void mark_holder() { g_holder.queue_mark(); }

TEST_F(Collector, ReferenceArraysKeepTheirElementsAlive) {
  gc_register_roots(mark_holder);
  g_holder = gc_new<Holder>();
  bool destroyed[4] = {};
  g_holder->items = Array<gc_ref<Tracked>>(4);
  for (int i = 0; i < 4; ++i) g_holder->items[i] = gc_new<Tracked>(&destroyed[i]);
  g_holder->items[3] = nullptr;
  full_collections(3);
  EXPECT_FALSE(destroyed[0] || destroyed[1] || destroyed[2]);
  EXPECT_TRUE(destroyed[3]);
  g_holder->items = Array<gc_ref<Tracked>>();
  full_collections();
  EXPECT_TRUE(destroyed[0] && destroyed[1] && destroyed[2]);
  g_holder = nullptr;
}

TEST_F(Collector, StoringAWhiteArrayScansItAndItsElementsAtOnce) {
  gc_register_roots(mark_holder);
  g_holder = gc_new<Holder>();
  g_holder->items = Array<gc_ref<Tracked>>(2);
  g_holder->items[0] = gc_new<Tracked>();
  g_holder->items[0]->next = gc_new<Tracked>();
  full_collections(1);
  const Array<gc_ref<Tracked>>& items = g_holder->items;
  ASSERT_TRUE(is_white(items.GetRep()) && is_white(items[0]) && is_white(items[0]->next))
      << "survivors start the new cycle white";
  const int marked_before = gc_marked_objs;
  gc_new<Holder>()->items = items;
  EXPECT_EQ(gc_marked_objs, marked_before + 2) << "the array and its element are black";
  EXPECT_FALSE(is_white(items[0]->next)) << "the element's reference is queued";
  EXPECT_TRUE(gc_check_heap());
  g_holder = nullptr;
}

TEST_F(Collector, ArraysOfArraysMarkTheirInnerArrays) {
  static Array<Array<int>> grid;
  gc_register_roots([] { grid.queue_mark(); });
  grid = Array<Array<int>>(3);
  grid[1] = Array<int>(5);
  grid[1][4] = 42;
  gc_mark();
  for (int i = 0; i < 3; ++i) {
    full_collections(1);
    EXPECT_TRUE(gc_check_heap());
  }
  EXPECT_TRUE(gc_is_live_object(grid[1].GetRep()));
  EXPECT_EQ(grid[1][4], 42);
  grid = Array<Array<int>>();
}

// The representation's header (count, length) sits just before its units.
int references_to(const String& text) {
  return reinterpret_cast<const String::Rep*>(text.Data())[-1].refs;
}

TEST_F(Collector, StringArraysReleaseTheirStringsWhenDestroyed) {
  const String kept = String("shared") + String(" text");
  {
    Array<String> strings(3);
    strings[0] = kept;
    strings[2] = kept;
    EXPECT_EQ(references_to(kept), 3);
  }
  gc_force_sweep = true;
  gc_collect();
  EXPECT_EQ(references_to(kept), 1);
}

TEST_F(Collector, SmallBlocksAreRecycledAndLargeOnesAreNot) {
  const Tracked* first = gc_new<Tracked>();
  gc_force_sweep = true;
  gc_collect();
  EXPECT_EQ(gc_new<Tracked>(), first);
  static_assert(gc_size_of<Tracked>() < kGcCacheLimitBytes);
}

TEST_F(Collector, AccountingMismatchIsReportedAndRepaired) {
  gc_free_bytes = 100;
  testing::internal::CaptureStdout();
  gc_new<Tracked>();
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out.rfind("ERROR:p=", 0), 0u);
  EXPECT_NE(out.find(" gc_free_bytes=100\n"), std::string::npos);
  EXPECT_EQ(gc_free_bytes, 0);
}

TEST_F(Collector, AllocationCountsAreKeptInMultiplesOfEight) {
  Array<char> one_byte(1);
  gc_new<Tracked>();
  EXPECT_EQ(one_byte.GetRep()->gc_size(), static_cast<int>(sizeof(Array<char>::Rep)) + 8);
  EXPECT_EQ(gc_alloced_bytes, one_byte.GetRep()->gc_size() + gc_size_of<Tracked>());
  const int peak = gc_alloced_bytes;
  gc_force_sweep = true;
  gc_collect();
  EXPECT_EQ(gc_alloced_bytes, 0);
  EXPECT_EQ(gc_max_alloced_bytes, peak);
}

TEST_F(Collector, LiveObjectQueryOnlyAnswersForListedObjects) {
  Tracked* object = gc_new<Tracked>();
  const int local = 0;
  EXPECT_TRUE(gc_is_live_object(object));
  EXPECT_FALSE(gc_is_live_object(nullptr));
  EXPECT_FALSE(gc_is_live_object(&local));
  EXPECT_FALSE(gc_is_live_object(reinterpret_cast<const char*>(object) + 8));
  gc_force_sweep = true;
  gc_collect();
  EXPECT_FALSE(gc_is_live_object(object));
}

TEST(ObjectBasics, EqualsComparesIdentityAndDebugNamesTheObject) {
  Object* a = gc_new<Object>();
  Object* b = gc_new<Object>();
  EXPECT_TRUE(a->Equals(a));
  EXPECT_FALSE(a->Equals(b));
  EXPECT_EQ(a->Compare(a), 0);
  EXPECT_EQ(a->Compare(b), static_cast<int>(reinterpret_cast<std::intptr_t>(a) - reinterpret_cast<std::intptr_t>(b)));
  EXPECT_EQ(a->debug(), String("+Object\n"));
}

}  // namespace
}  // namespace vantor
