// The data module: turns relative asset names into "vantor://data/"
// addresses. The graphics and audio modules pass every asset name through it.
#pragma once

#include "runtime/text.h"

namespace vantor::data {

String FixDataPath(const String& path);

}  // namespace vantor::data
