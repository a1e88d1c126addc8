// Fixed-length collected arrays.
//
// An `Array<T>` is a value holding one reference to an `Array<T>::Rep`, a
// collected object followed by its length and its elements stored inline.
// Copies share the representation. Element types in use: String, bool, char,
// float, int, char16_t, and `gc_ref<T>` for references to collected objects
// (stores into those go through the write barrier); arrays of arrays work
// too. A length of 0 gives the type's one static empty representation, which
// the collector never touches.
//
// Storing an array into a field or global scans it at once ("mark-now"), so
// a freshly built array of references never hides white objects behind a
// black one. Used everywhere script-level arrays are needed.
#pragma once

#include <algorithm>
#include <new>
#include <type_traits>

#include "runtime/gc.h"

namespace vantor {

template <class T>
class Array;

template <class T>
struct is_gc_ref : std::false_type {};
template <class T>
struct is_gc_ref<gc_ref<T>> : std::true_type {};
template <class T>
struct is_gc_array : std::false_type {};
template <class T>
struct is_gc_array<Array<T>> : std::true_type {};

template <class T>
class Array {
 public:
  class Rep : public gc_object {
   public:
    static constexpr bool kHoldsReferences = is_gc_ref<T>::value || is_gc_array<T>::value;
    int length;

    explicit Rep(int n) : length(n) {
      for (int i = 0; i < n; ++i) new (&data()[i]) T();
    }
    explicit Rep(StaticTag tag) : gc_object(tag), length(0) {}
    ~Rep() override {
      for (int i = 0; i < length; ++i) data()[i].~T();
    }
    void mark() override { mark_elements(0, length); }
    int mark_slice(int first, int count) override {
      if constexpr (!kHoldsReferences) {
        return 0;
      } else {
        const int last = length - first > count ? first + count : length;
        mark_elements(first, last);
        return last - first;
      }
    }
    T* data() { return reinterpret_cast<T*>(this + 1); }

    static Rep* Create(int n) {
      if (n <= 0) return Empty();
      const long bytes = static_cast<long>(sizeof(Rep)) + static_cast<long>(n) * sizeof(T);
      return new (gc_malloc_checked(bytes)) Rep(n);
    }
    static Rep* Empty() {
      static Rep* empty = new (empty_storage()) Rep(StaticTag{});
      return empty;
    }

   private:
    void mark_elements([[maybe_unused]] int first, [[maybe_unused]] int last) {
      if constexpr (is_gc_ref<T>::value) {
        for (int i = first; i < last; ++i) gc_mark_now(data()[i].get());
      } else if constexpr (is_gc_array<T>::value) {
        for (int i = first; i < last; ++i) gc_mark_now(data()[i].GetRep());
      }
    }
    static void* empty_storage() {
      alignas(Rep) static unsigned char storage[sizeof(Rep)];
      return storage;
    }
    static void* gc_malloc_checked(long bytes);
  };
  static_assert(sizeof(Rep) % alignof(T) == 0, "elements must follow the header aligned");

  Array() : rep_(Rep::Empty()) {}
  explicit Array(int length) : rep_(Rep::Create(length)) {}
  Array(const T* source, int length) : rep_(Rep::Create(length)) {
    std::copy(source, source + Length(), rep_->data());
  }
  Array(const Array& other) : rep_(other.rep_) { barrier(); }
  // Self-assignment stores the same representation again: harmless.
  Array& operator=(const Array& other) {  // NOLINT(bugprone-unhandled-self-assignment)
    rep_ = other.rep_;
    barrier();
    return *this;
  }

  int Length() const { return rep_->length; }
  T& operator[](int index) const { return rep_->data()[index]; }
  T* Data() const { return rep_->data(); }
  T* begin() const { return rep_->data(); }
  T* end() const { return rep_->data() + rep_->length; }
  Rep* GetRep() const { return rep_; }

  // For `mark()` methods of objects holding this array in a field.
  void queue_mark() const { gc_queue_mark(rep_); }

 private:
  void barrier() {
    if (rep_->gc_colour() == gc_markbit) gc_mark_now(rep_);
  }
  Rep* rep_;
};

// Sizes beyond what an int can count are heap exhaustion, reported through
// the runtime-error path by gc_malloc.
void* gc_malloc_large(long bytes);

template <class T>
void* Array<T>::Rep::gc_malloc_checked(long bytes) {
  return gc_malloc_large(bytes);
}

}  // namespace vantor
