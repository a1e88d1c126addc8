// String: representations, construction, comparison, searching, slicing,
// splitting, replacing and the C-string buffers. Decoding and encoding live
// in text_codec.cpp.
#include "runtime/text.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "runtime/debug.h"

namespace vantor {

namespace {

// Every empty string shares this; constant-initialised so that strings built
// by other files' dynamic initialisers find it ready. Never freed.
constinit String::Rep g_empty_rep{1, 0};

// The largest length whose representation's byte count fits in an int.
constexpr int kMaxLength = (INT_MAX - static_cast<int>(sizeof(String::Rep))) / 2;

// Text of "%.17lg" output needs at most this many bytes (sign, 17 digits,
// point, exponent) plus the ".0" that may follow.
constexpr int kNumberTextBytes = 40;

// printf-style conversion of a number into a fixed buffer.
struct NumberText {
  char text[kNumberTextBytes];
};

template <class V>
NumberText format_number(const char* format, V value) {
  NumberText number;
  std::snprintf(number.text, sizeof number.text, format, value);
  return number;
}

// Keeps a float recognisable as one: 1 becomes 1.0.
NumberText format_float(float value) {
  NumberText number = format_number("%.17lg", static_cast<double>(value));
  if (!std::strpbrk(number.text, ".e")) std::strcat(number.text, ".0");
  return number;
}

bool units_equal(const char16_t* a, const char16_t* b, int length) {
  return std::memcmp(a, b, static_cast<size_t>(length) * sizeof(char16_t)) == 0;
}

}  // namespace

// --- Representations -------------------------------------------------------

String::Rep* String::EmptyRep() {
  ++g_empty_rep.refs;
  return &g_empty_rep;
}

String::Rep* String::Allocate(int length) {
  if (length <= 0) return EmptyRep();
  if (length > kMaxLength) dbg_out_of_memory();
  void* block = std::malloc(sizeof(Rep) + static_cast<size_t>(length) * sizeof(char16_t));
  if (!block) dbg_out_of_memory();
  Rep* rep = static_cast<Rep*>(block);
  rep->refs = 1;
  rep->length = length;
  return rep;
}

void String::Release() {
  if (--rep_->refs == 0 && rep_->length != 0) std::free(rep_);
}

// --- Construction ----------------------------------------------------------

String::String() : rep_(EmptyRep()) {}

String::String(const char16_t* units, int length) : rep_(Allocate(length)) {
  if (length > 0) std::memcpy(rep_->data(), units, static_cast<size_t>(length) * sizeof(char16_t));
}

String::String(const char16_t* units)
    : String(units, static_cast<int>(std::char_traits<char16_t>::length(units))) {}

String::String(const char* text) : rep_(Allocate(static_cast<int>(std::strlen(text)))) {
  char16_t* out = rep_->data();
  for (int i = 0; i < rep_->length; ++i)
    out[i] = static_cast<char16_t>(static_cast<signed char>(text[i]));
}

String::String(const unsigned char* bytes, int count) : rep_(Allocate(count)) {
  char16_t* out = rep_->data();
  for (int i = 0; i < rep_->length; ++i) out[i] = bytes[i];
}

String::String(int value) : String(format_number("%i", value).text) {}

String::String(float value) : String(format_float(value).text) {}

String::String(const String& other) : rep_(other.rep_) { ++rep_->refs; }

// The count goes up before the old representation is let go, so that
// assigning a string to itself never frees what it holds.
String& String::operator=(const String& other) {  // NOLINT(bugprone-unhandled-self-assignment)
  ++other.rep_->refs;
  Release();
  rep_ = other.rep_;
  return *this;
}

String::~String() { Release(); }

// --- Comparison and concatenation ------------------------------------------

bool String::operator==(const String& other) const {
  return Length() == other.Length() && units_equal(Data(), other.Data(), Length());
}

String String::operator+(const String& other) const {
  if (Length() == 0) return other;
  if (other.Length() == 0) return *this;
  const long total = static_cast<long>(Length()) + other.Length();
  if (total > kMaxLength) dbg_out_of_memory();
  String result(Allocate(static_cast<int>(total)));
  std::memcpy(result.rep_->data(), Data(), static_cast<size_t>(Length()) * sizeof(char16_t));
  std::memcpy(result.rep_->data() + Length(), other.Data(),
              static_cast<size_t>(other.Length()) * sizeof(char16_t));
  return result;
}

// --- Searching -------------------------------------------------------------

bool String::StartsWith(const String& prefix) const {
  return prefix.Length() <= Length() && units_equal(Data(), prefix.Data(), prefix.Length());
}

int String::Find(const String& sub, int start) const {
  if (start < 0) start = 0;
  const int last = Length() - sub.Length();
  for (int i = start; i <= last; ++i) {
    if (units_equal(Data() + i, sub.Data(), sub.Length())) return i;
  }
  return -1;
}

int String::FindLast(const String& sub) const {
  for (int i = Length() - sub.Length(); i >= 0; --i) {
    if (units_equal(Data() + i, sub.Data(), sub.Length())) return i;
  }
  return -1;
}

// --- Slicing, splitting, replacing -----------------------------------------

String String::Slice(int from) const { return Slice(from, Length()); }

String String::Slice(int from, int term) const {
  const int len = Length();
  if (from < 0) {
    from += len;
    if (from < 0) from = 0;
  } else if (from > len) {
    from = len;
  }
  if (term < 0) {
    term += len;
  } else if (term > len) {
    term = len;
  }
  if (from >= term) return String();
  if (from == 0 && term == len) return *this;
  return String(Data() + from, term - from);
}

Array<String> String::Split(const String& separator) const {
  if (separator.Length() == 0) {
    Array<String> units(Length());
    for (int i = 0; i < Length(); ++i) units[i] = String(Data() + i, 1);
    return units;
  }
  int pieces = 1;
  for (int i = Find(separator); i != -1; i = Find(separator, i + separator.Length())) ++pieces;
  Array<String> parts(pieces);
  if (pieces == 1) {
    parts[0] = *this;
    return parts;
  }
  int from = 0;
  int piece = 0;
  for (int j = Find(separator); j != -1; j = Find(separator, from)) {
    parts[piece++] = Slice(from, j);
    from = j + separator.Length();
  }
  parts[piece] = Slice(from);
  return parts;
}

String String::Replace(const String& find, const String& with) const {
  // An empty search text would match everywhere without advancing.
  if (find.Length() == 0) return *this;
  int matches = 0;
  for (int i = Find(find); i != -1; i = Find(find, i + find.Length())) ++matches;
  if (matches == 0) return *this;
  const long total = Length() + static_cast<long>(matches) * (with.Length() - find.Length());
  if (total > kMaxLength) dbg_out_of_memory();
  String result(Allocate(static_cast<int>(total)));
  char16_t* out = result.rep_->data();
  int from = 0;
  for (int j = Find(find); j != -1; j = Find(find, from)) {
    out = std::copy(Data() + from, Data() + j, out);
    out = std::copy(with.Data(), with.Data() + with.Length(), out);
    from = j + find.Length();
  }
  std::copy(Data() + from, Data() + Length(), out);
  return result;
}

// The default locale's tolower changes only A to Z; doing exactly that here
// avoids handing units beyond a byte to tolower, where they are undefined.
String String::ToLower() const {
  int first = 0;
  while (first < Length() && !(Data()[first] >= u'A' && Data()[first] <= u'Z')) ++first;
  if (first == Length()) return *this;
  String result(Data(), Length());
  char16_t* out = result.rep_->data();
  for (int i = first; i < Length(); ++i) {
    if (out[i] >= u'A' && out[i] <= u'Z') out[i] = static_cast<char16_t>(out[i] - u'A' + u'a');
  }
  return result;
}

// --- C strings -------------------------------------------------------------

template <>
const char* String::ToCString<char>() const {
  Array<char> buffer(Length() + 1);
  for (int i = 0; i < Length(); ++i) buffer[i] = static_cast<char>(Data()[i]);
  buffer[Length()] = 0;
  return buffer.Data();
}

template <>
const char16_t* String::ToCString<char16_t>() const {
  Array<char16_t> buffer(Length() + 1);
  std::copy(Data(), Data() + Length(), buffer.Data());
  buffer[Length()] = 0;
  return buffer.Data();
}

// --- String slots ------------------------------------------------------------

void t_create(int count, String* slots) {
  for (int i = 0; i < count; ++i) new (&slots[i]) String();
}

void t_create(int count, String* slots, const String* sources) {
  for (int i = 0; i < count; ++i) new (&slots[i]) String(sources[i]);
}

void t_destroy(int count, String* slots) {
  for (int i = 0; i < count; ++i) slots[i].~String();
}

}  // namespace vantor
