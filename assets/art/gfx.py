"""The gameplay sprite sheet "gfx": 64 frames of 64x64 units, 8 per row.

Vector drawings written as code: every figure is built from one skeleton
(head, torso, two arms, two legs) posed per frame, so the robber and the
cop look the same in every frame they appear in. Light comes from the top
left everywhere; outlines are 1 unit, so no line is thinner than one base
pixel at any scale.
"""
import math
import random

from svg import (OUT, SKIN, SKIN_D, BEANIE, BEANIE_L, MASK, SHIRT_L, SHIRT_D, PANTS, PANTS_D,
                 SHOE, SACK, SACK_L, SACK_D, CASH, CASH_L, CAR, CAR_L, CAR_D, GLASS, GLASS_L,
                 TYRE, RIM, CHROME, COP, COP_D, COP_CAP, GOLD, POL_W, POL_K, RED, RED_L, BLUE,
                 BLUE_L, GUN, GUN_L, STRIPE, CONCRETE, CONCRETE_L, CONCRETE_D, HAZARD,
                 rect, circle, ellipse, poly, path, line, limb, group, lingrad, radgrad, f, pts)

CELL = 64
COLS = 8
ROWS = 8
FRAMES = 64

DEFS = "".join([
    # horizontal shirt stripes, 2 units light, 2 units dark
    '<pattern id="stripes" patternUnits="userSpaceOnUse" x="0" y="0" width="8" height="4">'
    '<rect x="0" y="0" width="8" height="2" fill="%s"/>'
    '<rect x="0" y="2" width="8" height="2" fill="%s"/></pattern>' % (SHIRT_L, SHIRT_D),
    '<pattern id="stripesd" patternUnits="userSpaceOnUse" x="0" y="0" width="8" height="4">'
    '<rect x="0" y="0" width="8" height="2" fill="#c8c8c4"/>'
    '<rect x="0" y="2" width="8" height="2" fill="#23253a"/></pattern>',
    radgrad("sackg", 0.35, 0.3, 0.8, [(0, SACK_L), (0.55, SACK), (1, SACK_D)], user=False),
    lingrad("carside", 0, 20, 0, 46, [(0, CAR_L), (0.45, CAR), (1, CAR_D)]),
    lingrad("glass", 0, 21, 0, 29, [(0, GLASS_L), (1, GLASS)]),
    lingrad("rearbody", 0, 28, 0, 52, [(0, CAR_L), (0.4, CAR), (1, CAR_D)]),
    lingrad("rearpol", 0, 28, 0, 52, [(0, "#ffffff"), (0.5, POL_W), (1, "#b8bcc4")]),
    lingrad("rearglass", 0, 14, 0, 30, [(0, GLASS_L), (1, GLASS)]),
    lingrad("concrete", 0, 34, 0, 60, [(0, CONCRETE_L), (0.5, CONCRETE), (1, CONCRETE_D)]),
    radgrad("heart", 0.35, 0.3, 0.8, [(0, "#ff9a8a"), (0.45, RED), (1, "#8e1016")], user=False),
])


# ---------------------------------------------------------------- figures

ROBBER = dict(shirt="url(#stripes)", shirt_far="url(#stripesd)", pants=PANTS, pants_far=PANTS_D,
              hand=SKIN, hand_far=SKIN_D, kind="robber")
COPLOOK = dict(shirt=COP, shirt_far=COP_D, pants=COP_D, pants_far="#151d46",
               hand=SKIN, hand_far=SKIN_D, kind="cop")


def mirror(p, facing):
    x, y = p
    return (32 + (x - 32) * facing, y)


