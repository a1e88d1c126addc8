// The real window under X: GlfwPlatform in-process, and the whole process
// (HostMain with the scratch app) iconified, restored and closed through
// the window manager. Needs a display with a window manager
// (scripts/with-display provides Xvfb and openbox).
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "host/glfw_platform.h"
#include "tests/host/scratch_app.h"
#include "tests/host/temp_dir.h"

extern char** environ;

namespace vantor::testing {
namespace {

using namespace std::chrono_literals;
constexpr auto kPatience = 10s;

bool HaveDisplay() { return std::getenv("DISPLAY") && *std::getenv("DISPLAY"); }

// Whether the NAME=value `entry` is replaced by one of `overrides`.
bool Overridden(const std::string& entry, const std::vector<std::string>& overrides) {
  const std::string name = entry.substr(0, entry.find('=') + 1);
  for (const std::string& override : overrides) {
    if (override.rfind(name, 0) == 0) return true;
  }
  return false;
}

// The scratch app in a child process with its output in a file.
class ChildApp {
 public:
  explicit ChildApp(const std::vector<std::string>& extraEnvironment = {},
                    std::string failure = "") {
    const std::string self = std::filesystem::read_symlink("/proc/self/exe");
    output_ = std::filesystem::temp_directory_path() /
              ("vantor-scratch-" + std::to_string(getpid()) + ".out");
    std::vector<std::string> environment = extraEnvironment;
    // Mesa's driver is unloaded when GLFW terminates, so the stack of its
    // known leak (tests/lsan.supp) is only recognisable when taken with the
    // slow unwinder; the child is short enough to afford it.
    if (const char* asan = std::getenv("ASAN_OPTIONS")) {
      environment.push_back(std::string("ASAN_OPTIONS=") + asan + ":fast_unwind_on_malloc=0");
    }
    for (char** entry = environ; *entry; ++entry) {
      if (!Overridden(*entry, environment)) environment.push_back(*entry);
    }
    std::vector<char*> envp;
    for (std::string& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);
    std::string flag = kScratchAppFlag;
    std::string program = self;
    char* argv[] = {program.data(), flag.data(), failure.empty() ? nullptr : failure.data(),
                    nullptr};

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output_.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    const int error = posix_spawn(&pid_, self.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (error) pid_ = -1;
  }
  ~ChildApp() {
    if (pid_ > 0 && !exited_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    std::filesystem::remove(output_);
  }

  bool started() const { return pid_ > 0; }
  std::string Output() const { return ReadFile(output_); }

  int Occurrences(const std::string& line) const {
    const std::string text = "\n" + Output();
    int found = 0;
    for (size_t at = text.find("\n" + line + "\n"); at != std::string::npos;
         at = text.find("\n" + line + "\n", at + 1)) {
      ++found;
    }
    return found;
  }

  // The exit status, or kNoExit when the child does not end in time.
  int WaitForExit(std::chrono::milliseconds patience = kPatience) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    int status = 0;
    while (std::chrono::steady_clock::now() < deadline) {
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        exited_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : kNoExit;
      }
      std::this_thread::sleep_for(20ms);
    }
    return kNoExit;
  }

  static constexpr int kNoExit = -1000;

 private:
  pid_t pid_ = -1;
  bool exited_ = false;
  std::filesystem::path output_;
};

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HaveDisplay()) GTEST_SKIP() << "no display (run under scripts/with-display)";
  }
};

// How start-up ends when it cannot go on. (Iconifying, restoring and closing
// the window are covered by the end-to-end tests of the real game.)
TEST_F(WindowTest, FailedStartUpsEndWithTheirStatusAndReport) {
  const struct {
    const char* name;
    std::vector<std::string> environment;
    std::string failure;
    int status;
    std::string outputStart;
  } cases[] = {
      {"no display", {"DISPLAY=", "WAYLAND_DISPLAY="}, "", 255, "glfwInit failed\n"},
      {"uncaught exception", {}, kThrowObject, 0, "create\nVantor Runtime Error : Uncaught Vantor Exception\n"},
      {"runtime error message", {}, kThrowError, 0, "create\n"},
  };
  for (const auto& c : cases) {
    ChildApp child(c.environment, c.failure);
    ASSERT_TRUE(child.started()) << c.name;
    EXPECT_EQ(child.WaitForExit(), c.status) << c.name;
    const std::string output = child.Output();
    EXPECT_EQ(output.rfind(c.outputStart, 0), 0u) << c.name << ": " << output;
    EXPECT_EQ(output.find("scratch failure"), std::string::npos) << c.name << " is silent";
    EXPECT_EQ(child.Occurrences("create"), c.status == 0 ? 1 : 0) << c.name;
  }
}

