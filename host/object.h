// gxtkObject: base class of the host's devices and resources.
//
// Host objects (the application object, the graphics, input and audio
// devices, surfaces and samples) are collected like script objects; this
// class only marks them as belonging to the host layer.
#pragma once

#include "runtime/gc.h"

namespace vantor {

class gxtkObject : public Object {};

}  // namespace vantor
