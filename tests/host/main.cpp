// The test_host entry: runs the tests, or becomes the scratch application
// that the window tests start as a child process.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/host/scratch_app.h"

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], vantor::testing::kScratchAppFlag) == 0) {
    return vantor::testing::RunScratchApp(argc, argv);
  }
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
