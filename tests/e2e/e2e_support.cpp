#include "tests/e2e/e2e_support.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stb_image.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace vantor::e2e {
namespace {

namespace fs = std::filesystem;

constexpr int kRgbBytes = 3;
constexpr int kCannotStart = 127;  // the shell's status for a command it cannot run
const std::string kReferences = std::string(VANTOR_SOURCE_DIR) + "/tests/e2e/reference/";

std::string OutputPath(pid_t pid) { return "/tmp/vantor-e2e-" + std::to_string(pid) + ".out"; }

// Each channel within a tolerance, except on a small share of the pixels:
// antialiased and blended edges vary a little between drivers.
bool LooksLike(const Image& actual, const Image& reference) {
  constexpr int kChannelTolerance = 24;
  constexpr double kDifferingShare = 0.002;
  if (actual.width != reference.width || actual.height != reference.height) return false;
  int differing = 0;
  for (size_t p = 0; p < reference.rgb.size(); p += kRgbBytes) {
    bool differs = false;
    for (size_t c = p; c < p + kRgbBytes; ++c)
      differs = differs || std::abs(actual.rgb[c] - reference.rgb[c]) > kChannelTolerance;
    differing += differs;
  }
  return differing <= kDifferingShare * reference.width * reference.height;
}

std::vector<std::string> Command(const std::string& program,
                                 const std::vector<std::string>& arguments) {
  std::vector<std::string> command = {program};
  command.insert(command.end(), arguments.begin(), arguments.end());
  return command;
}

// The game unloads the graphics driver when it terminates GLFW, so in
// sanitizer builds the driver's known leak (tests/lsan.supp) can no longer
// be told apart at exit. Leak checking is left to the replay runs of the
// same game, which keep the driver loaded.
std::vector<std::string> WithoutLeakCheck(std::vector<std::string> environment) {
  const char* asan = std::getenv("ASAN_OPTIONS");
  environment.push_back(std::string("ASAN_OPTIONS=") + (asan ? asan : "") + ":detect_leaks=0");
  return environment;
}

}  // namespace

WorkDir::WorkDir(bool withData) {
  std::string pattern = (fs::temp_directory_path() / "vantor-e2e-XXXXXX").string();
  if (mkdtemp(pattern.data())) path_ = pattern;
  if (withData) fs::create_directory_symlink(fs::path(VANTOR_SOURCE_DIR) / "data", *this / "data");
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
  pid_ = fork();
  if (pid_ != 0) return;
  // In the child: its own copy of these strings lives until exec.
  for (const std::string& variable : environment) putenv(const_cast<char*>(variable.c_str()));
  std::vector<char*> argv;
  for (const std::string& argument : command) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  const int out = open(OutputPath(getpid()).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (out >= 0 && dup2(out, STDOUT_FILENO) >= 0 && dup2(out, STDERR_FILENO) >= 0 &&
      chdir(directory.c_str()) == 0)
    execv(argv[0], argv.data());
  _exit(kCannotStart);
}

Child::~Child() {
  if (pid_ <= 0) return;
  if (!exited_) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  std::remove(OutputPath(pid_).c_str());
}

std::string Child::Output() const { return ReadFile(OutputPath(pid_)); }

int Child::Wait(std::chrono::seconds patience) {
  int status = 0;
  if (!WaitFor([&] { return waitpid(pid_, &status, WNOHANG) == pid_; }, patience)) return -1;
  exited_ = true;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

Result Run(const std::vector<std::string>& command, const std::string& directory,
           const std::vector<std::string>& environment) {
  Child child(command, directory, environment);
  const int status = child.Wait();
  return {status, child.Output()};
}

std::vector<std::string> ReplayCommand(const std::vector<std::string>& arguments) {
  return Command(VANTOR_REPLAY, arguments);
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

// State lines are flat JSON objects written by the replay tool: a field's
// value follows "name": directly, texts in quotes.
long long StateNumber(const std::string& line, const std::string& name) {
  const std::string key = "\"" + name + "\":";
  size_t at = line.find(key);
  if (at == std::string::npos) return -1;
  at += key.size();
  return std::stoll(line.substr(line[at] == '"' ? at + 1 : at));
}

std::vector<int> StateList(const std::string& line, const std::string& name) {
  const size_t open = line.find("\"" + name + "\":[");
  std::vector<int> list;
  if (open == std::string::npos) return list;
  std::istringstream items(line.substr(line.find('[', open) + 1));
  for (std::string item; std::getline(items, item, ',') && item.front() != ']';) {
    list.push_back(std::stoi(item));
    if (item.find(']') != std::string::npos) break;
  }
  return list;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::optional<Image> LoadPng(const std::string& path) {
  int width = 0, height = 0, channels = 0;
  unsigned char* pixels = stbi_load(path.c_str(), &width, &height, &channels, kRgbBytes);
  if (!pixels) return std::nullopt;
  Image image{width, height, {pixels, pixels + static_cast<size_t>(width) * height * kRgbBytes}};
  stbi_image_free(pixels);
  return image;
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

void ExpectLikeReference(const std::string& directory, const std::string& name) {
  const std::string actual = directory + "/" + name + ".png", reference = kReferences + name + ".png";
  if (std::getenv("VANTOR_REFRESH_REFERENCES")) {
    fs::copy_file(actual, reference, fs::copy_options::overwrite_existing);
    return;
  }
  const std::optional<Image> seen = LoadPng(actual), expected = LoadPng(reference);
  ASSERT_TRUE(seen && expected) << actual << " or " << reference << " is missing";
  if (LooksLike(*seen, *expected)) return;
  const std::string kept = std::string(VANTOR_BINARY_DIR) + "/e2e-differences/" + name + ".png";
  fs::create_directories(fs::path(kept).parent_path());
  fs::copy_file(actual, kept, fs::copy_options::overwrite_existing);
  ADD_FAILURE() << name << " differs from its reference; the frame is in " << kept;
}

Game::Game(const std::string& program, const std::string& directory,
           const std::vector<std::string>& arguments, std::vector<std::string> environment)
    : child(Command(program, arguments), directory, WithoutLeakCheck(std::move(environment))),
      directory_(directory) {
  window = Shell("timeout 15 xdotool search --sync --onlyvisible --pid " +
                 std::to_string(child.pid()) + " 2>/dev/null | head -n 1");
}

bool Game::WaitForMenu() const {
  const std::optional<Image> menu = LoadPng(kReferences + "menu.png");
  return menu && WaitFor(
                     [&] {
                       const std::optional<Image> seen = Screenshot();
                       return seen && LooksLike(*seen, *menu);
                     },
                     20s);
}

std::optional<Image> Game::Screenshot() const {
  const std::string path = directory_ + "/window.png";
  Shell("import -window " + window + " " + path + " 2>/dev/null");
  return LoadPng(path);
}

// Raised first: an earlier test's window may still stand at the same place.
void Game::Click(int x, int y) const {
  Shell("xdotool windowraise " + window + " mousemove --window " + window + " " +
        std::to_string(x) + " " + std::to_string(y) + " click 1");
}

void Game::Key(const std::string& name) const {
  Shell("xdotool windowactivate --sync " + window + " key " + name);
}

int Game::Close() {
  Shell("wmctrl -i -c " + window);
  return child.Wait(10s);
}

}  // namespace vantor::e2e
