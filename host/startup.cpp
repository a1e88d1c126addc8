#include "host/startup.h"

#include <GLFW/glfw3.h>
#ifndef __EMSCRIPTEN__
#include <AL/efx.h>
#endif

#include "host/glfw_platform.h"
#include "host/orderly_stop.h"
#include "runtime/debug.h"

namespace vantor {
namespace {

// host::app is the one collector root the host layer keeps itself.
void MarkHostRoots() { gc_queue_mark(host::app); }

// Start-up and loop; an exception escaping either ends the run in an
// orderly way.
void RunGuarded(int argc, char** argv, const StartupHooks& hooks) {
  try {
    StdMain(argc, argv, hooks);
  } catch (ThrowableObject*) {
    Print(T("Vantor Runtime Error : Uncaught Vantor Exception"));
  } catch (const RuntimeErrorMessage&) {
    // A runtime error raised as a plain message ends the run silently.
  }
}

#ifdef __EMSCRIPTEN__
// The browser's sound library has no effects to leave out.
constexpr const ALCint* kContextAttributes = nullptr;
#else
// No effect sends: the game plays its sounds dry, and every source the
// library prepares would otherwise carry the sends' filter state.
constexpr ALCint kContextAttributes[] = {ALC_MAX_AUXILIARY_SENDS, 0, 0};
#endif

}  // namespace

bool OpenAudioDevice() {
  host::alcDevice = alcOpenDevice(nullptr);
  if (!host::alcDevice) {
    Print(T("alcOpenDevice failed"));
    return false;
  }
  host::alcContext = alcCreateContext(host::alcDevice, kContextAttributes);
  if (!host::alcContext) {
    Print(T("alcCreateContext failed"));
    return false;
  }
  if (!alcMakeContextCurrent(host::alcContext)) {
    Print(T("alcMakeContextCurrent failed"));
    return false;
  }
  return true;
}

void CloseAudioDevice() {
  if (host::alcContext) {
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(host::alcContext);
    host::alcContext = nullptr;
  }
  if (host::alcDevice) {
    alcCloseDevice(host::alcDevice);
    host::alcDevice = nullptr;
  }
}

void StartFramework(int argc, char** argv, const StartupHooks& hooks) {
  host::argc = argc;
  host::argv = argv;
  install_signal_handlers();
  // A fresh world: the collector destroys every object of an earlier
  // start-up in this process (tests start many), so nothing may point there.
  gc_init();
  gc_clear_roots();
  host::app = nullptr;
  host::runner = nullptr;
  gc_register_roots(MarkHostRoots);
  hooks.module_init();
  gc_mark();
  hooks.module_main();
}

void StdMain(int argc, char** argv, const StartupHooks& hooks) {
  StartFramework(argc, argv, hooks);
  if (host::runner) host::runner();
}

void StartInProcess(Platform& platform, const StartupHooks& hooks) {
  SetCurrentPlatform(&platform);
  StartFramework(0, nullptr, hooks);
}

void StopInProcess() {
  gc_clear_roots();
  gc_init();
  host::app = nullptr;
  host::runner = nullptr;
  SetCurrentPlatform(nullptr);
}

int RunHost(int argc, char** argv, const StartupHooks& hooks, const PlatformFactory& openWindow) {
  InstallStopHandlers();
  if (!glfwInit()) fail("glfwInit failed");
  std::unique_ptr<Platform> platform = openWindow();
  if (!platform) fail("glfwOpenWindow failed");
  SetCurrentPlatform(platform.get());
  OpenAudioDevice();
  RunGuarded(argc, argv, hooks);
  CloseAudioDevice();
  SetCurrentPlatform(nullptr);
  platform.reset();
  glfwTerminate();
  return StopExitStatus();
}

int HostMain(int argc, char** argv, const StartupHooks& hooks) {
  return RunHost(argc, argv, hooks, [] { return GlfwPlatform::Open(); });
}

}  // namespace vantor
