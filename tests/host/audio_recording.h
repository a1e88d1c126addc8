// Hearing what the audio device plays: OpenAL Soft's wave backend records
// the mix into a WAV file that the test then measures.
//
// OpenAL Soft reads its configuration once per process, so each recording
// runs in a child process (a re-executed death test) that routes OpenAL into
// a file, plays a scenario and closes the device, which completes the file.
// Parent and child meet in a folder named by an environment variable, since
// the child re-runs the test body from its start. Used by the host's
// recording tests.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "host/audio.h"
#include "tests/host/al_test_device.h"
#include "tests/host/wav_fixture.h"

namespace vantor::test {

inline constexpr int kRecordHertz = 44100;
inline constexpr int kRecordChannels = 2;
inline constexpr int kWindowMs = 10;
// A half-scale tone peaks far above this; the mix of silence stays at 0.
inline constexpr int kLoudPeak = 3000;
inline constexpr const char* kRecordingDirVariable = "VANTOR_TEST_RECORDING_DIR";

// The folder shared with the child, made by the parent on first use.
inline std::string RecordingDir() {
  if (const char* dir = std::getenv(kRecordingDirVariable)) return dir;
  std::string pattern = (std::filesystem::temp_directory_path() / "vantor-rec-XXXXXX").string();
  if (!mkdtemp(pattern.data())) return std::string();
  setenv(kRecordingDirVariable, pattern.c_str(), 1);
  return pattern;
}

inline void Wait(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// Child side: a failed check ends the child with a message the parent shows.
inline void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "recording scenario failed: %s\n", what);
  std::_Exit(1);
}

// Child side: sends everything OpenAL mixes from now on into `wav`.
inline void RouteOpenAlInto(const std::string& wav) {
  const std::string conf = wav + ".conf";
  std::ofstream(conf) << "drivers=wave\nsample-type=int16\nchannels=stereo\nfrequency="
                      << kRecordHertz << "\n[wave]\nfile=" << wav << "\n";
  setenv("ALSOFT_CONF", conf.c_str(), 1);
  setenv("ALSOFT_DRIVERS", "wave", 1);
}

// The 16-bit interleaved samples of a recording's data chunk.
inline std::vector<std::int16_t> ReadRecording(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
  std::vector<std::int16_t> samples;
  constexpr std::size_t kHeaderBytes = 12;
  std::size_t at = kHeaderBytes;
  while (at + 8 <= bytes.size()) {
    std::uint32_t length = 0;
    std::memcpy(&length, &bytes[at + 4], sizeof length);
    if (std::memcmp(&bytes[at], "data", 4) == 0) {
      const std::size_t end = std::min<std::size_t>(bytes.size(), at + 8 + length);
      samples.resize((end - at - 8) / sizeof(std::int16_t));
      std::memcpy(samples.data(), &bytes[at + 8], samples.size() * sizeof(std::int16_t));
      break;
    }
    at += 8 + length;
  }
  return samples;
}

// Stretches of sound and silence, measured in whole windows.
struct Stretch {
  bool loud;
  int ms;
};

inline std::vector<Stretch> Stretches(const std::vector<std::int16_t>& samples) {
  constexpr int kWindowSamples = kRecordHertz * kWindowMs / 1000 * kRecordChannels;
  std::vector<Stretch> out;
  for (std::size_t start = 0; start + kWindowSamples <= samples.size(); start += kWindowSamples) {
    int peak = 0;
    for (int i = 0; i < kWindowSamples; ++i) peak = std::max(peak, std::abs(samples[start + i]));
    const bool loud = peak > kLoudPeak;
    if (out.empty() || out.back().loud != loud) out.push_back({loud, 0});
    out.back().ms += kWindowMs;
  }
  return out;
}

inline std::vector<Stretch> LoudStretches(const std::vector<Stretch>& all) {
  std::vector<Stretch> loud;
  for (const Stretch& s : all) {
    if (s.loud) loud.push_back(s);
  }
  return loud;
}

inline std::string Describe(const std::vector<Stretch>& all) {
  std::string text;
  for (const Stretch& s : all) text += (s.loud ? "sound " : "silence ") + std::to_string(s.ms) + "ms; ";
  return text;
}

// What a scenario gets: a device and a mono half-scale tone of the asked length.
struct Stage {
  gxtkAudio* audio;
  gxtkSample* tone;
};

inline gc_ref<gxtkAudio> recordingDevice;
inline void MarkRecordingDevice() { recordingDevice.queue_mark(); }

// Child side: records `scenario` into `wav`, then ends the child with 0.
template <class Scenario>
[[noreturn]] void RecordScenario(const std::string& wav, double toneSeconds, Scenario scenario) {
  RouteOpenAlInto(wav);
  {
    AlTestDevice al;
    Require(al.Ready(), "OpenAL's wave backend did not open");
    gc_init();
    gc_clear_roots();
    gc_register_roots(MarkRecordingDevice);
    recordingDevice = gc_new<gxtkAudio>();
    gc_mark();
    const std::string tonePath = wav + ".tone.wav";
    Put(tonePath, ToneWav(toneSeconds));
    gxtkSample* tone = recordingDevice->LoadSample(String(tonePath.c_str()));
    Require(tone != nullptr, "the tone did not load");
    scenario(Stage{recordingDevice.get(), tone});
  }
  std::_Exit(0);
}

// Parent side: runs `scenario` in a child and returns the recording's
// stretches of sound and silence.
template <class Scenario>
std::vector<Stretch> Record(const std::string& name, double toneSeconds, Scenario scenario) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const std::string wav = RecordingDir() + "/" + name + ".wav";
  EXPECT_EXIT(RecordScenario(wav, toneSeconds, scenario), ::testing::ExitedWithCode(0), "");
  const std::vector<Stretch> stretches = Stretches(ReadRecording(wav));
  std::filesystem::remove_all(RecordingDir());
  unsetenv(kRecordingDirVariable);
  return stretches;
}

}  // namespace vantor::test
