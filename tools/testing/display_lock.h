// Whether a test may open a window on the test display.
//
// ctest runs every test that opens a window, shown or hidden, under one
// resource lock, so that no two of them overlap on the display: a window
// opening beside another covers it in screenshots and takes its focus and
// its keys. tests/CMakeLists.txt lists those tests and tells each test
// whether it holds the lock in VANTOR_DISPLAY_LOCK ("held" or "none").
// Called wherever a test opens a window: the host's test context and
// window tests, and the end-to-end tests' game and replay tool. Run by
// hand, outside ctest, the variable is unset and any test may.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace vantor::testing {

inline ::testing::AssertionResult MayOpenWindow() {
  const char* lock = std::getenv("VANTOR_DISPLAY_LOCK");
  if (!lock || std::string(lock) != "none") return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "this test opens a window without the display lock: name it among the window "
            "tests of its suite in tests/CMakeLists.txt";
}

}  // namespace vantor::testing
