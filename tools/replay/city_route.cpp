#include "tools/replay/city_route.h"

#include <array>
#include <deque>

#include "game/run.h"

namespace vantor::replay {
namespace {

// The grid has 26 x 26 cells; their far corners are crossings 1 to 26, and
// the car turns back on its own at crossings 0 and 26.
constexpr int kCrossings = run::kCityCells + 1;
constexpr int kFirstInside = 1;
constexpr int kLastInside = run::kCityCells - 1;
constexpr int kHeadings = 4;
constexpr int kLiveCarLast = run::kWreckFirst - 1;

constexpr std::array<int, kHeadings> kStepX = {0, 1, 0, -1};
constexpr std::array<int, kHeadings> kStepY = {-1, 0, 1, 0};

bool Inside(int x, int y) {
  return x >= kFirstInside && x <= kLastInside && y >= kFirstInside && y <= kLastInside;
}

int LeftOf(int heading) { return (heading + 3) % kHeadings; }
int RightOf(int heading) { return (heading + 1) % kHeadings; }

// Breadth-first search over (crossing, heading) from the car's next
// crossing; each step is one block, straight on or after a quarter turn.
class RouteSearch {
 public:
  explicit RouteSearch(const std::vector<Crossing>& police) {
    for (const Crossing& c : police) {
      if (Inside(c.x, c.y)) target_[c.x][c.y] = true;
    }
  }

  Turn From(Crossing start, int heading) {
    const std::array<Turn, 3> turns = {Turn::kStraight, Turn::kLeft, Turn::kRight};
    std::deque<Node> queue;
    for (const Turn turn : turns) Push(queue, start, Turned(heading, turn), turn);
    while (!queue.empty()) {
      const Node node = queue.front();
      queue.pop_front();
      if (target_[node.at.x][node.at.y]) return node.first;
      for (const Turn turn : turns) Push(queue, node.at, Turned(node.heading, turn), node.first);
    }
    return Turn::kStraight;
  }

 private:
  struct Node {
    Crossing at;
    int heading;
    Turn first;  // the turn taken at the start crossing on this route
  };

  static int Turned(int heading, Turn turn) {
    if (turn == Turn::kLeft) return LeftOf(heading);
    if (turn == Turn::kRight) return RightOf(heading);
    return heading;
  }

  void Push(std::deque<Node>& queue, Crossing from, int heading, Turn first) {
    const Crossing to{from.x + kStepX[heading], from.y + kStepY[heading]};
    if (!Inside(to.x, to.y) || seen_[to.x][to.y][heading]) return;
    seen_[to.x][to.y][heading] = true;
    queue.push_back({to, heading, first});
  }

  bool target_[kCrossings][kCrossings] = {};
  bool seen_[kCrossings][kCrossings][kHeadings] = {};
};

}  // namespace

std::vector<Crossing> PoliceCrossings(const GameView& game) {
  std::vector<Crossing> police;
  for (int column = 0; column < run::kCityCells; ++column) {
    for (int row = 0; row < run::kCityCells; ++row) {
      const int cell = game.cityCell(column, row);
      // A car in cell (c, r) stands on the crossing at its far corner.
      if (cell >= 1 && cell <= kLiveCarLast) police.push_back({column + 1, row + 1});
    }
  }
  return police;
}

Turn TurnAt(Crossing next, int heading, const std::vector<Crossing>& police) {
  return RouteSearch(police).From(next, heading);
}

}  // namespace vantor::replay
