"""Interface sheets: icons, buttons, d-pad, iCade icon, the studio mark,
the title logo, particles and badges. Vector drawings as code.

Sheets the game tints (icons, d-pad, buttons) are white and light greys with
dark outlines, so the tint colour shows true.
"""
import math
import os

from svg import (OUT, CAR, CAR_L, CAR_D, RED, BLUE, GOLD, CASH, CASH_L, SACK, SACK_L, SACK_D,
                 rect, circle, ellipse, poly, path, line, group, lingrad, radgrad, f, pts)

HERE = os.path.dirname(os.path.abspath(__file__))
LIGHT = "#f4f4f4"
MID = "#c4c4c8"
SYM = "#26222e"      # symbol colour on tinted buttons (stays dark)
RESUME_DISC = "#303036"


def glyphs():
    import fonts
    return fonts.load_glyphs(os.path.join(HERE, "..", "fonts", "glyphs.txt"))


def pixel_text(text, x, y, px, fill, shadow=None):
    """Text from the pixel font glyph grids as SVG squares; (x, y) top-left."""
    g = glyphs()
    out = []
    for layer, col, off in ((0, shadow, px), (1, fill, 0)):
        if col is None:
            continue
        cx = x
        for ch in text:
            rows = g.get(ord(ch))
            if rows:
                for gy, row in enumerate(rows):
                    for gx, c in enumerate(row):
                        if c == "#":
                            out.append(rect(cx + gx * px + off, y + gy * px + off, px, px, col))
            cx += 6 * px
    return "".join(out)


def text_width(text, px):
    return (6 * len(text) - 1) * px


GDEFS = "".join([
    radgrad("btn", 0.35, 0.3, 0.75, [(0, "#ffffff"), (0.6, "#ececec"), (1, "#b4b4ba")], user=False),
    lingrad("pad", 0, 0, 1, 1, [(0, "#ffffff"), (0.6, "#e6e6ea"), (1, "#b0b0b8")], user=False),
])


def disc(cx, cy, r):
    return circle(cx, cy, r, "url(#btn)", OUT, max(1.2, r / 10))


# ---------------------------------------------------------------- icons 32x32

def icon(i):
    c = 16
    if i == 0:    # pause
        return disc(c, c, 13) + rect(10.5, 9.5, 4, 13, SYM, rx=1) + rect(17.5, 9.5, 4, 13, SYM, rx=1)
    if i == 1:    # quit: a cross
        return disc(c, c, 13) + path("M11,11 L21,21 M21,11 L11,21", stroke=SYM, sw=3.6)
    if i == 2:    # home
        return disc(c, c, 13) + poly([(9, 16), (16, 9.5), (23, 16), (21, 16), (21, 22.5), (11, 22.5), (11, 16)], SYM)
    if i == 3:    # resume: a play triangle cut out of a dark disc
        return resume_disc(c, 13)
    if i in (4, 5):   # sound on / off
        s = disc(c, c, 13) + poly([(8, 13), (11.5, 13), (16, 9), (16, 23), (11.5, 19), (8, 19)], SYM, SYM, 1)
        if i == 4:
            s += path("M18.5,13 Q20.5,16 18.5,19", stroke=SYM, sw=1.8)
            s += path("M21,10.5 Q25,16 21,21.5", stroke=SYM, sw=1.8)
        else:
            s += path("M18.5,12.5 L24,19.5 M24,12.5 L18.5,19.5", stroke=SYM, sw=2.4)
        return s
    if i == 6:    # highlight ring
        return (circle(c, c, 13.5, "none", OUT, 4.6) + circle(c, c, 13.5, "none", "#ffffff", 2.6) +
                circle(c, c, 15.4, "none", "#ffffff", 1, opacity="0.45"))
    if i == 7:    # recalibrate: target with turning arrows
        s = disc(c, c, 13) + circle(c, c, 6.5, "none", SYM, 1.6) + circle(c, c, 1.8, SYM)
        s += path("M16,5.5 L16,10 M16,22 L16,26.5 M5.5,16 L10,16 M22,16 L26.5,16", stroke=SYM, sw=1.6)
        return s
    if i == 8:    # one note (music mode 1)
        return disc(c, c, 13) + note(13, 20)
    if i == 9:    # two notes
        return disc(c, c, 13) + note(11, 21) + note(19, 19)
    if i == 10:   # notes and speaker
        return disc(c, c, 13) + pixel_text("3", 13, 10, 1.5, SYM)
    if i == 11:   # star
        return disc(c, c, 13) + star(c, c + 0.5, 8, 3.6, SYM)
    if i == 12:   # check
        return disc(c, c, 13) + path("M9.5,16.5 L14,21 L22.5,11", stroke=SYM, sw=3.2)
    if i == 13:   # info
        return disc(c, c, 13) + rect(14.3, 14, 3.4, 9, SYM, rx=1) + circle(16, 10.5, 2, SYM)
    return ""


