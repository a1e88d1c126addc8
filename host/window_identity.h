// How the desktop knows the game's window: the X11 class (and instance)
// that its desktop entry's StartupWMClass names, so that a task bar or dock
// pairs the window with its launcher, and the icon it shows for it.
// GlfwPlatform::OpenWindow applies an identity when its options carry one
// (the game's entry point gives its own); tools and tests open windows
// without. Main thread only.
#pragma once

#include <span>
#include <vector>

struct GLFWwindow;

namespace vantor {

struct WindowIdentity {
  const char* className = nullptr;  // the X11 class and instance; none when null
  // PNG files of one picture at several sizes; the desktop picks the size
  // it shows.
  std::vector<std::span<const unsigned char>> icons;
};

// Before the window is created: the class of the next window GLFW opens.
// Does nothing where the window system has no such class (the browser).
void HintWindowClass(const WindowIdentity& identity);

// After: the icons, decoded, become the window's; a file that does not
// decode is left out.
void SetWindowIcon(GLFWwindow* window, const WindowIdentity& identity);

}  // namespace vantor
