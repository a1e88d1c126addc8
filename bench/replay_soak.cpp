// Replay soak: the game under the replay tool (tools/vantor-replay) with
// random input for a given number of updates, printing the tool's resident
// memory as the updates go by, then its first, lowest, highest and last
// figures. It asserts nothing; a leak shows as a last figure well above
// the first ones.
//
// Needs a display, like the tool:
//   ./scripts/with-display ./build/bench/bench_replay_soak [UPDATES] [SEED]
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int kDefaultUpdates = 100000;
constexpr int kReportEvery = 5000;  // updates between memory lines
constexpr int kPollMillis = 100;
constexpr int kWindowWidth = 640, kWindowHeight = 480;
// Keys a player uses: return, escape, space, the arrows, a few letters.
constexpr int kKeys[] = {13, 27, 32, 37, 38, 39, 40, 65, 88, 90};
constexpr int kSuspendEvery = 7919;  // updates; a suspend saves the record
constexpr int kSuspendUpdates = 30;

// One random action per update: pointer presses, moves and releases, keys
// held for a few updates, typed digits, and now and then a suspension.
std::string RandomScript(int updates, unsigned seed) {
  std::mt19937 random(seed);
  std::string script;
  auto line = [&](int update, const std::string& command) {
    script += std::to_string(update) + " " + command + "\n";
  };
  for (int u = 1; u <= updates; ++u) {
    std::string point = std::to_string(random() % kWindowWidth);
    point += ' ';
    point += std::to_string(random() % kWindowHeight);
    switch (random() % 8) {
      case 0:
        line(u, "press " + point);
        break;
      case 1:
        line(u, "release");
        break;
      case 2:
        line(u, "move " + point);
        break;
      case 3: {
        const std::string key = std::to_string(kKeys[random() % std::size(kKeys)]);
        line(u, "key " + key);
        line(std::min(updates, u + 1 + static_cast<int>(random() % 10)), "keyup " + key);
        break;
      }
      case 4:
        line(u, "char " + std::to_string(random() % 10));
        break;
      default:
        break;
    }
    if (u % kSuspendEvery == 0 && u + kSuspendUpdates < updates) {
      line(u, "iconify");
      line(u + kSuspendUpdates, "restore");
    }
    if (u % kReportEvery == 0) line(u, "state");
  }
  return script;
}

long ResidentKilobytes(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string word;
  while (status >> word) {
    if (word != "VmRSS:") continue;
    long kilobytes = 0;
    status >> kilobytes;
    return kilobytes;
  }
  return 0;
}

int LinesIn(const fs::path& path) {
  std::ifstream in(path);
  return static_cast<int>(std::count(std::istreambuf_iterator<char>(in), {}, '\n'));
}

fs::path ReplayTool() {
  return fs::read_symlink("/proc/self/exe").parent_path() / "../tools/vantor-replay";
}

}  // namespace

int main(int argc, char** argv) {
  const int updates = argc > 1 ? std::atoi(argv[1]) : kDefaultUpdates;
  const unsigned seed = argc > 2 ? static_cast<unsigned>(std::atoi(argv[2])) : 1;
  std::string pattern = (fs::temp_directory_path() / "vantor-soak-XXXXXX").string();
  const fs::path dir = mkdtemp(pattern.data());
  std::ofstream(dir / "soak.script") << RandomScript(updates, seed);
  const std::string tool = ReplayTool().string(), script = (dir / "soak.script").string(),
                    work = (dir / "work").string(), out = dir.string();
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    execl(tool.c_str(), tool.c_str(), "--script", script.c_str(), "--workdir", work.c_str(),
          "--out", out.c_str(), static_cast<char*>(nullptr));
    std::perror("bench_replay_soak: cannot start the replay tool");
    _exit(127);
  }
  std::printf("%d updates of random input (seed %u); resident memory of the replay tool:\n",
              updates, seed);
  std::vector<long> figures;
  int status = 0;
  while (waitpid(child, &status, WNOHANG) == 0) {
    const int reached = LinesIn(dir / "state.jsonl") * kReportEvery;
    const long resident = ResidentKilobytes(child);
    if (resident > 0 && reached > static_cast<int>(figures.size()) * kReportEvery) {
      figures.push_back(resident);
      std::printf("  update %7d  %7ld KB\n", reached, resident);
      std::fflush(stdout);
    }
    usleep(kPollMillis * 1000);
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  fs::remove_all(dir);
  if (figures.empty()) {
    std::printf("no figures: the tool ended with status %d\n", WEXITSTATUS(status));
    return 1;
  }
  std::printf("first %ld KB, lowest %ld KB, highest %ld KB, last %ld KB; %.1f s, exit status %d\n",
              figures.front(), *std::min_element(figures.begin(), figures.end()),
              *std::max_element(figures.begin(), figures.end()), figures.back(), seconds,
              WEXITSTATUS(status));
  return 0;
}