def resume_disc(c, r):
    """The pause menu tints this icon blue, and a tint can only darken: a
    dark symbol on a blue disc never gets past 3:1. So the disc is dark
    (navy once tinted) and the play triangle is a hole in it, through which
    the pause menu's orange panel shows at well over 4.5:1."""
    ring = "M%s,%s a%s,%s 0 1,0 %s,0 a%s,%s 0 1,0 %s,0 Z" % (
        f(c - r), f(c), f(r), f(r), f(2 * r), f(r), f(r), f(-2 * r))
    hole = "M12,8.5 L24,16 L12,23.5 Z"
    return (path(ring + " " + hole, fill=RESUME_DISC, stroke=OUT, sw=max(1.2, r / 10), fill_rule="evenodd") +
            circle(c, c, r - 2, "none", MID, 1))


def note(x, y):
    return ellipse(x, y, 2.8, 2.2, SYM, transform="rotate(-20 %s %s)" % (f(x), f(y))) + \
        line([(x + 2.4, y - 0.5), (x + 2.4, y - 10)], SYM, 1.5) + \
        path("M%s,%s q3,1 3,4" % (f(x + 2.4), f(y - 10)), stroke=SYM, sw=1.4)


def star(cx, cy, ro, ri, fill, stroke=None, sw=1, n=5, rot=-90):
    p = []
    for k in range(2 * n):
        r = ro if k % 2 == 0 else ri
        a = math.radians(rot + 180.0 * k / n)
        p.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return poly(p, fill, stroke, sw)


# ---------------------------------------------------------------- buttons 64x64

def button(i):
    c = 32
    base = circle(c, c + 1.5, 27, "#000000", opacity="0.3") + circle(c, c, 27, "url(#btn)", OUT, 2)
    base += circle(c, c, 22.5, "none", MID, 1.5)
    if i < 4:
        t = "ABXY"[i]
        return base + pixel_text(t, c - 7.5, c - 11, 3, SYM)
    if i < 8:
        ang = [270, 180, 0, 90][i - 4]   # up, left, right, down
        return base + group(poly([(c, 16), (c + 13, c + 2), (c + 5, c + 2), (c + 5, 46), (c - 5, 46),
                                  (c - 5, c + 2), (c - 13, c + 2)], SYM),
                            transform="rotate(%d %d %d)" % (ang + 90, c, c))
    if i == 8:
        return base + rect(22, 19, 7, 26, SYM, rx=1.5) + rect(35, 19, 7, 26, SYM, rx=1.5)
    if i == 9:
        return base + poly([(25, 18), (46, 32), (25, 46)], SYM, SYM, 2)
    if i == 10:
        return base + "".join(rect(19, 21 + 9 * k, 26, 4.5, SYM, rx=1.5) for k in range(3))
    if i == 11:
        return base + path("M19,33 L28,42 L45,22", stroke=SYM, sw=6)
    if i == 12:
        return base + path("M21,21 L43,43 M43,21 L21,43", stroke=SYM, sw=6)
    if i == 13:
        return base + star(c, c + 1, 16, 7, SYM)
    if i == 14:
        return base + path("M32,18 L32,46 M18,32 L46,32", stroke=SYM, sw=6)
    return base + path("M18,32 L46,32", stroke=SYM, sw=6)


