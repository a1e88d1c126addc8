// Driving the collector to the end of whole cycles in tests, so that what
// nothing reaches is really destroyed. Used by the audio tests of the host
// and of the audio module.
#pragma once

#include "runtime/gc.h"

namespace vantor::test {

// Two forced cycles: the first may only finish marking what the last one
// left grey. The collector sweeps only when something is unreached, so each
// cycle gets a piece of garbage.
inline void CollectEverything() {
  for (int i = 0; i < 2; ++i) {
    gc_new<Object>();
    gc_force_sweep = true;
    gc_collect();
  }
}

}  // namespace vantor::test
