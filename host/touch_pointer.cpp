#include "host/touch_pointer.h"

namespace vantor {

TouchPointer::Change TouchPointer::Report(Phase phase, int finger, float x, float y) {
  x = static_cast<float>(static_cast<int>(x));
  y = static_cast<float>(static_cast<int>(y));
  switch (phase) {
    case Phase::kStart:
      return Start(finger, x, y);
    case Phase::kMove:
      Move(finger, x, y);
      break;
    case Phase::kEnd:
      return End(finger);
  }
  return Change::kNone;
}

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
