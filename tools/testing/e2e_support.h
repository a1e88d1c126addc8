// Helpers of the end-to-end tests (tests/e2e) and the releases' (tests/dist):
// the real executables in child processes inside scratch directories, what
// they leave behind (state lines, PNG frames), and the real game's window driven
// through the window system (xdotool, wmctrl, ImageMagick's import).
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stb_image.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tools/testing/display_lock.h"

namespace vantor::e2e {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Strings = std::vector<std::string>;

inline const std::string kReferences = std::string(VANTOR_SOURCE_DIR) + "/tests/e2e/reference/";

// A fresh directory under /tmp, removed with the object; by default it
// links the repository's data/, so a game started there reads it and
// keeps its record there.
struct WorkDir {
  std::string path = (fs::temp_directory_path() / "vantor-e2e-XXXXXX").string();
  explicit WorkDir(bool withData = true) {
    if (mkdtemp(path.data()) && withData)
      fs::create_directory_symlink(fs::path(VANTOR_SOURCE_DIR) / "data", *this / "data");
  }
  ~WorkDir() {
    std::error_code ignored;
    if (!std::getenv("VANTOR_E2E_KEEP")) fs::remove_all(path, ignored);
  }
  std::string operator/(const std::string& name) const { return path + "/" + name; }
};

inline std::string ReadFile(const std::string& path) {
  std::ostringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}

inline void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

inline Strings Joined(Strings first, const Strings& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

// How long a test waits for the game or a tool to show, say or write what
// it waits for. Every wait ends as soon as that happens, so the bound only
// matters when it never does: it is far beyond what a busy two-core machine
// needs (the browser test and a build beside the suite), and the test then
// fails saying what it waited for.
constexpr std::chrono::seconds kPatience = 180s;

// Whether `condition` holds within `patience`, asking every `pace`.
template <class F>
bool WaitFor(F condition, std::chrono::milliseconds patience = kPatience,
             std::chrono::milliseconds pace = 50ms) {
  const auto deadline = std::chrono::steady_clock::now() + patience;
  for (; !condition(); std::this_thread::sleep_for(pace))
    if (std::chrono::steady_clock::now() > deadline) return false;
  return true;
}

// A program in a child process started in `directory`, its standard output
// and error together in one file; `environment` entries NAME=value are
// added to this process's. Killed if still running when the object goes.
struct Child {
  Child(const Strings& command, const std::string& directory, const Strings& environment = {})
      : pid(fork()) {
    if (pid != 0) return;
    // In the child, whose own copies of these strings live until exec.
    for (const std::string& variable : environment) putenv(const_cast<char*>(variable.c_str()));
    std::vector<char*> argv;
    for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    const int out = open(OutputPath(getpid()).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (out >= 0 && dup2(out, STDOUT_FILENO) >= 0 && dup2(out, STDERR_FILENO) >= 0 &&
        chdir(directory.c_str()) == 0)
      execv(argv[0], argv.data());
    _exit(kCannotStart);
  }
  ~Child() {
    if (pid > 0 && !exited && kill(pid, SIGKILL) == 0) waitpid(pid, nullptr, 0);
    std::remove(OutputPath(pid).c_str());
  }
  std::string Output() const { return ReadFile(OutputPath(pid)); }
  // Whether it has not exited yet.
  bool Running() const {
    int waited = 0;
    if (!exited && waitpid(pid, &waited, WNOHANG) == pid) {
      exited = true;
      status = WIFEXITED(waited) ? WEXITSTATUS(waited) : -1;
    }
    return !exited;
  }
  // The exit status; -1 when it died of a signal or did not exit in time.
  int Wait(std::chrono::seconds patience = kPatience) {
    return WaitFor([&] { return !Running(); }, patience) ? status : -1;
  }
  static constexpr int kCannotStart = 127;  // the shell's status for a command it cannot run
  static std::string OutputPath(pid_t pid) { return "/tmp/vantor-e2e-" + std::to_string(pid); }
  const pid_t pid;
  mutable bool exited = false;
  mutable int status = -1;  // once exited
};

// A command whose program opens a window (tools/testing/display_lock.h).
inline Strings WindowCommand(const Strings& command) {
  EXPECT_TRUE(testing::MayOpenWindow()) << command[0];
  return command;
}

// The replay tool draws into a hidden window.
inline Strings ReplayCommand(const Strings& arguments) {
  return WindowCommand(Joined({VANTOR_REPLAY}, arguments));
}

// The output of a shell command, trailing newlines removed.
inline std::string Shell(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char chunk[256];
    while (const size_t got = std::fread(chunk, 1, sizeof chunk, pipe)) out.append(chunk, got);
    pclose(pipe);
  }
  while (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

// The numbers of field `name` of a state line (a flat JSON object): one
// for a number or a text of digits, all of them for a list; none if absent.
inline std::vector<long long> State(const std::string& line, const std::string& name) {
  const size_t at = line.find("\"" + name + "\":");
  std::istringstream in(at == std::string::npos ? "" : line.substr(at + name.size() + 3));
  if (in.peek() == '[' || in.peek() == '"') in.get();
  std::vector<long long> numbers;
  for (long long number; in >> number && (numbers.push_back(number), in.get() == ',');) {
  }
  return numbers;
}

constexpr int kRgbBytes = 3;

struct Image {
  int width = 0, height = 0;
  std::vector<unsigned char> rgb;
  // The mean of the red, green and blue channels over a rectangle.
  double Mean(int x, int y, int w, int h) const {
    double sum = 0;
    for (int row = y; row < y + h; ++row) {
      const size_t start = (static_cast<size_t>(row) * width + x) * kRgbBytes;
      for (size_t p = start; p < start + static_cast<size_t>(w) * kRgbBytes; ++p) sum += rgb[p];
    }
    return sum / (kRgbBytes * w * h);
  }
};

inline std::optional<Image> LoadPng(const std::string& path) {
  int width = 0, height = 0, channels = 0;
  unsigned char* pixels = stbi_load(path.c_str(), &width, &height, &channels, kRgbBytes);
  if (!pixels) return std::nullopt;
  Image image{width, height, {pixels, pixels + static_cast<size_t>(width) * height * kRgbBytes}};
  stbi_image_free(pixels);
  return image;
}

// Each channel within a tolerance, except on a small share of the pixels:
// antialiased and blended edges vary a little between drivers.
inline bool LooksLike(const Image& actual, const Image& reference) {
  constexpr int kChannelTolerance = 24;
  constexpr double kDifferingShare = 0.002;
  if (actual.width != reference.width || actual.height != reference.height) return false;
  const auto differs = [&](size_t c) {
    return std::abs(actual.rgb[c] - reference.rgb[c]) > kChannelTolerance;
  };
  int differing = 0;
  for (size_t p = 0; p < reference.rgb.size(); p += kRgbBytes)
    differing += differs(p) || differs(p + 1) || differs(p + 2);
  return differing <= kDifferingShare * reference.width * reference.height;
}

// Compares DIR/NAME.png with tests/e2e/reference/NAME.png. VANTOR_E2E_KEEP
// set keeps the frames (see WorkDir), to look at or, after a deliberate
// change of the picture, to copy over the references once looked at.
inline void ExpectLikeReference(const std::string& directory, const std::string& name) {
  const std::string actual = directory + "/" + name + ".png";
  const std::string reference = kReferences + name + ".png";
  const std::optional<Image> seen = LoadPng(actual), expected = LoadPng(reference);
  ASSERT_TRUE(seen && expected) << name << ": a frame or its reference is missing";
  EXPECT_TRUE(LooksLike(*seen, *expected)) << actual << " differs from its reference";
}

inline std::string WithoutLeakCheck() {
  const char* options = std::getenv("ASAN_OPTIONS");
  return std::string("ASAN_OPTIONS=") + (options ? options : "") + ":detect_leaks=0";
}

// The real game (or an installed copy) in a child process, with its window
// found by the process id. The game unloads the graphics driver when it
// terminates GLFW, so in sanitizer builds the driver's known leak
// (tests/lsan.supp) can no longer be told apart at exit: leaks are left to
// the replay runs of the same game, which keep the driver loaded.
struct Game {
  Game(const std::string& program, const std::string& directory, const Strings& arguments = {},
       const Strings& environment = {})
      : child(WindowCommand(Joined({program}, arguments)), directory,
              Joined(environment, {WithoutLeakCheck()})),
        window(FindWindow(child)),
        shotPath(directory + "/window.png") {}
  Child child;
  const std::string window;    // the X window id; empty when none appeared
  const std::string shotPath;  // where screenshots go

  // The first shown window of `game`, once there is one; empty if none
  // appeared before it exited or within the patience.
  static std::string FindWindow(const Child& game) {
    constexpr auto kSearchPace = 200ms;
    const std::string search = "xdotool search --onlyvisible --pid " + std::to_string(game.pid) +
                               " 2>/dev/null | head -n 1";
    std::string found;
    WaitFor([&] { return !(found = Shell(search)).empty() || !game.Running(); }, kPatience,
            kSearchPace);
    return found;
  }
  ::testing::AssertionResult Appeared() const {
    if (!window.empty()) return ::testing::AssertionSuccess();
    ::testing::AssertionResult failure = ::testing::AssertionFailure();
    if (child.exited)
      failure << "the game exited with status " << child.status << " before its window appeared";
    else failure << "no window of the game appeared within " << kPatience.count() << " s";
    return failure << "; it said: " << child.Output();
  }
  std::optional<Image> Screenshot() const {
    Shell("import -window " + window + " " + shotPath + " 2>/dev/null");
    return LoadPng(shotPath);
  }
  // Whether the window shows a picture that passes `test` within
  // `patience`; if not, what it showed last. Screenshots are taken a few
  // times a second: each costs the machine more than a frame of the game.
  template <class Test>
  ::testing::AssertionResult Shows(Test test, std::chrono::seconds patience = kPatience) const {
    constexpr auto kScreenshotPace = 200ms;
    std::optional<Image> shot;
    if (WaitFor([&] { return (shot = Screenshot()) && test(*shot); }, patience, kScreenshotPace))
      return ::testing::AssertionSuccess();
    ::testing::AssertionResult failure = ::testing::AssertionFailure();
    if (!child.Running())
      return failure << "the game exited with status " << child.status
                     << "; it said: " << child.Output();
    failure << "waited " << patience.count() << " s; ";
    if (shot)
      return failure << "the last screenshot, " << shot->width << "x" << shot->height
                     << ", did not pass";
    return failure
           << "no screenshot could be taken of window " << window << " ("
           << Shell("xwininfo -id " + window +
                    " 2>&1 | grep -E 'error|Absolute|Width|Height|Map State' | tr -s ' \\n' ' '")
           << ")";
  }
  // Waits until the window shows the title menu as its reference has it.
  ::testing::AssertionResult ShowsReference(const std::string& name) const {
    const std::optional<Image> reference = LoadPng(kReferences + name + ".png");
    if (!reference)
      return ::testing::AssertionFailure() << "no reference picture " << name << ".png";
    return Shows([&](const Image& seen) { return LooksLike(seen, *reference); });
  }
  ::testing::AssertionResult WaitForMenu() const { return ShowsReference("menu"); }
  // `commands` for xdotool, with the window raised and focused first: an
  // earlier test's window may stand at the same place.
  void Send(const std::string& commands) const {
    Shell("xdotool windowactivate --sync " + window + " windowraise " + window + " " + commands);
  }
  // A click as xdotool makes it, press and release with no time between.
  void Click(int x, int y) const {
    Send("mousemove --window " + window + " " + std::to_string(x) + " " + std::to_string(y) +
         " click 1");
  }
  // Closes the window as the window manager does; the exit status.
  int Close() {
    Shell("wmctrl -i -c " + window);
    return child.Wait();
  }
};

}  // namespace vantor::e2e