# ---------------------------------------------------------------- d-pad 32x32, 4 per row

def dpad(i):
    if i == 0:   # action button
        return (circle(16, 17, 13.5, "#000000", opacity="0.3") + circle(16, 16, 13.5, "url(#btn)", OUT, 1.5) +
                circle(16, 16, 9.5, "none", MID, 1.5) + circle(13, 12.5, 3, "#ffffff", opacity="0.9"))
    arms = {1: 0, 6: 90, 9: 180, 4: 270}
    if i in arms:
        # an arm of the cross: open towards the centre cell, arrow pointing out
        body = path("M3.5,32.5 L3.5,6 Q3.5,2 7.5,2 L24.5,2 Q28.5,2 28.5,6 L28.5,32.5", fill="url(#pad)",
                    stroke=OUT, sw=1.5)
        arrow = poly([(16, 8), (23, 17), (9, 17)], SYM)
        grip = path("M11,22 L21,22 M11,26 L21,26", stroke=MID, sw=1.4)
        return group([body, arrow, grip], transform="rotate(%d 16 16)" % arms[i])
    if i == 5:   # centre
        return (rect(-0.5, 3.5, 33, 25, "url(#pad)") + rect(3.5, -0.5, 25, 33, "url(#pad)") +
                path("M-1,3.5 L3.5,3.5 L3.5,-1 M28.5,-1 L28.5,3.5 L33,3.5 M33,28.5 L28.5,28.5 L28.5,33 "
                     "M3.5,33 L3.5,28.5 L-1,28.5", stroke=OUT, sw=1.5) +
                circle(16, 16, 7, "#d8d8dc", MID, 1.5))
    return ""


# ---------------------------------------------------------------- iCade 64x64

def icade(on):
    body_top = "#e23c32" if on else "#6e6a72"
    body_side = "#9a1f1a" if on else "#48444c"
    s = [ellipse(32, 53, 28, 4, "#000000", opacity="0.35"),
         # the cabinet base of the controller, in perspective
         poly([(5, 36), (16, 24), (59, 24), (59, 38), (48, 50), (5, 50)], body_side, OUT, 1.5),
         poly([(5, 36), (16, 24), (59, 24), (48, 36)], body_top, OUT, 1.5),
         # joystick
         ellipse(20, 31, 6, 2.6, "#1c1c22", OUT, 1),
         line([(20, 31), (19, 15)], OUT, 4), line([(20, 31), (19, 15)], "#b8b8c0", 2),
         circle(19, 13.5, 5, "#e8463c" if on else "#8a8690", OUT, 1.2),
         circle(17.6, 12, 1.6, "#ffffff", opacity="0.8")]
    cols = ["#ffd84a", "#5ad06a", "#4aa8ff", "#ff7ad0"] if on else ["#9a969e"] * 4
    for k, (bx, by) in enumerate(((33, 29), (40, 29), (47, 29), (36.5, 32.5))):
        s.append(ellipse(bx, by, 2.8, 1.4, cols[k], OUT, 0.9))
    # status light, and the state written on the front face: a greyed-out
    # controller with a dark light saying "OFF" (no cross: in the window's
    # top-right corner a cross reads as a close button)
    s.append(circle(52, 43, 2.6, "#3cff6a" if on else "#3a3a40", OUT, 1))
    if on:
        s.append(circle(52, 43, 4.6, "#3cff6a", opacity="0.35"))
    word = "ON" if on else "OFF"
    s.append(pixel_text(word, 26.5 - text_width(word, 1.4) / 2, 37.6, 1.4,
                        "#ffffff" if on else "#d8d6dc", OUT))
    return "".join(s)


# ---------------------------------------------------------------- studio mark 256x256