def head(hx, hy, facing, look):
    """Side-view head centred at (hx, hy), radius 6, facing +1 right / -1 left."""
    s = []
    d = facing
    # neck
    s.append(limb([(hx - 1 * d, hy + 4), (hx - 1.5 * d, hy + 7)], SKIN_D, 3.5))
    s.append(circle(hx, hy, 6, SKIN, OUT, 1))
    # nose
    s.append(circle(hx + 5.6 * d, hy + 1.2, 1.6, SKIN, OUT, 1))
    s.append(circle(hx, hy, 5.5, SKIN))
    # shade on the lower right of the face (light from the top left)
    s.append(path("M%s,%s A6,6 0 0 1 %s,%s A7,7 0 0 0 %s,%s Z" % (
        f(hx + 5.2), f(hy + 3), f(hx - 3), f(hy + 5.2), f(hx + 5.2), f(hy + 3)),
        fill=SKIN_D, opacity="0.55"))
    if look["kind"] == "robber":
        # beanie: dark cap over the top half, with a folded band
        s.append(path("M%s,%s A6.6,6.6 0 0 1 %s,%s L%s,%s L%s,%s Z" % (
            f(hx - 6.6), f(hy - 0.5), f(hx + 6.6), f(hy - 0.5), f(hx + 6.6), f(hy - 1.2),
            f(hx - 6.6), f(hy - 1.2)), fill=BEANIE, stroke=OUT, sw=1))
        s.append(rect(hx - 6.8, hy - 2.6, 13.6, 2.6, BEANIE_L, OUT, 1, rx=1))
        s.append(circle(hx - 1.5 * d, hy - 7.2, 1.6, BEANIE_L, OUT, 1))
        # black eye mask band with an eye hole
        s.append(rect(hx - 6 if d > 0 else hx - 6.4, hy - 0.2, 12.4, 3, MASK))
        ex = hx + 2.8 * d
        s.append(circle(ex, hy + 1.3, 1.3, "#ffffff"))
        s.append(circle(ex + 0.4 * d, hy + 1.3, 0.7, OUT))
        # mouth
        s.append(line([(hx + 3.2 * d, hy + 4.2), (hx + 4.8 * d, hy + 3.8)], OUT, 1))
    else:
        # police cap: crown, band and visor, gold badge
        s.append(path("M%s,%s L%s,%s L%s,%s L%s,%s Z" % (
            f(hx - 6.8), f(hy - 1.4), f(hx - 5.5 if d > 0 else hx - 7.5), f(hy - 8.5),
            f(hx + 7.5 if d > 0 else hx + 5.5), f(hy - 8.5), f(hx + 6.8), f(hy - 1.4)),
            fill=COP_CAP, stroke=OUT, sw=1))
        s.append(rect(hx - 6.8, hy - 3.2, 13.6, 2.2, "#0f1430", OUT, 1))
        s.append(line([(hx + 2 * d, hy - 1.2), (hx + 9 * d, hy - 0.4)], OUT, 2.6))
        s.append(line([(hx + 2 * d, hy - 1.2), (hx + 8.6 * d, hy - 0.5)], "#0f1430", 1.2))
        s.append(circle(hx + 2.5 * d, hy - 5.6, 1.5, GOLD, OUT, 0.8))
        ex = hx + 2.8 * d
        s.append(circle(ex, hy + 0.9, 1.3, "#ffffff", OUT, 1))
        s.append(circle(ex + 0.4 * d, hy + 0.9, 0.6, OUT))
        # moustache
        s.append(line([(hx + 2.6 * d, hy + 3.4), (hx + 5.0 * d, hy + 3.4)], "#5a3a22", 1.4))
    return "".join(s)


def head_back(hx, hy, look):
    """Head seen from behind (climbing)."""
    s = [limb([(hx, hy + 4), (hx, hy + 7)], SKIN_D, 4),
         circle(hx, hy, 6, SKIN, OUT, 1),
         ellipse(hx - 6.1, hy + 1, 1.4, 2, SKIN, OUT, 1), ellipse(hx + 6.1, hy + 1, 1.4, 2, SKIN_D, OUT, 1),
         path("M%s,%s A6.6,6.6 0 0 1 %s,%s L%s,%s L%s,%s Z" % (
             f(hx - 6.6), f(hy + 1.5), f(hx + 6.6), f(hy + 1.5), f(hx + 6.6), f(hy + 2),
             f(hx - 6.6), f(hy + 2)), fill=BEANIE, stroke=OUT, sw=1),
         rect(hx - 6.8, hy - 0.6, 13.6, 2.6, BEANIE_L, OUT, 1, rx=1),
         circle(hx, hy - 7.2, 1.6, BEANIE_L, OUT, 1),
         # mask knot at the back
         rect(hx - 6.2, hy + 2.2, 12.4, 1.8, MASK),
         line([(hx, hy + 3), (hx - 2, hy + 7)], MASK, 1.2), line([(hx, hy + 3), (hx + 2, hy + 7)], MASK, 1.2)]
    return "".join(s)


def shoe(ankle, facing, color=SHOE):
    x, y = ankle
    d = facing
    return poly([(x - 2 * d, y - 2), (x + 1 * d, y - 2.4), (x + 4.5 * d, y + 0.2),
                 (x + 4.5 * d, y + 2), (x - 2.2 * d, y + 2)], color, OUT, 1)


def gun(hand, facing, aim=0.0):
    """Pistol held at `hand`, pointing forward (facing), aim in degrees up."""
    x, y = hand
    d = facing
    a = math.radians(aim)
    ca, sa = math.cos(a), math.sin(a)

    def P(u, v):  # u forward, v down
        return (x + d * (u * ca + v * sa), y + (-u * sa + v * ca))
    body = [P(-1.5, -2.6), P(7, -2.6), P(7, -0.6), P(1.8, -0.6), P(1.2, 3.2), P(-1.8, 3.2)]
    return (poly(body, GUN, OUT, 1) + line([P(-1, -2), P(6, -2)], GUN_L, 1, cap="butt"))


