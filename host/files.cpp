#include "host/files.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "host/durable_file.h"
#include "host/log.h"

namespace vantor {
namespace {

constexpr const char16_t* kAddressScheme = u"vantor://";

struct AddressPrefix {
  const char16_t* prefix;
  const char16_t* directory;
};
// A null directory stands for the data directory (SetDataDirectory).
constexpr AddressPrefix kAddressPrefixes[] = {
    {u"vantor://data/", nullptr},
    {u"vantor://internal/", u"./internal/"},
    {u"vantor://external/", u"./external/"},
};

// File reads go in chunks of this size.
constexpr int kReadChunk = 4096;

std::string& DataDirectory() {
  static std::string directory = "./data/";
  return directory;
}

String DecodeUtf8(const std::string& text) {
  return String::Load(reinterpret_cast<const unsigned char*>(text.data()),
                      static_cast<int>(text.size()));
}

// The file-system path an address stands for; false for an unknown address.
bool MapAddress(const String& path, String* mapped) {
  if (!path.StartsWith(kAddressScheme)) {
    *mapped = path;
    return true;
  }
  for (const AddressPrefix& entry : kAddressPrefixes) {
    const String prefix(entry.prefix);
    if (path.StartsWith(prefix)) {
      const String directory =
          entry.directory ? String(entry.directory) : DecodeUtf8(DataDirectory());
      *mapped = directory + path.Slice(prefix.Length());
      return true;
    }
  }
  return false;
}

bool HoldsNul(const String& text) {
  for (int i = 0; i < text.Length(); ++i) {
    if (text[i] == 0) return true;
  }
  return false;
}

std::string ToUtf8(const String& text) {
  std::vector<unsigned char> bytes;
  text.Save(bytes);
  return std::string(bytes.begin(), bytes.end());
}

// Whether the last failed save has been reported; a run of failures is
// reported once, and a save that succeeds starts a new run.
bool saveFailureReported = false;

void ReportSaveOutcome(const ReplaceOutcome& outcome) {
  if (outcome.status == 0) {
    saveFailureReported = false;
    return;
  }
  if (saveFailureReported) return;
  saveFailureReported = true;
  LogProblem("files", "cannot save the record: " + outcome.problem);
}

}  // namespace

void SetDataDirectory(const std::string& directory) {
  DataDirectory() = directory.ends_with('/') ? directory : directory + "/";
}

std::FILE* fopenFile(const String& path, const String& mode) {
  String mapped;
  if (!MapAddress(path, &mapped) || HoldsNul(mapped) || HoldsNul(mode)) return nullptr;
  return std::fopen(ToUtf8(mapped).c_str(), ToUtf8(mode).c_str());
}

std::FILE* OpenAsset(const String& path) {
  errno = 0;
  std::FILE* file = fopenFile(path, u"rb");
  if (!file) {
    ReportAssetFailure(path, errno != 0 ? std::strerror(errno) : "not an address or path");
  }
  return file;
}

void ReportAssetFailure(const String& path, const char* why) {
  String mapped;
  if (!MapAddress(path, &mapped)) mapped = path;
  // The phrase "cannot load" is what the install check looks for.
  LogProblem("files", "cannot load " + ToUtf8(mapped) + ": " + why);
}

String LoadStateFile() {
  std::FILE* file = std::fopen(kStateFileName, "rb");
  if (!file) return String();
  std::vector<unsigned char> bytes(kMaxStateBytes);
  bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
  std::fclose(file);
  return String::Load(bytes.data(), static_cast<int>(bytes.size()));
}

int SaveStateFile(const String& state) {
  std::vector<unsigned char> bytes;
  state.Save(bytes);
  const ReplaceOutcome outcome = ReplaceFileDurably(kStateFileName, bytes);
  ReportSaveOutcome(outcome);
  return outcome.status;
}

String LoadStringFile(const String& path) {
  std::FILE* file = fopenFile(path, u"rb");
  if (!file) return String();
  String text = String::Load(file);
  std::fclose(file);
  return text;
}

RkDataBuffer::~RkDataBuffer() { Discard(); }

bool RkDataBuffer::_New(int size) {
  if (data) return false;
  data = static_cast<unsigned char*>(std::malloc(size));
  // A buffer that claims bytes it has not got would fail every check below.
  if (!data && size != 0)
    Fatal("files", "no memory for a data buffer of " + std::to_string(size) + " bytes");
  length = size;
  return true;
}

bool RkDataBuffer::_Load(const String& path) {
  if (data) return false;
  std::FILE* file = fopenFile(path, u"rb");
  if (!file) return false;
  std::vector<unsigned char> bytes;
  unsigned char chunk[kReadChunk];
  size_t got;
  do {
    got = std::fread(chunk, 1, kReadChunk, file);
    bytes.insert(bytes.end(), chunk, chunk + got);
  } while (got == kReadChunk);
  std::fclose(file);
  _New(static_cast<int>(bytes.size()));
  std::copy(bytes.begin(), bytes.end(), data);
  return true;
}

void RkDataBuffer::Discard() {
  if (!data) return;
  std::free(data);
  data = nullptr;
  length = 0;
}

// Accesses are unaligned and little-endian, whatever the machine.
namespace {

unsigned ReadLittle(const unsigned char* at, int bytes) {
  unsigned value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = value << 8 | at[i];
  return value;
}

void WriteLittle(unsigned char* at, int bytes, unsigned value) {
  for (int i = 0; i < bytes; ++i, value >>= 8) at[i] = static_cast<unsigned char>(value);
}

constexpr int kByteWidth = 1, kShortWidth = 2, kIntWidth = 4;

}  // namespace

void RkDataBuffer::RequireWithin(int offset, int width) const {
  // length - width cannot overflow: length is never negative.
  if (offset >= 0 && offset <= length - width) return;
  Fatal("files", "a data buffer access at offset " + std::to_string(offset) + " (width " +
                     std::to_string(width) + ") lies outside its " + std::to_string(length) +
                     " bytes");
}

int RkDataBuffer::PeekByte(int offset) const {
  RequireWithin(offset, kByteWidth);
  return static_cast<signed char>(ReadLittle(data + offset, kByteWidth));
}

int RkDataBuffer::PeekShort(int offset) const {
  RequireWithin(offset, kShortWidth);
  return static_cast<short>(ReadLittle(data + offset, kShortWidth));
}

int RkDataBuffer::PeekInt(int offset) const {
  RequireWithin(offset, kIntWidth);
  return static_cast<int>(ReadLittle(data + offset, kIntWidth));
}

float RkDataBuffer::PeekFloat(int offset) const {
  RequireWithin(offset, kIntWidth);
  const unsigned bits = ReadLittle(data + offset, kIntWidth);
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

void RkDataBuffer::PokeByte(int offset, int value) {
  RequireWithin(offset, kByteWidth);
  WriteLittle(data + offset, kByteWidth, value);
}

void RkDataBuffer::PokeShort(int offset, int value) {
  RequireWithin(offset, kShortWidth);
  WriteLittle(data + offset, kShortWidth, value);
}

void RkDataBuffer::PokeInt(int offset, int value) {
  RequireWithin(offset, kIntWidth);
  WriteLittle(data + offset, kIntWidth, value);
}

void RkDataBuffer::PokeFloat(int offset, float value) {
  RequireWithin(offset, kIntWidth);
  unsigned bits;
  std::memcpy(&bits, &value, sizeof bits);
  WriteLittle(data + offset, kIntWidth, bits);
}

}  // namespace vantor
