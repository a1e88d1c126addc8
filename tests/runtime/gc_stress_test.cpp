// A randomised stress test of the collector: object graphs of hundreds of
// thousands of objects are built and rewired between collection steps, and a
// shadow copy of the graph, kept by the test, tells after every step which
// objects must still exist. No reachable object may ever be destroyed, the
// heap must stay consistent, and the accounted bytes must stay bounded.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <utility>
#include <vector>

#include "runtime/array.h"
#include "runtime/gc.h"
#include "tests/runtime/gc_test_support.h"
#include "tests/runtime/sanitizers.h"

namespace vantor {
namespace {

using testing_support::kSanitized;

constexpr int kSteps = kSanitized ? 150 : 200;
constexpr int kMutationsPerStep = 3000;
constexpr int kRootSlots = 64;
constexpr int kChildren = 3;
constexpr int kNoNode = -1;
// Every so many steps the step ends with a forced sweep, as after a load.
constexpr int kForcedSweepEvery = 37;

std::vector<bool> g_destroyed;  // by node id, set by the destructor

class Node : public Object {
 public:
  explicit Node(int id) : id(id) {}
  ~Node() override { g_destroyed[static_cast<size_t>(id)] = true; }
  void mark() override {
    for (const gc_ref<Node>& child : children) child.queue_mark();
    items.queue_mark();
  }

  const int id;
  gc_ref<Node> children[kChildren];
  Array<gc_ref<Node>> items;
};

// What the test believes the graph is, by node id.
struct ShadowNode {
  int children[kChildren] = {kNoNode, kNoNode, kNoNode};
  std::vector<int> items;
};

Array<gc_ref<Node>> g_roots;
void mark_stress_roots() { g_roots.queue_mark(); }

class CollectorStress : public testing_support::CollectorTest {
 protected:
  void SetUp() override {
    CollectorTest::SetUp();
    g_destroyed.clear();
    gc_register_roots(mark_stress_roots);
    g_roots = Array<gc_ref<Node>>(kRootSlots);
    shadow_roots_.assign(kRootSlots, kNoNode);
    gc_mark();
  }
  void TearDown() override {
    g_roots = Array<gc_ref<Node>>();
    CollectorTest::TearDown();
  }

  int random(int bound) { return std::uniform_int_distribution<int>(0, bound - 1)(rng_); }

  Node* node(int id) const { return nodes_[static_cast<size_t>(id)]; }
  Node* node_or_null(int id) const { return id == kNoNode ? nullptr : node(id); }

  int new_node() {
    const int id = static_cast<int>(nodes_.size());
    g_destroyed.push_back(false);
    shadow_.emplace_back();
    nodes_.push_back(gc_new<Node>(id));
    ++allocated_;
    return id;
  }

  // A reachable node, a fresh one, or none.
  int pick_target() {
    const int roll = random(10);
    if (roll < 4 || reachable_.empty()) return new_node();
    if (roll < 8) return reachable_[static_cast<size_t>(random(static_cast<int>(reachable_.size())))];
    return kNoNode;
  }

  void set_root(int slot, int id) {
    g_roots[slot] = node_or_null(id);
    shadow_roots_[static_cast<size_t>(slot)] = id;
  }

  void set_child(int holder, int slot, int id) {
    node(holder)->children[slot] = node_or_null(id);
    shadow_[static_cast<size_t>(holder)].children[slot] = id;
  }

  void set_items(int holder) {
    std::vector<int> targets(static_cast<size_t>(random(5)));
    for (int& target : targets) target = pick_target();  // may grow shadow_
    Array<gc_ref<Node>> items(static_cast<int>(targets.size()));
    for (int i = 0; i < items.Length(); ++i) items[i] = node_or_null(targets[static_cast<size_t>(i)]);
    node(holder)->items = items;
    shadow_[static_cast<size_t>(holder)].items = std::move(targets);
  }

  // Between two collection steps, native code may use any object that was
  // reachable when the step began.
  void mutate() {
    const int roll = random(100);
    if (roll < 3 || reachable_.empty()) return set_root(random(kRootSlots), pick_target());
    const int holder = reachable_[static_cast<size_t>(random(static_cast<int>(reachable_.size())))];
    if (roll < 85) return set_child(holder, random(kChildren), pick_target());
    if (roll < 97) return set_items(holder);
    Array<char> ballast(random(64 * 1024));  // garbage that only adds growth
  }

