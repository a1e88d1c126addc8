// Test helpers for the run, the ending, the menus and the badges: reading
// back the sounds the game played and the text it drew, and placing the
// pointer on the game's own screen positions. Used by run_test, chase_test,
// fence_test, ending_test, menus_test and badges_test over the game harness.
#pragma once

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "game/myapp.h"
#include "tests/game/game_harness.h"

namespace vantor::testing {

// One sound the game started, with the settings it gave the channel.
struct PlayedSound {
  int slot;
  float rate = 1, volume = 1, pan = 0;
};

// The sounds started since the requests were last cleared, in order.
inline std::vector<PlayedSound> PlayedSounds(const GameHarness& harness) {
  std::vector<PlayedSound> played;
  int channel = -1;
  for (const SpyAudio::Request& request : harness.audio().requests) {
    if (request.call == SpyAudio::Call::kPlay) {
      played.push_back({harness.SoundSlotOf(request.path)});
      channel = request.channel;
    } else if (!played.empty() && request.channel == channel) {
      if (request.call == SpyAudio::Call::kRate) played.back().rate = request.value;
      if (request.call == SpyAudio::Call::kVolume) played.back().volume = request.value;
      if (request.call == SpyAudio::Call::kPan) played.back().pan = request.value;
    }
  }
  return played;
}

inline std::vector<int> PlayedSlots(const GameHarness& harness) {
  std::vector<int> slots;
  for (const PlayedSound& sound : PlayedSounds(harness)) slots.push_back(sound.slot);
  return slots;
}

inline bool Played(const GameHarness& harness, int slot) {
  const std::vector<int> slots = PlayedSlots(harness);
  return std::find(slots.begin(), slots.end(), slot) != slots.end();
}

inline int TimesPlayed(const GameHarness& harness, int slot) {
  const std::vector<int> slots = PlayedSlots(harness);
  return static_cast<int>(std::count(slots.begin(), slots.end(), slot));
}

// The sounds played apart from the ambient ones a phase repeats on its own
// (the alarm, the engine, the siren).
inline std::vector<int> PlayedEventSlots(const GameHarness& harness) {
  std::vector<int> slots;
  for (const int slot : PlayedSlots(harness)) {
    if (slot != 18 && slot != 19) slots.push_back(slot);
  }
  return slots;
}

inline void ForgetSounds(GameHarness& harness) { harness.audio().requests.clear(); }

// The glyphs of the current font in the draw list, read back as text: a
// glyph one advance or more right of the last one on the same baseline
// continues its line (with a space per skipped advance), anything else
// starts a new line. Leading spaces are not drawn and so not read.
inline std::string DrawnText(const MyApp& app) {
  std::string text;
  bool first = true;
  float lastX = 0, lastY = 0;
  for (const DrawRecord& record : DrawRecords(app)) {
    if (static_cast<int>(record.kind) != app.currentFont || record.kind < 0) continue;
    const float advance = app.imageFrameInfo[app.currentFont * 3] * record.width;
    const float steps = advance > 0 ? (record.x - lastX) / advance : 0;
    const bool sameLine = !first && std::abs(record.y - lastY) < 0.01f && steps > 0.5f &&
                          std::abs(steps - std::round(steps)) < 0.01f;
    if (sameLine) {
      text.append(static_cast<int>(std::round(steps)) - 1, ' ');
    } else if (!first) {
      text += '\n';
    }
    text += static_cast<char>(static_cast<int>(record.frame) + 32);
    first = false;
    lastX = record.x;
    lastY = record.y;
  }
  return text;
}

inline std::vector<std::string> DrawnLines(const MyApp& app) {
  std::vector<std::string> lines;
  std::string line;
  for (const char c : DrawnText(app) + '\n') {
    if (c != '\n') {
      line += c;
      continue;
    }
    lines.push_back(line);
    line.clear();
  }
  return lines;
}

inline bool HasLine(const MyApp& app, const std::string& wanted) {
  const std::vector<std::string> lines = DrawnLines(app);
  return std::find(lines.begin(), lines.end(), wanted) != lines.end();
}

// Image records of one slot, in drawing order.
inline std::vector<DrawRecord> ImagesOf(const MyApp& app, int slot) {
  std::vector<DrawRecord> found;
  for (const DrawRecord& record : DrawRecords(app)) {
    if (static_cast<int>(record.kind) == slot && record.kind >= 0) found.push_back(record);
  }
  return found;
}

inline std::vector<DrawRecord> RectsOf(const MyApp& app) {
  std::vector<DrawRecord> found;
  for (const DrawRecord& record : DrawRecords(app)) {
    if (record.kind == kRecordRect) found.push_back(record);
  }
  return found;
}

// Holds the pointer down at (x, y) for one frame and lets it go in the next.
inline void PressFrame(GameHarness& harness, float x, float y) {
  harness.MoveTo(x, y);
  harness.PressPointer();
  harness.Frame();
}

inline void ReleaseFrame(GameHarness& harness) {
  harness.ReleasePointer();
  harness.Frame();
}

// Key codes of the input device.
inline constexpr int kKeyEnter = 13;
inline constexpr int kKeyEscape = 27;
inline constexpr int kKeyLeft = 37;
inline constexpr int kKeyRight = 39;

inline void KeyFrame(GameHarness& harness, int key) {
  harness.KeyDown(key);
  harness.Frame();
  harness.KeyUp(key);
  harness.Frame();
}

// Starts a run from the title menu with the start key; the run's first
// update has not happened yet when this returns.
inline void StartRun(GameHarness& harness) {
  harness.KeyDown(kKeyEnter);
  harness.Frame();
  harness.KeyUp(kKeyEnter);
  harness.Frame();
}

}  // namespace vantor::testing
