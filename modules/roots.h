// Collector roots for the reference globals of the framework modules.
//
// A module keeps its host device (or context) in a `gc_ref` global that
// nothing else references, so the collector must treat it as a root. Each
// module's ModuleInit clears such a global and registers it here.
#pragma once

#include "runtime/gc.h"

namespace vantor {

template <auto& global>
void MarkModuleGlobal() {
  global.queue_mark();
}

// Clears `global` and makes it a collector root.
template <auto& global>
void InitModuleGlobal() {
  global = nullptr;
  gc_register_roots(MarkModuleGlobal<global>);
}

}  // namespace vantor
