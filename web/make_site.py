#!/usr/bin/python3
"""Completes the browser build's site folder around the linked vantor.js and
vantor.wasm: the data packs, the page, its service worker, the web app
manifest and its icons.

  make_site.py SITE_DIR DATA_DIR WEB_DIR ICONS_DIR

The data is split so that a window downloads only what it needs: one pack
of every file that comes in one form (the sounds, the default font), and
one pack per art variant (the base art, "-hd" and "-hd2"). A pack is a
4-byte little-endian header length, the header (JSON: a list of
[path, size]) and the files' bytes in that order (web/page.js reads it).

The build id is a hash of every file the site serves, so that the page's
URLs and the service worker's cache change exactly when a file does. The
output is deterministic: the same inputs give the same bytes.
"""
import hashlib
import json
import os
import struct
import sys

# The art variants' file-name suffixes and their packs.
VARIANTS = (("-hd2", "art-hd2"), ("-hd", "art-hd"), ("", "art"))
ICONS = ("128x128.png", "256x256.png", "vantor.svg")
CODE = ("vantor.js", "vantor.wasm")


def pack_name(relative, art_bases):
    """The pack a data file goes into."""
    stem, extension = os.path.splitext(relative)
    if extension == ".png":
        for suffix, pack in VARIANTS:
            if suffix and stem.endswith(suffix) and stem[: -len(suffix)] in art_bases:
                return pack
        if stem in art_bases:
            return "art"
    return "base"


def data_files(data_dir):
    """Every file under data_dir, relative, sorted."""
    found = []
    for folder, _, names in os.walk(data_dir):
        for name in names:
            found.append(os.path.relpath(os.path.join(folder, name), data_dir))
    return sorted(found)


def packs(data_dir):
    """{pack name: [(path in the game's file system, bytes)]}"""
    files = data_files(data_dir)
    art_bases = {os.path.splitext(f)[0][: -len("-hd")] for f in files if f.endswith("-hd.png")}
    out = {"base": [], "art": [], "art-hd": [], "art-hd2": []}
    for relative in files:
        with open(os.path.join(data_dir, relative), "rb") as fh:
            out[pack_name(relative, art_bases)].append(("/data/" + relative, fh.read()))
    return out


def pack_bytes(files):
    header = json.dumps([[path, len(body)] for path, body in files],
                        separators=(",", ":")).encode()
    return struct.pack("<I", len(header)) + header + b"".join(body for _, body in files)


def write(path, body):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as fh:
        fh.write(body)


def main(site_dir, data_dir, web_dir, icons_dir):
    served = {}  # site-relative name -> bytes
    for name, files in packs(data_dir).items():
        served["vantor-%s.data" % name] = pack_bytes(files)
    for name in CODE:
        with open(os.path.join(site_dir, name), "rb") as fh:
            served[name] = fh.read()
    for name in ("page.js", "touch.js", "manifest.webmanifest"):
        with open(os.path.join(web_dir, name), "rb") as fh:
            served[name] = fh.read()
    for name in ICONS:
        with open(os.path.join(icons_dir, name), "rb") as fh:
            served["icons/" + name] = fh.read()
    with open(os.path.join(web_dir, "index.html"), encoding="utf-8") as fh:
        page = fh.read()
    with open(os.path.join(web_dir, "sw.js"), encoding="utf-8") as fh:
        worker = fh.read()

    digest = hashlib.sha256(page.encode() + worker.encode())
    for name in sorted(served):
        digest.update(name.encode() + b"\0" + served[name])
    build = digest.hexdigest()[:12]

    sizes = {name: len(body) for name, body in served.items() if name.endswith((".data", ".wasm"))}
    site = json.dumps({"build": build, "sizes": sizes}, sort_keys=True, separators=(",", ":"))
    served["index.html"] = page.replace("{{SITE}}", site).replace("{{BUILD}}", build).encode()
    versioned = [name + "?v=" + build for name in sorted(served)
                 if name.endswith((".data", ".js", ".wasm"))]
    fixed = ["./", "manifest.webmanifest"] + ["icons/" + name for name in ICONS]
    served["sw.js"] = (worker.replace("{{BUILD}}", build)
                       .replace("{{FILES}}", json.dumps(fixed + versioned)).encode())

    for name, body in served.items():
        if name not in CODE:
            write(os.path.join(site_dir, name), body)
    # vantor.data was the one package of every file before the packs.
    stale = os.path.join(site_dir, "vantor.data")
    if os.path.exists(stale):
        os.remove(stale)
    print("site: build %s, %s" % (build, ", ".join(
        "%s %d B" % (name, size) for name, size in sorted(sizes.items()))))
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 5:
        sys.stderr.write(__doc__)
        sys.exit(2)
    sys.exit(main(*sys.argv[1:]))