def figure(look, pose, facing=1):
    """Draw a posed side-view figure. Pose coordinates are for a figure facing
    right; facing -1 mirrors the geometry (not the light)."""
    m = lambda p: mirror(p, facing)
    s = []
    hip, neck, hd = m(pose["hip"]), m(pose["neck"]), m(pose["head"])
    fl = [m(p) for p in pose["far_leg"]]
    nl = [m(p) for p in pose["near_leg"]]
    fa = [m(p) for p in pose["far_arm"]]
    na = [m(p) for p in pose["near_arm"]]
    # far leg and far arm, darker
    s.append(limb([hip] + fl[:2], look["pants_far"], 5))
    s.append(shoe(fl[1], facing, "#17151c"))
    s.append(limb(fa[:2] + [fa[2]], look["shirt_far"], 4))
    s.append(circle(fa[2][0], fa[2][1], 2.1, look["hand_far"], OUT, 1))
    if pose.get("gun") == "far":
        s.append(gun(fa[2], facing, pose.get("aim", 0)))
    if pose.get("sack"):
        s.append(sack_on_back(m(pose["sack"]), facing))
    # torso
    s.append(limb([hip, neck], look["shirt"], 10))
    if look["kind"] == "cop":
        # belt and badge
        s.append(limb([(hip[0] - 4.2, hip[1] - 1.5), (hip[0] + 4.2, hip[1] - 1.5)], "#151515", 1.4, ow=1))
        bx = neck[0] + (hip[0] - neck[0]) * 0.3 + 1.5 * facing
        by = neck[1] + (hip[1] - neck[1]) * 0.3
        s.append(circle(bx, by, 1.5, GOLD, OUT, 0.7))
    # head
    s.append(head(hd[0], hd[1], facing, look))
    # near leg
    s.append(limb([hip] + nl[:2], look["pants"], 5))
    s.append(shoe(nl[1], facing))
    # near arm and hand
    s.append(limb(na[:2] + [na[2]], look["shirt"], 4))
    s.append(circle(na[2][0], na[2][1], 2.1, look["hand"], OUT, 1))
    if pose.get("gun") == "near":
        s.append(gun(na[2], facing, pose.get("aim", 0)))
    return "".join(s)


def sack_on_back(c, facing):
    x, y = c
    d = facing
    return "".join([
        path("M%s,%s C%s,%s %s,%s %s,%s C%s,%s %s,%s %s,%s Z" % (
            f(x + 3 * d), f(y - 7),
            f(x + 10 * d), f(y - 3), f(x + 8 * d), f(y + 9), f(x), f(y + 8),
            f(x - 8 * d), f(y + 7), f(x - 8 * d), f(y - 4), f(x + 3 * d), f(y - 7)),
            fill="url(#sackg)", stroke=OUT, sw=1),
        line([(x + 1.5 * d, y - 6.5), (x + 4.5 * d, y - 6.8)], SACK_D, 1.2),
        path("M%s,%s l%s,%s" % (f(x - 1), f(y - 1), f(0), f(5)), stroke=CASH, sw=1.2),
        path("M%s,%s c-2,-1 -3,1 -1,1.6 c2,0.6 1,2.6 -1,1.6" % (f(x + 1), f(y)),
             stroke=CASH, sw=1.1),
    ])


# Poses (figure facing right; ground at y = 60).
RUN_A = dict(hip=(31, 40), neck=(34, 26.5), head=(36, 18.5),
             near_leg=[(37.5, 48.5), (42.5, 56)], far_leg=[(26, 47.5), (19.5, 52)],
             near_arm=[(34.5, 27.5), (29, 33), (26.5, 37)], far_arm=[(33, 27), (37, 31), (41, 28)],
             sack=(24.5, 27))
RUN_B = dict(hip=(31, 40.5), neck=(34, 27), head=(36, 19),
             near_leg=[(28, 49), (21.5, 53.5)], far_leg=[(35.5, 48.5), (39, 57)],
             near_arm=[(34.5, 28), (40, 31.5), (44, 28)], far_arm=[(33, 27), (29, 32), (26, 35)],
             sack=(24.5, 27.5))
GET_IN = dict(hip=(30, 41), neck=(37, 30), head=(41.5, 23.5),
              near_leg=[(38, 42), (42, 48.5)], far_leg=[(29, 50.5), (28, 57)],
              near_arm=[(38, 31), (43, 32), (47, 29.5)], far_arm=[(36, 30), (40, 35), (44, 36)],
              sack=(27.5, 29.5))
STAND_GUN = dict(hip=(29, 40), neck=(29.5, 26.5), head=(30.5, 18.5),
                 near_leg=[(33, 50), (35, 57.5)], far_leg=[(26, 50), (24, 57.5)],
                 near_arm=[(31, 27.5), (37, 24.5), (42, 22)], far_arm=[(30, 27.5), (36, 25.5), (41, 23)],
                 gun="near")
