// The math module: absolute values for the game's code. Pure functions,
// callable from any thread.
#pragma once

namespace vantor::math {

int Abs(int x);       // |x|; the most negative int comes back unchanged
float Abs2(float x);  // |x|

}  // namespace vantor::math
