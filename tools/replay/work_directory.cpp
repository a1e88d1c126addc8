#include "tools/replay/work_directory.h"

#include <unistd.h>

#include <filesystem>
#include <string>

#include "host/log.h"

namespace vantor::replay {

namespace fs = std::filesystem;

bool EnterWorkDirectory(const std::string& directory) {
  if (directory.empty()) return true;
  std::error_code error;
  fs::create_directories(directory, error);
  const fs::path data = fs::path(directory) / "data";
  if (!fs::exists(data))
    fs::create_directory_symlink(fs::path(VANTOR_SOURCE_DIR) / "data", data, error);
  if (error || chdir(directory.c_str()) != 0) {
    LogProblem("files", "cannot work in " + directory);
    return false;
  }
  return true;
}

}  // namespace vantor::replay