DUCK_GUN = dict(hip=(28, 51), neck=(32, 39.5), head=(35, 32),
                near_leg=[(35, 51), (34, 57.5)], far_leg=[(23, 54), (21, 57.5)],
                near_arm=[(33, 41), (37, 45), (40.5, 42)], far_arm=[(32, 40), (35.5, 45), (39.5, 43)],
                gun="near", aim=25)
FALLEN = dict(hip=(35, 55), neck=(22, 54), head=(14, 52.5),
              near_leg=[(43, 52.5), (50, 55.5)], far_leg=[(43, 56), (51, 57.5)],
              near_arm=[(23, 50), (26, 45), (30, 45.5)], far_arm=[(21, 56), (19, 58.5), (25, 59)])


def climb(phase):
    """Robber seen from behind, climbing; phase 0 or 1 swaps the limbs."""
    s = []
    sg = 1 if phase == 0 else -1
    hip, neck, hd = (32, 40), (32, 25), (32, 16)
    L = lambda x, y: (32 + (x - 32) * sg, y)
    # legs: one bent up, one stretched down
    s.append(limb([(32 - 3 * sg, 40), L(25, 46), L(26, 53)], PANTS, 5))
    s.append(rect(L(26, 53)[0] - 2.5, 52.5, 5, 4, SHOE, OUT, 1, rx=1.5))
    s.append(limb([(32 + 3 * sg, 40), L(37, 50), L(36.5, 57)], PANTS_D, 5))
    s.append(rect(L(36.5, 57)[0] - 2.5, 56.5, 5, 4, SHOE, OUT, 1, rx=1.5))
    # arms: one reaching up, one pulling
    s.append(limb([L(27, 26), L(23, 17), L(23, 9)], "url(#stripes)", 4))
    s.append(circle(L(23, 9)[0], 8, 2.3, SKIN, OUT, 1))
    s.append(limb([L(37, 26), L(42, 22), L(41, 15)], "url(#stripes)", 4))
    s.append(circle(L(41, 15)[0], 14, 2.3, SKIN, OUT, 1))
    # torso
    s.append(limb([hip, neck], "url(#stripes)", 12))
    s.append(head_back(hd[0], hd[1], ROBBER))
    # sack on his back
    s.append(path("M29,22 C23,24 22,38 32,38.5 C42,38 41,24 35,22 Z", fill="url(#sackg)", stroke=OUT, sw=1))
    s.append(line([(29.5, 22.5), (34.5, 22.5)], SACK_D, 1.5))
    s.append(path("M32,27 l0,7", stroke=CASH, sw=1.2))
    s.append(path("M34,28.6 c-2,-1.2 -4.5,0 -2,1.6 c2.5,1.4 0.5,3.4 -2,2", stroke=CASH, sw=1.1))
    return "".join(s)


# ---------------------------------------------------------------- objects

BAG_RIBBON = "#b81c22"           # the logo's red ribbon
BAG_LABEL = "#fff3d0"


def play_ribbon():
    """A ribbon following the curve of the sack, with a play triangle and
    "PLAY" in the pixel font."""
    import ui
    return (path("M11.5,44 Q32,48 52.5,44 L51.5,54.5 Q32,58.5 12.5,54.5 Z", fill=BAG_RIBBON, stroke=OUT, sw=1) +
            poly([(17, 47.6), (17, 54.4), (22.4, 51)], BAG_LABEL, OUT, 0.6) +
            ui.pixel_text("PLAY", 25, 47.3, 0.85, BAG_LABEL))


def cash_bag():
    """Frame 0: a fat burlap sack of cash with a green dollar sign. The
    title menu's start button is this sack with frame 44 (its "PLAY" ribbon)
    drawn over it, so the bags grabbed in the vault stay plain."""
    dollar = group([
        path("M32,26 L32,50", stroke=OUT, sw=5.2),
        path("M39,31.5 C37,28.5 25,28 25.5,33.5 C26,39 38,36 38.5,42.5 C39,48 27,48 24.5,44",
             stroke=OUT, sw=6),
        path("M32,26 L32,50", stroke=CASH, sw=2.6),
        path("M39,31.5 C37,28.5 25,28 25.5,33.5 C26,39 38,36 38.5,42.5 C39,48 27,48 24.5,44",
             stroke=CASH, sw=3.4),
        path("M26.6,33 C27,30.6 30,30 32.5,30.3", stroke=CASH_L, sw=1.2),
    ], transform="translate(32,25) scale(0.8) translate(-32,-25)")
    return "".join([
        ellipse(33, 58, 19, 3.2, "#000000", opacity="0.3"),
        path("M26,18 C12,24 8,40 12,50 C15,58 49,58 52,50 C56,40 52,24 38,18 Z",
             fill="url(#sackg)", stroke=OUT, sw=1.2),
        # neck, tie and flaps
        path("M25,18 L22,9 L28,12 L32,7 L36,12 L42,9 L39,18 Z", fill=SACK, stroke=OUT, sw=1.2),
        path("M27,11.5 L29,17 M36,11.5 L35,17", stroke=SACK_D, sw=1),
        rect(23.5, 16.5, 17, 3.6, "#8a3a1c", OUT, 1, rx=1.5),
        # seam and folds
        path("M15,30 C17,27 20,25 23,24", stroke=SACK_L, sw=1.6),
        dollar,
        # a banknote peeking out
        poly([(33, 14), (44, 6.5), (47, 10.5), (36.5, 17)], CASH_L, OUT, 1),
        circle(40, 11.7, 1.6, CASH),
    ])


