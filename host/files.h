// Files, asset addresses and the saved state.
//
// Every file the system opens goes through here: "vantor://data/",
// "vantor://internal/" and "vantor://external/" addresses map onto folders
// beside the working directory; any other "vantor://" address opens nothing.
// Also the saved-state file ".vantorstate", which is replaced atomically and
// durably (host/durable_file.h) so a failed write, a kill or a power cut
// never loses the previous record, and `RkDataBuffer`, a raw byte buffer
// loaded from a file. Main thread only.
#pragma once

#include <cstdio>
#include <string>

#include "host/object.h"
#include "runtime/text.h"

namespace vantor {

inline constexpr const char* kStateFileName = ".vantorstate";
// Older versions wrote each new record here first; a file left under this
// name is removed at the next save.
inline constexpr const char* kStateTempFileName = ".vantorstate.tmp";
// The most of the state file that is read. The game's record is about
// 1.2 KB; a larger file is damaged or hand-made, and what lies beyond this
// bound is ignored so that it costs neither start-up time nor memory.
inline constexpr int kMaxStateBytes = 64 * 1024;

// Points "vantor://data/" at `directory` (a UTF-8 path) instead of
// "./data/"; the start-up does so when the data is found elsewhere
// (host/places.h).
void SetDataDirectory(const std::string& directory);

// Opens `path` (an address or a plain path) in byte mode `mode`; null when
// the address is unknown, the path holds a NUL unit or the open fails. The
// file system sees the path as UTF-8.
std::FILE* fopenFile(const String& path, const String& mode);

// Asset loading never stops the game or shows an error in it; a file that
// cannot be loaded is named on standard error instead, one line each, so a
// player or packager can see why a sprite or a sound is missing.
// OpenAsset is fopenFile in mode "rb" that reports a failed open;
// ReportAssetFailure reports a file that opened but could not be decoded.
std::FILE* OpenAsset(const String& path);
void ReportAssetFailure(const String& path, const char* why);

// The saved-state text (of at most kMaxStateBytes bytes of the file), or
// the empty string when there is none.
String LoadStateFile();
// 0 on success, -1 when the new record cannot be opened for writing or
// cannot replace the old one, -2 when not every byte reached the disk; on
// failure the previous record is left intact, and the first of a run of
// failed saves prints one line on standard error.
int SaveStateFile(const String& state);
// The whole file decoded as text, or the empty string.
String LoadStringFile(const String& path);

// A raw byte buffer, empty or filled. Kept for the framework's API: the game
// never uses it. Peeks and pokes are unaligned and little-endian; each must
// lie wholly within the buffer (offset 0 to length minus its width), and
// one that does not ends the process at once with a line saying so
// (host/log.h) instead of touching memory outside it.
class RkDataBuffer : public Object {
 public:
  unsigned char* data = nullptr;  // null when empty
  int length = 0;                 // bytes; 0 when empty

  ~RkDataBuffer() override;        // discards the data
  bool _New(int size);             // size bytes, content undefined; false if filled
  bool _Load(const String& path);  // the whole file; false if filled or unopened
  void Discard();                  // back to empty
  int Length() const { return length; }
  void* ReadPointer(int offset) const { return data + offset; }   // data + offset, unchecked
  void* WritePointer(int offset) const { return data + offset; }  // data + offset, unchecked
  int PeekByte(int offset) const;                                 // sign-extended
  int PeekShort(int offset) const;                                // sign-extended
  int PeekInt(int offset) const;
  float PeekFloat(int offset) const;
  void PokeByte(int offset, int value);   // the low 8 bits
  void PokeShort(int offset, int value);  // the low 16 bits
  void PokeInt(int offset, int value);
  void PokeFloat(int offset, float value);

 private:
  // Ends the process unless `width` bytes at `offset` lie within the buffer.
  void RequireWithin(int offset, int width) const;
};

}  // namespace vantor
