// The incremental collector: object lists, allocation, marking, sweeping and
// the small-block cache. See gc.h for the colour invariant it keeps.
#include "runtime/gc.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/log.h"
#include "runtime/array.h"
#include "runtime/debug.h"
#include "runtime/text.h"

namespace vantor {

int gc_markbit = 0;
int gc_alloced_bytes = 0;
int gc_max_alloced_bytes = 0;
int gc_marked_bytes = 0;
int gc_marked_objs = 0;
int gc_free_bytes = 0;
bool gc_force_sweep = false;

namespace {

// Head of a circular list: an inert object that links to itself when the
// list is empty. Constant-initialised, so objects built by dynamic
// initialisers of other files find the lists ready.
class GcList : public gc_object {
 public:
  constexpr GcList() : gc_object(StaticTag{}) { succ = pred = this; }

  bool empty() const { return succ == this; }
  gc_object* first() const { return succ; }

  void append(gc_object* object) {
    object->succ = this;
    object->pred = pred;
    pred->succ = object;
    pred = object;
  }

  // Moves every object of `other` to the tail of this list.
  void splice(GcList& other) {
    if (other.empty()) return;
    other.succ->pred = pred;
    pred->succ = other.succ;
    other.pred->succ = this;
    pred = other.pred;
    other.succ = other.pred = &other;
  }
};

constinit GcList gc_unmarked_list;
constinit GcList gc_queued_list;
constinit GcList gc_marked_list;
constinit GcList gc_free_list;

// Blocks below kGcCacheLimitBytes, one free list per size / 8, linked
// through their first word.
constexpr int kGcCacheLists = kGcCacheLimitBytes / kGcGranuleBytes;
constinit void* gc_cache[kGcCacheLists] = {};

// Blocks gc_malloc handed out whose object is not built yet, newest last;
// each gc_object constructor takes its own entry (see gc.h). Nesting is as
// deep as constructor arguments that allocate, so a few entries suffice;
// past that the oldest is dropped, its block then builds a static object.
struct PendingBlock {
  const void* block;
  int size;
};
constexpr int kGcPendingBlocks = 16;
constinit PendingBlock gc_pending[kGcPendingBlocks] = {};
int gc_pending_count = 0;

void hand_over(const void* block, int size) {
  if (gc_pending_count == kGcPendingBlocks) {
    std::copy(gc_pending + 1, gc_pending + kGcPendingBlocks, gc_pending);
    --gc_pending_count;
  }
  gc_pending[gc_pending_count++] = {block, size};
}

// The size handed out with `block`, forgetting it; 0 when it was not.
int take_over(const void* block) {
  for (int i = gc_pending_count - 1; i >= 0; --i) {
    if (gc_pending[i].block != block) continue;
    const int size = gc_pending[i].size;
    std::copy(gc_pending + i + 1, gc_pending + gc_pending_count, gc_pending + i);
    --gc_pending_count;
    return size;
  }
  return 0;
}

// Position in the first queued object (a reference array) where the last
// step stopped scanning it.
int gc_scan_position = 0;
// gc_alloced_bytes just after the last sweep.
int gc_last_sweep_level = 0;

std::vector<gc_root_marker>& root_markers() {
  static std::vector<gc_root_marker> markers;
  return markers;
}

void unlink(gc_object* object) {
  object->pred->succ = object->succ;
  object->succ->pred = object->pred;
}

int round_up(int size) {
  if (size <= 0) return kGcGranuleBytes;
  return (size + kGcGranuleBytes - 1) & ~(kGcGranuleBytes - 1);
}

void* take_block(int size) {
  if (size < kGcCacheLimitBytes) {
    void*& head = gc_cache[size / kGcGranuleBytes];
    if (head) {
      void* block = head;
      head = *static_cast<void**>(block);
      return block;
    }
  }
  void* block = std::malloc(static_cast<size_t>(size));
  if (!block) dbg_out_of_memory();
  return block;
}

void destroy(gc_object* object) {
  const int size = object->gc_size();
  unlink(object);
  object->~gc_object();
  gc_free(object, size);
}

// Destroys garbage from the free list until `bytes` of it are gone (or all).
void flush(int bytes) {
  const int target = gc_free_bytes > bytes ? gc_free_bytes - bytes : 0;
  while (gc_free_bytes > target) {
    gc_object* object = gc_free_list.first();
    if (object == &gc_free_list) {
      // The count disagrees with the list; trust the list.
      std::printf("ERROR:p=%p gc_free_bytes=%i\n", static_cast<void*>(object), gc_free_bytes);
      std::fflush(stdout);
      gc_free_bytes = 0;
      return;
    }
    destroy(object);
  }
}

void blacken(gc_object* object) {
  unlink(object);
  gc_marked_list.append(object);
  gc_marked_bytes += object->gc_size();
  ++gc_marked_objs;
}

// Moves a reached object to the marked list and scans its references.
void scan(gc_object* object) {
  blacken(object);
  object->mark();
}

// Scans queued objects until `budget` units of work are done: one per
// object marked and one per array element visited. A reference array stays
// first in the queue (grey) until its last slice is marked, so no black
// object ever holds its unvisited elements.
void scan_queue(long budget) {
  long work = 0;
  while (!gc_queued_list.empty() && work < budget) {
    gc_object* object = gc_queued_list.first();
    const int marked_before = gc_marked_objs;
    const int slice = static_cast<int>(std::min<long>(budget - work, INT_MAX));
    const int visited = object->mark_slice(gc_scan_position, slice);
    if (visited < slice) {
      blacken(object);
      gc_scan_position = 0;
    } else {
      gc_scan_position += visited;
    }
    work += visited + (gc_marked_objs - marked_before);
  }
}

// Everything still white is garbage; the black objects become the white
// ones of the next cycle by flipping the meaning of the colour bit.
void sweep() {
  gc_free_list.splice(gc_unmarked_list);
  gc_free_bytes += gc_alloced_bytes - gc_marked_bytes;
  gc_unmarked_list.splice(gc_marked_list);
  gc_alloced_bytes = gc_marked_bytes;
  gc_marked_bytes = 0;
  gc_marked_objs = 0;
  gc_markbit ^= 1;
  gc_mark();
  gc_last_sweep_level = gc_alloced_bytes;
}

// --- Heap check (tests, debugging) ---------------------------------------

// While set, gc_queue_mark and gc_mark_now record white objects instead of
// marking them: gc_check_heap runs mark() methods to see their references.
bool gc_checking = false;
const gc_object* gc_check_white = nullptr;

void note_white(const gc_object* object) {
  if (!gc_check_white) gc_check_white = object;
}

struct ListTally {
  int objects = 0;
  long bytes = 0;
};

// The address as text, for the heap check's reports.
std::string Address(const void* where) {
  char text[2 + 2 * sizeof where + 1];
  std::snprintf(text, sizeof text, "%p", where);
  return text;
}

bool heap_fault(const char* what, const void* where) {
  LogProblem("collector", std::string("heap check: ") + what + " (" + Address(where) + ")");
  return false;
}

// Walks one list checking links and, unless `colour` is negative, colours.
bool check_list(const GcList& list, int colour, ListTally& tally) {
  const gc_object* previous = &list;
  for (const gc_object* p = list.succ; p != &list; p = p->succ) {
    if (!p || p->pred != previous) return heap_fault("broken list link", p);
    if (colour >= 0 && p->gc_colour() != colour) return heap_fault("object of the wrong colour", p);
    if (p->gc_size() < kGcGranuleBytes) return heap_fault("object without a size", p);
    ++tally.objects;
    tally.bytes += p->gc_size();
    previous = p;
  }
  if (list.pred != previous) return heap_fault("list head's last link is wrong", &list);
  return true;
}

bool check_no_white_reference(const gc_object* holder) {
  if (!gc_check_white) return true;
  LogProblem("collector",
             "heap check: " + Address(holder) + " refers to white " + Address(gc_check_white));
  return false;
}

// Runs every black object's mark() and the root markers with the checking
// hook installed.
bool check_black_references() {
  gc_checking = true;
  gc_check_white = nullptr;
  bool ok = true;
  for (gc_object* p = gc_marked_list.succ; ok && p != &gc_marked_list; p = p->succ) {
    p->mark();
    ok = check_no_white_reference(p);
  }
  if (ok) {
    gc_mark();
    ok = check_no_white_reference(nullptr);
  }
  gc_checking = false;
  return ok;
}

bool check_counts(const ListTally& white, const ListTally& grey, const ListTally& black,
                  const ListTally& garbage) {
  if (white.bytes + grey.bytes + black.bytes != gc_alloced_bytes)
    return heap_fault("gc_alloced_bytes disagrees with the lists", nullptr);
  if (black.bytes != gc_marked_bytes || black.objects != gc_marked_objs)
    return heap_fault("marked counts disagree with the marked list", nullptr);
  if (garbage.bytes != gc_free_bytes)
    return heap_fault("gc_free_bytes disagrees with the free list", nullptr);
  return true;
}

bool list_contains(const GcList& list, const void* address) {
  for (const gc_object* p = list.succ; p != &list; p = p->succ) {
    if (p == address) return true;
  }
  return false;
}

int list_length(const GcList& list) {
  int n = 0;
  for (const gc_object* p = list.succ; p != &list; p = p->succ) ++n;
  return n;
}

}  // namespace

// --- Objects ---------------------------------------------------------------

// An object not built in a gc_malloc block (none should be) is treated like
// a static one rather than left for the collector to free.
gc_object::gc_object() : succ(nullptr), pred(nullptr), flags(kStaticColour) {
  const int size = take_over(this);
  if (size == 0) return;
  flags = gc_markbit | size;
  gc_unmarked_list.append(this);
}

gc_object::~gc_object() = default;

void gc_object::mark() {}

int gc_object::mark_slice(int, int) {
  mark();
  return 0;
}

bool Object::Equals(Object* other) { return this == other; }

int Object::Compare(Object* other) {
  return static_cast<int>(reinterpret_cast<std::intptr_t>(this) -
                          reinterpret_cast<std::intptr_t>(other));
}

String Object::debug() { return String("+Object\n"); }

// --- Allocation ------------------------------------------------------------

void* gc_malloc(int size) {
  if (size < 0 || size > INT_MAX - kGcGranuleBytes) dbg_out_of_memory();
  size = round_up(size);
  if (gc_alloced_bytes > INT_MAX - size) dbg_out_of_memory();
  flush(size);
  void* block = take_block(size);
  hand_over(block, size);
  gc_alloced_bytes += size;
  if (gc_alloced_bytes > gc_max_alloced_bytes) gc_max_alloced_bytes = gc_alloced_bytes;
  return block;
}

void* gc_malloc_large(long bytes) {
  if (bytes < 0 || bytes > INT_MAX) dbg_out_of_memory();
  return gc_malloc(static_cast<int>(bytes));
}

void gc_free(void* block, int size) {
  gc_free_bytes -= size;
  if (size >= kGcCacheLimitBytes) {
    std::free(block);
    return;
  }
  void*& head = gc_cache[size / kGcGranuleBytes];
  *static_cast<void**>(block) = head;
  head = block;
}

// --- Marking ---------------------------------------------------------------

void gc_queue_mark(gc_object* object) {
  if (!object || object->gc_colour() != gc_markbit) return;
  if (gc_checking) return note_white(object);
  object->flags ^= 1;
  unlink(object);
  gc_queued_list.append(object);
}

void gc_mark_now(gc_object* object) {
  if (!object || object->gc_colour() != gc_markbit) return;
  if (gc_checking) return note_white(object);
  object->flags ^= 1;
  scan(object);
}

void gc_mark() {
  for (gc_root_marker marker : root_markers()) marker();
}

void gc_register_roots(gc_root_marker marker) { root_markers().push_back(marker); }

void gc_clear_roots() { root_markers().clear(); }

// --- Collection ------------------------------------------------------------

void gc_collect() {
  const int growth = gc_alloced_bytes - gc_last_sweep_level;
  const bool full = gc_force_sweep || growth > kGcFullModeGrowthBytes;
  scan_queue(full ? LONG_MAX : kGcMarkObjectsPerStep);
  const bool due = full || growth > kGcSweepGrowthBytes;
  // The cycle ends even when nothing is white: objects that were reached
  // and then dropped are black until a new cycle starts, so refusing to
  // turn over while every new object gets stored before a step (the write
  // barrier greys it at once) would let the heap grow without bound.
  if (gc_queued_list.empty() && due) sweep();
  if (gc_force_sweep) {
    flush(gc_free_bytes);
    gc_force_sweep = false;
  }
}

void gc_init() {
  for (GcList* list : {&gc_unmarked_list, &gc_queued_list, &gc_marked_list, &gc_free_list}) {
    while (!list->empty()) destroy(list->first());
  }
  gc_markbit = 0;
  gc_alloced_bytes = gc_max_alloced_bytes = 0;
  gc_marked_bytes = gc_marked_objs = 0;
  gc_free_bytes = 0;
  gc_force_sweep = false;
  gc_last_sweep_level = 0;
  gc_pending_count = 0;
  gc_scan_position = 0;
}

// --- Inspection ------------------------------------------------------------

GcListCounts gc_list_counts() {
  return {list_length(gc_unmarked_list), list_length(gc_queued_list), list_length(gc_marked_list),
          list_length(gc_free_list)};
}

bool gc_check_heap() {
  const int white = gc_markbit;
  const int reached = gc_markbit ^ 1;
  ListTally unmarked, queued, marked, garbage;
  // Garbage keeps the colour it had when swept, so its colour is not checked.
  if (!check_list(gc_unmarked_list, white, unmarked) ||
      !check_list(gc_queued_list, reached, queued) ||
      !check_list(gc_marked_list, reached, marked) || !check_list(gc_free_list, -1, garbage)) {
    return false;
  }
  return check_counts(unmarked, queued, marked, garbage) && check_black_references();
}

bool gc_is_live_object(const void* address) {
  if (!address) return false;
  for (const GcList* list : {&gc_unmarked_list, &gc_queued_list, &gc_marked_list, &gc_free_list}) {
    if (list_contains(*list, address)) return true;
  }
  return false;
}

}  // namespace vantor