def wheel(cx, cy, r=6.0):
    return "".join([circle(cx, cy, r, TYRE, OUT, 1), circle(cx, cy, r * 0.55, RIM, OUT, 1),
                    circle(cx - 0.8, cy - 0.8, r * 0.2, "#e8ecf0")])


CAR_BODY = ("M3,39 L3,32 Q3,29.6 6,29.4 L17,28.6 L22.5,22 Q23.5,21 25,21 L37,21 Q38.5,21 39.5,22 "
            "L44.5,28.2 L57.5,29.4 Q61,29.8 61,33 L61,39 L57,39 A7.5,7.5 0 0 0 42,39 "
            "L22,39 A7.5,7.5 0 0 0 7,39 Z")


def car_side(part="whole"):
    """Frame 4 (whole) and frame 5 (near-side door and front only)."""
    body = [
        path(CAR_BODY, fill="url(#carside)", stroke=OUT, sw=1.2),
        # side windows
        poly([(24.2, 23), (30, 23), (30, 28.4), (19.8, 28.6)], "url(#glass)", OUT, 1),
        poly([(31.5, 23), (37.6, 23), (42.2, 28.3), (31.5, 28.4)], "url(#glass)", OUT, 1),
        line([(26, 24.5), (24.5, 26.5)], "#cfe4f4", 1),
        line([(33.5, 24.5), (32.5, 26.5)], "#cfe4f4", 1),
        # black racing stripe along the side
        path("M4,33.5 L60,33.5", stroke=OUT, sw=2.2),
        path("M4,33.5 L60,33.5", stroke=STRIPE, sw=1.2),
        # door seams and handle
        path("M30.8,29 L30.8,39 M44,29.2 L44,38.8", stroke=CAR_D, sw=1),
        rect(33, 30.2, 3.5, 1.3, CHROME, OUT, 0.6),
        # lights and bumpers
        rect(58.4, 30.8, 2.6, 2.4, "#fff6c8", OUT, 0.8),
        rect(3, 30.6, 2.2, 2.6, RED, OUT, 0.8),
        rect(54, 37.2, 8, 2.2, CHROME, OUT, 0.8, rx=1),
        rect(2, 37.2, 8, 2.2, CHROME, OUT, 0.8, rx=1),
        # exhaust
        rect(0.8, 39.2, 3.5, 1.6, "#555", OUT, 0.6),
        wheel(14.5, 40), wheel(49.5, 40),
    ]
    if part == "whole":
        return ellipse(32, 46.3, 28, 2.2, "#000000", opacity="0.35") + "".join(body)
    # the nearer part: everything from the rear door seam forward, below the belt line
    return ('<clipPath id="nearpart"><rect x="30.2" y="28.7" width="34" height="30"/></clipPath>'
            '<g clip-path="url(#nearpart)">%s</g>' % "".join(body))


