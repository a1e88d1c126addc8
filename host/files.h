// Files, asset addresses and the saved state.
//
// Every file the system opens goes through here: "vantor://data/",
// "vantor://internal/" and "vantor://external/" addresses map onto folders
// beside the working directory; any other "vantor://" address opens nothing.
// Also the saved-state file ".vantorstate", which is replaced atomically so a
// failed write never loses the previous record, and `RkDataBuffer`, a raw
// byte buffer loaded from a file. Main thread only.
#pragma once

#include <cstdio>
#include <string>

#include "host/object.h"
#include "runtime/text.h"

namespace vantor {

inline constexpr const char* kStateFileName = ".vantorstate";
// A new record is written here first, made durable, then renamed over the
// state file; whatever is in the way under this name is replaced.
inline constexpr const char* kStateTempFileName = ".vantorstate.tmp";

// Points "vantor://data/" at `directory` (a UTF-8 path) instead of
// "./data/"; the start-up does so when the data is found elsewhere
// (host/places.h).
void SetDataDirectory(const std::string& directory);

// Opens `path` (an address or a plain path) in byte mode `mode`; null when
// the address is unknown, the path holds a NUL unit or the open fails. The
// file system sees the path as UTF-8.
std::FILE* fopenFile(const String& path, const String& mode);

// The saved-state text, or the empty string when there is none.
String LoadStateFile();
// 0 on success, -1 when the new record cannot be opened for writing or
// cannot replace the old one, -2 when not every byte reached the disk; on
// failure the previous record is left intact.
int SaveStateFile(const String& state);
// The whole file decoded as text, or the empty string.
String LoadStringFile(const String& path);

class RkDataBuffer : public Object {
 public:
  unsigned char* data = nullptr;
  int length = 0;

  ~RkDataBuffer() override;
  bool _New(int size);
  bool _Load(const String& path);
  void Discard();
  int Length() const { return length; }
  void* ReadPointer(int offset) const { return data + offset; }
  void* WritePointer(int offset) const { return data + offset; }
  int PeekByte(int offset) const;
  int PeekShort(int offset) const;
  int PeekInt(int offset) const;
  float PeekFloat(int offset) const;
  void PokeByte(int offset, int value);
  void PokeShort(int offset, int value);
  void PokeInt(int offset, int value);
  void PokeFloat(int offset, float value);
};

}  // namespace vantor
