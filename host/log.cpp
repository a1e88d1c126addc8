#include "host/log.h"

#include <cstdio>
#include <cstdlib>

namespace vantor {

namespace {
constexpr std::string_view kProgramName = "Vantor";
}

void LogProblem(std::string_view part, std::string_view message) {
  std::fprintf(stderr, "%.*s: %.*s: %.*s\n", static_cast<int>(kProgramName.size()),
               kProgramName.data(), static_cast<int>(part.size()), part.data(),
               static_cast<int>(message.size()), message.data());
  std::fflush(stderr);
}

void Fatal(std::string_view part, std::string_view message) {
  LogProblem(part, message);
  std::abort();
}

}  // namespace vantor
