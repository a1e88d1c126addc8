// Helpers of the end-to-end tests: the real executables in child processes
// inside scratch directories, what they leave behind (state lines, PNG
// frames), and the real game's window driven through the window system.
// Used by every test of tests/e2e.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace vantor::e2e {

using namespace std::chrono_literals;

// A fresh directory under /tmp, removed with the object; by default it
// holds a link to the repository's data/, so the game started there reads
// it and keeps its record there.
class WorkDir {
 public:
  explicit WorkDir(bool withData = true);
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

// A program in a child process started in `directory`, its standard output
// and error together in one file; `environment` entries NAME=value are
// added to this process's. Killed if still running when the object goes.
class Child {
 public:
  Child(const std::vector<std::string>& command, const std::string& directory,
        const std::vector<std::string>& environment = {});
  ~Child();
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  pid_t pid() const { return pid_; }
  std::string Output() const;
  // The exit status; -1 when it died of a signal or did not exit within
  // `patience`.
  int Wait(std::chrono::seconds patience = 120s);

 private:
  pid_t pid_ = -1;
  bool exited_ = false;
};

struct Result {
  int status;
  std::string output;
};
Result Run(const std::vector<std::string>& command, const std::string& directory,
           const std::vector<std::string>& environment = {});
// The command line of vantor-replay with `arguments`.
std::vector<std::string> ReplayCommand(const std::vector<std::string>& arguments);

// The output of a shell command, trailing newlines removed.
std::string Shell(const std::string& command);

template <class F>
bool WaitFor(F condition, std::chrono::milliseconds patience) {
  const auto deadline = std::chrono::steady_clock::now() + patience;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(50ms);
  }
  return true;
}

// Fields of one state line (one line of state.jsonl): a number (or a text
// of digits) and a list of numbers.
long long StateNumber(const std::string& line, const std::string& name);
std::vector<int> StateList(const std::string& line, const std::string& name);
std::vector<std::string> Lines(const std::string& text);

struct Image {
  int width = 0, height = 0;
  std::vector<unsigned char> rgb;
};
std::optional<Image> LoadPng(const std::string& path);
// The mean of the red, green and blue channels over a rectangle.
double MeanBrightness(const Image& image, int x, int y, int width, int height);
// Compares DIR/NAME.png with tests/e2e/reference/NAME.png, allowing small
// differences on blended edges; a failing frame is kept in the build tree.
// VANTOR_REFRESH_REFERENCES set replaces the reference instead.
void ExpectLikeReference(const std::string& directory, const std::string& name);

// The real game (or another build of it) in a child process, with its
// window found by the process id.
class Game {
 public:
  Game(const std::string& program, const std::string& directory,
       const std::vector<std::string>& arguments = {},
       std::vector<std::string> environment = {});
  Child child;
  std::string window;  // the X window id; empty when none appeared

  // Waits until the window shows the title menu as the reference has it.
  bool WaitForMenu() const;
  std::optional<Image> Screenshot() const;
  // A click as xdotool makes it: press and release with no time between.
  void Click(int x, int y) const;
  void Key(const std::string& name) const;
  // Closes the window as the window manager does; the exit status.
  int Close();

 private:
  std::string directory_;
};

}  // namespace vantor::e2e
