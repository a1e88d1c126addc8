// Collected objects and the incremental collector.
//
// Owns the root of every collected object (`gc_object`, `Object`), the
// collector's lists and counters, the small-block cache and the write
// barrier. Called by everything that allocates script or host objects; the
// host loop calls `gc_collect()` after every call into the app. Main thread
// only: the collector runs only between calls into script code, so pointers
// held in native locals during a call are safe.
//
// Colours. Every object is on exactly one list. An object whose colour equals
// `gc_markbit` is white (unreached in this cycle, on the unmarked list); the
// other colour means reached: grey while it waits on the queued list for its
// references to be scanned, black once scanned (on the marked list). Colour 3
// marks static objects (the shared empty arrays) that are on no list and are
// never touched.
//
// Invariant kept by the write barrier: a black object never points to a
// white one. Every store of an object reference into a field or a global goes
// through the barrier (`gc_ref<T>` and `Array` do it on assignment), which
// greys a white value before the store, or, for an array, scans it at once.
// Roots are re-marked at the start of each cycle, so a sweep frees exactly
// the objects that no root and no reached object refers to.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>

namespace vantor {

class String;

// Root of every collected object. `gc_malloc` records the address and size
// of each block it hands out; the gc_object constructor, which runs first
// whenever an object is built in such a block, looks its own address up,
// takes that size into `flags` with the white colour and appends the object
// to the unmarked list. The lookup is by address because blocks may be built
// out of order: in `new (gc_malloc(n)) T(gc_new<U>())` the argument's block
// is handed out and built between T's block and T's constructor. (Writing
// the fields from the allocator instead would be undone by the compiler,
// which may treat storage as dead until its constructor starts.) An object
// built anywhere else (none should be) is treated as static and never
// collected.
class gc_object {
 public:
  gc_object* succ;
  gc_object* pred;
  int flags;  // bits 0-1 colour, the rest the allocated size in bytes

  gc_object();
  virtual ~gc_object();
  virtual void mark();
  // Marks the references from position `first` on, at most `count` of them
  // (at least 1), and returns how many positions it visited; fewer than
  // `count` means it is done. Objects with a few references mark them all
  // through mark(); arrays of references mark a slice, so that a collection
  // step can stop inside a large array.
  virtual int mark_slice(int first, int count);

  int gc_size() const { return flags & ~3; }
  int gc_colour() const { return flags & 3; }

  // Colour of objects the collector never touches; never equals gc_markbit.
  static constexpr int kStaticColour = 3;
  struct StaticTag {};
  // For objects in static storage that the collector must never touch. It is
  // constexpr so that such objects are ready before any dynamic initialiser.
  constexpr explicit gc_object(StaticTag) : succ(nullptr), pred(nullptr), flags(kStaticColour) {}

