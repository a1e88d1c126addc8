// Collector benchmark: what one collection step costs while a game-sized
// heap churns, and what allocation costs with the small-block cache.
//
// Prints medians and the 99th percentile over many steps; it asserts
// nothing. Run: ./build/bench/bench_gc_bench
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

#include "runtime/array.h"
#include "runtime/gc.h"

namespace {

using vantor::Array;
using vantor::gc_ref;
using Clock = std::chrono::steady_clock;

// A node with two references, the shape of most script objects.
class Node : public vantor::Object {
 public:
  gc_ref<Node> left;
  gc_ref<Node> right;
  void mark() override {
    left.queue_mark();
    right.queue_mark();
  }
};

constexpr int kLiveNodes = 50000;        // about the size of a loaded game
constexpr int kStepsMeasured = 2000;     // one collection step per update
constexpr int kGarbagePerStep = 400;     // objects dropped each update
constexpr int kAllocationsTimed = 1000000;

Array<gc_ref<Node>>* g_roots = nullptr;

void MarkRoots() { g_roots->queue_mark(); }

double Percentile(std::vector<double> values, double fraction) {
  std::sort(values.begin(), values.end());
  return values[static_cast<size_t>(fraction * (values.size() - 1))];
}

double MicrosSince(Clock::time_point start) {
  return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

void BenchCollectionSteps() {
  std::mt19937 random(1234);
  Array<gc_ref<Node>> roots(kLiveNodes);
  g_roots = &roots;
  vantor::gc_register_roots(MarkRoots);
  vantor::gc_mark();  // as start-up does once the roots exist
  for (int i = 0; i < kLiveNodes; ++i) roots[i] = vantor::gc_new<Node>();

  std::vector<double> steps;
  steps.reserve(kStepsMeasured);
  for (int step = 0; step < kStepsMeasured; ++step) {
    for (int i = 0; i < kGarbagePerStep; ++i) {
      Node* fresh = vantor::gc_new<Node>();
      fresh->left = roots[random() % kLiveNodes];
      roots[random() % kLiveNodes] = fresh;
    }
    const auto start = Clock::now();
    vantor::gc_collect();
    steps.push_back(MicrosSince(start));
  }
  std::printf("gc_collect step with %d live nodes, %d replaced per step:\n", kLiveNodes,
              kGarbagePerStep);
  std::printf("  median %.1f us, p99 %.1f us, max %.1f us; peak heap %.1f MiB\n",
              Percentile(steps, 0.5), Percentile(steps, 0.99), Percentile(steps, 1.0),
              vantor::gc_max_alloced_bytes / (1024.0 * 1024.0));
  vantor::gc_clear_roots();
}

void BenchAllocation() {
  const auto start = Clock::now();
  for (int i = 0; i < kAllocationsTimed; ++i) {
    vantor::gc_new<Node>();
    if (i % 1000 == 0) vantor::gc_collect();
  }
  std::printf("allocation of a %d-byte object (garbage at once): %.1f ns each\n",
              static_cast<int>(sizeof(Node)), MicrosSince(start) * 1000.0 / kAllocationsTimed);
}

}  // namespace

int main() {
  vantor::gc_init();
  BenchCollectionSteps();
  BenchAllocation();
  return 0;
}