def zova():
    c = 128
    s = [circle(c + 4, c + 6, 104, "#000000", opacity="0.35"),
         radgrad("zbg", 0.35, 0.3, 0.85, [(0, "#2f4f9a"), (0.6, "#1c2a66"), (1, "#10163c")], user=False),
         circle(c, c, 104, "url(#zbg)", OUT, 4),
         circle(c, c, 94, "none", "#55d6c8", 5),
         circle(c, c, 86, "none", "#ffffff", 3, opacity="0.35")]
    # the mark: two interlocking chevrons forming an abstract Z, and an orbiting dot
    s.append(poly([(68, 62), (176, 62), (120, 118), (152, 118), (130, 140), (68, 140), (124, 84), (92, 84)],
                  "#f5f3ea", OUT, 3))
    s.append(poly([(80, 142), (134, 142), (96, 180), (188, 180), (166, 202), (58, 202), (104, 156), (66, 156)],
                  "#ffb02e", OUT, 3))
    s.append(circle(182, 84, 15, "#55d6c8", OUT, 3))
    s.append(circle(178, 80, 5, "#ffffff", opacity="0.8"))
    # wordmark
    w = text_width("ZOVA", 4)
    s.append(pixel_text("ZOVA", c - w / 2 + 8, 206, 4, "#ffffff", "#0a0e26"))
    # kept within a radius of about 76 so the mark also fits the credits
    # button, which the title menu draws at half size near the bottom edge
    body = "".join(s).replace('<radialGradient', '<defs><radialGradient').replace(
        '</radialGradient>', '</radialGradient></defs>')
    return group(body, transform="translate(128,122) scale(0.72) translate(-128,-128)")


# ---------------------------------------------------------------- title logo 256x128

LETTERS = {
    "V": "M0,0 L10,0 L18,36 L26,0 L36,0 L23,56 L13,56 Z",
    "A": "M13,0 L23,0 L36,56 L26,56 L23.5,45 L12.5,45 L10,56 L0,56 Z M14.8,35 L21.2,35 L18,19 Z",
    "N": "M0,0 L10,0 L26,33 L26,0 L36,0 L36,56 L26,56 L10,23 L10,56 L0,56 Z",
    "T": "M0,0 L36,0 L36,10 L23,10 L23,56 L13,56 L13,10 L0,10 Z",
    "O": "M12,0 L24,0 Q36,0 36,12 L36,44 Q36,56 24,56 L12,56 Q0,56 0,44 L0,12 Q0,0 12,0 Z "
         "M14,10 Q10,10 10,14 L10,42 Q10,46 14,46 L22,46 Q26,46 26,42 L26,14 Q26,10 22,10 Z",
    "R": "M0,0 L24,0 Q36,0 36,13 L36,18 Q36,28 28,30.5 L37,56 L26,56 L18.5,32 L10,32 L10,56 L0,56 Z "
         "M10,10 L23,10 Q26,10 26,13.5 L26,18.5 Q26,22 23,22 L10,22 Z",
}


# The title menu draws the sound button (a disc of radius 26 units) over the
# logo's cell, centred at cell (192, 0) in a 4:3 window and at (192, 24) in
# a 16:9 one, where the virtual screen is only 360 units high. The lettering
# therefore sits in the lower part of the cell, below the disc.
LOGO_TOP = 55                    # top of the letters
LOGO_HEIGHT = 46                 # letter height (drawn 56 tall, squeezed)
LOGO_RIBBON = 114                # centre line of the tagline ribbon


