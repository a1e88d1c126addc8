#include "tests/host/scratch_app.h"

#include <cstdio>
#include <cstring>

#include "host/app.h"
#include "runtime/debug.h"

namespace vantor::testing {
namespace {

constexpr int kScratchRate = 60;

void Report(const char* line) {
  std::puts(line);
  std::fflush(stdout);
}

const char* failure = "";

class ScratchApp : public gxtkApp {
 public:
  int OnCreate() override {
    Report("create");
    if (std::strcmp(failure, kThrowObject) == 0) throw gc_new<ThrowableObject>();
    if (std::strcmp(failure, kThrowError) == 0) dbg_throw("scratch failure");
    SetUpdateRate(kScratchRate);
    return 0;
  }
  int OnUpdate() override {
    if (reportNextUpdate_) Report("update");
    reportNextUpdate_ = false;
    return 0;
  }
  int OnSuspend() override {
    Report("suspend");
    return 0;
  }
  int OnResume() override {
    Report("resume");
    reportNextUpdate_ = true;
    return 0;
  }

 private:
  bool reportNextUpdate_ = true;
};

}  // namespace

int RunScratchApp(int argc, char** argv) {
  if (argc > 2) failure = argv[2];
  return HostMain(argc, argv, {[] {}, [] { gc_new<ScratchApp>(); }});
}

}  // namespace vantor::testing
