"""Review mock-ups: redraws the game's screens (as Parts 4.2-4.9 of the spec
lay them out) from the files in data/, at a given window size, with
nearest-texel scaling like the game. Written to out/, never to data/.
"""
import math
import os

from PIL import Image, ImageDraw


class Screen:
    def __init__(self, root, ww, wh):
        self.root = root
        self.ww, self.wh = ww, wh
        self.k = max(ww / 640.0, wh / 480.0)
        self.w, self.h = ww / self.k, wh / self.k      # jscrw, jscrh
        self.art = 1
        if ww > 630 or wh > 630:
            self.art = 2
        if ww > 1230 or wh > 1230:
            self.art = 4
        self.img = Image.new("RGBA", (ww, wh), (0, 0, 0, 255))
        self.cache = {}

    def sheet(self, name):
        suffix = {1: "", 2: "-hd", 4: "-hd2"}[self.art]
        if name not in self.cache:
            self.cache[name] = Image.open(os.path.join(self.root, "data", name + suffix + ".png")).convert("RGBA")
        return self.cache[name]

    def rect(self, x, y, w, h, col, a=1.0):
        layer = Image.new("RGBA", self.img.size, (0, 0, 0, 0))
        d = ImageDraw.Draw(layer)
        k = self.k
        d.rectangle([x * k, y * k, (x + w) * k - 1, (y + h) * k - 1], fill=tuple(int(c) for c in col) + (int(255 * a),))
        self.img.alpha_composite(layer)

    def oval(self, x, y, rx, ry, col, a=1.0):
        layer = Image.new("RGBA", self.img.size, (0, 0, 0, 0))
        d = ImageDraw.Draw(layer)
        k = self.k
        d.ellipse([(x - rx) * k, (y - ry) * k, (x + rx) * k, (y + ry) * k], fill=tuple(int(c) for c in col) + (int(255 * a),))
        self.img.alpha_composite(layer)

    def draw(self, name, cw, ch, frame, x, y, sx=1.0, sy=None, col=(255, 255, 255), a=1.0, rot=0.0):
        if sy is None:
            sy = sx
        sh = self.sheet(name)
        cw2, ch2 = cw * self.art, ch * self.art
        cols = sh.size[0] // cw2
        fx, fy = (frame % cols) * cw2, (frame // cols) * ch2
        cell = sh.crop((fx, fy, fx + cw2, fy + ch2))
        if col != (255, 255, 255) or a != 1.0:
            r, g, b, al = cell.split()
            r = r.point(lambda v: v * col[0] // 255)
            g = g.point(lambda v: v * col[1] // 255)
            b = b.point(lambda v: v * col[2] // 255)
            al = al.point(lambda v: int(v * a))
            cell = Image.merge("RGBA", (r, g, b, al))
        W = max(1, int(round(cw * abs(sx) * self.k)))
        H = max(1, int(round(ch * abs(sy) * self.k)))
        cell = cell.resize((W, H), Image.NEAREST)
        if sx < 0:
            cell = cell.transpose(Image.FLIP_LEFT_RIGHT)
        if rot:
            cell = cell.rotate(rot, resample=Image.NEAREST, expand=True)
        px = int(round(x * self.k - cell.size[0] / 2))
        py = int(round(y * self.k - cell.size[1] / 2))
        self.img.alpha_composite(cell, (px, py)) if px >= 0 and py >= 0 else self._paste(cell, px, py)

    def _paste(self, cell, px, py):
        layer = Image.new("RGBA", self.img.size, (0, 0, 0, 0))
        layer.paste(cell, (px, py))
        self.img.alpha_composite(layer)

    def text(self, x, y, s, size=1.0, col=(255, 255, 255), a=1.0, xa=0.0, ya=0.0):
        aw, lh = 7 * size, 10 * size
        n = len(s)
        sx = x - aw * (n - 1) * xa / 2
        sy = y + lh * (ya - 1) * 0.5 * -1
        sy = y - lh * (ya - 1) * 0.5
        px, py = sx, sy
        i = 0
        while i < n:
            c = s[i]
            if c == "\\" and i + 1 < n and s[i + 1] == "n":
                py += lh
                px = sx
                i += 2
                continue
            if 33 <= ord(c) <= 159:
                self.draw("fonts/editundo", 16, 16, ord(c) - 32, px, py, size, size, col, a)
            px += aw
            i += 1


def sky(s):
    h = s.h / 28
    for j in range(17):
        s.rect(-1, h * j, s.w + 2, h + 1, (0, 3 * j, 10 * j))


def title(s, t):
    s.text(s.w * 0.5, s.h - 32, t, 2, xa=1, ya=1)


def timer(s):
    s.text(s.w - 32, s.h - 32, "97", 1, xa=2, ya=2)


def scenes(root, ww, wh):
    out = []
    G = ("gfx", 64, 64)

    # loader
    s = Screen(root, ww, wh)
    s.rect(0, 0, s.w, s.h, (40, 40, 80))
    S = int(min(s.w, s.h))
    ang = 16 * 7
    for i in range(11):
        a = math.radians(ang + 16 * i + 180)
        s.oval(s.w / 2 + math.sin(a) * S * 0.25, s.h / 2 - math.cos(a) * S * 0.25, 8, 8, (250, 250, 250), i / 10)
    s.oval(s.w / 2, s.h / 2, S * 0.3, S * 0.3, (255, 255, 0), 0.8)
    s.rect(0, s.h * 0.4, s.w, s.h * 0.2, (250, 160, 60), 0.7)
    s.draw("common/ZOVALogo", 256, 256, 0, s.w * 0.5, s.h * 0.48)
    for i in range(11):
        a = math.radians(ang + 16 * i)
        s.oval(s.w / 2 + math.sin(a) * S * 0.25, s.h / 2 - math.cos(a) * S * 0.25, 8, 8, (50, 50, 50), i / 10)
    out.append(("loader", s.img))

    # title menu
    s = Screen(root, ww, wh)
    s.rect(0, 0, s.w, s.h, (0, 0, 80))
    s.draw("menu", 256, 256, 0, s.w / 2, s.h / 2, 3)
    s.draw("menu", 256, 256, 2, 0.4 * s.w, s.h / 2, 2)
    s.draw("menu", 256, 256, 1, s.w / 2, s.h / 2, 3)
    s.draw("logo", 256, 128, 0, 0.4 * s.w, 0.2 * s.h)
    s.rect(s.w - 140, 0, 140, s.h, (0, 0, 0), 0.4)
    s.draw("common/icons", 32, 32, 4, int(s.w / 2), 32, 2, col=(50, 250, 50))
    s.text(s.w - 120, 60, "Top 10\\n   12500\\n    9000\\n       0", 1.5, (255, 200, 100))
    s.text(s.w - 120, s.h / 2, "Last 10\\n   12500\\n       0", 1.5, (200, 255, 100))
    s.draw(*G, 0, 0.4 * s.w, 0.7 * s.h, 3)
    s.draw("common/icade", 64, 64, 0, s.w - 38, 38)
    s.draw("common/ZOVALogo", 256, 256, 0, s.w - 70, s.h - 40, 0.5)
    out.append(("menu", s.img))

    # phase 1 keypad
    s = Screen(root, ww, wh)
    s.rect(0, 0, s.w, s.h, (0, 0, 80))
    bx, by = int(s.w / 2 - 80), int(s.h / 2 - 80)
    s.rect(bx - 48, by - 48, 248, 320, (150, 150, 150))
    v = 0
    for r in range(4):
        for c in range(3):
            v += 1
            if r == 3 and c == 0:
                continue
            lab = str(v) if r < 3 else ("0" if c == 1 else "C")
            x, y = bx + 72 * c, by + 72 * r
            s.rect(x - 32, y - 32, 64, 64, (0, 75, 0))
            s.text(x, y, " " + lab, 4, xa=1, ya=1)
    s.text(s.w / 2, 32, "4815162342", 2, (100, 255, 100), 0.8, 1, 1)
    s.text(s.w / 2, 52, "481       ", 2, (150, 255, 150), 1, 1, 1)
    title(s, "Enter the Code")
    timer(s)
    out.append(("phase1", s.img))

    # phase 2 bags
    s = Screen(root, ww, wh)
    s.rect(-1, -1, s.w + 2, s.h + 2, (100, 100, 100))
    for i, (x, y) in enumerate([(120, 300), (200, 340), (330, 310), (450, 360), (520, 290), (260, 290)]):
        s.draw(*G, 0, x, y)
    title(s, "Grab Some Cash")
    timer(s)
    out.append(("phase2", s.img))

    # phase 3 bank hall
    s = Screen(root, ww, wh)
    s.rect(0, 0, s.w, s.h, (0, 0, 80))
    s.rect(-1, -1, s.w, s.h * 0.7, (100, 100, 100))
    s.rect(-1, s.h * 0.7, s.w, s.h * 0.4, (120, 120, 120))
    s.rect(s.w * 0.5 - 64, s.h * 0.15 - 24, 128, 48, (0, 0, 0))
    s.text(s.w * 0.5, s.h * 0.15, "  BANK", 3, (255, 255, 100), xa=1, ya=1)
    s.draw(*G, 1, 260, s.h * 0.75)
    s.draw(*G, 2, 330, s.h * 0.75)
    for x in (s.w * 0.3, s.w * 0.7):
        s.rect(x, -1, 32, s.h * 0.85, (200, 200, 200))
        s.rect(x + 2, -1, 30, s.h * 0.85, (60, 60, 60))
        s.rect(x + 2, -1, 28, s.h * 0.85, (150, 150, 150))
    title(s, "Run!!")
    out.append(("phase3", s.img))

    # phase 4 get in the car
    s = Screen(root, ww, wh)
    s.rect(0, 0, s.w, s.h, (0, 0, 80))
    sky(s)
    s.rect(-1, s.h * 0.7, s.w * 0.75, s.h * 0.2, (70, 70, 70))
    s.rect(-1, -1, s.w * 0.4, s.h * 0.7, (100, 100, 100))
    s.rect(-1, s.h * 0.7, s.w * 0.4, s.h * 0.4, (120, 120, 120))
    s.text(s.w * 0.2, s.h * 0.15, "  BANK", 3, (255, 255, 100), xa=1, ya=1)
    s.draw(*G, 4, s.w * 0.75, s.h * 0.75, 2)
    s.draw(*G, 1, s.w * 0.55, s.h * 0.75)
    s.draw(*G, 3, s.w * 0.74, s.h * 0.75)
    s.draw(*G, 5, s.w * 0.75, s.h * 0.75, 2)
    title(s, "Get in the Car")
    out.append(("phase4", s.img))

    # phase 5 chase
    s = Screen(root, ww, wh)
    s.rect(0, 0, s.w, s.h, (0, 0, 80))
    cam = (3120 - 40 - s.w / 2, 3120 - 40 - s.h / 2)
    for c in range(10, 16):
        for r in range(10, 16):
            sx, sy = int(260 * c - cam[0]), int(260 * r - cam[1])
            if sx > -260 and sy > -260 and sx < s.w and sy < s.h:
                s.rect(sx, sy, 180, 180, (150, 150, 150))
    marks = {(10, 11): 17, (11, 12): 18, (12, 10): 19, (10, 12): 20, (11, 10): 13, (12, 12): 14}
    for (c, r), fr in marks.items():
        s.draw(*G, fr, 260 * c - cam[0] + 220, 260 * r - cam[1] + 220)
    s.draw(*G, 6, 3120 - cam[0] - 40, 3120 - cam[1] - 40)
    s.draw(*G, 7, 3120 - cam[0] - 40 + 130, 3120 - cam[1] - 40 - 260)
    title(s, "Destroy 10 cops")
    out.append(("phase5", s.img))

    # phase 6 shootout from the car
    s = Screen(root, ww, wh)
    s.rect(0, 0, s.w, s.h, (0, 0, 80))
    sky(s)
    px = 30
    for i in range(11):
        w = px / 60 + i
        d = 60 * i + px
        sz = int(d * 0.25 + 100)
        top = s.h * 0.5 - sz
        xl, xr = int(s.w * 0.5 - d), int(s.w * 0.5 + d)
        s.rect(xl, top, w, 1.5 * sz, (180, 180, 180))
        s.rect(xl + 6 * w, top, 4 * w, 2 * w, (255, 255, 100), 0.5)
        s.rect(xl, top, 10 * w, w, (180, 180, 180))
        s.rect(xr, top, w, 1.5 * sz, (180, 180, 180))
        s.rect(xr - 10 * w, top, 4 * w, 2 * w, (255, 255, 100), 0.5)
        s.rect(xr - 10 * w, top, 10 * w, w, (180, 180, 180))
    cx, tx = s.w * 0.4, s.w * 0.62
    s.draw(*G, 40, cx - 32, s.h * 0.7)
    s.draw(*G, 41, cx + 31, s.h * 0.7)
    s.draw(*G, 42, tx - 32, s.h * 0.8)
    s.draw(*G, 43, tx + 31, s.h * 0.8)
    for i in range(1, 4):
        s.draw(*G, 33 if i <= 2 else 34, tx - 48 + 24 * i, s.h * 0.9)
    s.rect(400 - 64, 120 - 16, 128, 32, (255, 255, 150), 0.5)
    s.text(400, 120, "RELOAD", 3, xa=0.75, ya=0.75)
    title(s, "Shoot the Cops")
    out.append(("phase6", s.img))

    # phase 7 fence
    s = Screen(root, ww, wh)
    s.rect(0, 0, s.w, s.h, (0, 0, 80))
    sky(s)
    s.rect(-1, s.h * 0.75, s.w + 2, s.h * 0.1, (140, 140, 140))
    for j in range(25):
        s.rect(24 * j, s.h * 0.3, 22, s.h * 0.5, (150, 100, 0))
        s.rect(24 * j + 1, s.h * 0.3 + 1, 20, s.h * 0.5 - 2, (150, 150, 100))
    s.draw(*G, 4, s.w * 0.9, s.h * 0.8, 2)
    s.draw(*G, 23, 330, s.h * 0.8)
    s.draw(*G, 25, 150, s.h * 0.6)
    title(s, "Scale the Fence")
    out.append(("phase7", s.img))

    # phase 8 fight
    s = Screen(root, ww, wh)
    s.rect(0, 0, s.w, s.h, (0, 0, 80))
    sky(s)
    s.rect(-1, s.h * 0.75, s.w + 2, s.h * 0.1, (140, 140, 140))
    s.draw(*G, 4, 64, s.h * 0.65, -2, 2)
    for j in range(33):
        s.rect(24 * j, s.h * 0.3, 22, s.h * 0.5, (120, 80, 0))
        s.rect(24 * j + 1, s.h * 0.3 + 1, 20, s.h * 0.5 - 2, (100, 100, 60))
    s.draw(*G, 27, s.w * 0.5, s.h * 0.75)
    s.draw(*G, 30, s.w * 0.25, s.h * 0.75)
    s.draw(*G, 29, s.w * 0.75, s.h * 0.75)
    s.draw(*G, 31, s.w * 0.25 + 60, s.h * 0.75)
    s.draw(*G, 28, s.w * 0.75 - 60, s.h * 0.75)
    s.draw(*G, 32, s.w * 0.9, s.h * 0.75)
    for bxp in (300, 420):
        s.rect(bxp - 4, s.h * 0.75 - 14, 8, 4, (200, 200, 200))
    for i in range(1, 4):
        s.draw(*G, 33 if i <= 2 else 34, s.w * 0.25 - 48 + 24 * i, s.h * 0.55)
        s.draw(*G, 33, s.w * 0.75 - 48 + 24 * i, s.h * 0.55)
    s.text(s.w * 0.5, s.h - 48, "Shoot the Cops", 2, xa=1, ya=1)
    s.text(s.w * 0.5, s.h - 24, "Hold to Duck", 2, xa=1, ya=1)
    out.append(("phase8", s.img))

    # pause menu over phase 5
    s = Screen(root, ww, wh)
    s.img = out[6][1].copy()
    y, c = int(s.h / 2), s.w / 2
    s.rect(0, 0, s.w, s.h, (0, 0, 0), 0.6)
    s.rect(c - 128, y - 64, 256, 8, (255, 255, 10), 0.6)
    s.rect(c - 140, y - 52, 280, 104, (255, 150, 10), 0.7)
    s.rect(c - 128, y + 56, 256, 8, (10, 150, 255), 0.6)
    s.draw("common/icons", 32, 32, 3, c, y, 2, col=(50, 50, 250))
    s.draw("common/icons", 32, 32, 6, c, y, 2.5, col=(255, 255, 100))
    s.draw("common/icons", 32, 32, 1, int(c - 140), y - 64, 2, col=(255, 50, 50))
    s.draw("common/icons", 32, 32, 4, int(c + 140), y - 64, 2, col=(50, 250, 50))
    s.draw("common/icons", 32, 32, 0, 16, 16)
    s.draw("BadgesA", 64, 64, 0, 160 - 16, s.h - 34 + 16, 0.5)
    out.append(("pause", s.img))
    return out


def write(root, ww, wh, cols=3):
    sc = scenes(root, ww, wh)
    W = cols * ww
    rows = (len(sc) + cols - 1) // cols
    sheet = Image.new("RGBA", (W, rows * wh), (0, 0, 0, 255))
    for i, (name, img) in enumerate(sc):
        sheet.paste(img, ((i % cols) * ww, (i // cols) * wh))
    os.makedirs(os.path.join(root, "out"), exist_ok=True)
    p = os.path.join(root, "out", "mockups-%dx%d.png" % (ww, wh))
    sheet.save(p)
    for name, img in sc:
        img.save(os.path.join(root, "out", "mock-%s-%dx%d.png" % (name, ww, wh)))
    return p


if __name__ == "__main__":
    import sys
    root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    for size in sys.argv[1:] or ["640x480"]:
        w, h = (int(v) for v in size.split("x"))
        print(write(root, w, h))
