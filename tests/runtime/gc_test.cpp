// The collector: its published bounds, gradual destruction of garbage,
// roots over complete cycles, the write barrier, arrays scanned in slices,
// and the hand-over from allocation to construction.
#include <gtest/gtest.h>

#include <algorithm>
#include <new>

#include "runtime/array.h"
#include "runtime/text.h"

namespace vantor {
namespace {

// The published bounds as numbers: frame and memory budgets rely on them.
constexpr int kObjectsPerStep = 2500;
constexpr int kSweepGrowth = 4 << 20;
constexpr int kFullModeGrowth = 64 << 20;

// Reports its destruction.
class Tracked : public Object {
 public:
  explicit Tracked(bool* destroyed = nullptr, Tracked* held = nullptr)
      : next(held), destroyed(destroyed) {}
  ~Tracked() override {
    if (destroyed) *destroyed = true;
  }
  void mark() override { next.queue_mark(); }
  gc_ref<Tracked> next;
  bool* destroyed;
};

gc_ref<Tracked> g_root;
Array<gc_ref<Tracked>> g_array;
Array<Array<int>> g_grid;

// Each test starts and ends with an empty heap rooted only in the globals.
class Collector : public testing::Test {
 protected:
  void SetUp() override {
    TearDown();
    gc_register_roots([] { g_root.queue_mark(), g_array.queue_mark(), g_grid.queue_mark(); });
  }
  void TearDown() override {
    g_root = nullptr, g_array = {}, g_grid = {};
    gc_clear_roots();
    gc_init();
  }
  // Garbage reached earlier in a cycle dies in the next, so two forced
  // collections free everything unreachable.
  static void force(int count = 2) {
    while (count-- > 0) gc_force_sweep = true, gc_collect();
  }
  static void add_garbage(int bytes) {
    Array<char> ballast(bytes - static_cast<int>(sizeof(Array<char>::Rep)));
  }
  // A complete cycle ended by growth, not by force.
  static void cycle_by_growth() {
    const int markbit = gc_markbit;
    add_garbage(kSweepGrowth + 8);
    for (int i = 0; i < 10 && gc_markbit == markbit; ++i) gc_collect();
    ASSERT_NE(gc_markbit, markbit) << "no sweep after more than 4 MiB of growth";
  }
};

TEST_F(Collector, StepsAndSweepsKeepThePublishedBounds) {
  constexpr int kChain = 2 * kObjectsPerStep + 100;
  const struct {
    const char* name;
    int growth, steps, marked;  // marked objects, or -1 for a sweep
  } cases[] = {
      {"one step marks the budget", kSweepGrowth + 8, 1, kObjectsPerStep},
      {"sweep once the queue empties", kSweepGrowth + 8, 3, -1},
      {"no sweep at exactly 4 MiB", kSweepGrowth, 20, kChain},
      {"exactly 64 MiB still bounds the step", kFullModeGrowth, 1, kObjectsPerStep},
      {"past 64 MiB one step marks and sweeps", kFullModeGrowth + 8, 1, -1},
  };
  for (const auto& c : cases) {
    TearDown(), SetUp();
    Tracked* tail = g_root = gc_new<Tracked>();
    for (int i = 1; i < kChain; ++i) tail = tail->next = gc_new<Tracked>();
    add_garbage(c.growth - gc_alloced_bytes);
    const int markbit = gc_markbit;
    for (int i = 0; i < c.steps; ++i) gc_collect();
    EXPECT_EQ(gc_markbit != markbit ? -1 : gc_marked_objs, c.marked) << c.name;
  }
}

// Swept garbage is destroyed a little at a time, about as many bytes per
// allocation as the allocation takes, so no single allocation stalls. An
// object held only by a root, and one stored into it after it was scanned
// (the barrier keeps it), survive complete cycles of every kind; without
// the root both die.
TEST_F(Collector, GarbageDiesGraduallyAndReachableObjectsSurviveCycles) {
  bool garbage[100] = {}, root_died = false, stored_died = false;
  g_root = gc_new<Tracked>(&root_died);
  while (gc_list_counts().queued > 0) gc_collect();
  g_root->next = gc_new<Tracked>(&stored_died);
  EXPECT_TRUE(gc_check_heap()) << "a scanned object holds a white one";
  for (bool& flag : garbage) gc_new<Tracked>(&flag);
  cycle_by_growth();
  for (int allocations = 0; allocations <= 3; ++allocations, gc_new<Tracked>()) {
    EXPECT_EQ(std::count(garbage, std::end(garbage), true), allocations);
  }
  cycle_by_growth();
  force(3);
  EXPECT_TRUE(garbage[99]) << "a forced sweep destroys all garbage at once";
  EXPECT_FALSE(root_died || stored_died);
  g_root = nullptr;
  force();
  EXPECT_TRUE(root_died && stored_died);
}

// Every new object is stored into a reached one before the collector runs,
// so none is ever white at a step: cycles must still turn over.
TEST_F(Collector, HeapStaysBoundedWhenEveryNewObjectIsStoredBeforeAStep) {
  g_root = gc_new<Tracked>();
  for (int step = 0; step < 400; ++step) {
    for (int i = 0; i < 2000; ++i)
      g_root->next = gc_new<Tracked>(nullptr, i % 64 ? g_root->next.get() : nullptr);
    gc_collect();
    ASSERT_LT(gc_alloced_bytes, 3 * kSweepGrowth) << "at step " << step;
  }
}

// A root array far larger than one step's budget is scanned over several
// steps, each within the budget, the heap consistent in between.
TEST_F(Collector, ALargeArrayIsScannedInSlicesWithinTheBudget) {
  constexpr int kElements = 4 * kObjectsPerStep;
  g_array = Array<gc_ref<Tracked>>(kElements);
  for (gc_ref<Tracked>& element : g_array) element = gc_new<Tracked>();
  force(1);  // the elements are white again, the array queued
  int steps = 0;
  for (; gc_list_counts().queued > 0; ++steps) {
    const int before = gc_marked_objs;
    gc_collect();
    ASSERT_LE(gc_marked_objs - before, kObjectsPerStep);
    ASSERT_TRUE(gc_check_heap()) << "after step " << steps;
  }
  EXPECT_GE(steps, kElements / kObjectsPerStep);
  EXPECT_EQ(gc_marked_objs, kElements + 1) << "every element and the array";
}

// In `new (gc_malloc(n)) T(gc_new<U>())` the argument's block is handed
// out and built between T's block and T's constructor.
TEST_F(Collector, AnObjectWhoseArgumentAllocatesIsStillCollected) {
  bool outer_died = false, inner_died = false;
  auto* outer = new (gc_malloc(sizeof(Tracked))) Tracked(&outer_died, gc_new<Tracked>(&inner_died));
  EXPECT_EQ(outer->gc_colour(), gc_markbit);
  force();
  EXPECT_TRUE(outer_died && inner_died);
}

TEST_F(Collector, ArraysKeepWhatTheyHoldAndSmallBlocksAreRecycled) {
  g_grid = Array<Array<int>>(3);
  g_grid[1] = Array<int>(5);
  g_grid[1][4] = 42;
  const String kept = String("shared") + String(" text");
  { Array<String>(4)[1] = kept; }  // a block of exactly the small-block limit, 64 bytes
  const Tracked* first = gc_new<Tracked>();
  force(3);
  ASSERT_TRUE(gc_is_live_object(g_grid[1].GetRep()));
  EXPECT_EQ(g_grid[1][4], 42);
  // The representation's header (count, length) sits just before its units.
  EXPECT_EQ(reinterpret_cast<const String::Rep*>(kept.Data())[-1].refs, 1)
      << "a dead array released its string";
  EXPECT_EQ(gc_new<Tracked>(), first) << "the small block comes back from the cache";
  EXPECT_EQ(Array<int>(0).GetRep()->gc_colour(), gc_object::kStaticColour);
}

}  // namespace
}  // namespace vantor
