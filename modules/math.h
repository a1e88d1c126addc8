// The math module: absolute values for script code.
#pragma once

namespace vantor::math {

int Abs(int x);
float Abs2(float x);

}  // namespace vantor::math
