// F12 screenshots: the frame about to be shown, as a PNG file named by the
// time it was taken. Called by the window platform just before it swaps
// buffers; main thread only (the thread owning the OpenGL context).
#pragma once

#include <filesystem>

namespace vantor {

// Writes the back buffer's `width` x `height` pixels to a new file in
// `directory`; the file's path, or empty when it could not be written.
std::filesystem::path SaveScreenshot(const std::filesystem::path& directory, int width, int height);

}  // namespace vantor
