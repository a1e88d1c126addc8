// Line printers, runtime errors, the debugger protocol and fatal signals.
// Everything that ends the process runs in a child process.
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "runtime/array.h"
#include "runtime/debug.h"
#include "tests/runtime/child_process.h"
#include "tests/runtime/sanitizers.h"

namespace vantor {
namespace {

using testing_support::ChildResult;
using testing_support::kChildReturned;
using testing_support::kSanitized;
using testing_support::run_child;

constexpr int kExitFailure = 255;  // exit(-1) as the shell sees it
const std::string kProtocol = "{{~~~~}}\n\n";
constexpr size_t kPageBytes = 4096;

std::string error_report(const std::string& message) { return "Vantor Runtime Error : " + message + "\n\n"; }

std::string repeated(const std::string& text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

TEST(PrintOutput, WritesLowBytesAndANewline) {
  testing::internal::CaptureStdout();
  Print(String(u"A\u0142\u20AC"));
  DebugLog(String("x"));
  warn("warned");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "AB\xAC\nx\nwarned\n");
}

TEST(PrintOutput, LongLinesGrowTheBuffer) {
  const std::string long_line(10000, 'z');
  testing::internal::CaptureStdout();
  Print(String(long_line.c_str()));
  Print(String("short again"));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), long_line + "\nshort again\n");
}

TEST(PrintOutput, DebuggerPrintGoesToStandardError) {
  testing::internal::CaptureStderr();
  dbg_print(String(u"\u0141ine"));
  dbg_print(String(std::string(5000, 'q').c_str()));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Aine\n" + std::string(5000, 'q') + "\n");
}

TEST(StackTrace, IsEmptyWithoutADebugLocation) {
  EXPECT_EQ(dbg_stacktrace(), String());
  dbg_info = "";
  EXPECT_EQ(dbg_stacktrace(), String());
  dbg_info = "main.cpp<12>";
  EXPECT_EQ(dbg_stacktrace(), String("main.cpp<12>\n"));
  dbg_info = nullptr;
}

TEST(StackTrace, ThrowKeepsTheTraceAndThrowsThePlainMessage) {
  dbg_info = "here";
  try {
    dbg_throw("bad thing");
    ADD_FAILURE() << "dbg_throw returned";
  } catch (const RuntimeErrorMessage& error) {
    EXPECT_STREQ(error.message, "bad thing");
  }
  dbg_info = nullptr;
  EXPECT_EQ(dbg_exstack, String("here\n"));
  dbg_exstack = String();
}

TEST(ErrorExit, EmptyTextEndsTheProgramQuietly) {
  const ChildResult result = run_child([] { Error(String()); });
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "");
}

TEST(ErrorExit, FailPrintsAndEndsWithFailure) {
  const ChildResult result = run_child([] { fail("glfwOpenWindow failed"); });
  EXPECT_EQ(result.exit_code, kExitFailure);
  EXPECT_EQ(result.out, "glfwOpenWindow failed\n");
}

TEST(RuntimeError, WithoutADebuggerItReportsAndEndsWithFailure) {
  const ChildResult result = run_child([] { Error(String("abc")); });
  EXPECT_EQ(result.exit_code, kExitFailure);
  EXPECT_EQ(result.out, error_report("abc"));
  EXPECT_EQ(result.err, kProtocol);
}

TEST(RuntimeError, MessageKeepsTheLowBytesOfItsUnits) {
  const ChildResult result = run_child([] { Error(String(u"\u0141bc")); });
  EXPECT_EQ(result.out, error_report("Abc"));
}

TEST(RuntimeError, DebugLocationAppearsInTheProtocolAndTheTrace) {
  const ChildResult result = run_child([] {
    dbg_info = "game.cpp<7>";
    dbg_error("stop");
  });
  EXPECT_EQ(result.out, "Vantor Runtime Error : stop\ngame.cpp<7>\n\n");
  EXPECT_EQ(result.err, "{{~~game.cpp<7>~~}}\n\n");
}

TEST(RuntimeError, ResumingReportsTheSameErrorAgain) {
  const ChildResult result = run_child([] { Error(String("abc")); }, "r\nr\n");
  EXPECT_EQ(result.exit_code, kExitFailure);
  EXPECT_EQ(result.out, repeated(error_report("abc"), 3));
  EXPECT_EQ(result.err, repeated(kProtocol, 3));
}

TEST(RuntimeError, QuitEndsSuccessfully) {
  const ChildResult result = run_child([] { Error(String("abc")); }, "q\n");
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(result.out, error_report("abc"));
}

TEST(RuntimeError, UnknownCommandIsEchoedAndEndsWithFailure) {
  const ChildResult result = run_child([] { Error(String("abc")); }, "?\nxyz\nq\n");
  EXPECT_EQ(result.exit_code, kExitFailure);
  EXPECT_EQ(result.out, error_report("abc") + "????? xyz ?????");
}

TEST(RuntimeError, LineWithoutNewlineEndsWithFailure) {
  const ChildResult result = run_child([] { Error(String("abc")); }, "r");
  EXPECT_EQ(result.exit_code, kExitFailure);
  EXPECT_EQ(result.out, error_report("abc"));
}

