// Helpers of the end-to-end tests: running the real executables in child
// processes inside a scratch work directory, reading what they leave behind
// (state lines, the saved record, PNG frames) and comparing frames. Used by
// every test of tests/e2e.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace vantor::e2e {

using namespace std::chrono_literals;

// A fresh directory under /tmp holding a link to the repository's data/,
// removed with the object. The game reads data/ and writes its saved
// record there.
class WorkDir {
 public:
  WorkDir();
  ~WorkDir();
  WorkDir(const WorkDir&) = delete;
  WorkDir& operator=(const WorkDir&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& text);

// A program in a child process, its standard output and error together in
// a file. Killed if still running when the object goes.
class Child {
 public:
  // `environment` entries NAME=value replace or add to this process's.
  Child(const std::vector<std::string>& command, const std::string& directory,
        const std::vector<std::string>& environment = {});
  ~Child();
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  bool started() const { return pid_ > 0; }
  pid_t pid() const { return pid_; }
  std::string Output() const { return ReadFile(output_); }
  // The exit status; -1 when it did not exit within `patience` (it is then
  // killed) or died of a signal.
  int Wait(std::chrono::seconds patience);
  bool Running();

 private:
  pid_t pid_ = -1;
  bool exited_ = false;
  std::string output_;
};

struct Result {
  int status;
  std::string output;  // standard output and error
};

// Runs the program to its end (at most `patience`).
Result Run(const std::vector<std::string>& command, const std::string& directory,
           std::chrono::seconds patience = 120s, const std::vector<std::string>& environment = {});

// vantor-replay with `arguments`, working in `work`.
Result Replay(const WorkDir& work, const std::vector<std::string>& arguments);

// The output of a shell command, trailing newlines removed.
std::string Shell(const std::string& command);

// Polls `condition` every 50 ms until it holds or `patience` runs out.
template <class F>
bool WaitFor(F condition, std::chrono::milliseconds patience) {
  const auto deadline = std::chrono::steady_clock::now() + patience;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(50ms);
  }
  return true;
}

// One line of state.jsonl: its fields by name.
struct StateLine {
  std::map<std::string, long long> numbers;
  std::map<std::string, std::vector<int>> lists;
  std::map<std::string, std::string> texts;
  int operator[](const std::string& name) const;
};
std::vector<StateLine> ReadStateLines(const std::string& path);

// The saved record split at "|": 98 numbers (and one empty tail).
std::vector<std::string> RecordElements(const std::string& record);
// The checksums the record should carry, computed from its values: the
// settings sum, the badge sum and the three table sums.
struct RecordChecksums {
  int settings, badges, tables[3];
};
RecordChecksums ComputeChecksums(const std::vector<std::string>& elements);
// A record with these settings (sound mode 1), no badges and these tables.
std::string MakeRecord(const std::vector<int>& highscores);

// A decoded PNG as RGB bytes.
struct Image {
  int width = 0, height = 0;
  std::vector<unsigned char> rgb;
};
std::optional<Image> LoadPng(const std::string& path);
bool SavePng(const std::string& path, const Image& image);

// Pixels whose channels differ by more than `tolerance`, and a picture of
// them (red where they differ, the reference dimmed elsewhere).
struct Difference {
  int differing = 0;
  Image picture;
};
Difference Compare(const Image& actual, const Image& reference, int tolerance);

// Whether a frame matches a reference: each channel within a small
// tolerance, except on a small share of the pixels (antialiased and blended
// edges vary a little between drivers).
bool LooksLike(const Image& actual, const Image& reference, Difference* difference = nullptr);

// The mean of the red, green and blue channels over a rectangle.
double MeanBrightness(const Image& image, int x, int y, int width, int height);

}  // namespace vantor::e2e
