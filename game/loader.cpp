// The asset loader: one image, font or sound per update, in the art variant
// that suits the window, behind an animated screen of two rings of dots.
// Started by m_Reload at creation and again by the render pass whenever the
// window size changes to one that needs another art variant; the update pass calls m_Loader while
// loading.
#include <algorithm>
#include <cmath>
#include <iterator>

#include "game/ids.h"
#include "game/myapp.h"
#include "modules/graphics.h"

namespace vantor {
namespace {

// Windows with a side beyond these get the larger art variants.
constexpr int kDoubleArtAbove = 630;
constexpr int kQuadrupleArtAbove = 1230;

enum class AssetKind { kImage, kFont, kSound };

struct LoadStepEntry {
  AssetKind kind;
  int slot;
  const char* path;
  int cellWidth;   // the font's advance
  int cellHeight;  // the font's line height
  int frames;
};

constexpr int kCentreHandle = Image::CentreHandle;
constexpr const char* kLogoPath = "common/ZOVALogo";
constexpr int kLogoSize = 256;

// The sheets' cells, as their art is drawn: small icons (the icons, the
// pad's arrows), the 64-unit cells of the buttons, the iCade switch, the
// badges and the game's sprites, the menu's layers, the title logo, the
// 8-unit parts, and the font's advance and line height.
constexpr int kIconCell = 32;
constexpr int kSpriteCell = 64;
constexpr int kMenuArtCell = 256;
constexpr int kTitleLogoWidth = 256;
constexpr int kTitleLogoHeight = 128;
constexpr int kPartsCell = 8;
constexpr int kFontAdvance = 7;
constexpr int kFontLineHeight = 10;

// Steps 1 to 15; steps 16 to 33 then load the run's sounds 2 to 19.
constexpr LoadStepEntry kLoadSteps[] = {
    {AssetKind::kImage, kIconSheet, "common/icons", kIconCell, kIconCell, 16},
    {AssetKind::kImage, kButtonSheet, "common/Buttons", kSpriteCell, kSpriteCell, 16},
    {AssetKind::kImage, kPadSheet, "common/dpad", kIconCell, kIconCell, 16},
    {AssetKind::kImage, kIcadeIcons, "common/icade", kSpriteCell, kSpriteCell, 2},
    {AssetKind::kImage, kMakerLogo, kLogoPath, kLogoSize, kLogoSize, 1},
    {AssetKind::kFont, kFontSheet, "fonts/editundo", kFontAdvance, kFontLineHeight, 0},
    {AssetKind::kSound, kSfxDigitRight, nullptr, 0, 0, 0},
    {AssetKind::kSound, kSfxSpare, nullptr, 0, 0, 0},
    {AssetKind::kSound, kSfxClick, nullptr, 0, 0, 0},
    {AssetKind::kSound, kSfxChime, nullptr, 0, 0, 0},
    {AssetKind::kImage, kMenuArt, "menu", kMenuArtCell, kMenuArtCell, 4},
    {AssetKind::kImage, kTitleLogo, "logo", kTitleLogoWidth, kTitleLogoHeight, 1},
    {AssetKind::kImage, kPartsSheet, "parts", kPartsCell, kPartsCell, 16},
    {AssetKind::kImage, kBadgeIcons, "BadgesA", kSpriteCell, kSpriteCell, 64},
    {AssetKind::kImage, kSpriteSheet, "gfx", kSpriteCell, kSpriteCell, 64},
};
constexpr int kTableSteps = static_cast<int>(std::size(kLoadSteps));
// The steps after the table load the sounds kSfxDigitWrong to kSfxSiren.
constexpr int kSoundStepOffset = kTableSteps + 1 - kSfxDigitWrong;
constexpr int kLastSoundStep = kSfxSiren + kSoundStepOffset;

// The loader screen.
constexpr int kLoaderScreen = 1;
constexpr int kRingDots = 11;
constexpr float kRingDotSpacing = 16;
constexpr float kRingTurnPerFrame = 16;
constexpr float kRingRadius = 0.25f;
constexpr float kDotRadius = 8;
constexpr float kHalfTurn = 180;

}  // namespace

// The art variant for a window: larger windows get art drawn at two or four
// times the resolution.
int ArtScaleFor(int width, int height) {
  if (width > kQuadrupleArtAbove || height > kQuadrupleArtAbove) return 4;
  if (width > kDoubleArtAbove || height > kDoubleArtAbove) return 2;
  return 1;
}

void MyApp::ChooseArtScale() {
  artScale = ArtScaleFor(graphics::DeviceWidth(), graphics::DeviceHeight());
  artScaleInverse = 1.0f / static_cast<float>(artScale);
}

int MyApp::m_Reload() {
  clearRed = 0;
  clearGreen = 0;
  clearBlue = 0;
  clearAlpha = 1.0f;
  ChooseArtScale();
  // The loader screen shows the logo from its first frame.
  m_LoadImg(kMakerLogo, T(kLogoPath), kLogoSize, kLogoSize, 1, kCentreHandle);
  loadStep = 1;
  return 0;
}

// The asset of the current step; past the last step loading is finished.
void MyApp::LoaderStep() {
  if (loadStep >= 1 && loadStep <= kTableSteps) {
    const LoadStepEntry& step = kLoadSteps[loadStep - 1];
    switch (step.kind) {
      case AssetKind::kImage:
        m_LoadImg(step.slot, T(step.path), step.cellWidth, step.cellHeight, step.frames,
                  kCentreHandle);
        return;
      case AssetKind::kFont:
        m_LoadFont(step.slot, T(step.path), step.cellWidth, step.cellHeight);
        return;
      case AssetKind::kSound:
        m_LoadSFX(step.slot);
        return;
    }
  }
  if (loadStep > kTableSteps && loadStep <= kLastSoundStep) {
    m_LoadSFX(loadStep - kSoundStepOffset);
    return;
  }
  loadStep = 0;
}

int MyApp::m_Loader() {
  ChooseArtScale();
  LoaderStep();
  if (loadStep > 0) ++loadStep;
  m_WaitStart(kLoaderScreen);
  return 0;
}

// One ring of dots fading in from transparent to opaque, turned by the
// spinner angle plus `offsetDegrees`.
void MyApp::DrawSpinnerRing(Colour colour, float offsetDegrees) {
  const auto size = static_cast<float>(scratch);
  for (loopIndex = 0; loopIndex < kRingDots; ++loopIndex) {
    SetColour(colour, static_cast<float>(loopIndex) / 10.0f);
    const float degrees = static_cast<float>(spinnerAngle) +
                          kRingDotSpacing * static_cast<float>(loopIndex) + offsetDegrees;
    const float radians = degrees * kDegreesToRadians;
    m_Oval(game::jscrw * 0.5f + std::sin(radians) * size * kRingRadius,
           game::jscrh * 0.5f - std::cos(radians) * size * kRingRadius, kDotRadius, kDotRadius);
  }
}

int MyApp::m_WaitStart(int screen) {
  if (screen != kLoaderScreen) return 0;
  m_CLS2D(palette::kLoaderBackdrop.red, palette::kLoaderBackdrop.green,
          palette::kLoaderBackdrop.blue, 1);
  scratch = static_cast<int>(std::min(game::jscrw, game::jscrh));
  spinnerAngle += static_cast<int>(kRingTurnPerFrame);
  const auto size = static_cast<float>(scratch);
  const float centreX = game::jscrw * 0.5f;
  const float centreY = game::jscrh * 0.5f;
  DrawSpinnerRing(palette::kRingLight, kHalfTurn);
  SetColour(palette::kYellow, 0.8f);
  m_Oval(centreX, centreY, size * 0.3f, size * 0.3f);
  SetColour(palette::kLoaderBand, 0.7f);
  m_Rect(0, game::jscrh * 0.4f, game::jscrw, game::jscrh * 0.2f);
  m_ResetDraw();
  m_DrawImg(kMakerLogo, centreX, game::jscrh * 0.48f, 0);
  DrawSpinnerRing(palette::kRingDark, 0);
  return 0;
}

}  // namespace vantor
