// The collector's hand-over from allocation to construction when building
// an object allocates too, and the bound on one step inside a large array.
#include <gtest/gtest.h>

#include <new>

#include "runtime/array.h"
#include "runtime/gc.h"
#include "tests/runtime/gc_test_support.h"

namespace vantor::testing_support {
namespace {

using HandOverTest = CollectorTest;
using StepBoundTest = CollectorTest;

class Holder : public Object {
 public:
  explicit Holder(Tracked* held) : item(held) {}
  void mark() override { item.queue_mark(); }
  gc_ref<Tracked> item;
};

// The argument's block is handed out and built between the holder's block
// and the holder's constructor.
TEST_F(HandOverTest, AnObjectWhoseArgumentAllocatesIsStillCollected) {
  bool destroyed = false;
  Holder* holder = new (gc_malloc(sizeof(Holder))) Holder(gc_new<Tracked>(&destroyed));
  EXPECT_EQ(holder->gc_colour(), gc_markbit);
  EXPECT_EQ(holder->gc_size(), gc_size_of<Holder>());
  EXPECT_TRUE(gc_check_heap());
  full_collections();
  EXPECT_TRUE(destroyed);
  EXPECT_EQ(gc_alloced_bytes, 0);
}

Array<gc_ref<Tracked>>* g_big = nullptr;
void MarkBig() { g_big->queue_mark(); }

// A root array of white objects far larger than one step's budget is
// scanned over several steps, each within the budget, keeping the heap
// consistent in between; every element still survives the next sweep.
TEST_F(StepBoundTest, ALargeArrayIsScannedOverSeveralBoundedSteps) {
  constexpr int kElements = 4 * kGcMarkObjectsPerStep;
  Array<gc_ref<Tracked>> big(kElements);
  g_big = &big;
  for (gc_ref<Tracked>& element : big) element = gc_new<Tracked>();
  gc_register_roots(MarkBig);
  gc_mark();
  full_collections(1);  // the elements are white again, the array queued
  int steps = 0;
  while (gc_list_counts().queued > 0) {
    const int before = gc_marked_objs;
    gc_collect();
    ++steps;
    EXPECT_LE(gc_marked_objs - before, kGcMarkObjectsPerStep);
    ASSERT_TRUE(gc_check_heap());
  }
  EXPECT_GE(steps, kElements / kGcMarkObjectsPerStep);
  EXPECT_EQ(gc_marked_objs, kElements + 1);
  full_collections();
  const GcListCounts counts = gc_list_counts();
  EXPECT_EQ(counts.unmarked + counts.queued + counts.marked, kElements + 1);
  EXPECT_EQ(counts.free, 0);
}

}  // namespace
}  // namespace vantor::testing_support