# top-down cars: drawn heading north, rotated for the other headings; the
# shading gradient is counter-rotated so the light stays top-left.
def car_top(angle, police=False, variant=0, gid="t"):
    g = gid
    if police:
        base, light, dark = POL_W, "#ffffff", "#a9adb6"
    else:
        base, light, dark = CAR, CAR_L, CAR_D
    grad = lingrad(g, 14, 10, 50, 54, [(0, light), (0.5, base), (1, dark)],
                   transform="rotate(%d 32 32)" % (-angle))
    rot = "rotate(%d 32 32)" % angle
    body = "M21.5,15 Q22,8.5 32,8 Q42,8.5 42.5,15 L43.5,50 Q43.5,56 37,56 L27,56 Q20.5,56 20.5,50 Z"
    s = []
    # shadow, offset down-right in screen space
    s.append(group(path(body, fill="#000000"), transform="translate(2.2,2.2) " + rot, opacity="0.4"))
    parts = []
    # wheels peeking out
    for (wx, wy) in ((19, 16), (41.5, 16), (19, 44), (41.5, 44)):
        parts.append(rect(wx, wy, 3.5, 7, TYRE, OUT, 0.8, rx=1))
    parts.append(path(body, fill="url(#%s)" % g, stroke=OUT, sw=1.2))
    if police:
        # black hood and trunk, white doors/roof
        parts.append(path("M21.5,14 Q21.5,9.5 27,9 L37,9 Q42.5,9.5 42.5,14 L42.6,20 L21.4,20 Z", fill=POL_K))
        parts.append(path("M21,47 L43,47 L43,50 Q43,55.4 37,55.4 L27,55.4 Q21,55.4 21,50 Z", fill=POL_K))
    else:
        # twin racing stripes over hood, roof and trunk
        parts.append(rect(28.3, 9, 2.2, 46.5, STRIPE))
        parts.append(rect(33.5, 9, 2.2, 46.5, STRIPE))
    # windscreen, roof, rear window
    parts.append(poly([(23.5, 20.5), (40.5, 20.5), (39, 26.5), (25, 26.5)], GLASS, OUT, 1))
    parts.append(line([(26, 22), (28.5, 22)], GLASS_L, 1))
    parts.append(poly([(25, 41), (39, 41), (40.5, 45.5), (23.5, 45.5)], GLASS, OUT, 1))
    roofc = "#e9eaee" if police else base
    parts.append(rect(25, 26.5, 14, 14.5, roofc, OUT, 0.8, rx=1.5))
    if police:
        # light bar across the roof: red and blue, swapped per variant
        a, b = (RED, BLUE) if variant % 2 == 0 else (BLUE, RED)
        parts.append(rect(23, 31, 18, 4.5, POL_K, OUT, 0.8, rx=1))
        parts.append(rect(24, 31.8, 7.6, 3, a))
        parts.append(rect(32.4, 31.8, 7.6, 3, b))
        glow = RED_L if a == RED else BLUE_L
        parts.append(circle(27.8 if variant < 2 else 36.2, 33.3, 1.2, "#ffffff", opacity="0.9"))
    else:
        parts.append(rect(28.3, 26.5, 2.2, 14.5, STRIPE))
        parts.append(rect(33.5, 26.5, 2.2, 14.5, STRIPE))
    # headlights (front = north) and tail lights
    parts.append(rect(22.5, 9.6, 4, 2, "#fff8d0", OUT, 0.6, rx=0.8))
    parts.append(rect(37.5, 9.6, 4, 2, "#fff8d0", OUT, 0.6, rx=0.8))
    parts.append(rect(22.2, 53.2, 4, 2, RED, OUT, 0.6, rx=0.8))
    parts.append(rect(37.8, 53.2, 4, 2, RED, OUT, 0.6, rx=0.8))
    s.append(group(parts, transform=rot))
    return "<defs>%s</defs>%s" % (grad, "".join(s))


def explosion(stage):
    """Frames 12..16: a fireball that grows (12-14) then turns to fading smoke (15-16)."""
    rnd = random.Random(1234 + stage)
    s = []

    def blob(cx, cy, r, jag, n, fill, **kw):
        ptsl = []
        for i in range(n):
            a = 2 * math.pi * i / n
            rr = r * (1 - jag / 2 + jag * rnd.random()) if i % 2 else r * (1 - jag * 0.9 * rnd.random())
            ptsl.append((cx + math.cos(a) * rr, cy + math.sin(a) * rr))
        return poly(ptsl, fill, **kw)
    if stage <= 2:
        R = [11, 19, 27][stage]
        if stage >= 1:
            for i in range(6 + 2 * stage):
                a = rnd.random() * 2 * math.pi
                d = R * (0.7 + 0.5 * rnd.random())
                s.append(circle(32 + math.cos(a) * d, 32 + math.sin(a) * d, 1.2 + rnd.random(),
                                "#ffd050", OUT, 0.8))
        s.append(blob(32, 32, R, 0.45, 18, "#c3241a", stroke=OUT, sw=1))
        s.append(blob(32, 32, R * 0.78, 0.4, 16, "#f26a1b"))
        s.append(blob(31, 31, R * 0.55, 0.35, 14, "#ffc53a"))
        s.append(circle(30, 30, R * 0.28, "#fff6d0"))
    else:
        op = "1" if stage == 3 else "0.55"
        R = [0, 0, 0, 27, 29][stage]
        g = []
        for i in range(7):
            a = 2 * math.pi * i / 7 + 0.3
            d = R * 0.45
            cx, cy = 32 + math.cos(a) * d, 32 + math.sin(a) * d
            g.append(circle(cx, cy, R * 0.42, "#4a4650", OUT, 1))
        for i in range(7):
            a = 2 * math.pi * i / 7 + 0.3
            d = R * 0.45
            cx, cy = 32 + math.cos(a) * d, 32 + math.sin(a) * d
            g.append(circle(cx - 1.5, cy - 1.5, R * 0.3, "#6e6a76"))
        g.append(circle(32, 32, R * 0.5, "#5a5662"))
        if stage == 3:
            g.append(blob(32, 33, R * 0.36, 0.4, 12, "#f26a1b"))
            g.append(circle(31, 32, R * 0.16, "#ffc53a"))
        else:
            g.append(circle(33, 34, R * 0.12, "#c3241a"))
        s.append(group(g, opacity=op))
    return "".join(s)


