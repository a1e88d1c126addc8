#include "modules/math.h"

namespace vantor::math {

// The negation wraps, so the most negative int comes back unchanged instead
// of overflowing.
int Abs(int x) { return x >= 0 ? x : static_cast<int>(0u - static_cast<unsigned>(x)); }

float Abs2(float x) { return x >= 0 ? x : -x; }

}  // namespace vantor::math
