// The saved record of the browser build, kept in the page's local storage.
//
// The game writes its record to the state file of host/files.h as on the
// desktop, into the page's in-memory file system, which a reload empties.
// So the record is copied into local storage (per site, kept across reloads
// and closed tabs) as soon as it has been written, and copied back into the
// file system before the game starts and reads it. Local storage is written
// synchronously: a record is as durable as the browser can make it before
// the frame that wrote it ends. Storage the browser refuses (a private
// window, a full quota) is told to the page, which says that scores and
// settings will not be kept; the game plays on. Called by
// web/web_host.cpp. Main thread only.
#pragma once

namespace vantor {

// Puts the kept record, if any, back into the state file.
void RestoreSavedRecord();
// Keeps the state file's record when it has changed since the last call
// (each save replaces the file, so a new file or a new time is a new
// record).
void KeepSavedRecord();

}  // namespace vantor
