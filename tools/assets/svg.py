"""Small helpers to write SVG fragments and render sprite sheets with rsvg-convert.

Every drawing is written in base units (one unit = one pixel of the base
sheet); a sheet is rendered three times, at 1x, 2x and 4x, from the same
vector source, so the -hd and -hd2 files are real renderings.
"""
import io
import os
import subprocess
import tempfile

from PIL import Image

# One palette for every sheet. Light comes from the top left.
OUT = "#1b1622"        # outline
SKIN = "#f2b48c"
SKIN_D = "#c78360"
BEANIE = "#2b2b38"
BEANIE_L = "#4a4a5e"
MASK = "#111118"
SHIRT_L = "#f2f2ee"
SHIRT_D = "#2e3044"
PANTS = "#3d4a66"
PANTS_D = "#2b3550"
SHOE = "#23202a"
SACK = "#c9a062"
SACK_L = "#e6c788"
SACK_D = "#91703e"
CASH = "#2f9a48"
CASH_L = "#6fd07a"
CAR = "#d8302a"        # the getaway car: cherry red with white racing stripes
CAR_L = "#ff8466"
CAR_D = "#8a1616"
STRIPE = "#f4f0e6"
GLASS = "#3a5a78"
GLASS_L = "#8fb8d8"
TYRE = "#1e1e24"
RIM = "#9aa0aa"
CHROME = "#d8dde4"
COP = "#2c3e8c"        # police uniform
COP_D = "#1d2960"
COP_CAP = "#1a2250"
GOLD = "#f2c431"
POL_W = "#f4f4f4"      # police car white
POL_K = "#22222c"      # police car black
RED = "#e4262a"
RED_L = "#ff8a7a"
BLUE = "#2a6cf0"
BLUE_L = "#8ec0ff"
GUN = "#2a2a30"
GUN_L = "#6a6a78"
CONCRETE = "#a8a49a"
CONCRETE_L = "#cfcabd"
CONCRETE_D = "#7a766c"
HAZARD = "#f2c431"


# No line may be thinner than one base unit: the default window shows the
# -hd files at half size with nearest-texel sampling, so anything thinner
# than 2 pixels there could vanish.
MIN_LINE = 1.0


def lw(v):
    return max(MIN_LINE, float(v))


def f(v):
    """Format a number compactly and deterministically."""
    s = ("%.3f" % v).rstrip("0").rstrip(".")
    return "0" if s in ("-0", "") else s


def pts(points):
    return " ".join("%s,%s" % (f(x), f(y)) for x, y in points)


def attrs(**kw):
    out = []
    for k, v in kw.items():
        if v is None:
            continue
        k = k.rstrip("_").replace("_", "-")
        if isinstance(v, float):
            v = f(v)
        out.append('%s="%s"' % (k, v))
    return " ".join(out)


def rect(x, y, w, h, fill, stroke=None, sw=1, rx=None, **kw):
    return "<rect %s/>" % attrs(x=float(x), y=float(y), width=float(w), height=float(h),
                                 rx=None if rx is None else float(rx), fill=fill,
                                 stroke=stroke, stroke_width=lw(sw) if stroke else None, **kw)


def circle(cx, cy, r, fill, stroke=None, sw=1, **kw):
    return "<circle %s/>" % attrs(cx=float(cx), cy=float(cy), r=float(r), fill=fill,
                                   stroke=stroke, stroke_width=lw(sw) if stroke else None, **kw)


def ellipse(cx, cy, rx, ry, fill, stroke=None, sw=1, **kw):
    return "<ellipse %s/>" % attrs(cx=float(cx), cy=float(cy), rx=float(rx), ry=float(ry),
                                    fill=fill, stroke=stroke,
                                    stroke_width=lw(sw) if stroke else None, **kw)


def poly(points, fill, stroke=None, sw=1, **kw):
    return "<polygon %s/>" % attrs(points=pts(points), fill=fill, stroke=stroke,
                                    stroke_width=lw(sw) if stroke else None,
                                    stroke_linejoin="round" if stroke else None, **kw)


def path(d, fill="none", stroke=None, sw=1, **kw):
    return "<path %s/>" % attrs(d=d, fill=fill, stroke=stroke,
                                 stroke_width=lw(sw) if stroke else None,
                                 stroke_linejoin="round" if stroke else None,
                                 stroke_linecap="round" if stroke else None, **kw)


def line(points, color, width, cap="round", **kw):
    return "<polyline %s/>" % attrs(points=pts(points), fill="none", stroke=color,
                                     stroke_width=lw(width), stroke_linecap=cap,
                                     stroke_linejoin="round", **kw)


def limb(points, color, width, outline=OUT, ow=1.0):
    """A round-capped stroke with a dark outline around it."""
    ow = max(MIN_LINE, ow)
    return line(points, outline, width + 2 * ow) + line(points, color, width)


