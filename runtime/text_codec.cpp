// String: decoding bytes (UTF-16 by byte-order mark, else UTF-8) and
// encoding UTF-8, for files and saved state.
#include <algorithm>
#include <climits>
#include <cstdio>
#include <vector>

#include "runtime/debug.h"
#include "runtime/text.h"

namespace vantor {

namespace {

constexpr unsigned char kUtf8Mark[] = {0xEF, 0xBB, 0xBF};
constexpr unsigned char kUtf16BigEndianMark[] = {0xFE, 0xFF};
constexpr unsigned char kUtf16LittleEndianMark[] = {0xFF, 0xFE};
constexpr int kReadChunkBytes = 4096;

template <size_t N>
bool starts_with_mark(const unsigned char* bytes, const unsigned char* end,
                      const unsigned char (&mark)[N]) {
  return end - bytes >= static_cast<long>(N) && std::equal(mark, mark + N, bytes);
}

String units_to_string(const std::vector<char16_t>& units) {
  return String(units.data(), static_cast<int>(units.size()));
}

// Units of two bytes each; a trailing odd byte is ignored.
String decode_utf16(const unsigned char* p, const unsigned char* end, bool big_endian) {
  std::vector<char16_t> units;
  units.reserve(static_cast<size_t>(end - p) / 2);
  for (; end - p >= 2; p += 2) {
    const unsigned high = big_endian ? p[0] : p[1];
    const unsigned low = big_endian ? p[1] : p[0];
    units.push_back(static_cast<char16_t>(high << 8 | low));
  }
  return units_to_string(units);
}

bool is_continuation(const unsigned char* p, const unsigned char* end) {
  return p < end && (*p & 0xC0) == 0x80;
}

// One- to three-byte forms; overlong forms and surrogates pass unnoticed.
// Returns false on anything else.
bool decode_utf8(const unsigned char* p, const unsigned char* end, std::vector<char16_t>& units) {
  while (p < end) {
    const unsigned b0 = *p++;
    if (b0 < 0x80) {
      units.push_back(static_cast<char16_t>(b0));
    } else if ((b0 & 0xE0) == 0xC0) {
      if (!is_continuation(p, end)) return false;
      units.push_back(static_cast<char16_t>((b0 & 0x1F) << 6 | (p[0] & 0x3F)));
      p += 1;
    } else if ((b0 & 0xF0) == 0xE0) {
      if (!is_continuation(p, end) || !is_continuation(p + 1, end)) return false;
      units.push_back(
          static_cast<char16_t>((b0 & 0x0F) << 12 | (p[0] & 0x3F) << 6 | (p[1] & 0x3F)));
      p += 2;
    } else {
      return false;
    }
  }
  return true;
}

void append_utf8(char16_t unit, std::vector<unsigned char>& out) {
  if (unit < 0x80) {
    out.push_back(static_cast<unsigned char>(unit));
  } else if (unit < 0x800) {
    out.push_back(static_cast<unsigned char>(0xC0 | unit >> 6));
    out.push_back(static_cast<unsigned char>(0x80 | (unit & 0x3F)));
  } else {
    out.push_back(static_cast<unsigned char>(0xE0 | unit >> 12));
    out.push_back(static_cast<unsigned char>(0x80 | (unit >> 6 & 0x3F)));
    out.push_back(static_cast<unsigned char>(0x80 | (unit & 0x3F)));
  }
}

}  // namespace

String String::Load(const unsigned char* bytes, int count) {
  if (count < 1) return String();
  const unsigned char* end = bytes + count;
  if (starts_with_mark(bytes, end, kUtf16BigEndianMark)) return decode_utf16(bytes + 2, end, true);
  if (starts_with_mark(bytes, end, kUtf16LittleEndianMark))
    return decode_utf16(bytes + 2, end, false);
  if (starts_with_mark(bytes, end, kUtf8Mark)) bytes += sizeof kUtf8Mark;
  std::vector<char16_t> units;
  units.reserve(static_cast<size_t>(end - bytes));
  if (!decode_utf8(bytes, end, units)) {
    // Not an error: the text is kept byte for byte.
    std::fputs("Invalid UTF-8!\n", stdout);
    std::fflush(stdout);
    return String(bytes, static_cast<int>(end - bytes));
  }
  return units_to_string(units);
}

String String::Load(std::FILE* file) {
  std::vector<unsigned char> bytes;
  size_t got = kReadChunkBytes;
  while (got == kReadChunkBytes) {
    const size_t old_size = bytes.size();
    bytes.resize(old_size + kReadChunkBytes);
    got = std::fread(bytes.data() + old_size, 1, kReadChunkBytes, file);
    bytes.resize(old_size + got);
  }
  if (bytes.size() > INT_MAX) dbg_out_of_memory();
  return Load(bytes.data(), static_cast<int>(bytes.size()));
}

void String::Save(std::vector<unsigned char>& out) const {
  for (int i = 0; i < Length(); ++i) append_utf8(Data()[i], out);
}

bool String::Save(std::FILE* file) const {
  std::vector<unsigned char> bytes;
  Save(bytes);
  if (bytes.empty()) return true;
  return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

}  // namespace vantor
