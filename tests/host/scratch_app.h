// A minimal application run by the real process start-up (HostMain), so
// that tests can drive a real window and check the exit status. The
// test_host executable turns into it when its first argument is
// kScratchAppFlag (see tests/host/main.cpp); it reports each callback on
// standard output as one line: "create", "update" (the first after create
// and after each resume), "suspend", "resume". A second argument makes its
// create step throw instead: kThrowObject an uncaught script exception,
// kThrowError a runtime error raised as a plain message.
#pragma once

namespace vantor::testing {

inline constexpr const char* kScratchAppFlag = "--scratch-app";
inline constexpr const char* kThrowObject = "throw-object";
inline constexpr const char* kThrowError = "throw-error";

int RunScratchApp(int argc, char** argv);

}  // namespace vantor::testing
