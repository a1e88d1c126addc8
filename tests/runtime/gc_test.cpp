// The collector: its fixed work bounds and thresholds, gradual destruction
// of garbage, roots over complete cycles, the write barrier and the heap
// check, arrays, and the small-block cache.
#include <gtest/gtest.h>

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

// The collector's published bounds, written out as numbers: code elsewhere
// (frame budgets, memory budgets) relies on these exact values.
constexpr int kObjectsPerStep = 2500;
constexpr int kSweepGrowth = 4 << 20;
constexpr int kFullModeGrowth = 64 << 20;

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

  // A rooted chain of `length` objects, all white at the start of a cycle.
  static void rooted_chain(int length) {
    g_root = gc_new<Tracked>();
    Tracked* tail = g_root;
    for (int i = 1; i < length; ++i) tail = tail->next = gc_new<Tracked>();
    gc_mark();
  }

  // Complete cycles that end in a sweep by growth, not by force.
  static void cycles_by_growth(int count) {
    for (int i = 0; i < count; ++i) {
      const int markbit = gc_markbit;
      add_garbage(kSweepGrowth + 8);
      for (int step = 0; step < 10 && gc_markbit == markbit; ++step) gc_collect();
      EXPECT_NE(gc_markbit, markbit) << "no sweep after more than 4 MiB of growth";
    }
  }
};

TEST_F(Collector, MarksExactly2500ObjectsPerStepUntilTheQueueEmpties) {
  constexpr int kChain = 2 * kObjectsPerStep + 100;
  rooted_chain(kChain);
  add_garbage(kSweepGrowth);
  gc_collect();
  EXPECT_EQ(gc_marked_objs, kObjectsPerStep);
  EXPECT_EQ(gc_list_counts().free, 0) << "no sweep while objects are queued";
  gc_collect();
  EXPECT_EQ(gc_marked_objs, 2 * kObjectsPerStep);
  gc_collect();
  EXPECT_EQ(gc_list_counts().free, 1) << "the queue emptied and the sweep came";
  EXPECT_EQ(gc_list_counts().unmarked + gc_list_counts().queued, kChain);
  EXPECT_TRUE(gc_check_heap());
}

TEST_F(Collector, SweepsOnlyAfterMoreThanFourMebibytesOfGrowth) {
  gc_new<Tracked>();
  add_garbage(kSweepGrowth - gc_alloced_bytes);
  ASSERT_EQ(gc_alloced_bytes, kSweepGrowth);
  for (int i = 0; i < 20; ++i) gc_collect();
  EXPECT_EQ(gc_list_counts().free, 0) << "exactly 4 MiB of growth";
  gc_new<Tracked>();
  gc_collect();
  EXPECT_EQ(gc_list_counts().free, 3) << "past 4 MiB";
  EXPECT_EQ(gc_alloced_bytes, 0);
}

TEST_F(Collector, PastSixtyFourMebibytesItMarksAndSweepsAtOnce) {
  constexpr int kChain = 3 * kObjectsPerStep;
  rooted_chain(kChain);
  add_garbage(kFullModeGrowth - gc_alloced_bytes);
  gc_collect();
  EXPECT_EQ(gc_marked_objs, kObjectsPerStep) << "exactly 64 MiB still bounds the step";
  gc_new<Tracked>();
  gc_collect();
  EXPECT_EQ(gc_list_counts().free, 2) << "past 64 MiB";
  EXPECT_EQ(gc_alloced_bytes, kChain * gc_size_of<Tracked>());
}

// Swept garbage is destroyed a little at a time, about as many bytes per
// allocation as the allocation takes, so no single allocation stalls.
TEST_F(Collector, GarbageIsDestroyedAboutOneAllocationsWorthAtATime) {
  constexpr int kGarbage = 100;
  bool destroyed[kGarbage] = {};
  for (bool& flag : destroyed) gc_new<Tracked>(&flag);
  cycles_by_growth(1);
  ASSERT_EQ(gc_list_counts().free, kGarbage + 1);
  for (int allocations = 0; allocations <= 3; ++allocations) {
    int count = 0;
    for (bool flag : destroyed) count += flag;
    EXPECT_EQ(count, allocations) << "after " << allocations << " allocations of one object's size";
    gc_new<Tracked>();
  }
  EXPECT_TRUE(gc_check_heap());
  full_collections(1);
  EXPECT_TRUE(destroyed[kGarbage - 1]) << "a forced sweep destroys all garbage at once";
  EXPECT_FALSE(gc_force_sweep);
  EXPECT_EQ(gc_list_counts().free, 0);
}

// An object held only by a root survives complete cycles of every kind; the
// same object without the root dies in the next ones.
TEST_F(Collector, AnObjectHeldOnlyByARootSurvivesCompleteCycles) {
  bool destroyed = false;
  g_root = gc_new<Tracked>(&destroyed);
  cycles_by_growth(3);
  full_collections(3);
  EXPECT_FALSE(destroyed);
  EXPECT_TRUE(gc_is_live_object(g_root));
  g_root = nullptr;
  cycles_by_growth(2);
  gc_new<Tracked>();
  EXPECT_TRUE(destroyed);
}

// Every new object is stored into a reached one before the collector runs,
// so none is ever white at a step: cycles must still turn over.
TEST_F(Collector, HeapStaysBoundedWhenEveryNewObjectIsStoredBeforeAStep) {
  constexpr int kChain = 64;
  g_root = gc_new<Tracked>();
  gc_mark();
  const int perStep = kSweepGrowth / gc_size_of<Tracked>() / 50;
  for (int step = 0; step < 400; ++step) {
    for (int i = 0; i < perStep; ++i) {
      Tracked* fresh = gc_new<Tracked>();
      fresh->next = g_root->next;
      g_root->next = fresh;
      if (i % kChain == 0) g_root->next->next = nullptr;  // drop the older chain
    }
    gc_collect();
    ASSERT_LT(gc_alloced_bytes, 3 * kSweepGrowth) << "at step " << step;
  }
}

