"""Title menu art "menu": 4 frames of 256x256 units (2 per row).

Frame 0: full-screen night-city background (drawn at size 3, centred).
Frame 2: the robber with his loot, large (drawn at size 2, left of centre).
Frame 1: foreground layer (size 3, centred, drawn last): banknotes and a
         hedge; transparent on the left where the robber stands and in the
         middle where the logo and start button go.

The game writes its two score lists at the right edge, over cell x 188 and
beyond (the side panel starts 140 units from the right of a 640-unit-wide
screen). Frame 0 puts a calm dark board there, and nothing busy (moon,
banknotes) is drawn over it, in a 4:3 and in a 16:9 window alike.
"""
import math
import random

import gfx
from svg import (OUT, rect, circle, ellipse, poly, path, line, group, lingrad, radgrad, f, CASH, CASH_L)


LIST_BOARD = (189, 58, 71, 140)  # x, y, w, h in cell units; runs off the right edge
MOON = (166, 76)                 # clear of the board and of the logo, over the bank
BANK_X = 122                     # the bank's name stays left of the board


def background():
    r = random.Random(7)
    s = ["<defs>%s%s%s</defs>" % (
        lingrad("sky", 0, 0, 0, 200, [(0, "#070922"), (0.55, "#16205a"), (0.85, "#3a2f72"), (1, "#6a3a6a")]),
        radgrad("moon", MOON[0], MOON[1], 34, [(0, "#fff8d8", 0.55), (0.4, "#fff0b0", 0.18), (1, "#fff0b0", 0)]),
        radgrad("siren", 250, 200, 90, [(0, "#ff3040", 0.45), (0.5, "#ff3040", 0.12), (1, "#ff3040", 0)])
        + radgrad("blueglow", 256, 214, 44, [(0, "#3a7cff", 0.55), (0.5, "#3a7cff", 0.15), (1, "#3a7cff", 0)]))]
    s.append(rect(0, 0, 256, 256, "url(#sky)"))
    for _ in range(70):
        x, y = r.random() * 256, r.random() * 140
        s.append(circle(x, y, 0.5 + r.random() * 0.5, "#ffffff", opacity=f(0.4 + 0.6 * r.random())))
    mx, my = MOON
    s.append(circle(mx, my, 34, "url(#moon)"))
    s.append(circle(mx, my, 11, "#fff3c4", OUT, 1))
    s.append(circle(mx - 1.5, my - 2.5, 8, "#fffbe6", opacity="0.6"))
    s.append(circle(mx - 4, my + 4, 2, "#e8d590"))
    s.append(circle(mx - 2, my - 4, 1.4, "#e8d590"))
    s.append(circle(250, 200, 90, "url(#siren)"))
    # far skyline
    x = -4
    while x < 260:
        w = 10 + r.random() * 16
        h = 40 + r.random() * 70
        top = 190 - h
        s.append(rect(x, top, w, h + 70, "#141a44"))
        for wy in range(int(top) + 4, 186, 6):
            for wx in range(int(x) + 3, int(x + w) - 3, 5):
                if r.random() < 0.3:
                    s.append(rect(wx, wy, 2, 3, "#f6d36a" if r.random() < 0.8 else "#9ad0ff",
                                  opacity=f(0.5 + 0.5 * r.random())))
        x += w + 1 + r.random() * 3
    # the bank: a stone facade with columns and a pediment, on the right
    bx = BANK_X
    s.append(rect(bx, 120, 96, 80, "#4a4a66", OUT, 1.2))
    s.append(poly([(bx - 6, 120), (bx + 48, 96), (bx + 102, 120)], "#5a5a7a", OUT, 1.2))
    s.append(poly([(bx + 8, 117), (bx + 48, 100), (bx + 88, 117)], "#44445e"))
    s.append(rect(bx - 4, 118, 104, 5, "#6a6a8c", OUT, 1))
    for k in range(6):
        cx = bx + 8 + k * 16
        s.append(rect(cx, 124, 8, 66, "#7a7a9c", OUT, 1))
        s.append(rect(cx + 1.5, 125, 2, 64, "#9a9abc"))
    s.append(rect(bx + 40, 160, 16, 30, "#f6d36a", OUT, 1))   # lit doorway
    s.append(rect(bx - 6, 190, 108, 4, "#6a6a8c", OUT, 1))
    s.append(rect(bx - 10, 194, 116, 4, "#5a5a7a", OUT, 1))
    # "BANK" on the pediment in pixel letters
    import ui
    s.append(ui.pixel_text("BANK", bx + 48 - ui.text_width("BANK", 1.4) / 2, 106, 1.4, "#f2c431"))
    # street
    s.append(rect(0, 198, 256, 58, "#1c1c2c"))
    s.append(rect(0, 198, 256, 3, "#3a3a52"))
    for k in range(8):
        s.append(rect(6 + k * 34, 224, 18, 2.5, "#c8b860", opacity="0.7"))
    # red and blue glow of police lights coming from the right
    s.append(rect(200, 160, 56, 96, "url(#blueglow)"))
    # the board behind the score lists
    x, y, w, h = LIST_BOARD
    s.append(rect(x, y, w, h, "#070a1e", "#2a3370", 1, rx=3, opacity="0.86"))
    return "".join(s)


