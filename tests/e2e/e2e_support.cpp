#include "tests/e2e/e2e_support.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <stb_image.h>
#include <stb_image_write.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

extern char** environ;

namespace vantor::e2e {
namespace {

namespace fs = std::filesystem;

constexpr int kRgbBytes = 3;
constexpr int kSettingsCount = 25;
constexpr int kBadgeWords = 8;
constexpr int kTables = 3;
constexpr int kTableEntries = 10;
constexpr int kRecentOffset = 30;  // recent scores follow the three best-ten tables
constexpr int kSoundSettingIndex = 5;
// Where the sections start among the record's elements.
constexpr int kBadgeStart = kSettingsCount + 1;
constexpr int kTableStart = kBadgeStart + kBadgeWords + 1;
constexpr int kTableElements = 2 * kTableEntries + 1;

// This process's environment with `overrides` (NAME=value) put in.
std::vector<std::string> Environment(const std::vector<std::string>& overrides) {
  std::vector<std::string> result = overrides;
  for (char** entry = environ; *entry; ++entry) {
    const std::string text = *entry;
    const std::string name = text.substr(0, text.find('=') + 1);
    bool replaced = false;
    for (const std::string& o : overrides) replaced = replaced || o.rfind(name, 0) == 0;
    if (!replaced) result.push_back(text);
  }
  return result;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (std::string& s : strings) pointers.push_back(s.data());
  pointers.push_back(nullptr);
  return pointers;
}

}  // namespace

WorkDir::WorkDir() {
  std::string pattern = (fs::temp_directory_path() / "vantor-e2e-XXXXXX").string();
  if (mkdtemp(pattern.data())) path_ = pattern;
  fs::create_directory_symlink(fs::path(VANTOR_SOURCE_DIR) / "data", fs::path(path_) / "data");
}

WorkDir::~WorkDir() {
  std::error_code ignored;
  if (!path_.empty() && !std::getenv("VANTOR_E2E_KEEP")) fs::remove_all(path_, ignored);
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

Child::Child(const std::vector<std::string>& command, const std::string& directory,
             const std::vector<std::string>& environment) {
  char pattern[] = "/tmp/vantor-e2e-out-XXXXXX";
  const int fd = mkstemp(pattern);
  if (fd < 0) return;
  close(fd);
  output_ = pattern;
  std::vector<std::string> arguments = command;
  std::vector<std::string> variables = Environment(environment);
  std::vector<char*> argv = Pointers(arguments);
  std::vector<char*> envp = Pointers(variables);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output_.c_str(), O_WRONLY | O_TRUNC, 0);
  posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());
  if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) pid_ = -1;
  posix_spawn_file_actions_destroy(&actions);
}

Child::~Child() {
  if (pid_ > 0 && !exited_) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  if (!output_.empty()) std::remove(output_.c_str());
}

