#include "host/touch_pointer.h"

namespace vantor {

TouchPointer::Change TouchPointer::Start(int finger, float x, float y) {
  if (Down() || finger == kNoFinger) return Change::kNone;
  finger_ = finger;
  x_ = x;
  y_ = y;
  return Change::kPress;
}

void TouchPointer::Move(int finger, float x, float y) {
  if (finger != finger_ || !Down()) return;
  x_ = x;
  y_ = y;
}

TouchPointer::Change TouchPointer::End(int finger) {
  if (finger != finger_ || !Down()) return Change::kNone;
  finger_ = kNoFinger;
  return Change::kRelease;
}

}  // namespace vantor
