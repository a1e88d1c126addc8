// The real vantor-game in a child process with its window found through
// the window system, and the things a person does to it: clicking at a
// place in the window, iconifying, closing, looking at it. Used by the
// window and sound tests; needs a display with a window manager.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/e2e_support.h"

namespace vantor::e2e {

class GameProcess {
 public:
  GameProcess(const WorkDir& work, const std::vector<std::string>& environment = {});
  // The game started with command-line `arguments`.
  GameProcess(const WorkDir& work, const std::vector<std::string>& arguments,
              const std::vector<std::string>& environment);
  // Another build of the game (an installed one), in `directory`.
  GameProcess(const std::string& program, const std::string& directory,
              const std::vector<std::string>& arguments,
              const std::vector<std::string>& environment);

  Child& child() { return child_; }
  // The X window id; empty when no window appeared.
  const std::string& window() const { return window_; }

  // Waits until the window shows the title menu as the reference picture
  // has it (loaded and flown in); false when it never does.
  bool WaitForMenu() const;
  // Holds the left button down at window pixel (x, y) long enough for an
  // update to see it.
  void Click(int x, int y) const;
  std::optional<Image> Screenshot(const std::string& path) const;
  void Iconify() const;
  void Close() const;

 private:
  std::string directory_;
  Child child_;
  std::string window_;
};

}  // namespace vantor::e2e