// In-process: the window GlfwPlatform opens.
class GlfwWindowTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    if (IsSkipped()) return;
    ASSERT_TRUE(glfwInit());
  }
  // GLFW stays initialised for the rest of the process: terminating it
  // unloads Mesa's driver, whose one-time allocations would then count as
  // leaks in a sanitizer build.
  void TearDown() override { platform.reset(); }
  std::unique_ptr<GlfwPlatform> platform;
};

TEST_F(GlfwWindowTest, DefaultWindowIsCentredFixedSizeWithoutDepthOrStencil) {
  platform = GlfwPlatform::Open();
  ASSERT_NE(platform, nullptr);
  GLFWwindow* window = platform->Window();
  int width = 0, height = 0, x = 0, y = 0;
  glfwGetWindowSize(window, &width, &height);
  EXPECT_EQ(width, 640);
  EXPECT_EQ(height, 480);
  const GLFWvidmode* desktop = glfwGetVideoMode(glfwGetPrimaryMonitor());
  glfwGetWindowPos(window, &x, &y);
  EXPECT_EQ(x, (desktop->width - 640) / 2);
  EXPECT_EQ(y, (desktop->height - 480) / 2);
  EXPECT_EQ(glfwGetWindowAttrib(window, GLFW_RESIZABLE), GLFW_FALSE);
  EXPECT_EQ(glfwGetWindowAttrib(window, GLFW_VISIBLE), GLFW_TRUE);
  EXPECT_EQ(glfwGetCurrentContext(), window);
  int framebufferWidth = 0, framebufferHeight = 0;
  platform->WindowSize(&framebufferWidth, &framebufferHeight);
  EXPECT_EQ(framebufferWidth, 640);
  EXPECT_EQ(framebufferHeight, 480);
  EXPECT_TRUE(platform->WindowOpen());
  glfwSetWindowShouldClose(window, GLFW_TRUE);
  EXPECT_FALSE(platform->WindowOpen());
  // Tools get a hidden window of their own size.
  platform = GlfwPlatform::Open({320, 200, "tool", false});
  ASSERT_NE(platform, nullptr);
  EXPECT_EQ(glfwGetWindowAttrib(platform->Window(), GLFW_VISIBLE), GLFW_FALSE);
  platform->WindowSize(&framebufferWidth, &framebufferHeight);
  EXPECT_EQ(framebufferWidth, 320);
  EXPECT_EQ(framebufferHeight, 200);
}

TEST_F(GlfwWindowTest, MousePositionFollowsThePointer) {
  platform = GlfwPlatform::Open();
  ASSERT_NE(platform, nullptr);
  GLFWwindow* window = platform->Window();
  // The pointer moves once the server has handled the warp (X keeps it in
  // whole pixels).
  double cursorX = 0, cursorY = 0;
  for (int tries = 0; tries < 100 && cursorX != 100; ++tries) {
    glfwSetCursorPos(window, 100, 50);
    platform->PollEvents();
    glfwGetCursorPos(window, &cursorX, &cursorY);
    if (cursorX != 100) std::this_thread::sleep_for(10ms);
  }
  ASSERT_EQ(cursorX, 100) << "the X server did not move the pointer";
  float x = -1, y = -1;
  platform->MousePosition(&x, &y);
  EXPECT_EQ(x, 100);
  EXPECT_EQ(y, 50);
  // On a high-density display the pointer is scaled to pixels and truncated.
  EXPECT_EQ(PointerToPixels(100.75, 1280, 640), 201);
  EXPECT_EQ(PointerToPixels(12.5, 0, 0), 12) << "no size: unscaled";
}

TEST_F(GlfwWindowTest, SleepLetsTheClockRunAndNoJoystickReadsEmpty) {
  platform = GlfwPlatform::Open({64, 64, "clock", false});
  ASSERT_NE(platform, nullptr);
  const double before = platform->Time();
  platform->Sleep(0.05);
  EXPECT_GE(platform->Time() - before, 0.05);
  // No joystick on a test machine: nothing is written.
  float axes[6] = {};
  EXPECT_EQ(platform->JoystickAxes(axes, 6), 0);
}

}  // namespace
}  // namespace vantor::testing
