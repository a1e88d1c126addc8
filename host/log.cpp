#include "host/log.h"

#include <cstdio>
#include <cstdlib>

namespace vantor {

namespace {
// Set once at start-up, before any other thread runs.
std::string_view programName = "Vantor";
}  // namespace

void SetLogProgram(std::string_view program) { programName = program; }

void LogProblem(std::string_view part, std::string_view message) {
  std::fprintf(stderr, "%.*s: %.*s: %.*s\n", static_cast<int>(programName.size()),
               programName.data(), static_cast<int>(part.size()), part.data(),
               static_cast<int>(message.size()), message.data());
  std::fflush(stderr);
}

void Fatal(std::string_view part, std::string_view message) {
  LogProblem(part, message);
  std::abort();
}

}  // namespace vantor
