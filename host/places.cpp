#include "host/places.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <system_error>

#include "host/files.h"
#include "host/log.h"

namespace vantor {
namespace {

// A build tree keeps the executable a level or two below the repository
// root (build/game/vantor-game); three covers a build directory nested one
// more level.
constexpr int kLevelsAboveExecutable = 3;

constexpr const char* kDataFolder = "data";
constexpr const char* kRecordFolder = "vantor";

bool NonEmpty(const char* value) { return value && *value; }

// The executable's own path, whatever directory it was started from.
fs::path ExecutablePath() {
  std::error_code error;
  fs::path path = fs::read_symlink("/proc/self/exe", error);
  return error ? fs::path() : path;
}

// "$HOME/Pictures" -> /home/me/Pictures; other text is kept as it is.
fs::path ExpandHome(const std::string& value, const Environment& environment) {
  const std::string home = "$HOME";
  const char* homeValue = environment("HOME");
  if (value.starts_with(home) && NonEmpty(homeValue)) return homeValue + value.substr(home.size());
  return value;
}

// The value of XDG_PICTURES_DIR="..." in a user-dirs.dirs file.
std::string PicturesEntry(const fs::path& file) {
  const std::string key = "XDG_PICTURES_DIR=\"";
  std::ifstream in(file);
  std::string line;
  while (std::getline(in, line)) {
    if (line.starts_with(key) && line.ends_with('"'))
      return line.substr(key.size(), line.size() - key.size() - 1);
  }
  return std::string();
}

// The working directory the process started in (before the record's
// directory may have replaced it).
const fs::path& LaunchDirectory() {
  static fs::path directory = fs::current_path();
  return directory;
}

const char* ProcessEnvironment(const char* name) { return std::getenv(name); }

}  // namespace

fs::path ConfigHome(const Environment& environment) {
  if (const char* config = environment("XDG_CONFIG_HOME"); NonEmpty(config)) return config;
  if (const char* home = environment("HOME"); NonEmpty(home)) return fs::path(home) / ".config";
  return fs::path();
}

fs::path ScreenshotDirectory() {
  const fs::path pictures = PicturesDirectory(ProcessEnvironment);
  return pictures.empty() ? LaunchDirectory() : pictures;
}

std::vector<fs::path> DataCandidates(const fs::path& workingDirectory, const fs::path& executable,
                                     const std::vector<fs::path>& installed) {
  std::vector<fs::path> candidates;
  // Each place once, in the order first named.
  const auto add = [&candidates](const fs::path& place) {
    const fs::path normal = place.lexically_normal();
    if (std::find(candidates.begin(), candidates.end(), normal) == candidates.end())
      candidates.push_back(normal);
  };
  add(workingDirectory / kDataFolder);
  fs::path directory = executable.parent_path();
  for (int level = 0; level <= kLevelsAboveExecutable && !directory.empty(); ++level) {
    add(directory / kDataFolder);
    if (directory == directory.parent_path()) break;
    directory = directory.parent_path();
  }
  for (const fs::path& place : installed) add(executable.parent_path() / place);
  return candidates;
}

std::optional<fs::path> FirstUsable(const std::vector<fs::path>& candidates,
                                    const std::string& marker) {
  for (const fs::path& candidate : candidates) {
    std::error_code error;
    if (fs::is_regular_file(candidate / marker, error)) return candidate;
  }
  return std::nullopt;
}

fs::path RecordDirectory(const Environment& environment) {
  if (const char* data = environment("XDG_DATA_HOME"); NonEmpty(data))
    return fs::path(data) / kRecordFolder;
  if (const char* home = environment("HOME"); NonEmpty(home))
    return fs::path(home) / ".local" / "share" / kRecordFolder;
  return fs::path();
}

fs::path PicturesDirectory(const Environment& environment) {
  const fs::path config = ConfigHome(environment);
  if (config.empty()) return fs::path();
  const std::string entry = PicturesEntry(config / "user-dirs.dirs");
  if (entry.empty()) return fs::path();
  const fs::path pictures = ExpandHome(entry, environment);
  std::error_code error;
  return fs::is_directory(pictures, error) ? pictures : fs::path();
}

Settlement SettleDataAndRecord(const std::string& marker) {
  Settlement settlement;
  const fs::path& working = LaunchDirectory();
  settlement.tried = DataCandidates(working, ExecutablePath(),
                                    {VANTOR_DATA_FROM_BINARIES, VANTOR_INSTALLED_DATA_DIR});
  const std::optional<fs::path> data = FirstUsable(settlement.tried, marker);
  if (!data) return settlement;
  settlement.found = true;
  if (*data == settlement.tried.front()) return settlement;
  SetDataDirectory(fs::absolute(*data).string());
  // Without a record directory (or permission to make it) the record stays
  // in the working directory.
  const fs::path record = RecordDirectory(ProcessEnvironment);
  if (record.empty()) return settlement;
  std::error_code error;
  fs::create_directories(record, error);
  if (error || chdir(record.c_str()) != 0)
    LogProblem("places", "cannot keep the saved record in " + record.string());
  return settlement;
}

}  // namespace vantor