def logo():
    word = "VANTOR"
    lw, gap = 36, 3.5
    total = len(word) * lw + (len(word) - 1) * gap
    x0 = (256 - total) / 2
    y0 = LOGO_TOP
    sy = LOGO_HEIGHT / 56
    defs = lingrad("gold", 0, 0, 0, 56, [(0, "#fff7c0"), (0.35, "#ffd23a"), (0.7, "#f08a12"),
                                          (1, "#b8460a")])
    letters = []
    for k, ch in enumerate(word):
        letters.append((x0 + k * (lw + gap), LETTERS[ch]))
    sk = "skewX(-10)"
    s = ["<defs>%s</defs>" % defs]

    def layer(dx, dy, fill, stroke, sw, extra=""):
        return "".join('<path transform="translate(128,%s) scale(0.88,%s) translate(-128,0) '
                       'translate(%s,%s) %s translate(%s,0)" d="%s" fill="%s" '
                       'fill-rule="evenodd" stroke="%s" stroke-width="%s" stroke-linejoin="round"%s/>'
                       % (f(y0), f(sy), f(dx + 7), f(dy), sk, f(x), d, fill, stroke, f(sw), extra)
                       for x, d in letters)
    s.append(layer(4, 4, "#0a0a18", "#0a0a18", 6, ' opacity="0.6"'))
    s.append(layer(0, 0, OUT, OUT, 7))
    s.append(layer(0, 0, "url(#gold)", "none", 0))
    # banner underneath: "BANK JOB" tagline in pixel letters on a red ribbon
    r = LOGO_RIBBON
    s.append(poly([(40, r - 8), (216, r - 8), (224, r), (216, r + 8), (40, r + 8), (32, r)], "#b81c22", OUT, 2))
    tag = "THE BANK JOB"
    w = text_width(tag, 1.5)
    s.append(pixel_text(tag, 128 - w / 2, r - 4.8, 1.5, "#fff3d0", "#4a0608"))
    # sparkles, left and right of the word
    s.append(star(14, y0 + 4, 7, 2, "#ffffff", OUT, 1, n=4, rot=-90))
    s.append(star(242, y0 + 36, 5, 1.5, "#ffffff", OUT, 1, n=4, rot=-90))
    return "".join(s)


# ---------------------------------------------------------------- particles 8x8

def part(i):
    cols = ["#ffffff", "#ffe27a", "#ff9a2a", "#e4262a", "#8a8690", "#4a4650", "#2a6cf0", "#e4262a"]
    if i < 8:
        return circle(4, 4, 2.6, cols[i], OUT, 0.8) + circle(3.2, 3.2, 0.8, "#ffffff", opacity="0.7")
    if i == 8:    # coin
        return circle(4, 4, 3, GOLD, OUT, 0.8) + rect(3.4, 2.2, 1.2, 3.6, "#b88a10")
    if i == 9:    # banknote
        return rect(0.8, 2, 6.4, 4, CASH_L, OUT, 0.7) + circle(4, 4, 1, CASH)
    if i == 10:   # glass shard
        return poly([(2, 1.5), (6.5, 3), (4, 6.5)], "#bfe4ff", OUT, 0.7)
    if i == 11:   # bullet
        return rect(1, 3, 6, 2.4, "#c9a44a", OUT, 0.7, rx=1.1)
    if i == 12:   # spark star
        return star(4, 4, 3.6, 1.2, "#fff6c0", OUT, 0.6, n=4)
    if i == 13:   # debris
        return poly([(1.5, 2.5), (5.5, 1.5), (6.5, 5.5), (2.5, 6.5)], "#6a6670", OUT, 0.7)
    if i == 14:   # smoke puff
        return circle(4, 4, 3.2, "#9a96a0", opacity="0.7")
    return circle(4, 4, 3.2, "#ffffff", opacity="0.5")


# ---------------------------------------------------------------- badges 64x64

def badge(i):
    if i > 7:
        return ""
    metal = [("#fff2a0", "#f2c431", "#a87a10"), ("#ffe6c0", "#d08a4a", "#7a4a1a"),
             ("#ffffff", "#c8ccd4", "#7a808c")][i % 3]
    gid = "medal%d" % i
    s = ["<defs>%s</defs>" % radgrad(gid, 0.35, 0.3, 0.8, [(0, metal[0]), (0.55, metal[1]), (1, metal[2])], user=False)]
    # ribbon
    rib = ["#d8302a", "#2a6cf0", "#2f9a48", "#8a3ac8"][i % 4]
    s.append(poly([(20, 2), (30, 2), (36, 26), (26, 26)], rib, OUT, 1.2))
    s.append(poly([(44, 2), (34, 2), (28, 26), (38, 26)], rib, OUT, 1.2))
    s.append(circle(33, 43, 18, "#000000", opacity="0.3"))
    s.append(circle(32, 41, 18, "url(#%s)" % gid, OUT, 1.5))
    s.append(circle(32, 41, 14, "none", metal[2], 1.2))
    if i == 0:    # the test badge: a check mark
        s.append(path("M24,41 L30,47 L41,34", stroke=OUT, sw=5))
        s.append(path("M24,41 L30,47 L41,34", stroke="#ffffff", sw=2.4))
    elif i == 1:
        s.append(star(32, 41.5, 10, 4.2, "#ffffff", OUT, 1.2))
    elif i == 2:
        s.append(pixel_text("$", 28.5, 33, 1.6, OUT))
        s.append(pixel_text("$", 27.5, 32, 1.6, "#ffffff"))
    elif i == 3:
        s.append(circle(32, 41, 8, "#ffffff", OUT, 1.2) + path("M32,36 L32,41 L36,43", stroke=OUT, sw=1.6))
    else:
        s.append(BADGE_EMBLEMS[i - 4]())
    return "".join(s)


