// A record of MyApp::drawList: one drawing operation asked for during an
// update, replayed at every render until the next update clears the list.
// The list is a flat array of 15-float records, a layout the game keeps for
// its tools and saved pictures; this header names its fields. The drawing
// operations of draw.cpp write records (MyApp::NewRecord, m_DrawImg,
// AppendShape); the render pass (MyApp::ReplayRecord), the tests and the
// tools read them, always through DrawRecord::Read.
//
// Field by field, for each kind of record (positions and sizes in virtual
// units, the 640 x 480 design scaled to the window at render time):
//
//   0      kind      an image's slot (0 to 99, see game/ids.h), or
//                    kRecordRect, kRecordOval, kRecordLine
//   1, 2   x, y      image: its centre (the art's handle);
//                    rectangle: the top-left corner; oval: the centre;
//                    line: the first end
//   3      rotation  image: degrees, as the graphics module turns it
//                    (counter-clockwise), so the negation of m_SetRot's
//                    clockwise angle; shapes carry it but are not turned
//   4, 5   width,    image: horizontal and vertical scale (1 is the cell's
//          height    size, negative mirrors); rectangle: its size;
//                    oval: its two radii; line: the second end
//   6      frame     image: the frame of its sheet; shapes: 0
//   7      alpha     0 (clear) to 1 (opaque)
//   8, 9             unused, left as they were
//   10-12  red, green, blue   0 to 255, multiplied with the image or
//                    filling the shape
//   13, 14           unused, left as they were
#pragma once

namespace vantor {

inline constexpr int kRecordFloats = 15;

// Record kinds other than images (which store their slot number). Kinds
// count up from -3717, far below every slot. kNotGiven (game/myapp.h)
// shares that number: it is the one value the game reserves as "no real
// value", and the two never meet, one being compared with arguments and
// touch positions, the other with a record's kind.
inline constexpr float kRecordRect = -3717;
inline constexpr float kRecordOval = -3716;
inline constexpr float kRecordLine = -3715;

// The fields of one record, read from the list.
struct DrawRecord {
  // Where each field lies in the 15 floats.
  static constexpr int kKind = 0;
  static constexpr int kX = 1;
  static constexpr int kY = 2;
  static constexpr int kRotation = 3;
  static constexpr int kWidth = 4;
  static constexpr int kHeight = 5;
  static constexpr int kFrame = 6;
  static constexpr int kAlpha = 7;
  static constexpr int kRed = 10;
  static constexpr int kGreen = 11;
  static constexpr int kBlue = 12;

  float kind, x, y, rotation, width, height, frame, alpha, red, green, blue;

  // The record starting at `record`.
  static DrawRecord Read(const float* record) {
    return {record[kKind],  record[kX],      record[kY],     record[kRotation],
            record[kWidth], record[kHeight], record[kFrame], record[kAlpha],
            record[kRed],   record[kGreen],  record[kBlue]};
  }
};

}  // namespace vantor