def group(content, transform=None, **kw):
    if isinstance(content, (list, tuple)):
        content = "".join(content)
    return "<g %s>%s</g>" % (attrs(transform=transform, **kw), content)


def lingrad(gid, x1, y1, x2, y2, stops, user=True, transform=None):
    s = "".join('<stop offset="%s" stop-color="%s"%s/>' % (
        f(o), c, "" if a is None else ' stop-opacity="%s"' % f(a))
        for o, c, a in [(st + (None,))[:3] for st in stops])
    return '<linearGradient id="%s" %s>%s</linearGradient>' % (
        gid, attrs(x1=float(x1), y1=float(y1), x2=float(x2), y2=float(y2),
                   gradientUnits="userSpaceOnUse" if user else None,
                   gradientTransform=transform), s)


def radgrad(gid, cx, cy, r, stops, fx=None, fy=None, user=True):
    s = "".join('<stop offset="%s" stop-color="%s"%s/>' % (
        f(o), c, "" if a is None else ' stop-opacity="%s"' % f(a))
        for o, c, a in [(st + (None,))[:3] for st in stops])
    return '<radialGradient id="%s" %s>%s</radialGradient>' % (
        gid, attrs(cx=float(cx), cy=float(cy), r=float(r),
                   fx=None if fx is None else float(fx), fy=None if fy is None else float(fy),
                   gradientUnits="userSpaceOnUse" if user else None), s)


def document(width, height, scale, body, defs=""):
    return ('<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" '
            'width="%d" height="%d" viewBox="0 0 %d %d">%s%s</svg>'
            % (width * scale, height * scale, width, height,
               "<defs>%s</defs>" % defs if defs else "", body))


def sheet_svg(cell_w, cell_h, cols, rows, frames, scale, defs=""):
    """frames: dict index -> SVG fragment in cell coordinates (0..cell_w, 0..cell_h).
    Each frame is clipped to its own cell."""
    body = []
    cdefs = [defs, '<clipPath id="cell"><rect x="0" y="0" width="%d" height="%d"/></clipPath>'
             % (cell_w, cell_h)]
    for i in sorted(frames):
        frag = frames[i]
        if not frag:
            continue
        x = (i % cols) * cell_w
        y = (i // cols) * cell_h
        body.append('<g transform="translate(%d,%d)"><g clip-path="url(#cell)">%s</g></g>'
                    % (x, y, frag))
    return document(cols * cell_w, rows * cell_h, scale, "".join(body), "".join(cdefs))


def render_svg(svg_text, keep_dir=None, name="sheet"):
    """Render an SVG document with rsvg-convert and return a Pillow RGBA image."""
    with tempfile.TemporaryDirectory() as tmp:
        src = os.path.join(tmp, "in.svg")
        dst = os.path.join(tmp, "out.png")
        with open(src, "w", encoding="utf-8") as fh:
            fh.write(svg_text)
        subprocess.run(["rsvg-convert", "-f", "png", "-o", dst, src], check=True)
        img = Image.open(dst)
        img.load()
        img = img.convert("RGBA")
    if keep_dir:
        os.makedirs(keep_dir, exist_ok=True)
        with open(os.path.join(keep_dir, name + ".svg"), "w", encoding="utf-8") as fh:
            fh.write(svg_text)
    return img


def clean_alpha(img):
    """Zero the colour of fully transparent pixels so files are tidy and stable."""
    px = img.load()
    w, h = img.size
    data = img.getdata()
    out = [(0, 0, 0, 0) if p[3] == 0 else p for p in data]
    img.putdata(out)
    return img


def optimise_png(png):
    """The same picture in fewer bytes: zopflipng recompresses the PNG without
    loss. The decoded pixels are compared before the smaller file is kept: a
    fault in the optimiser stops the pipeline instead of reaching data/."""
    with tempfile.TemporaryDirectory() as tmp:
        source = os.path.join(tmp, "in.png")
        target = os.path.join(tmp, "out.png")
        with open(source, "wb") as fh:
            fh.write(png)
        subprocess.run(["zopflipng", "-y", source, target], check=True,
                       stdout=subprocess.DEVNULL)
        with open(target, "rb") as fh:
            smaller = fh.read()
    if not same_pixels(png, smaller):
        raise RuntimeError("zopflipng changed the pixels of a picture")
    return smaller


def same_pixels(png, other):
    """True when the two PNG files decode to the same size and RGBA pixels."""
    a = Image.open(io.BytesIO(png)).convert("RGBA")
    b = Image.open(io.BytesIO(other)).convert("RGBA")
    return a.size == b.size and a.tobytes() == b.tobytes()


def save_png(img, path):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    img = clean_alpha(img.convert("RGBA"))
    buf = io.BytesIO()
    img.save(buf, format="PNG", optimize=False, compress_level=9)
    with open(path, "wb") as fh:
        fh.write(optimise_png(buf.getvalue()))
