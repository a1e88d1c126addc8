// Where the game finds its data and keeps its saved record, and where the
// player's pictures go.
//
// The data directory is searched in a fixed order: data/ in the working
// directory (the usual case, where the game runs from the repository or a
// directory prepared like it), then data/ beside the executable or up to a
// few levels above it (a build tree started from elsewhere), then the
// installed data directory. The saved record stays in the working directory
// when that holds data/; otherwise it goes to the per-user data directory
// the XDG base-directory rules name. Screenshots go to the pictures
// directory. Called once by the game's entry point
// before the window opens; main thread only.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vantor {

namespace fs = std::filesystem;

// An environment lookup: the value of a variable, or null when unset.
using Environment = std::function<const char*(const char*)>;

// The data directories to try, in order, for an executable at `executable`
// started in `workingDirectory`. `installed` are the installed data
// directories, last; a relative one is taken from the executable's
// directory, so an installed tree can be moved (or staged under DESTDIR).
std::vector<fs::path> DataCandidates(const fs::path& workingDirectory, const fs::path& executable,
                                     const std::vector<fs::path>& installed);

// The first candidate holding the file `marker`; none when no candidate
// does.
std::optional<fs::path> FirstUsable(const std::vector<fs::path>& candidates,
                                    const std::string& marker);

// The directory of the record when the game is not started beside its
// data: $XDG_DATA_HOME/vantor, else $HOME/.local/share/vantor. Empty when
// neither variable is set.
fs::path RecordDirectory(const Environment& environment);

// $XDG_CONFIG_HOME, else $HOME/.config; empty when neither is set.
fs::path ConfigHome(const Environment& environment);

// The user's pictures directory as $XDG_CONFIG_HOME/user-dirs.dirs (else
// ~/.config/user-dirs.dirs) names it; empty when it names none or the
// directory does not exist.
fs::path PicturesDirectory(const Environment& environment);

// Where F12 screenshots go: the pictures directory, else the working
// directory the process started in.
fs::path ScreenshotDirectory();

// What SettleDataAndRecord decided.
struct Settlement {
  bool found = false;
  std::vector<fs::path> tried;  // every candidate, in search order
};

// Finds the data (by `marker`) and points the file layer's data address at
// it; when the working directory holds no usable data/, moves into the
// record directory (created when needed) so that the record is kept there.
// Does nothing but report when no data is found.
Settlement SettleDataAndRecord(const std::string& marker);

}  // namespace vantor
