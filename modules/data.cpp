#include "modules/data.h"

namespace vantor::data {

String FixDataPath(const String& path) {
  // A scheme ("vantor://...") is a colon followed at once by the first
  // slash of the text.
  const int colon = path.Find(T(":/"));
  if (colon != -1 && path.Find(T("/")) == colon + 1) return path;
  if (path.StartsWith(T("./")) || path.StartsWith(T("/"))) return path;
  return T("vantor://data/") + path;
}

}  // namespace vantor::data
