// The data module: turns relative asset names into "vantor://data/"
// addresses, which the host's file opener (host/files.h) maps onto the data
// directory. The graphics and audio modules pass every asset name through
// it, on the main thread (a String's count is not shared between threads).
#pragma once

#include "runtime/text.h"

namespace vantor::data {

// "images/a.png" -> "vantor://data/images/a.png". A name whose first slash
// follows a colon at once (a scheme, "vantor://..."), or that starts with
// "./" or "/", comes back unchanged.
String FixDataPath(const String& path);

}  // namespace vantor::data
