// Collector benchmark: the same churning workload under our collector,
// under Boehm GC (stop-the-world and incremental) and under malloc/free.
//
// The workload: `live` nodes of the size of our two-reference node, held in
// linked lists that hang off 1,000 list heads; every update replaces 400 of
// them (a new node takes a random list's head place and the old head is
// dropped), then the collector gets its step. Printed per mode: nanoseconds
// per allocation inside the updates, the explicit step's CPU time (median,
// 99th percentile, maximum) and the worst whole update (a stop-the-world
// collector pauses inside allocation), then the cost of allocating an
// object that is garbage at once. CPU time of the calling thread throughout,
// so other processes on the machine count little. It asserts nothing.
//
// Usage: bench_gc_bench [ours|boehm|boehm-incremental|malloc] [LIVE]
// (boehm modes only when built with libgc-dev).

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#ifdef VANTOR_BENCH_BOEHM
#include <gc/gc.h>
#endif

#include "runtime/array.h"
#include "runtime/gc.h"

namespace {

using vantor::Array;
using vantor::gc_ref;

constexpr int kLists = 1000;
constexpr int kUpdates = 3000;
constexpr int kReplacedPerUpdate = 400;
constexpr int kDefaultLive = 50000;
constexpr int kAllocationsTimed = 1000000;
constexpr int kAllocationsPerStep = 1000;  // as many as a busy update makes
constexpr double kNanosPerMicro = 1e3;

double ThreadNanos() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e9 + static_cast<double>(t.tv_nsec);
}

double Percentile(std::vector<double> values, double fraction) {
  std::sort(values.begin(), values.end());
  return values[static_cast<size_t>(fraction * static_cast<double>(values.size() - 1))];
}

// ---------------------------------------------------------------------------
// The three heaps behind one small interface: a node with a `next` link.

class Node : public vantor::Object {
 public:
  gc_ref<Node> next;
  gc_ref<Node> other;
  void mark() override {
    next.queue_mark();
    other.queue_mark();
  }
};
constexpr size_t kNodeBytes = sizeof(Node);

// Plain nodes for Boehm and malloc, padded to the size of ours: one link
// (the size of any object pointer), then padding.
constexpr size_t kLinkBytes = sizeof(void*);
struct PlainNode {
  PlainNode* next;
  unsigned char payload[kNodeBytes - kLinkBytes];
};
static_assert(sizeof(PlainNode) == kNodeBytes);

Array<gc_ref<Node>>* g_heads = nullptr;
void MarkHeads() { g_heads->queue_mark(); }

struct OurHeap {
  Array<gc_ref<Node>> heads{kLists};
  OurHeap() {
    g_heads = &heads;
    vantor::gc_register_roots(MarkHeads);
    vantor::gc_mark();
  }
  void Push(int list) {
    Node* fresh = vantor::gc_new<Node>();
    fresh->next = heads[list];
    heads[list] = fresh;
  }
  // The head gives its place to a new node and is dropped.
  void Replace(int list) {
    Node* fresh = vantor::gc_new<Node>();
    fresh->next = heads[list]->next;
    heads[list] = fresh;
  }
  static void Step() { vantor::gc_collect(); }
  static void Garbage() { vantor::gc_new<Node>(); }
};

struct MallocHeap {
  std::vector<PlainNode*> heads = std::vector<PlainNode*>(kLists, nullptr);
  void Push(int list) {
    auto* fresh = static_cast<PlainNode*>(std::malloc(kNodeBytes));
    fresh->next = heads[list];
    heads[list] = fresh;
  }
  void Replace(int list) {
    auto* fresh = static_cast<PlainNode*>(std::malloc(kNodeBytes));
    PlainNode* old = heads[list];
    fresh->next = old->next;
    heads[list] = fresh;
    std::free(old);
  }
  static void Step() {}
  // Through a volatile pointer, so the pair is not optimised away.
  static void Garbage() {
    void* volatile block = std::malloc(kNodeBytes);
    std::free(block);
  }
};

#ifdef VANTOR_BENCH_BOEHM
struct BoehmHeap {
  explicit BoehmHeap(bool incremental) : incremental_(incremental) {
    heads = static_cast<PlainNode**>(GC_MALLOC(sizeof(PlainNode*) * kLists));
  }
  void Push(int list) {
    auto* fresh = static_cast<PlainNode*>(GC_MALLOC(kNodeBytes));
    fresh->next = heads[list];
    heads[list] = fresh;
  }
  void Replace(int list) {
    auto* fresh = static_cast<PlainNode*>(GC_MALLOC(kNodeBytes));
    fresh->next = heads[list]->next;
    heads[list] = fresh;
  }
  void Step() const {
    if (incremental_) GC_collect_a_little();
  }
  static void Garbage() { GC_MALLOC(kNodeBytes); }
  PlainNode** heads;

 private:
  bool incremental_;
};
#endif

// ---------------------------------------------------------------------------

template <class Heap>
void Churn(const char* mode, Heap& heap, int live) {
  std::mt19937 random(1234);
  for (int i = 0; i < live; ++i) heap.Push(i % kLists);
  std::vector<double> steps, updates;
  double allocating = 0;
  for (int update = 0; update < kUpdates; ++update) {
    const double start = ThreadNanos();
    for (int i = 0; i < kReplacedPerUpdate; ++i) heap.Replace(static_cast<int>(random() % kLists));
    const double allocated = ThreadNanos();
    heap.Step();
    const double end = ThreadNanos();
    allocating += allocated - start;
    steps.push_back((end - allocated) / kNanosPerMicro);
    updates.push_back((end - start) / kNanosPerMicro);
  }
  std::printf(
      "%-18s live=%-7d alloc_ns=%6.1f step_us median=%7.1f p99=%7.1f max=%8.1f "
      "worst_update_us=%8.1f\n",
      mode, live, allocating / (static_cast<double>(kUpdates) * kReplacedPerUpdate),
      Percentile(steps, 0.5), Percentile(steps, 0.99), Percentile(steps, 1.0),
      Percentile(updates, 1.0));
}

template <class Heap>
void Garbage(const char* mode, Heap& heap) {
  const double start = ThreadNanos();
  for (int i = 0; i < kAllocationsTimed; ++i) {
    heap.Garbage();
    if (i % kAllocationsPerStep == 0) heap.Step();
  }
  std::printf("%-18s garbage_alloc_ns=%.1f (%zu-byte objects, garbage at once)\n", mode,
              (ThreadNanos() - start) / kAllocationsTimed, kNodeBytes);
}

template <class Heap>
void Run(const char* mode, Heap& heap, int live) {
  Churn(mode, heap, live);
  Garbage(mode, heap);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "ours";
  const int live = argc > 2 ? std::atoi(argv[2]) : kDefaultLive;
  if (mode == "ours") {
    vantor::gc_init();
    OurHeap heap;
    Run("ours", heap, live);
  } else if (mode == "malloc") {
    MallocHeap heap;
    Run("malloc/free", heap, live);
#ifdef VANTOR_BENCH_BOEHM
  } else if (mode == "boehm" || mode == "boehm-incremental") {
    GC_INIT();
    const bool incremental = mode == "boehm-incremental";
    if (incremental) GC_enable_incremental();
    BoehmHeap heap(incremental);
    Run(incremental ? "boehm-incremental" : "boehm-stop-world", heap, live);
#endif
  } else {
    std::fprintf(stderr, "gc_bench: unknown mode %s\n", mode.c_str());
    return 2;
  }
  return 0;
}
