#include "web/saved_record.h"

#include <emscripten/emscripten.h>
#include <sys/stat.h>

#include "host/files.h"

namespace vantor {
namespace {

// The record's bytes travel as a string of char codes 0 to 255, which local
// storage keeps exactly whatever the bytes are. The JavaScript is left as
// written: clang-format reads it as C++ and would split its `===`.
// clang-format off
EM_JS(void, StoreRecordText, (const char* path), {
  try {
    const bytes = FS.readFile(UTF8ToString(path));
    let text = "";
    for (const b of bytes) text += String.fromCharCode(b);
    localStorage.setItem('vantor.record', text);
  } catch (e) {
    err('saved record not kept: ' + e);
    if (Module['vantorStorageRefused']) Module['vantorStorageRefused']();
  }
});

EM_JS(void, LoadRecordText, (const char* path), {
  try {
    const text = localStorage.getItem('vantor.record');
    if (text === null) return;
    const bytes = new Uint8Array(text.length);
    for (let i = 0; i < text.length; ++i) bytes[i] = text.charCodeAt(i);
    FS.writeFile(UTF8ToString(path), bytes);
  } catch (e) {
    err('saved record not restored: ' + e);
    if (Module['vantorStorageRefused']) Module['vantorStorageRefused']();
  }
});
// clang-format on

struct RecordStamp {
  ino_t file = 0;
  timespec modified{};
  bool operator==(const RecordStamp& other) const {
    return file == other.file && modified.tv_sec == other.modified.tv_sec &&
           modified.tv_nsec == other.modified.tv_nsec;
  }
};

RecordStamp kept;

// The state file's identity and time; all zero while there is none.
RecordStamp CurrentStamp() {
  struct stat status {};
  if (stat(kStateFileName, &status) != 0) return {};
  return {status.st_ino, status.st_mtim};
}

}  // namespace

void RestoreSavedRecord() {
  LoadRecordText(kStateFileName);
  kept = CurrentStamp();
}

void KeepSavedRecord() {
  const RecordStamp now = CurrentStamp();
  if (now == kept || now == RecordStamp{}) return;
  StoreRecordText(kStateFileName);
  kept = now;
}

}  // namespace vantor
