// Shared by the collector tests: a fixture that starts every test from an
// empty heap with no roots, and objects that report their destruction.
#pragma once

#include <gtest/gtest.h>

#include "runtime/array.h"
#include "runtime/gc.h"

namespace vantor::testing_support {

// The block size the collector accounts for an object of type T.
template <class T>
constexpr int gc_size_of() {
  return (static_cast<int>(sizeof(T)) + kGcGranuleBytes - 1) & ~(kGcGranuleBytes - 1);
}

// The collector is process-wide: each test starts and ends with no objects,
// no roots and fresh counters.
class CollectorTest : public testing::Test {
 protected:
  void SetUp() override { reset(); }
  void TearDown() override { reset(); }

  static void reset() {
    gc_clear_roots();
    gc_init();
  }

  // Forced collections. An allocation before each makes sure the sweep
  // happens (there is nothing to sweep while everything is reached).
  // Garbage that was reached earlier in a cycle dies in the next one, so two
  // of them free everything unreachable.
  static void full_collections(int count = 2) {
    for (int i = 0; i < count; ++i) {
      gc_new<Object>();
      gc_force_sweep = true;
      gc_collect();
    }
  }

  // Allocates one garbage block of exactly `bytes` (a multiple of 8).
  static void add_garbage(int bytes) {
    Array<char> ballast(bytes - static_cast<int>(sizeof(Array<char>::Rep)));
  }
};

// An object with one reference that sets a flag when it is destroyed.
class Tracked : public Object {
 public:
  explicit Tracked(bool* destroyed = nullptr) : destroyed_(destroyed) {}
  ~Tracked() override {
    if (destroyed_) *destroyed_ = true;
  }
  void mark() override { next.queue_mark(); }

  gc_ref<Tracked> next;

 private:
  bool* destroyed_;
};

}  // namespace vantor::testing_support