int Child::Wait(std::chrono::seconds patience) {
  int status = 0;
  const bool ended = WaitFor([&] { return waitpid(pid_, &status, WNOHANG) == pid_; }, patience);
  if (!ended) return -1;
  exited_ = true;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool Child::Running() {
  if (exited_) return false;
  int status = 0;
  if (waitpid(pid_, &status, WNOHANG) != pid_) return true;
  exited_ = true;
  return false;
}

Result Run(const std::vector<std::string>& command, const std::string& directory,
           std::chrono::seconds patience, const std::vector<std::string>& environment) {
  Child child(command, directory, environment);
  if (!child.started()) return {-1, "could not start " + command[0]};
  const int status = child.Wait(patience);
  return {status, child.Output()};
}

Result Replay(const WorkDir& work, const std::vector<std::string>& arguments) {
  std::vector<std::string> command = {VANTOR_REPLAY};
  command.insert(command.end(), arguments.begin(), arguments.end());
  return Run(command, work.path());
}

std::string Shell(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char chunk[256];
    while (const size_t got = std::fread(chunk, 1, sizeof chunk, pipe)) out.append(chunk, got);
    pclose(pipe);
  }
  while (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

int StateLine::operator[](const std::string& name) const {
  const auto found = numbers.find(name);
  return found == numbers.end() ? -1 : static_cast<int>(found->second);
}

// The state line's values are whole numbers, lists of them or plain text
// without quotes inside.
StateLine ParseStateLine(const std::string& line) {
  StateLine state;
  for (size_t at = line.find('"'); at != std::string::npos; at = line.find('"', at)) {
    const size_t nameEnd = line.find('"', at + 1);
    const std::string name = line.substr(at + 1, nameEnd - at - 1);
    at = nameEnd + 2;  // past the quote and the colon
    if (line[at] == '"') {
      const size_t close = line.find('"', at + 1);
      state.texts[name] = line.substr(at + 1, close - at - 1);
      at = close + 1;
    } else if (line[at] == '[') {
      const size_t close = line.find(']', at);
      std::istringstream items(line.substr(at + 1, close - at - 1));
      std::string item;
      while (std::getline(items, item, ',')) state.lists[name].push_back(std::stoi(item));
      at = close + 1;
    } else {
      state.numbers[name] = std::stoll(line.substr(at));
      at = line.find_first_of(",}", at);
    }
    if (at >= line.size()) break;
  }
  return state;
}

std::vector<StateLine> ReadStateLines(const std::string& path) {
  std::vector<StateLine> states;
  std::istringstream lines(ReadFile(path));
  std::string line;
  while (std::getline(lines, line)) states.push_back(ParseStateLine(line));
  return states;
}

std::vector<std::string> RecordElements(const std::string& record) {
  std::vector<std::string> elements;
  std::string element;
  std::istringstream in(record);
  while (std::getline(in, element, '|')) elements.push_back(element);
  if (!record.empty() && record.back() == '|') elements.push_back("");
  return elements;
}

// Sums in 32-bit arithmetic that wraps, as the game's own does.
RecordChecksums ComputeChecksums(const std::vector<std::string>& elements) {
  auto value = [&](int index) { return static_cast<unsigned>(std::atoi(elements[index].c_str())); };
  RecordChecksums sums{};
  unsigned settings = 0, badges = 0;
  for (int i = 0; i < kSettingsCount; ++i) settings += value(i) * i;
  for (int w = 0; w < kBadgeWords; ++w) badges += value(kBadgeStart + w);
  sums.settings = static_cast<int>(settings);
  sums.badges = static_cast<int>(badges);
  for (int t = 0; t < kTables; ++t) {
    unsigned table = 0;
    const int start = kTableStart + t * kTableElements;
    for (int e = 0; e < kTableEntries; ++e) {
      table += (e + 4) * value(start + 2 * e) + (t + 3 + e) * value(start + 2 * e + 1);
    }
    sums.tables[t] = static_cast<int>(table);
  }
  return sums;
}

std::string MakeRecord(const std::vector<int>& highscores) {
  std::vector<std::string> elements;
  for (int i = 0; i < kSettingsCount; ++i) elements.push_back(i == kSoundSettingIndex ? "1" : "0");
  elements.push_back("0");
  for (int w = 0; w <= kBadgeWords; ++w) elements.push_back("0");
  for (int t = 0; t < kTables; ++t) {
    for (int e = 0; e < kTableEntries; ++e) {
      elements.push_back(std::to_string(highscores[t * kTableEntries + e]));
      elements.push_back(std::to_string(highscores[kRecentOffset + t * kTableEntries + e]));
    }
    elements.push_back("0");
  }
  elements.push_back("");
  const RecordChecksums sums = ComputeChecksums(elements);
  elements[kSettingsCount] = std::to_string(sums.settings);
  for (int t = 0; t < kTables; ++t) {
    elements[kTableStart + t * kTableElements + kTableElements - 1] =
        std::to_string(sums.tables[t]);
  }
  std::string record;
  for (size_t i = 0; i + 1 < elements.size(); ++i) record += elements[i] + "|";
  return record;
}

std::optional<Image> LoadPng(const std::string& path) {
  int width = 0, height = 0, channels = 0;
  unsigned char* pixels = stbi_load(path.c_str(), &width, &height, &channels, kRgbBytes);
  if (!pixels) return std::nullopt;
  Image image{width, height, {pixels, pixels + static_cast<size_t>(width) * height * kRgbBytes}};
  stbi_image_free(pixels);
  return image;
}

bool SavePng(const std::string& path, const Image& image) {
  return stbi_write_png(path.c_str(), image.width, image.height, kRgbBytes, image.rgb.data(),
                        image.width * kRgbBytes) != 0;
}

Difference Compare(const Image& actual, const Image& reference, int tolerance) {
  Difference difference;
  difference.picture = reference;
  if (actual.width != reference.width || actual.height != reference.height) {
    difference.differing = reference.width * reference.height;
    return difference;
  }
  for (size_t p = 0; p + kRgbBytes <= reference.rgb.size(); p += kRgbBytes) {
    bool differs = false;
    for (int c = 0; c < kRgbBytes; ++c) {
      differs = differs || std::abs(actual.rgb[p + c] - reference.rgb[p + c]) > tolerance;
    }
    difference.differing += differs;
    for (int c = 0; c < kRgbBytes; ++c) {
      unsigned char& out = difference.picture.rgb[p + c];
      out = differs ? (c == 0 ? 255 : 0) : out / 4;
    }
  }
  return difference;
}

bool LooksLike(const Image& actual, const Image& reference, Difference* difference) {
  constexpr int kChannelTolerance = 24;
  constexpr double kDifferingShare = 0.002;
  Difference found = Compare(actual, reference, kChannelTolerance);
  const bool alike = found.differing <= kDifferingShare * reference.width * reference.height;
  if (difference) *difference = std::move(found);
  return alike;
}

double MeanBrightness(const Image& image, int x, int y, int width, int height) {
  double sum = 0;
  for (int row = y; row < y + height; ++row) {
    for (int column = x; column < x + width; ++column) {
      const size_t p = (static_cast<size_t>(row) * image.width + column) * kRgbBytes;
      sum += image.rgb[p] + image.rgb[p + 1] + image.rgb[p + 2];
    }
  }
  return sum / (kRgbBytes * static_cast<double>(width) * height);
}

}  // namespace vantor::e2e
