// String: the runtime's one text type.
//
// An immutable sequence of 16-bit code units with a shared, reference-counted
// representation (`String::Rep`, 8 + 2 x length bytes from the system heap,
// never from the collector). Copies, empty operands of `+`, whole-string
// slices, unchanged `ToLower` results, single-piece splits and match-free
// replacements share the existing representation. Every empty string shares
// one static representation that is never freed. Code units are stored as
// given: no normalisation, no surrogate checks.
//
// Also owns the conversions between text and files: decoding UTF-8 and
// UTF-16 (with a byte-order mark) and encoding UTF-8. Used by everything that
// handles text; main thread only (the count is a plain int).
#pragma once

#include <cstdio>
#include <vector>

#include "runtime/array.h"

namespace vantor {

class String {
 public:
  struct Rep {
    int refs;
    int length;
    char16_t* data() { return reinterpret_cast<char16_t*>(this + 1); }
  };

  String();
  String(const char16_t* units, int length);
  String(const char16_t* units);  // up to the first 0 unit
  // One unit per byte up to the first 0 byte, each byte sign-extended (so
  // 0xE9 becomes 0xFFE9): the behaviour 8-bit literals have always had here.
  String(const char* text);
  // One unit per byte, zero-extended.
  String(const unsigned char* bytes, int count);
  explicit String(int value);    // "%i"
  explicit String(float value);  // "%.17lg", then ".0" when it has no point or e

  String(const String& other);
  String& operator=(const String& other);
  ~String();

  int Length() const { return rep_->length; }
  int operator[](int index) const { return rep_->data()[index]; }
  const char16_t* Data() const { return rep_->data(); }

  bool operator==(const String& other) const;
  bool operator!=(const String& other) const { return !(*this == other); }
  String operator+(const String& other) const;
  String& operator+=(const String& other) { return *this = *this + other; }

  bool StartsWith(const String& prefix) const;
  int Find(const String& sub, int start = 0) const;
  int FindLast(const String& sub) const;
  String Slice(int from) const;
  String Slice(int from, int term) const;
  Array<String> Split(const String& separator) const;
  // An empty search text finds nothing: the string comes back unchanged.
  String Replace(const String& find, const String& with) const;
  String ToLower() const;

  // Zero-terminated copies in a collector-owned buffer that nothing
  // references: valid until the collector next runs, so use them at once.
  template <class C>
  const C* ToCString() const;

  // Decoding: UTF-16 by byte-order mark, else UTF-8 (an optional mark is
  // skipped); invalid UTF-8 prints "Invalid UTF-8!" and keeps the bytes.
  static String Load(const unsigned char* bytes, int count);
  static String Load(std::FILE* file);
  // Encoding as UTF-8 without a byte-order mark.
  void Save(std::vector<unsigned char>& out) const;
  bool Save(std::FILE* file) const;

  // Whether two strings share one representation (tests and diagnostics).
  bool SharesRepWith(const String& other) const { return rep_ == other.rep_; }

 private:
  explicit String(Rep* rep) : rep_(rep) {}
  static Rep* Allocate(int length);
  static Rep* EmptyRep();
  void Release();

  Rep* rep_;
};

template <>
const char* String::ToCString<char>() const;
template <>
const char16_t* String::ToCString<char16_t>() const;

// Script-style spelling of a literal.
inline String T(const char* text) { return String(text); }
inline String T(const char16_t* text) { return String(text); }

// Array support for string slots, as generated code uses it. Kept for the
// framework's API: nothing in this program calls them.
void t_create(int count, String* slots);
void t_create(int count, String* slots, const String* sources);
void t_destroy(int count, String* slots);

}  // namespace vantor
