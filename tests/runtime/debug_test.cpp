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

TEST(PrintOutput, WritesLowBytesAndANewlineOfAnyLength) {
  const std::string long_line(10000, 'z');
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  Print(String(u"A\u0142\u20AC"));
  DebugLog(String(long_line.c_str()));
  warn("warned");
  dbg_print(String(u"\u0141ine"));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "AB\xAC\n" + long_line + "\nwarned\n");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Aine\n");
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

// Everything that ends the process: what it prints on each stream and the
// status it ends with, with the debugger's commands on standard input.
TEST(RuntimeError, ReportsAndEndsAsTheCommandsSay) {
  const auto error_abc = [] { Error(String("abc")); };
  const struct {
    const char* name;
    std::function<void()> body;
    std::string input;
    int exit_code;
    std::string out, err;
  } cases[] = {
      {"empty text ends quietly", [] { Error(String()); }, "", 0, "", ""},
      {"fail prints the line", [] { fail("glfwOpenWindow failed"); }, "", kExitFailure, "glfwOpenWindow failed\n", ""},
      {"no debugger", error_abc, "", kExitFailure, error_report("abc"), kProtocol},
      {"low bytes of the units", [] { Error(String(u"\u0141bc")); }, "", kExitFailure, error_report("Abc"), kProtocol},
      {"debug location",
       [] {
         dbg_info = "game.cpp<7>";
         dbg_error("stop");
       },
       "", kExitFailure, "Vantor Runtime Error : stop\ngame.cpp<7>\n\n", "{{~~game.cpp<7>~~}}\n\n"},
      {"resume reports again", error_abc, "r\nr\n", kExitFailure, repeated(error_report("abc"), 3), repeated(kProtocol, 3)},
      {"quit", error_abc, "q\n", 0, error_report("abc"), kProtocol},
      {"unknown command", error_abc, "?\nxyz\nq\n", kExitFailure, error_report("abc") + "????? xyz ?????", kProtocol},
      {"line without newline", error_abc, "r", kExitFailure, error_report("abc"), kProtocol},
      {"oversized large block", [] { gc_malloc_large(static_cast<long>(INT_MAX) + 1); }, "", kExitFailure,
       error_report("Out of memory"), kProtocol},
      {"negative block", [] { gc_malloc(-8); }, "", kExitFailure, error_report("Out of memory"), kProtocol},
      {"huge array", [] { Array<int> huge(INT_MAX / 2); }, "", kExitFailure, error_report("Out of memory"), kProtocol},
      {"huge string", [] { String(u"x", INT_MAX); }, "", kExitFailure, error_report("Out of memory"), kProtocol},
  };
  for (const auto& c : cases) {
    const ChildResult result = run_child(c.body, c.input);
    EXPECT_EQ(result.exit_code, c.exit_code) << c.name;
    EXPECT_EQ(result.out, c.out) << c.name;
    EXPECT_EQ(result.err, c.err) << c.name;
  }
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

TEST(FatalSignal, EachSignalHasItsMessage) {
  const struct {
    int signal_number;
    const char* message;
  } cases[] = {{SIGFPE, "Floating point exception"},
               {SIGILL, "Illegal instruction"},
               {SIGSEGV, "Memory access violation"},
               {SIGTERM, "Unknown signal"},
               {0, "Memory access violation"}};
  for (const auto& c : cases) {
    const int signal_number = c.signal_number;
    const ChildResult result = run_child([signal_number] {
      install_signal_handlers();
      std::signal(SIGTERM, sighandler);
      if (signal_number != 0) std::raise(signal_number);
      // A page that may not be touched: a genuine fault, not a null store
      // that the undefined-behaviour checks would catch first.
      void* page = mmap(nullptr, kPageBytes, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
      if (page == MAP_FAILED) std::abort();
      *static_cast<volatile int*>(page) = 1;
    });
    EXPECT_EQ(result.exit_code, kExitFailure) << c.message;
    EXPECT_EQ(result.out, error_report(c.message)) << signal_number;
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
