#include "host/platform.h"

namespace vantor {
namespace {

Platform* current_platform = nullptr;

}  // namespace

Platform* CurrentPlatform() { return current_platform; }

void SetCurrentPlatform(Platform* platform) { current_platform = platform; }

}  // namespace vantor