  gc_object(const gc_object&) = delete;
  gc_object& operator=(const gc_object&) = delete;
};

// Base of every script object.
class Object : public gc_object {
 public:
  using gc_object::gc_object;
  virtual bool Equals(Object* other);  // kept for the framework's API; nothing calls it
  virtual int Compare(Object* other);  // kept for the framework's API; nothing calls it
  virtual String debug();
};

// Collector state, process-wide. Exposed for the host loop and for tests.
extern int gc_markbit;
extern int gc_alloced_bytes;
extern int gc_max_alloced_bytes;
extern int gc_marked_bytes;
extern int gc_marked_objs;
extern int gc_free_bytes;
extern bool gc_force_sweep;

// Marking below this many objects per `gc_collect` call keeps each step short:
// at a few tens of nanoseconds an object, a step stays near a tenth of a
// millisecond (bench/gc_bench.cpp: step p99 67 to 115 us), under 1% of a 60 Hz
// update, however large the heap. The elements of a reference array count
// too, visited or not, so a large array is scanned over several calls.
inline constexpr int kGcMarkObjectsPerStep = 2500;
// A sweep happens only once this much has been allocated since the last one:
// a game that allocates little between frames (this one allocates nothing
// per update once loaded) never pays for a sweep, and garbage waiting for
// one stays a few MiB, small beside the textures and the sound context.
inline constexpr int kGcSweepGrowthBytes = 4 * 1024 * 1024;
// Past this much growth (16 sweeps' worth) allocation is outrunning the
// bounded steps, so the collector stops bounding its work and catches up at
// once: a pause, rather than a heap that grows without end.
inline constexpr int kGcFullModeGrowthBytes = 64 * 1024 * 1024;
// Blocks smaller than this are recycled through `gc_cache` by size / 8.
inline constexpr int kGcCacheLimitBytes = 64;
// Every collected block's size is a multiple of this.
inline constexpr int kGcGranuleBytes = 8;

// Allocates a collected object's memory (size rounded up to 8) after
// destroying about as much garbage; the object constructed in it joins the
// unmarked list. Heap exhaustion is a runtime error.
void* gc_malloc(int size);

// Gives a destroyed object's memory back (small blocks to the cache).
void gc_free(void* block, int size);

// Allocates and constructs a collected object.
template <class T, class... Args>
T* gc_new(Args&&... args) {
  return new (gc_malloc(static_cast<int>(sizeof(T)))) T(std::forward<Args>(args)...);
}

// One collection step; the host loop calls it after every callback.
void gc_collect();

// Marks the roots: every registered root marker runs. Called at start-up and
// after every sweep.
void gc_mark();

// Empties the four object lists, destroying whatever is on them, and resets
// the counters (start-up, before any object exists; tests).
void gc_init();

// A function that queue-marks the object references a module keeps in its
// globals. Modules register one each at initialisation.
using gc_root_marker = void (*)();
void gc_register_roots(gc_root_marker marker);
// Forgets every registered root marker (tests that rebuild the world).
void gc_clear_roots();

// Greys a white object (no-op for null, reached or static objects).
void gc_queue_mark(gc_object* object);
// Blackens a white object and scans it at once.
void gc_mark_now(gc_object* object);

// The write barrier: greys a white value before it is stored.
inline void gc_barrier(gc_object* value) {
  if (value && value->gc_colour() == gc_markbit) gc_queue_mark(value);
}

// A reference field or global: every store goes through the write barrier.
template <class T>
class gc_ref {
 public:
  gc_ref() = default;
  gc_ref(T* value) : ptr_(value) { gc_barrier(value); }  // NOLINT: implicit by design
  gc_ref(const gc_ref& other) : gc_ref(other.ptr_) {}
  gc_ref& operator=(T* value) {
    gc_barrier(value);
    ptr_ = value;
    return *this;
  }
  // Self-assignment stores the same pointer again: harmless.
  gc_ref& operator=(const gc_ref& other) {  // NOLINT(bugprone-unhandled-self-assignment)
    return *this = other.ptr_;
  }

  T* get() const { return ptr_; }
  T* operator->() const { return ptr_; }
  T& operator*() const { return *ptr_; }
  operator T*() const { return ptr_; }  // NOLINT: reads like a plain pointer
  explicit operator bool() const { return ptr_ != nullptr; }

  // For `mark()` methods.
  void queue_mark() const { gc_queue_mark(ptr_); }

 private:
  T* ptr_ = nullptr;
};

// Debugging and tests: counts of the collector's lists, and a walk that
// checks the list links, the colours and byte counts of each list, and the
// colour invariant: no black object and no root points to a white one.
// Returns false and prints the first fault found.
struct GcListCounts {
  int unmarked = 0, queued = 0, marked = 0, free = 0;
};
GcListCounts gc_list_counts();
bool gc_check_heap();

// Whether `address` is an object currently on one of the collector's lists
// (used by the debugger before it dereferences an address it was given).
bool gc_is_live_object(const void* address);

}  // namespace vantor
