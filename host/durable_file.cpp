#include "host/durable_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <memory>

namespace vantor {
namespace {

// Links followed before a chain is taken for a loop (the kernel's own bound).
constexpr int kMaxLinkHops = 40;
// Unique names tried before creating the temporary file is given up; each
// attempt fails only when the name is already taken.
constexpr int kCreateAttempts = 100;
// A new file's permission bits before the umask, as fopen gives them.
constexpr mode_t kNewFileMode = 0666;
constexpr mode_t kPermissionBits = 07777;

ReplaceOutcome Failure(int status, const std::string& step) {
  return {status, step + ": " + std::strerror(errno)};
}

std::string DirectoryOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file a chain of symbolic links ends at (possibly not existing yet);
// false for a loop.
bool FollowLinks(std::string path, std::string* target) {
  for (int hop = 0; hop < kMaxLinkHops; ++hop) {
    struct stat status;
    if (lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
      *target = path;
      return true;
    }
    char link[PATH_MAX];
    const ssize_t length = readlink(path.c_str(), link, sizeof link - 1);
    if (length < 0) return false;
    const std::string next(link, static_cast<size_t>(length));
    path = next[0] == '/' ? next : DirectoryOf(path).append("/").append(next);
  }
  errno = ELOOP;
  return false;
}

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};

// Removes what interrupted replacements of `name` left in `directory`.
// Directories of those names are left alone: they no longer collide.
void RemoveStaleTemps(const std::string& directory, const std::string& name) {
  const std::unique_ptr<DIR, DirCloser> dir(opendir(directory.c_str()));
  if (!dir) return;
  const std::string legacy = name + ".tmp";
  const std::string prefix = name + kTempSuffix;
  while (const dirent* entry = readdir(dir.get())) {
    const std::string entryName = entry->d_name;
    if (entryName != legacy && entryName.rfind(prefix, 0) != 0) continue;
    unlinkat(dirfd(dir.get()), entry->d_name, 0);  // fails harmlessly on a directory
  }
}

// Only a regular file (or none yet) is replaced: a record linked to a
// device or a pipe, say /dev/null to turn saving off, is left as it is.
bool Replaceable(const std::string& target) {
  struct stat status;
  return stat(target.c_str(), &status) != 0 || S_ISREG(status.st_mode);
}

// Creates a fresh temporary file beside `target`; -1 with errno set on failure.
int CreateTemp(const std::string& target, std::string* tempPath) {
  static unsigned counter = 0;
  for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
    *tempPath = target + kTempSuffix + std::to_string(getpid()) + "-" + std::to_string(++counter);
    const int fd = open(tempPath->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

bool WriteAll(int fd, const std::vector<unsigned char>& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t wrote = write(fd, bytes.data() + done, bytes.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return false;
    done += static_cast<size_t>(wrote);
  }
  return true;
}

// The old file's permission bits move to its replacement.
bool KeepMode(int fd, const std::string& target) {
  struct stat status;
  if (stat(target.c_str(), &status) != 0) return true;  // a new file
  return fchmod(fd, status.st_mode & kPermissionBits) == 0;
}

// Makes the rename durable. Some file systems cannot sync a directory; the
// rename has happened all the same, so a failure here is not reported.
void SyncDirectory(const std::string& directory) {
  const int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

// Fills the open temporary file; the status -2 step that failed, or "".
std::string FillTemp(int fd, const std::string& target, const std::vector<unsigned char>& bytes) {
  if (!KeepMode(fd, target)) return "cannot copy the permissions";
  if (!WriteAll(fd, bytes)) return "cannot write";
  if (fsync(fd) != 0) return "cannot sync";
  return "";
}

}  // namespace

ReplaceOutcome ReplaceFileDurably(const std::string& path,
                                  const std::vector<unsigned char>& bytes) {
  std::string target;
  if (!FollowLinks(path, &target)) return Failure(-1, "cannot follow the link " + path);
  if (!Replaceable(target)) return {-1, target + " is not a regular file"};
  const std::string directory = DirectoryOf(target);
  RemoveStaleTemps(directory, NameOf(target));
  std::string temp;
  const int fd = CreateTemp(target, &temp);
  if (fd < 0) return Failure(-1, "cannot create a file in " + directory);
  std::string failedStep = FillTemp(fd, target, bytes);
  if (close(fd) != 0 && failedStep.empty()) failedStep = "cannot close";
  if (!failedStep.empty()) {
    ReplaceOutcome outcome = Failure(-2, failedStep + " " + temp);
    unlink(temp.c_str());
    return outcome;
  }
  if (rename(temp.c_str(), target.c_str()) != 0) {
    ReplaceOutcome outcome = Failure(-1, "cannot replace " + target);
    unlink(temp.c_str());
    return outcome;
  }
  SyncDirectory(directory);
  return {};
}

}  // namespace vantor