  void visit(int id, std::vector<int>& pending) {
    if (id == kNoNode || visited_[static_cast<size_t>(id)] == generation_) return;
    visited_[static_cast<size_t>(id)] = generation_;
    reachable_.push_back(id);
    pending.push_back(id);
  }

  // Whether a node that still exists has the references its shadow says.
  bool matches_shadow(int id) const {
    const ShadowNode& shadow = shadow_[static_cast<size_t>(id)];
    for (int slot = 0; slot < kChildren; ++slot) {
      if (node(id)->children[slot].get() != node_or_null(shadow.children[slot])) return false;
    }
    const Array<gc_ref<Node>>& items = node(id)->items;
    if (items.Length() != static_cast<int>(shadow.items.size())) return false;
    for (int i = 0; i < items.Length(); ++i) {
      if (items[i].get() != node_or_null(shadow.items[static_cast<size_t>(i)])) return false;
    }
    return true;
  }

  // Walks the shadow graph from the roots; every node found must exist and
  // match its shadow. Returns the bytes the reachable objects occupy, or -1.
  long check_reachable() {
    ++generation_;
    visited_.resize(nodes_.size(), 0);
    reachable_.clear();
    std::vector<int> pending;
    for (int id : shadow_roots_) visit(id, pending);
    long bytes = 0;
    while (!pending.empty()) {
      const int id = pending.back();
      pending.pop_back();
      if (g_destroyed[static_cast<size_t>(id)]) {
        ADD_FAILURE() << "reachable node " << id << " was destroyed";
        return -1;
      }
      if (!matches_shadow(id)) {
        ADD_FAILURE() << "node " << id << " differs from its shadow";
        return -1;
      }
      bytes += node(id)->gc_size() + node(id)->items.GetRep()->gc_size();
      const ShadowNode& shadow = shadow_[static_cast<size_t>(id)];
      for (int child : shadow.children) visit(child, pending);
      for (int item : shadow.items) visit(item, pending);
    }
    return bytes;
  }

  std::mt19937 rng_{20261206};
  std::vector<Node*> nodes_;  // by id; valid only while not destroyed
  std::vector<ShadowNode> shadow_;
  std::vector<int> shadow_roots_;
  std::vector<int> reachable_;
  std::vector<int> visited_;
  int generation_ = 0;
  long allocated_ = 0;
};

TEST_F(CollectorStress, ReachableObjectsSurviveAndMemoryStaysBounded) {
  long peak_live = 0;
  long peak_step_bytes = 0;
  int sweeps = 0;
  for (int step = 0; step < kSteps; ++step) {
    const int before = gc_alloced_bytes;
    for (int i = 0; i < kMutationsPerStep; ++i) mutate();
    peak_step_bytes = std::max(peak_step_bytes, static_cast<long>(gc_alloced_bytes - before));
    if (step % kForcedSweepEvery == kForcedSweepEvery - 1) gc_force_sweep = true;
    const int markbit = gc_markbit;
    gc_collect();
    sweeps += gc_markbit != markbit;
    const long live = check_reachable();
    ASSERT_GE(live, 0) << "at step " << step;
    ASSERT_TRUE(gc_check_heap()) << "at step " << step;
    peak_live = std::max(peak_live, live);
    // Growth never runs far past full mode's threshold before a sweep, and
    // what a sweep keeps is live data plus garbage that was reached in its
    // cycle before it died.
    ASSERT_LT(gc_alloced_bytes, 2 * peak_live + kGcFullModeGrowthBytes + 2 * peak_step_bytes) << "at step " << step;
  }
  EXPECT_GT(allocated_, kSteps * 400L) << "the graph is meant to be large";
  EXPECT_GT(sweeps, kSteps / 20);
  std::printf("%ld nodes, %zu reachable at the end, %d sweeps, peak live %ld bytes, peak accounted %d bytes\n", allocated_, reachable_.size(),
              sweeps, peak_live, gc_max_alloced_bytes);

  // With the roots gone, everything dies and the lists are empty.
  set_root(0, kNoNode);
  g_roots = Array<gc_ref<Node>>();
  gc_clear_roots();
  full_collections();
  long survivors = 0;
  for (bool destroyed : g_destroyed) survivors += destroyed ? 0 : 1;
  EXPECT_EQ(survivors, 0);
  const GcListCounts counts = gc_list_counts();
  EXPECT_EQ(counts.unmarked + counts.queued + counts.marked + counts.free, 0);
}

}  // namespace
}  // namespace vantor
