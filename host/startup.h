// The pieces of the process start-up, for the executables and tests built
// on the framework.
//
// `HostMain` and `StdMain` (declared in host/app.h, implemented with these
// pieces in host/startup.cpp) are the whole process and the framework
// start-up. The pieces below let a tool run the same process over its own
// platform, and let a test build a real application in-process and drive it
// by hand:
//
//   FakePlatform platform;                  // or a GlfwPlatform
//   StartInProcess(platform, GameStartupHooks());
//   host::app->InvokeOnCreate();
//   host::app->input->OnKeyDown(38);        // or host::app->OnKey(...)
//   host::app->InvokeOnUpdate();
//   host::app->InvokeOnRender();
//   StopInProcess();
//
// Main thread only.
#pragma once

#include <functional>
#include <memory>

#include "host/app.h"
#include "host/platform.h"

namespace vantor {

// Opens the window the process runs in; null when it cannot be opened.
using PlatformFactory = std::function<std::unique_ptr<Platform>()>;

// HostMain over the window `openWindow` gives (HostMain uses a GlfwPlatform
// with the default window): the stop signals' handler, glfwInit, the
// window, the sound device, the guarded start-up and loop, clean-up.
// Returns the exit status: 0, or 128 + the signal that stopped the loop.
int RunHost(int argc, char** argv, const StartupHooks& hooks, const PlatformFactory& openWindow);

// The default OpenAL device and a current context on it, into
// host::alcDevice / host::alcContext. A failing step prints its message and
// leaves the rest null: the game then runs silent. False on failure.
bool OpenAudioDevice();
// Releases what OpenAudioDevice opened.
void CloseAudioDevice();

// StdMain without the runner: command line, signal handlers, collector
// lists, module initialisation (with the host's own collector root), one
// marking pass, module main (which creates the app).
void StartFramework(int argc, char** argv, const StartupHooks& hooks);

// Makes `platform` current and runs StartFramework with an empty command
// line, leaving the loop to the caller.
void StartInProcess(Platform& platform, const StartupHooks& hooks);
// Destroys every collected object, forgets the application and the
// platform and drops the collector roots. (StartInProcess also starts from
// nothing, so a test that starts again need not stop first.)
void StopInProcess();

}  // namespace vantor
