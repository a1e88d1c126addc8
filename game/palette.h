// The game's colours, named by what they paint: every m_SetCol and clear of
// the game takes its colour from here. Red, green and blue from 0 to 255;
// the alpha stays with each drawing, since the same colour is drawn more or
// less opaque in different places. Used by every screen of game/.
#pragma once

namespace vantor {

struct Colour {
  float red, green, blue;
};

namespace palette {

// Art drawn as it is, and plain text.
inline constexpr Colour kWhite{255, 255, 255};
// Darkening over a screen (pause, game over, the menu's side panel) and the
// bank's sign board.
inline constexpr Colour kBlack{0, 0, 0};
// The night blue behind every screen of a run and the title menu, and the
// badge pop-up's box.
inline constexpr Colour kBackdrop{0, 0, 80};
// Each of the seventeen bands of the night sky adds this to the last.
inline constexpr Colour kSkyStep{0, 3, 10};

// The loader: its backdrop, the sun disc and the band across it.
inline constexpr Colour kLoaderBackdrop{40, 40, 80};
inline constexpr Colour kLoaderBand{250, 160, 60};
// The two rings of dots that turn around the sun.
inline constexpr Colour kRingLight{250, 250, 250};
inline constexpr Colour kRingDark{50, 50, 50};
// Also the loot line of the closing screen and the upper game-over band.
inline constexpr Colour kYellow{255, 255, 0};

// Boxes over the title menu (credits, badges): the frame, the inside, and
// the badge detail's panel. The frame's orange also writes the time bonus.
inline constexpr Colour kBoxFrame{255, 125, 0};
inline constexpr Colour kBoxInside{100, 0, 0};
inline constexpr Colour kDetailPanel{0, 40, 80};

// Phase 1: the keys, the code to type (also the tilt mark and "New
// Highscore"), the typed code while it matches and once it went wrong.
inline constexpr Colour kKeyGreen{0, 75, 0};
inline constexpr Colour kCodeGreen{100, 255, 100};
inline constexpr Colour kRightCode{150, 255, 150};
inline constexpr Colour kWrongCode{255, 150, 150};

// Lit signs: the BANK lettering, the street lamps' light, the pause menu's
// highlight.
inline constexpr Colour kSignYellow{255, 255, 100};

// Greys of the buildings and streets, from dark to light.
inline constexpr Colour kPillarShadow{60, 60, 60};
inline constexpr Colour kStreet{70, 70, 70};
inline constexpr Colour kWall{100, 100, 100};   // the bank's walls, the vault
inline constexpr Colour kFloor{120, 120, 120};  // the hall's floor, the pavement
inline constexpr Colour kFenceGround{140, 140, 140};
inline constexpr Colour kStone{150, 150, 150};  // the keypad's panel, pillars, blocks
inline constexpr Colour kLampPost{180, 180, 180};
inline constexpr Colour kSilver{200, 200, 200};  // pillar edges, bullets

// The fence to climb and the fence of the fight: frames and boards.
inline constexpr Colour kFenceFrame{150, 100, 0};
inline constexpr Colour kFenceBoard{150, 150, 100};
inline constexpr Colour kFightFenceFrame{120, 80, 0};
inline constexpr Colour kFightFenceBoard{100, 100, 60};

// The reload prompt, and its blink (also "[Game Over]").
inline constexpr Colour kPromptYellow{255, 255, 150};
inline constexpr Colour kAlertRed{255, 100, 100};

// The end of a run: the total line and the new-highscore box, the lower
// game-over band, the words GAME OVER.
inline constexpr Colour kTotalBlue{0, 125, 255};
inline constexpr Colour kBandOrange{255, 128, 0};
inline constexpr Colour kGameOverPink{255, 180, 180};

// The title menu's score lists and its sound button (also the pause menu's).
inline constexpr Colour kBestScores{255, 200, 100};
inline constexpr Colour kRecentScores{200, 255, 100};
inline constexpr Colour kSoundGreen{50, 250, 50};

// The pause menu: its resume and quit items, its panel and the bars above
// and below it.
inline constexpr Colour kResumeBlue{50, 50, 250};
inline constexpr Colour kQuitRed{255, 50, 50};
inline constexpr Colour kPauseBarTop{255, 255, 10};
inline constexpr Colour kPausePanel{255, 150, 10};
inline constexpr Colour kPauseBarBottom{10, 150, 255};

}  // namespace palette
}  // namespace vantor
