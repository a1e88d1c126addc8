// ReplaceFileDurably: swaps a small file's whole content so that a crash,
// a kill or a power cut at any moment leaves either the old content or the
// new one, never a mixture and never nothing.
//
// The new bytes go into a temporary file created exclusively (O_EXCL) in the
// directory of the file they replace, under the file's name plus ".tmp-"
// and a unique suffix, so nothing already there can be opened in its place.
// The temporary file is synced, takes the old file's permission bits (a new
// file gets the usual ones, 0666 less the umask), is renamed over the
// target, and the directory is synced so the rename itself survives a power
// cut. A target that is a symbolic link is followed: the link stays and its
// final target is replaced, in that target's directory. Only a regular file
// is ever replaced (a link to /dev/null keeps saving off). Temporary files
// that an interrupted replacement left behind (and the fixed "<name>.tmp"
// older versions used) are removed first; a second process replacing the
// same file at the same instant may see its own removed and fail.
//
// Used by the saved state (host/files.cpp). Main thread only.
#pragma once

#include <string>
#include <vector>

namespace vantor {

// What a replacement did: `status` is 0 on success, -1 when the temporary
// file could not be created or could not take the target's place, -2 when
// its bytes could not all be written and synced; `problem` says which step
// failed and why ("" on success). On failure the target is untouched and no
// temporary file is left.
struct ReplaceOutcome {
  int status = 0;
  std::string problem;
};

ReplaceOutcome ReplaceFileDurably(const std::string& path, const std::vector<unsigned char>& bytes);

// The suffix of a temporary file: "<name>" + kTempSuffix + unique text.
inline constexpr const char* kTempSuffix = ".tmp-";

}  // namespace vantor
