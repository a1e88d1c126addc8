// The game window's desktop identity: the application id as its X11 class
// (the desktop entry's StartupWMClass) and the icon set of dist/icons,
// compiled into the executable so that the window has its icon wherever
// the game runs from. Defined in a file the build generates
// (dist/embed-icons.cmake); the entry point (launch.cpp) opens its window
// with it.
#pragma once

#include "host/window_identity.h"

namespace vantor {

const WindowIdentity& GameWindowIdentity();

}  // namespace vantor
