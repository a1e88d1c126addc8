// Replacing the state file: stale temporary files never block a save, a
// failed save is reported once, the rename is made durable, and a record
// reached through a symbolic link keeps the link and its permission bits.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "host/durable_file.h"
#include "host/files.h"
#include "tests/host/temp_dir.h"

namespace fs = std::filesystem;

namespace {

// fsync and rename as the code under test calls them, in order, with the
// path each one concerns; recorded only while a test points this at a log.
std::vector<std::string>* g_fileCalls = nullptr;

template <class F>
F* Real(const char* name) {
  return reinterpret_cast<F*>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" int fsync(int fd) {
  static auto* real = Real<int(int)>("fsync");
  if (g_fileCalls) {
    const fs::path file = fs::read_symlink("/proc/self/fd/" + std::to_string(fd));
    g_fileCalls->push_back("fsync " + file.string());
  }
  return real(fd);
}

extern "C" int rename(const char* from, const char* to) {
  static auto* real = Real<int(const char*, const char*)>("rename");
  if (g_fileCalls) g_fileCalls->push_back("rename " + std::string(to));
  return real(from, to);
}

namespace vantor::testing {
namespace {

// What the working directory holds besides subdirectories: regular files
// and links, by name.
std::vector<std::string> Files(const fs::path& directory = ".") {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(directory)) {
    if (!entry.is_directory() || entry.is_symlink()) names.push_back(entry.path().filename());
  }
  std::sort(names.begin(), names.end());
  return names;
}

mode_t ModeOf(const char* path) {
  struct stat status {};
  stat(path, &status);
  return status.st_mode & 0777;
}

TEST(RecordFile, StaleTemporaryFilesNeverBlockASaveAndAreRemoved) {
  const std::string legacy = kStateTempFileName;
  const std::string leftover = std::string(kStateFileName) + kTempSuffix + "123-4";
  struct Case {
    const char* name;
    std::function<void()> stale;
  };
  const Case cases[] = {
      {"legacy name is a directory", [&] { fs::create_directories(legacy + "/inside"); }},
      {"legacy name is a read-only file",
       [&] {
         WriteFile(legacy, "half a rec");
         fs::permissions(legacy, fs::perms::owner_read);
       }},
      {"an interrupted save's file", [&] { WriteFile(leftover, "half a rec"); }},
      {"a link to /dev/full", [&] { fs::create_symlink("/dev/full", leftover); }},
  };
  for (const Case& c : cases) {
    ScopedWorkDir dir;
    c.stale();
    EXPECT_EQ(SaveStateFile(u"new record"), 0) << c.name;
    EXPECT_EQ(SaveStateFile(u"newer record"), 0) << c.name;
    EXPECT_EQ(ReadFile(kStateFileName), "newer record") << c.name;
    EXPECT_EQ(Files(), std::vector<std::string>{kStateFileName}) << c.name;
  }
}

TEST(RecordFile, ARunOfFailedSavesIsReportedOnceOnStandardError) {
  ScopedWorkDir dir;
  auto saveTwice = [] {
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(SaveStateFile(u"r"), -1);  // a directory cannot be replaced
    EXPECT_EQ(SaveStateFile(u"r"), -1);
    return ::testing::internal::GetCapturedStderr();
  };
  fs::create_directories(std::string(kStateFileName) + "/inside");
  const std::string first = saveTwice();
  EXPECT_EQ(std::count(first.begin(), first.end(), '\n'), 1) << first;
  EXPECT_NE(first.find("cannot save the record"), std::string::npos) << first;
  EXPECT_NE(first.find(kStateFileName), std::string::npos) << first;
  fs::remove_all(kStateFileName);
  EXPECT_EQ(SaveStateFile(u"r"), 0);
  fs::remove(kStateFileName);
  fs::create_directories(std::string(kStateFileName) + "/inside");
  EXPECT_EQ(saveTwice(), first) << "a failure after a success is reported again";
  EXPECT_EQ(Files(), std::vector<std::string>{}) << "no temporary file stays";
}

TEST(RecordFile, TheDirectoryIsSyncedAfterTheRename) {
  ScopedWorkDir dir;
  std::vector<std::string> calls;
  g_fileCalls = &calls;
  const int status = SaveStateFile(u"record");
  g_fileCalls = nullptr;
  ASSERT_EQ(status, 0);
  ASSERT_EQ(calls.size(), 3u);
  const std::string temp = fs::current_path().string() + "/" + kStateFileName + kTempSuffix;
  EXPECT_EQ(calls[0].rfind("fsync " + temp, 0), 0u) << calls[0];
  EXPECT_EQ(calls[1], std::string("rename ") + kStateFileName);
  EXPECT_EQ(calls[2], "fsync " + fs::current_path().string());
}

TEST(RecordFile, ALinkedRecordIsWrittenThroughTheLinkKeepingItsMode) {
  ScopedWorkDir dir;
  WriteFile("saves/real", "old record");
  fs::permissions("saves/real",
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  fs::create_symlink("saves/real", kStateFileName);
  ASSERT_EQ(SaveStateFile(u"new record"), 0);
  EXPECT_TRUE(fs::is_symlink(kStateFileName));
  EXPECT_EQ(ReadFile("saves/real"), "new record");
  EXPECT_EQ(ModeOf("saves/real"), 0640u);
  EXPECT_EQ(Files("saves"), std::vector<std::string>{"real"});
  EXPECT_EQ(Files(), std::vector<std::string>{kStateFileName});
  // A link to a record not written yet makes it where the link points.
  fs::create_symlink("saves/later", "dangling");
  fs::rename("dangling", kStateFileName);
  ASSERT_EQ(SaveStateFile(u"first record"), 0);
  EXPECT_EQ(ReadFile("saves/later"), "first record");
  // A link to something other than a file (a pipe here, /dev/null in life)
  // is never replaced.
  ASSERT_EQ(mkfifo("saves/pipe", 0600), 0);
  fs::remove(kStateFileName);
  fs::create_symlink("saves/pipe", kStateFileName);
  EXPECT_EQ(SaveStateFile(u"record"), -1);
  EXPECT_TRUE(fs::is_fifo("saves/pipe"));
}

TEST(RecordFile, ANewRecordTakesTheUsualPermissions) {
  for (const mode_t mask : {022, 077}) {
    ScopedWorkDir dir;
    const mode_t previous = umask(mask);
    const int status = SaveStateFile(u"record");
    umask(previous);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(ModeOf(kStateFileName), 0666u & ~mask) << "umask " << std::oct << mask;
  }
}

}  // namespace
}  // namespace vantor::testing