def figure_big():
    """The robber from the gameplay sheet, scaled up, with the fat cash sack."""
    pose = dict(hip=(30, 40), neck=(30.5, 26.5), head=(31.5, 18.5),
                near_leg=[(35, 49.5), (38, 57.5)], far_leg=[(26, 49.5), (23, 57.5)],
                near_arm=[(32, 27.5), (37.5, 33), (34, 38.5)], far_arm=[(29, 27.5), (24, 23), (24, 16.5)])
    s = []
    # the sack over his shoulder (the start-button bag, behind him)
    s.append(group(gfx.cash_bag(), transform="translate(3,-9) scale(0.55) rotate(-18 32 32)"))
    s.append(gfx.figure(gfx.ROBBER, pose, 1))
    # ground shadow
    return (ellipse(60, 229, 46, 5, "#000000", opacity="0.4") +
            group(s, transform="translate(-29,66) scale(2.8)"))


def foreground():
    r = random.Random(11)
    s = []
    # hedge and kerb along the bottom right, clear of the robber on the left
    s.append(path("M96,256 L96,214 Q104,200 116,208 Q126,196 138,206 Q150,194 162,205 Q174,193 186,204 "
                  "Q198,192 210,203 Q222,193 234,204 Q246,196 258,204 L258,256 Z",
                  fill="#1f5a2e", stroke=OUT, sw=1.5))
    for k in range(16):
        x = 104 + k * 10 + r.random() * 4
        y = 212 + r.random() * 12
        s.append(circle(x, y, 3 + r.random() * 2, "#2f7a3c"))
        s.append(circle(x - 1, y - 1, 1.5, "#4a9a50"))
    s.append(rect(90, 238, 170, 20, "#5a5a70", OUT, 1.5))
    s.append(rect(90, 238, 170, 3, "#8a8aa0"))
    # banknotes fluttering down in front of the bank, below its name
    for k in range(5):
        x = 130 + r.random() * 46
        y = 128 + r.random() * 56
        a = r.random() * 360
        s.append(group([rect(-7, -4, 14, 8, CASH_L, OUT, 1, rx=1), circle(0, 0, 2, CASH),
                         rect(-5.5, -2.5, 2, 2, CASH), rect(3.5, 0.5, 2, 2, CASH)],
                        transform="translate(%s,%s) rotate(%s) scale(1,%s)" % (
                            f(x), f(y), f(a), f(0.5 + 0.5 * r.random()))))
    return "".join(s)


def sheets():
    frames = {0: background(), 1: foreground(), 2: figure_big()}
    return [("menu", 256, 256, 2, 2, frames, gfx.DEFS, {0: "background", 1: "foreground", 2: "figure"})]