def rear_view(police=False, shift=0):
    """The car seen from behind, 127 units wide, split in two 64-unit halves."""
    s = []
    if police:
        bodyfill = "url(#rearpol)"
    else:
        bodyfill = "url(#rearbody)"
    s.append(ellipse(63.5, 56, 58, 3, "#000000", opacity="0.35"))
    # tyres
    s.append(rect(12, 45, 17, 12, TYRE, OUT, 1, rx=2.5))
    s.append(rect(98, 45, 17, 12, TYRE, OUT, 1, rx=2.5))
    # cabin
    s.append(path("M28,28 L35,13.5 Q36,12 38,12 L89,12 Q91,12 92,13.5 L99,28 Z",
                  fill=POL_W if police else CAR, stroke=OUT, sw=1.2))
    s.append(path("M31.5,27 L37.5,15 L89.5,15 L95.5,27 Z", fill="url(#rearglass)", stroke=OUT, sw=1))
    if not police:
        # the robber at the wheel, seen from behind: beanie and shoulders
        s.append(path("M38,27 Q39,21 45,21 Q51,21 52,27 Z", fill="url(#stripes)", stroke=OUT, sw=1))
        s.append(circle(45, 18.5, 4.5, BEANIE, OUT, 1))
        s.append(rect(40.3, 18, 9.4, 2.4, BEANIE_L, OUT, 0.8, rx=1))
        # the sack on the back seat
        s.append(path("M72,27 Q69,20 75,17.5 L77,16 L79,17.5 Q85,20 82,27 Z",
                      fill="url(#sackg)", stroke=OUT, sw=1))
    else:
        s.append(circle(45, 19, 4.5, COP_CAP, OUT, 1))
        s.append(path("M38,27 Q39,22 45,22 Q51,22 52,27 Z", fill=COP, stroke=OUT, sw=1))
        s.append(circle(80, 19, 4.5, COP_CAP, OUT, 1))
        s.append(path("M73,27 Q74,22 80,22 Q86,22 87,27 Z", fill=COP, stroke=OUT, sw=1))
    s.append(line([(42, 16.5), (40, 20.5)], "#cfe4f4", 1.2))
    # body
    s.append(path("M7,33 Q7,28 13,27.5 L114,27.5 Q120,28 120,33 L120.5,47 Q120.5,50 117,50 "
                  "L10,50 Q6.5,50 6.5,47 Z", fill=bodyfill, stroke=OUT, sw=1.2))
    if police:
        s.append(rect(7.5, 36.5, 112, 3.5, POL_K))
        s.append(path("M7,33 Q7,28 13,27.5 L114,27.5 Q120,28 120,33 L120.2,35 L7,35 Z", fill=POL_K))
    else:
        s.append(rect(56.5, 27.8, 2.4, 22, STRIPE))
        s.append(rect(68.1, 27.8, 2.4, 22, STRIPE))
    # tail lights
    s.append(rect(10, 30.5, 16, 5, RED, OUT, 1, rx=1.5))
    s.append(rect(101, 30.5, 16, 5, RED, OUT, 1, rx=1.5))
    s.append(rect(11.5, 31.5, 5, 1.6, RED_L))
    s.append(rect(102.5, 31.5, 5, 1.6, RED_L))
    # plate
    s.append(rect(53, 40, 21, 7, "#eef0e6", OUT, 1, rx=1))
    s.append(path("M56,43.5 L60,43.5 M62,43.5 L65,43.5 M67,43.5 L71,43.5", stroke="#333344", sw=1.4))
    # bumper
    s.append(rect(5, 47.5, 117, 4, CHROME, OUT, 1, rx=2))
    s.append(rect(8, 48.2, 40, 1.2, "#ffffff"))
    if police:
        # light bar on the roof: red on the left, blue on the right
        s.append(rect(40, 7, 47, 6, POL_K, OUT, 1, rx=1.5))
        s.append(rect(41.5, 8, 20.5, 4, RED))
        s.append(rect(65, 8, 20.5, 4, BLUE))
        s.append(rect(43, 8.6, 6, 1.4, RED_L))
        s.append(rect(67, 8.6, 6, 1.4, BLUE_L))
    else:
        # exhaust pipes
        s.append(rect(26, 50, 6, 3, "#555560", OUT, 0.8, rx=1))
        s.append(rect(95, 50, 6, 3, "#555560", OUT, 0.8, rx=1))
    return group(s, transform="translate(%d,0)" % (-shift))


