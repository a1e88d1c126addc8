// What the audio device's channels sound like, heard in a recording of the
// mix: OpenAL Soft's wave backend writes everything it mixes into a WAV
// file, which the test measures step by step.
//
// OpenAL Soft reads its configuration once per process, so the recording is
// made in a child process (a re-executed death test) that routes OpenAL
// into a file in the build tree, plays the steps and closes the device,
// which completes the file.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include "host/audio.h"
#include "tools/testing/al_test_device.h"
#include "tools/testing/wav_fixture.h"

namespace vantor::test {
namespace {

constexpr int kHertz = 44100, kFrameBytes = 4;  // 16-bit stereo
constexpr int kStepFrames = kHertz / 2;
// Each step is measured in its second half: the mixer hears of a change
// only at its next update, and the file shows what it mixed only once its
// writes are flushed.
constexpr int kLeadFrames = kHertz / 4;
constexpr double kPitch = 440;  // of the tone ToneWav writes

struct Heard {
  double left, right;  // peaks as a share of the first step's left peak
  double pitch;        // of the left side, in hertz
};

struct Stage {
  gxtkAudio& audio;
  gxtkSample* tone;  // ten seconds
  gxtkSample* blip;  // a twentieth of a second
};

// A centred mono source feeds both sides alike; hard left feeds only the
// left side, with all of the signal, which OpenAL Soft's stereo panning
// makes 1.68 times what each side gets at the centre.
const struct Step {
  const char* name;
  void (*act)(Stage&);
  Heard heard;
} kSteps[] = {
    {"played", [](Stage& s) { s.audio.PlaySample(s.tone, 0, 0); }, {1, 1, kPitch}},
    {"half volume", [](Stage& s) { s.audio.SetVolume(0, 0.5f); }, {0.5, 0.5, kPitch}},
    {"panned left",
     [](Stage& s) {
       s.audio.SetVolume(0, 1);
       s.audio.SetPan(0, -1);
     },
     {1.68, 0, kPitch}},
    {"rate 1.5",
     [](Stage& s) {
       s.audio.SetPan(0, 0);
       s.audio.SetRate(0, 1.5f);
     },
     {1, 1, 1.5 * kPitch}},
    {"paused",
     [](Stage& s) {
       s.audio.SetRate(0, 1);
       s.audio.PauseChannel(0);
     },
     {0, 0, 0}},
    {"resumed", [](Stage& s) { s.audio.ResumeChannel(0); }, {1, 1, kPitch}},
    {"stopped", [](Stage& s) { s.audio.StopChannel(0); }, {0, 0, 0}},
    {"played once, over", [](Stage& s) { s.audio.PlaySample(s.blip, 1, 0); }, {0, 0, 0}},
    {"looped", [](Stage& s) { s.audio.PlaySample(s.blip, 1, 1); }, {1, 1, kPitch}},
    {"loop stopped", [](Stage& s) { s.audio.StopChannel(1); }, {0, 0, 0}},
    {"suspended",
     [](Stage& s) {
       s.audio.PlaySample(s.tone, 0, 0);
       s.audio.PlaySample(s.tone, 1, 0);
       s.audio.PauseChannel(1);
       s.audio.OnSuspend();
     },
     {0, 0, 0}},
    {"resumed after suspension", [](Stage& s) { s.audio.OnResume(); }, {1, 1, kPitch}},
    {"a game pause outlasts it", [](Stage& s) { s.audio.StopChannel(0); }, {0, 0, 0}},
};

// Child side: records the steps into `wav`, then ends the child with 0.
// Each step's place in the file, the file's size in bytes when the step
// was taken, goes to `wav`.steps, one line each.
[[noreturn]] void RecordSteps(const std::string& wav) {
  std::ofstream(wav + ".conf") << "drivers=wave\nsample-type=int16\nchannels=stereo\nfrequency="
                               << kHertz << "\n[wave]\nfile=" << wav << "\n";
  setenv("ALSOFT_CONF", (wav + ".conf").c_str(), 1);
  setenv("ALSOFT_DRIVERS", "wave", 1);
  {
    AlTestDevice al;
    if (!al.Ready()) std::_Exit(2);
    gc_init();  // and no collection while the steps run
    auto* audio = gc_new<gxtkAudio>();
    const auto load = [audio](const char* name, double seconds) {
      return audio->LoadSample(String(Put(name, ToneWav(seconds)).c_str()));
    };
    Stage stage{*audio, load("tone.wav", 10), load("blip.wav", 0.05)};
    // Steps follow the mixer's own clock, the growing file, and each is
    // measured from where it was taken: a busy machine may wake this
    // thread late, while the mixer catches up in bursts, but every step
    // then only lasts longer.
    const auto mixed = [&wav] { return std::filesystem::file_size(wav); };
    std::ofstream places(wav + ".steps");
    for (const Step& step : kSteps) {
      step.act(stage);
      const std::uintmax_t taken = mixed();
      places << taken << "\n";
      while (mixed() < taken + static_cast<std::uintmax_t>(kStepFrames) * kFrameBytes)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  }
  std::_Exit(0);
}

struct Recording {
  std::vector<std::int16_t> samples;  // 16-bit interleaved stereo, of the data chunk
  std::vector<std::size_t> steps;     // the stereo frame each step was taken at
};

Recording ReadRecording(const std::string& path) {
  const std::string bytes = testing::ReadFile(path);
  const std::size_t data = bytes.find("data");
  if (data == std::string::npos) return {};
  const std::size_t first = data + 8;
  Recording recording{std::vector<std::int16_t>((bytes.size() - first) / 2), {}};
  std::memcpy(recording.samples.data(), &bytes[first], recording.samples.size() * 2);
  std::ifstream places(path + ".steps");
  for (std::size_t taken = 0; places >> taken;)
    recording.steps.push_back(taken > first ? (taken - first) / kFrameBytes : 0);
  return recording;
}

// Each side's peak and the left side's pitch over `count` stereo frames.
Heard Measure(const std::int16_t* frames, int count) {
  Heard heard{0, 0, 0};
  for (std::ptrdiff_t i = 0; i < count; ++i) {
    heard.left = std::max<double>(heard.left, std::abs(frames[2 * i]));
    heard.right = std::max<double>(heard.right, std::abs(frames[2 * i + 1]));
    if (i > 0 && (frames[2 * i] < 0) != (frames[2 * i - 2] < 0))
      heard.pitch += kHertz / 2.0 / count;
  }
  return heard;
}

TEST(AudioRecording, ChannelsSoundAsTheGameSetsThem) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const std::string wav = VANTOR_BINARY_DIR "/tests/host-audio-recording.wav";
  testing::ScopedWorkDir work;
  EXPECT_EXIT(RecordSteps(wav), ::testing::ExitedWithCode(0), "");
  const Recording recording = ReadRecording(wav);
  for (const char* file : {"", ".conf", ".steps"}) std::filesystem::remove(wav + file);

  ASSERT_EQ(recording.steps.size(), std::size(kSteps));
  ASSERT_GE(recording.samples.size() / 2, recording.steps.back() + kStepFrames);
  double reference = 0;
  for (std::size_t i = 0; i < std::size(kSteps); ++i) {
    const std::size_t from = recording.steps[i] + kLeadFrames;
    const Heard heard = Measure(&recording.samples[2 * from], kStepFrames - kLeadFrames);
    if (i == 0) reference = heard.left;
    const Heard& want = kSteps[i].heard;
    EXPECT_NEAR(heard.left / reference, want.left, 0.15) << kSteps[i].name;
    EXPECT_NEAR(heard.right / reference, want.right, 0.15) << kSteps[i].name;
    if (want.left > 0) {
      EXPECT_NEAR(heard.pitch, want.pitch, 0.05 * want.pitch) << kSteps[i].name;
    }
  }
}

}  // namespace
}  // namespace vantor::test
