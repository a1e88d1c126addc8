"""Bitmap fonts rendered from the glyph grids in assets/fonts/glyphs.txt.

Every lit grid pixel becomes a filled square of `scale` x `scale` pixels, so
the glyphs are crisp at every size. Glyphs are white (the game tints them)
with a dark one-pixel shadow to the lower right (light from the top left).

fonts/editundo{,-hd,-hd2}.png: 128 cells of 16x16 units (times the scale),
    16 per row, cell n = character code 32 + n.
zeph_font.png: one row of 96 cells of 10x16 pixels for codes 32..127, each
    with a transparent one-pixel border left and right (the loader trims it).
"""
import os

from PIL import Image

WHITE = (255, 255, 255, 255)
SHADOW = (24, 20, 34, 210)
GW, GH = 5, 9


def load_glyphs(path):
    glyphs = {}
    code = None
    rows = []
    with open(path, encoding="ascii") as fh:
        for raw in fh:
            ln = raw.rstrip("\n")
            if ln.startswith("#") and code is None and not rows:
                continue
            if ln.startswith("= "):
                if code is not None:
                    glyphs[code] = rows
                code = int(ln[2:])
                rows = []
            elif code is not None and ln:
                if len(ln) != GW or set(ln) - set("#."):
                    raise ValueError("bad glyph row for code %d: %r" % (code, ln))
                rows.append(ln)
    if code is not None:
        glyphs[code] = rows
    for c, r in glyphs.items():
        if len(r) != GH:
            raise ValueError("glyph %d has %d rows, want %d" % (c, len(r), GH))
    return glyphs


def draw_glyph(img, rows, ox, oy, scale, shadow=True):
    px = img.load()

    def square(gx, gy, col):
        for y in range(oy + gy * scale, oy + (gy + 1) * scale):
            for x in range(ox + gx * scale, ox + (gx + 1) * scale):
                if col is SHADOW and px[x, y][3] == 255:
                    continue
                px[x, y] = col
    if shadow:
        for gy, row in enumerate(rows):
            for gx, ch in enumerate(row):
                if ch == "#":
                    square(gx + 1, gy + 1, SHADOW)
    for gy, row in enumerate(rows):
        for gx, ch in enumerate(row):
            if ch == "#":
                square(gx, gy, WHITE)


def editundo(glyphs, scale):
    cell = 16 * scale
    img = Image.new("RGBA", (16 * cell, 8 * cell), (0, 0, 0, 0))
    for n in range(128):
        code = 32 + n
        if code not in glyphs:
            continue
        cx, cy = (n % 16) * cell, (n // 16) * cell
        # glyph 5x9 (+1 shadow) placed so capitals sit centred in the cell
        draw_glyph(img, glyphs[code], cx + 5 * scale, cy + 4 * scale, scale)
    return img


def zeph(glyphs):
    cw, ch = 10, 16
    img = Image.new("RGBA", (96 * cw, ch), (0, 0, 0, 0))
    for n in range(96):
        code = 32 + n
        if code not in glyphs:
            continue
        # columns 0 and 9 stay transparent: the loader trims them
        draw_glyph(img, glyphs[code], n * cw + 2, 4, 1)
    return img


def build(root):
    import svg
    glyphs = load_glyphs(os.path.join(root, "assets", "fonts", "glyphs.txt"))
    out = []
    for scale, suffix in ((1, ""), (2, "-hd"), (4, "-hd2")):
        img = editundo(glyphs, scale)
        svg.save_png(img, os.path.join(root, "data", "fonts", "editundo%s.png" % suffix))
        if scale == 2:
            labels = {n: chr(32 + n) if 33 <= 32 + n < 127 else "" for n in range(128)}
            out.append(("fonts/editundo-hd", img, 32, 32, 128, labels, 2))
    z = zeph(glyphs)
    svg.save_png(z, os.path.join(root, "data", "zeph_font.png"))
    out.append(("zeph_font", z.resize((z.size[0] * 2, 32), Image.NEAREST), 20, 32, 96, None, 2))
    return out
