"""Build driver for tools/make-assets: renders every sheet, font and sound."""
import os

from PIL import Image, ImageDraw, ImageFont

import svg

SCALES = ((1, ""), (2, "-hd"), (4, "-hd2"))


def sheets():
    """(data name, cell w, cell h, columns, rows, frames dict, defs, labels)"""
    import gfx
    import ui
    import menu
    out = [("gfx", 64, 64, gfx.COLS, gfx.ROWS, gfx.frames(), gfx.DEFS, gfx.LABELS)]
    out.extend(ui.sheets())
    out.extend(menu.sheets())
    return out


def render_sheet(root, name, cw, ch, cols, rows, frames, defs, keep):
    imgs = {}
    for scale, suffix in SCALES:
        doc = svg.sheet_svg(cw, ch, cols, rows, frames, scale, defs)
        img = svg.render_svg(doc, keep_dir=keep if scale == 1 else None,
                             name=name.replace("/", "_"))
        assert img.size == (cols * cw * scale, rows * ch * scale), (name, img.size)
        svg.save_png(img, os.path.join(root, "data", name + suffix + ".png"))
        imgs[scale] = img
    return imgs


def contact_sheet(root, entries):
    """entries: list of (title, image, cell w, cell h, n frames, labels, scale)."""
    font = ImageFont.load_default()
    pad = 4
    maxw = 1500
    blocks = []
    for title, img, cw, ch, n, labels, scale in entries:
        cols = max(1, min(n, (maxw - pad) // (cw + pad)))
        rws = (n + cols - 1) // cols
        bw = cols * (cw + pad) + pad
        bh = 14 + rws * (ch + 12 + pad) + pad
        b = Image.new("RGBA", (max(bw, 300), bh), (40, 40, 48, 255))
        d = ImageDraw.Draw(b)
        d.text((pad, 2), "%s  (%dx%d x%d, scale %d)" % (title, cw // scale, ch // scale, n, scale),
               fill=(255, 255, 160, 255), font=font)
        sw = img.size[0] // cw
        for i in range(n):
            x = pad + (i % cols) * (cw + pad)
            y = 14 + (i // cols) * (ch + 12 + pad)
            # checkerboard so transparency shows
            for yy in range(0, ch, 8):
                for xx in range(0, cw, 8):
                    c = (92, 92, 104, 255) if ((xx + yy) // 8) % 2 else (70, 70, 80, 255)
                    d.rectangle([x + xx, y + yy, x + min(xx + 7, cw - 1), y + min(yy + 7, ch - 1)], fill=c)
            sx, sy = (i % sw) * cw, (i // sw) * ch
            cell = img.crop((sx, sy, sx + cw, sy + ch))
            b.alpha_composite(cell, (x, y))
            lab = str(i)
            if labels and labels.get(i):
                lab += " " + labels[i]
            d.text((x, y + ch + 1), lab, fill=(220, 220, 220, 255), font=font)
        blocks.append(b)
    W = max(b.size[0] for b in blocks)
    H = sum(b.size[1] for b in blocks)
    sheet = Image.new("RGBA", (W, H), (24, 24, 30, 255))
    y = 0
    for b in blocks:
        sheet.alpha_composite(b, (0, y))
        y += b.size[1]
    os.makedirs(os.path.join(root, "out"), exist_ok=True)
    sheet.save(os.path.join(root, "out", "contact-sheet.png"))
    return sheet


def run(root, only=None, contact_sheet=True):
    import fonts
    import sfx
    keep = os.path.join(root, "out", "svg")
    entries = []
    for name, cw, ch, cols, rows, frames, defs, labels in sheets():
        if only and name not in only:
            continue
        imgs = render_sheet(root, name, cw, ch, cols, rows, frames, defs, keep)
        n = max(frames) + 1 if frames else 1
        n = max(n, {"gfx": 64, "BadgesA": 64}.get(name, n))
        big = cw <= 32
        sc = 2 if big else 1
        entries.append((name, imgs[sc], cw * sc, ch * sc, cols * rows if cols * rows <= 64 else n,
                        labels, sc))
    if not only or "fonts" in only:
        for title, img, cw, ch, n, labels, sc in fonts.build(root):
            entries.append((title, img, cw, ch, n, labels, sc))
    if not only or "sfx" in only:
        sfx.build(root)
    if contact_sheet and entries:
        contact_sheet_img = globals()["contact_sheet"](root, entries)
        print("contact sheet: out/contact-sheet.png %dx%d" % contact_sheet_img.size)
