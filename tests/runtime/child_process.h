// Runs a piece of test code in a forked child process with the given
// standard input, and collects its standard output, standard error and how
// it ended. For code that ends the process (runtime errors, exits).
#pragma once

#include <functional>
#include <string>

namespace vantor::testing_support {

struct ChildResult {
  int exit_code = -1;  // the status passed to exit, as the shell sees it
  int signal = 0;      // the signal that ended the child, if one did
  std::string out;
  std::string err;
};

// The child's exit code when `body` returns instead of ending the process.
inline constexpr int kChildReturned = 111;

ChildResult run_child(const std::function<void()>& body, const std::string& input = "");

}  // namespace vantor::testing_support