def marker(full):
    """Frames 33 and 34: a hit marker, full or spent. Drawn small and high in
    the cell: the car shootout draws them just above the phase title, which
    in a 16:9 window starts 6 units above the cell's centre."""
    h = "M32,41 C24,35 21,31 21,27 C21,23.5 23.5,21.5 26.5,21.5 C29,21.5 31,23 32,25 " \
        "C33,23 35,21.5 37.5,21.5 C40.5,21.5 43,23.5 43,27 C43,31 40,35 32,41 Z"
    place = "translate(0,-15) translate(32,31) scale(0.8) translate(-32,-31)"
    if full:
        return group(path(h, fill="url(#heart)", stroke=OUT, sw=1.3) +
                     ellipse(26.2, 26, 2, 1.4, "#ffd6cc", transform="rotate(-30 26.2 26)"), transform=place)
    return group(path(h, fill="#2a2430", stroke=OUT, sw=1.3, opacity="0.75") +
                 path("M32,38 C26,33.5 23.2,30.5 23.2,27.2 C23.2,24.8 24.8,23.6 26.6,23.6 C29,23.6 30.6,25.4 "
                      "32,27.8 C33.4,25.4 35,23.6 37.4,23.6 C39.2,23.6 40.8,24.8 40.8,27.2 C40.8,30.5 38,33.5 "
                      "32,38 Z", stroke="#8a8494", sw=1.2), transform=place)


def cover():
    """Frame 27: a concrete road barrier with hazard stripes; low enough for
    the bullets (12 to 14 units above the centre) to fly over it."""
    s = [ellipse(32, 60, 29, 2.2, "#000000", opacity="0.35"),
         path("M5,60 L8,47 L13,44 L13,36 Q13,34 15,34 L49,34 Q51,34 51,36 L51,44 L56,47 L59,60 Z",
              fill="url(#concrete)", stroke=OUT, sw=1.2),
         '<clipPath id="bar"><rect x="14" y="38" width="36" height="5"/></clipPath>',
         rect(14, 38, 36, 5, HAZARD),
         group([poly([(14 + 8 * i, 43), (18 + 8 * i, 38), (22 + 8 * i, 38), (18 + 8 * i, 43)], "#1e1e1e")
                for i in range(-1, 6)], clip_path="url(#bar)"),
         rect(14, 38, 36, 5, "none", OUT, 1),
         path("M14.5,35.2 L49.5,35.2", stroke=CONCRETE_L, sw=1),
         path("M9,49 L55,49", stroke=CONCRETE_D, sw=1),
         circle(20, 53, 1, CONCRETE_D), circle(41, 55, 1.2, CONCRETE_D), circle(31, 51.5, 0.8, CONCRETE_D)]
    return "".join(s)


def frames():
    fr = {}
    fr[0] = cash_bag()
    fr[1] = figure(ROBBER, RUN_A, 1)
    fr[2] = figure(ROBBER, RUN_B, 1)
    fr[3] = figure(ROBBER, GET_IN, 1)
    fr[4] = car_side("whole")
    fr[5] = car_side("near")
    for i, ang in enumerate((0, 90, 180, 270)):
        fr[6 + i] = car_top(ang, gid="car%d" % i)
    for i in range(5):
        fr[12 + i] = explosion(i)
    for i, ang in enumerate((0, 90, 180, 270)):
        fr[17 + i] = car_top(ang, police=True, variant=i, gid="pol%d" % i)
    fr[23] = figure(ROBBER, RUN_A, -1)
    fr[24] = figure(ROBBER, RUN_B, -1)
    fr[25] = climb(0)
    fr[26] = climb(1)
    fr[27] = cover()
    fr[28] = figure(ROBBER, DUCK_GUN, -1)
    fr[29] = figure(ROBBER, STAND_GUN, -1)
    fr[30] = figure(COPLOOK, STAND_GUN, 1)
    fr[31] = figure(COPLOOK, DUCK_GUN, 1)
    fr[32] = figure(ROBBER, FALLEN, -1) + gun((10, 58), -1, 0)
    fr[33] = marker(True)
    fr[34] = marker(False)
    fr[40] = rear_view(False, 0)
    fr[41] = rear_view(False, 63)
    fr[42] = rear_view(True, 0)
    fr[43] = rear_view(True, 63)
    fr[44] = play_ribbon()
    return fr


LABELS = {0: "bag", 1: "run R", 2: "run R", 3: "get in", 4: "car", 5: "car near", 6: "N", 7: "E",
          8: "S", 9: "W", 12: "boom", 13: "boom", 14: "boom", 15: "smoke", 16: "smoke",
          17: "cop N", 18: "cop E", 19: "cop S", 20: "cop W", 23: "run L", 24: "run L",
          25: "climb", 26: "climb", 27: "cover", 28: "duck", 29: "gun", 30: "cop", 31: "cop duck",
          32: "fallen", 33: "full", 34: "empty", 40: "rear L", 41: "rear R", 42: "pol L", 43: "pol R", 44: "PLAY"}
