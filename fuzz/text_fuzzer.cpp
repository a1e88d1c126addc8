// libFuzzer entry point for the text codecs. Bytes are decoded (UTF-16 by
// mark, else UTF-8, else kept byte for byte), and taken as 16-bit units to
// encode. Properties: a UTF-16 text holds exactly the byte pairs; UTF-8
// takes one to three bytes per unit by its range; encoding then decoding
// gives the units back (unless the first unit is U+FEFF, read as a mark).
#include <vector>

#include "fuzz/fuzz_support.h"
#include "runtime/text.h"

using vantor::String;
using vantor::fuzz::Check;

static void CheckRoundTrip(const String& text) {
  std::vector<unsigned char> encoded;
  text.Save(encoded);
  size_t length = 0;
  for (int i = 0; i < text.Length(); ++i) length += text[i] < 0x80 ? 1 : text[i] < 0x800 ? 2 : 3;
  Check(encoded.size() == length, "UTF-8 takes one to three bytes per unit");
  if (text.Length() > 0 && text[0] == 0xFEFF) return;
  Check(String::Load(encoded.data(), static_cast<int>(encoded.size())) == text,
        "encoding then decoding gives the units back");
}

static void CheckUtf16(const std::uint8_t* bytes, std::size_t size, const String& decoded) {
  const bool big = bytes[0] == 0xFE && bytes[1] == 0xFF;
  if (!big && !(bytes[0] == 0xFF && bytes[1] == 0xFE)) return;
  std::vector<char16_t> units;
  for (std::size_t i = 2; i + 1 < size; i += 2) {
    units.push_back(
        static_cast<char16_t>(big ? bytes[i] << 8 | bytes[i + 1] : bytes[i + 1] << 8 | bytes[i]));
  }
  Check(decoded == String(units.data(), static_cast<int>(units.size())),
        "UTF-16 holds the byte pairs");
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  const String decoded = String::Load(bytes, static_cast<int>(size));
  if (size >= 2) CheckUtf16(bytes, size, decoded);
  CheckRoundTrip(decoded);
  std::vector<char16_t> units(size / 2);
  for (std::size_t i = 0; i < units.size(); ++i)
    units[i] = static_cast<char16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
  CheckRoundTrip(String(units.data(), static_cast<int>(units.size())));
  vantor::fuzz::CheckHeap();
  return 0;
}