// A class that stores without the barrier shows what the barrier prevents,
// and that the heap check sees it.
class Unbarriered : public Object {
 public:
  void mark() override { gc_queue_mark(raw); }
  Tracked* raw = nullptr;
};

gc_ref<Unbarriered> g_unbarriered;

TEST_F(Collector, TheBarrierKeepsAStoreIntoAScannedObjectAlive) {
  gc_register_roots([] { g_unbarriered.queue_mark(); });
  g_root = gc_new<Tracked>();
  g_unbarriered = gc_new<Unbarriered>();
  gc_mark();
  while (gc_list_counts().queued > 0) gc_collect();
  bool stored_died = false, unbarriered_died = false;
  g_root->next = gc_new<Tracked>(&stored_died);
  EXPECT_TRUE(gc_check_heap());
  g_unbarriered->raw = gc_new<Tracked>(&unbarriered_died);
  testing::internal::CaptureStdout();
  EXPECT_FALSE(gc_check_heap());
  EXPECT_NE(testing::internal::GetCapturedStdout().find("refers to white"), std::string::npos);
  cycles_by_growth(1);
  full_collections(1);
  EXPECT_FALSE(stored_died);
  EXPECT_TRUE(unbarriered_died) << "without the barrier the object is lost";
  g_unbarriered = nullptr;
}

TEST_F(Collector, TheHeapCheckSeesARootStoredWithoutTheBarrier) {
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

class Holder : public Object {
 public:
  void mark() override { items.queue_mark(); }
  Array<gc_ref<Tracked>> items;
};

gc_ref<Holder> g_holder;

TEST_F(Collector, ReferenceArraysKeepTheirElementsAndAreScannedWhenStored) {
  gc_register_roots([] { g_holder.queue_mark(); });
  g_holder = gc_new<Holder>();
  bool destroyed[3] = {};
  g_holder->items = Array<gc_ref<Tracked>>(3);
  for (int i = 0; i < 3; ++i) g_holder->items[i] = gc_new<Tracked>(&destroyed[i]);
  g_holder->items[2] = nullptr;
  g_holder->items[0]->next = gc_new<Tracked>();
  full_collections(3);
  EXPECT_FALSE(destroyed[0] || destroyed[1]);
  EXPECT_TRUE(destroyed[2]);
  // Survivors start the new cycle white; storing the array scans it and
  // its elements at once and queues what they refer to.
  const Array<gc_ref<Tracked>>& items = g_holder->items;
  const int marked_before = gc_marked_objs;
  gc_new<Holder>()->items = items;
  EXPECT_EQ(gc_marked_objs, marked_before + 3);
  EXPECT_NE(items[0]->next->gc_colour(), gc_markbit);
  EXPECT_TRUE(gc_check_heap());
  g_holder->items = Array<gc_ref<Tracked>>();
  full_collections();
  EXPECT_TRUE(destroyed[0] && destroyed[1]);
  g_holder = nullptr;
}

TEST_F(Collector, ArraysOfArraysAndStringArraysKeepTheirContents) {
  static Array<Array<int>> grid;
  gc_register_roots([] { grid.queue_mark(); });
  grid = Array<Array<int>>(3);
  grid[1] = Array<int>(5);
  grid[1][4] = 42;
  const String kept = String("shared") + String(" text");
  { Array<String>(2)[1] = kept; }
  full_collections(3);
  EXPECT_TRUE(gc_is_live_object(grid[1].GetRep()));
  EXPECT_EQ(grid[1][4], 42);
  EXPECT_TRUE(gc_check_heap());
  // The representation's header (count, length) sits just before its units.
  EXPECT_EQ(reinterpret_cast<const String::Rep*>(kept.Data())[-1].refs, 1) << "a dead array released its string";
  grid = Array<Array<int>>();
}

TEST_F(Collector, EmptyArraysAreStaticAndNeverTouched) {
  const Array<int> ints(0);
  const Array<String> strings(0);
  EXPECT_EQ(gc_alloced_bytes, 0) << "an empty array allocates nothing";
  EXPECT_EQ(ints.GetRep(), Array<int>().GetRep());
  full_collections(3);
  for (const gc_object* rep : {static_cast<const gc_object*>(ints.GetRep()), static_cast<const gc_object*>(strings.GetRep())}) {
    EXPECT_EQ(rep->gc_colour(), gc_object::kStaticColour);
    EXPECT_FALSE(gc_is_live_object(rep));
  }
}

TEST_F(Collector, BlocksAreCountedInEightsAndSmallOnesRecycled) {
  Array<char> one_byte(1);
  const Tracked* first = gc_new<Tracked>();
  EXPECT_EQ(one_byte.GetRep()->gc_size(), static_cast<int>(sizeof(Array<char>::Rep)) + 8);
  const int peak = gc_alloced_bytes;
  EXPECT_FALSE(gc_is_live_object(reinterpret_cast<const char*>(first) + 8));
  full_collections(1);
  EXPECT_EQ(gc_alloced_bytes, 0);
  EXPECT_EQ(gc_max_alloced_bytes, peak);
  EXPECT_FALSE(gc_is_live_object(first));
  EXPECT_EQ(gc_new<Tracked>(), first) << "the small block comes back from the cache";
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

}  // namespace
}  // namespace vantor
