// TouchPointer: the fingers on a touch screen as the game's one pointer.
//
// The game reads one pointer, the left mouse button at the mouse position,
// and asks for no other touch point; so the first finger down is the
// pointer and stays it until it lifts, and fingers that land while it is
// down change nothing. The page's touch listener feeds each finger's start,
// move and end here; the browser platform turns the changes it returns into
// presses and releases of the left button (web/web_platform.cpp), as does
// the bot's test page (web/replay/main.cpp). Main thread only.
#pragma once

namespace vantor {

class TouchPointer {
 public:
  enum class Change { kNone, kPress, kRelease };
  // What a finger did, as the page reports it.
  enum class Phase { kStart = 0, kMove = 1, kEnd = 2 };

  // A finger's start, move or end at (x, y), taken in whole pixels as the
  // mouse is reported.
  Change Report(Phase phase, int finger, float x, float y);

  // A finger went down at (x, y); kPress when it becomes the pointer.
  Change Start(int finger, float x, float y);
  // A finger moved; the pointer follows its finger only.
  void Move(int finger, float x, float y);
  // A finger lifted (or the browser took it over); kRelease when it was the
  // pointer.
  Change End(int finger);

  bool Down() const { return finger_ != kNoFinger; }
  // Where the pointer's finger is, or last was.
  float X() const { return x_; }
  float Y() const { return y_; }

 private:
  static constexpr int kNoFinger = -1;
  int finger_ = kNoFinger;
  float x_ = 0, y_ = 0;
};

}  // namespace vantor
