// A randomised stress test of the collector: a graph of hundreds of
// thousands of objects is rewired between collection steps, and a shadow
// copy kept by the test tells after every step which objects must still
// exist. No reachable object may die, the heap must stay consistent, the
// accounted bytes bounded, and with the roots gone everything dies.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "runtime/array.h"
#include "runtime/gc.h"
#include "tests/runtime/gc_test_support.h"
#include "tests/runtime/sanitizers.h"

namespace vantor {
namespace {

constexpr int kSteps = testing_support::kSanitized ? 150 : 200;
constexpr int kMutationsPerStep = 3000;
constexpr int kSlots = 4;  // per node: two fields and two array elements
constexpr int kRoots = 64;
constexpr int kNone = -1;
constexpr int kForcedSweepEvery = 37;  // as after a load

std::vector<bool> g_destroyed;  // by node id

class Node : public Object {
 public:
  explicit Node(int id) : id(id) {}
  ~Node() override { g_destroyed[static_cast<size_t>(id)] = true; }
  void mark() override {
    fields[0].queue_mark();
    fields[1].queue_mark();
    items.queue_mark();
  }
  void set(int slot, Node* target) {
    if (slot < 2) {
      fields[slot] = target;
    } else if (slot == 2) {
      Array<gc_ref<Node>> fresh(2);  // a new array, stored whole
      fresh[0] = target;
      fresh[1] = items[1];
      items = fresh;
    } else {
      items[1] = target;  // an element stored into an existing array
    }
  }
  const int id;
  gc_ref<Node> fields[2];
  Array<gc_ref<Node>> items{2};
};

Array<gc_ref<Node>> g_roots;

class CollectorStress : public testing_support::CollectorTest {
 protected:
  void SetUp() override {
    CollectorTest::SetUp();
    g_destroyed.clear();
    gc_register_roots([] { g_roots.queue_mark(); });
    g_roots = Array<gc_ref<Node>>(kRoots);
    shadow_roots_.assign(kRoots, kNone);
  }
  void TearDown() override {
    g_roots = Array<gc_ref<Node>>();
    CollectorTest::TearDown();
  }

  int random(int bound) { return std::uniform_int_distribution<int>(0, bound - 1)(rng_); }
  Node* node(int id) const { return id == kNone ? nullptr : nodes_[static_cast<size_t>(id)]; }

  // A reachable node, a fresh one, or none.
  int pick_target() {
    const int roll = random(10);
    if (roll < 4 || reachable_.empty()) {
      g_destroyed.push_back(false);
      shadow_.emplace_back(kSlots, kNone);
      nodes_.push_back(gc_new<Node>(static_cast<int>(nodes_.size())));
      return static_cast<int>(nodes_.size()) - 1;
    }
    if (roll < 8) return reachable_[static_cast<size_t>(random(static_cast<int>(reachable_.size())))];
    return kNone;
  }

  // Between two steps native code may use any object reachable at the last.
  void mutate() {
    const int roll = random(100);
    if (roll < 3) {
      Array<char> ballast(random(64 * 1024));  // garbage that only adds growth
      return;
    }
    const int target = pick_target();
    if (roll < 6 || reachable_.empty()) {
      const int slot = random(kRoots);
      g_roots[slot] = node(target);
      shadow_roots_[static_cast<size_t>(slot)] = target;
      return;
    }
    const int holder = reachable_[static_cast<size_t>(random(static_cast<int>(reachable_.size())))];
    const int slot = random(kSlots);
    node(holder)->set(slot, node(target));
    shadow_[static_cast<size_t>(holder)][static_cast<size_t>(slot)] = target;
  }

  // Walks the shadow graph from the roots; every node found must be alive
  // and hold what its shadow says. Returns the bytes they occupy.
  long check_reachable() {
    std::vector<bool> seen(nodes_.size());
    std::vector<int> pending(shadow_roots_);
    reachable_.clear();
    long bytes = 0;
    while (!pending.empty()) {
      const int id = pending.back();
      pending.pop_back();
      if (id == kNone || seen[static_cast<size_t>(id)]) continue;
      seen[static_cast<size_t>(id)] = true;
      reachable_.push_back(id);
      if (g_destroyed[static_cast<size_t>(id)]) {
        ADD_FAILURE() << "reachable node " << id << " was destroyed";
        return -1;
      }
      const std::vector<int>& shadow = shadow_[static_cast<size_t>(id)];
      const Node* n = node(id);
      const Node* held[kSlots] = {n->fields[0], n->fields[1], n->items[0], n->items[1]};
      for (int slot = 0; slot < kSlots; ++slot) {
        if (held[slot] != node(shadow[static_cast<size_t>(slot)])) {
          ADD_FAILURE() << "node " << id << " slot " << slot << " differs from its shadow";
          return -1;
        }
        pending.push_back(shadow[static_cast<size_t>(slot)]);
      }
      bytes += n->gc_size() + n->items.GetRep()->gc_size();
    }
    return bytes;
  }

  std::mt19937 rng_{20261206};
  std::vector<Node*> nodes_;  // by id; valid only while not destroyed
  std::vector<std::vector<int>> shadow_;
  std::vector<int> shadow_roots_, reachable_;
};

TEST_F(CollectorStress, ReachableObjectsSurviveAndMemoryStaysBounded) {
  long peak_live = 0, peak_step = 0;
  int sweeps = 0;
  for (int step = 0; step < kSteps; ++step) {
    const int before = gc_alloced_bytes;
    for (int i = 0; i < kMutationsPerStep; ++i) mutate();
    peak_step = std::max(peak_step, static_cast<long>(gc_alloced_bytes - before));
    gc_force_sweep = step % kForcedSweepEvery == kForcedSweepEvery - 1;
    const int markbit = gc_markbit;
    gc_collect();
    sweeps += gc_markbit != markbit;
    const long live = check_reachable();
    ASSERT_GE(live, 0) << "at step " << step;
    ASSERT_TRUE(gc_check_heap()) << "at step " << step;
    peak_live = std::max(peak_live, live);
    // A sweep keeps live data plus garbage that was reached in its cycle.
    ASSERT_LT(gc_alloced_bytes, 2 * peak_live + kGcFullModeGrowthBytes + 2 * peak_step) << "at step " << step;
  }
  EXPECT_GT(nodes_.size(), kSteps * 400UL) << "the graph is meant to be large";
  EXPECT_GE(sweeps, kSteps / 20) << "cycles must keep ending";
  g_roots = Array<gc_ref<Node>>();
  gc_clear_roots();
  full_collections();
  for (size_t id = 0; id < g_destroyed.size(); ++id) ASSERT_TRUE(g_destroyed[id]) << "node " << id << " outlived its roots";
  const GcListCounts counts = gc_list_counts();
  EXPECT_EQ(counts.unmarked + counts.queued + counts.marked + counts.free, 0);
}

}  // namespace
}  // namespace vantor