TEST(DebuggerProtocol, SteppingCommandsSetTheStateAndReturn) {
  const struct {
    const char* command;
    const char* state;
  } cases[] = {{"e\n", "1 e"}, {"s\n", "1 s"}, {"l\n", "0 l"}, {"r\n", "0 -"}};
  for (const auto& c : cases) {
    const ChildResult result = run_child(
        [] {
          dbg_suspend = 7;
          dbg_stepmode = 'x';
          DebugStop();
          std::printf("%d %c", dbg_suspend, dbg_stepmode ? dbg_stepmode : '-');
        },
        c.command);
    EXPECT_EQ(result.exit_code, kChildReturned) << c.command;
    EXPECT_EQ(result.out, c.state) << c.command;
    EXPECT_EQ(result.err, kProtocol) << c.command;
  }
}

TEST(DebuggerProtocol, AtSignPrintsOnlyLiveObjects) {
  const ChildResult result = run_child(
      [] {
        Object* object = gc_new<Object>();
        const Array<int> array(3);
        char line[64];
        std::snprintf(line, sizeof line, "@%p\n@%p\n", static_cast<void*>(object), static_cast<void*>(array.GetRep()));
        // Feed the addresses this process knows, then bogus ones.
        const std::string input = std::string(line) + "@0x10\n@(nil)\n@rubbish\n@\nq\n";
        int ends[2];
        if (pipe(ends) != 0) std::abort();
        if (write(ends[1], input.data(), input.size()) < 0) std::abort();
        close(ends[1]);
        dup2(ends[0], STDIN_FILENO);
        DebugStop();
      });
  EXPECT_EQ(result.exit_code, 0);
  // The object answers; the array (not an Object) and the bogus addresses
  // get an empty line each.
  EXPECT_EQ(result.err, kProtocol + "+Object\n\n" + repeated("\n", 5));
}

TEST(FatalSignal, InvalidWriteIsAMemoryAccessViolation) {
  const ChildResult result = run_child([] {
    install_signal_handlers();
    // A page that may not be touched: a genuine fault, not a null store that
    // the undefined-behaviour checks would catch first.
    void* page = mmap(nullptr, kPageBytes, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (page == MAP_FAILED) std::abort();
    *static_cast<volatile int*>(page) = 1;
  });
  EXPECT_EQ(result.exit_code, kExitFailure);
  EXPECT_EQ(result.out, error_report("Memory access violation"));
}

TEST(FatalSignal, EachSignalHasItsMessage) {
  const struct {
    int signal_number;
    const char* message;
  } cases[] = {{SIGFPE, "Floating point exception"},
               {SIGILL, "Illegal instruction"},
               {SIGSEGV, "Memory access violation"},
               {SIGTERM, "Unknown signal"}};
  for (const auto& c : cases) {
    const int signal_number = c.signal_number;
    const ChildResult result = run_child([signal_number] {
      install_signal_handlers();
      std::signal(SIGTERM, sighandler);
      std::raise(signal_number);
    });
    EXPECT_EQ(result.exit_code, kExitFailure) << c.message;
    EXPECT_EQ(result.out, error_report(c.message));
  }
}

TEST(HeapExhaustion, OversizedRequestsAreRuntimeErrors) {
  const std::function<void()> oversized[] = {
      [] { gc_malloc_large(static_cast<long>(INT_MAX) + 1); },
      [] { gc_malloc(-8); },
      [] { Array<int> huge(INT_MAX / 2); },
      [] { String(u"x", INT_MAX); },
  };
  for (const auto& body : oversized) {
    const ChildResult result = run_child(body);
    EXPECT_EQ(result.exit_code, kExitFailure);
    EXPECT_EQ(result.out, error_report("Out of memory"));
  }
}

constexpr int kRefusedBytes = 1536 << 20;

// Runs in a fresh process: the system heap refuses a large block. The
// address space is limited for that; the address sanitizer cannot run under
// such a limit, so its allocator is told to refuse large blocks instead.
void allocate_beyond_the_heap() {
  if (!std::freopen("/dev/null", "r", stdin)) std::abort();
  dup2(STDERR_FILENO, STDOUT_FILENO);  // death tests see standard error only
  if (!kSanitized) {
    const rlimit limit = {1u << 30, 1u << 30};
    setrlimit(RLIMIT_AS, &limit);
  }
  gc_malloc(kRefusedBytes);
}

// A fresh process (the threadsafe style runs the test binary again) picks up
// the sanitizer options set here.
TEST(HeapExhaustionDeathTest, SystemHeapRefusalIsARuntimeError) {
  const std::string style = GTEST_FLAG_GET(death_test_style);
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const char* old = std::getenv("ASAN_OPTIONS");
  const std::string saved = old ? old : "";
  const std::string options = saved + ":allocator_may_return_null=1:max_allocation_size_mb=1024:detect_leaks=0";
  setenv("ASAN_OPTIONS", options.c_str(), 1);
  EXPECT_EXIT(allocate_beyond_the_heap(), testing::ExitedWithCode(kExitFailure),
              "Vantor Runtime Error : Out of memory");
  if (old) {
    setenv("ASAN_OPTIONS", saved.c_str(), 1);
  } else {
    unsetenv("ASAN_OPTIONS");
  }
  GTEST_FLAG_SET(death_test_style, style);
}

}  // namespace
}  // namespace vantor