# Emblems of badges 4 to 7, white with dark outlines like the others:
# a getaway car, a vault key, a crosshair and a crown.
def emblem_car():
    return (path("M20,45 L20,40 Q20,38 22,38 L26,38 L29,33.5 L37,33.5 L40.5,38 L42.5,38 Q44,38 44,40 "
                 "L44,45 Z", fill="#ffffff", stroke=OUT, sw=1.2) +
            rect(29.5, 35, 7, 3, OUT) + circle(26, 45.5, 2.8, OUT) + circle(38, 45.5, 2.8, OUT) +
            circle(26, 45.5, 1.1, "#c8ccd4") + circle(38, 45.5, 1.1, "#c8ccd4"))


def emblem_key():
    return (path("M29,41 L43,41 M40,41 L40,45.5 M43,41 L43,44.5", stroke=OUT, sw=4.4) +
            path("M29,41 L43,41 M40,41 L40,45.5 M43,41 L43,44.5", stroke="#ffffff", sw=2) +
            circle(25, 41, 5, "none", OUT, 4.4) + circle(25, 41, 5, "none", "#ffffff", 2))


def emblem_crosshair():
    ticks = "M32,31 L32,36 M32,46 L32,51 M22,41 L27,41 M37,41 L42,41"
    return (circle(32, 41, 7.5, "none", OUT, 4.2) + circle(32, 41, 7.5, "none", "#ffffff", 1.8) +
            path(ticks, stroke=OUT, sw=4.2) + path(ticks, stroke="#ffffff", sw=1.8) +
            circle(32, 41, 1.8, "#ffffff", OUT, 1))


def emblem_crown():
    return (poly([(22, 47), (21, 35.5), (27, 40.5), (32, 33), (37, 40.5), (43, 35.5), (42, 47)],
                 "#ffffff", OUT, 1.2) +
            rect(22, 44, 20, 3, "#c8ccd4", OUT, 1) + circle(32, 33, 1.6, "#ffffff", OUT, 0.9))


BADGE_EMBLEMS = (emblem_car, emblem_key, emblem_crosshair, emblem_crown)


def sheets():
    out = []
    out.append(("common/icons", 32, 32, 4, 4, {i: icon(i) for i in range(16)}, GDEFS,
                {0: "pause", 1: "quit", 3: "resume", 4: "snd on", 5: "snd off", 6: "ring", 7: "calib"}))
    out.append(("common/Buttons", 64, 64, 4, 4, {i: button(i) for i in range(16)}, GDEFS, None))
    out.append(("common/dpad", 32, 32, 4, 4, {i: dpad(i) for i in range(16)}, GDEFS,
                {0: "action", 1: "up", 4: "left", 5: "centre", 6: "right", 9: "down"}))
    out.append(("common/icade", 64, 64, 2, 1, {0: icade(False), 1: icade(True)}, "", {0: "off", 1: "on"}))
    out.append(("common/ZOVALogo", 256, 256, 1, 1, {0: zova()}, "", None))
    out.append(("logo", 256, 128, 1, 1, {0: logo()}, "", None))
    out.append(("parts", 8, 8, 4, 4, {i: part(i) for i in range(16)}, "", None))
    out.append(("BadgesA", 64, 64, 8, 8, {i: badge(i) for i in range(64)}, "", {0: "test"}))
    return out
