#!/usr/bin/env python3
"""Generates every picture of the client into resources/default and
resources/parlor7, then the contact sheet of the tiles.

    tools/art/make_art.py [--tool PATH/parlor-art] [--only PREFIX]

The Qt helper `parlor-art` (tools/art/*.cpp) outlines text with the Noto CJK
and DejaVu fonts and rasterises the SVG sources with the same SVG renderer the
client uses. It is found next to the other build outputs (build*/tools/art/ or
build-art/), or given with --tool; build it with
    cmake -S tools/art -B build-art && cmake --build build-art
"""

import argparse
import glob
import json
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import backs  # noqa: E402
import faces  # noqa: E402
import shell  # noqa: E402
import table  # noqa: E402
import textimages  # noqa: E402
from svgkit import GLYPHS, doc, write  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(HERE))
DEFAULT = os.path.join(ROOT, "resources", "default")
EDITION = os.path.join(ROOT, "resources", "parlor7")


class Output:
    """Collects what one generator pass produces."""

    def __init__(self, work, final):
        self.work = work
        self.final = final
        self.jobs = []
        self.count = 0

    def _src(self, name):
        return os.path.join(self.work, "src", name.replace("/", "__") + ".svg")

    def svg(self, path, content):
        """A committed SVG file."""
        self.count += 1
        if self.final:
            write(path, content)

    def png(self, path, width, height, body, defs="", element=None):
        """A PNG rendered from an SVG document of the given size."""
        self.count += 1
        src = self._src(os.path.relpath(path, ROOT))
        if self.final:
            write(src, doc(width, height, body, defs))
            job = {"type": "svg", "src": src, "out": path, "w": width, "h": height}
            if element:
                job["element"] = element
            self.jobs.append(job)
        return src

    def render(self, path, width, height, src, element=None):
        """A PNG rendered from an SVG file already written."""
        self.count += 1
        if self.final:
            job = {"type": "svg", "src": src, "out": path, "w": width, "h": height}
            if element:
                job["element"] = element
            self.jobs.append(job)

    def sheet(self, path, width, height, items):
        self.count += 1
        if self.final:
            self.jobs.append({"type": "sheet", "out": path, "w": width, "h": height, "items": items})

    def noise(self, path, size, seed):
        self.count += 1
        if self.final:
            self.jobs.append({"type": "noise", "out": path, "w": size, "h": size, "seed": seed})

    def source(self, name, content):
        """An intermediate SVG that is not committed; returns its path."""
        src = self._src(name)
        if self.final:
            write(src, content)
        return src


def generate(out):
    d = DEFAULT
    # Face sheets.
    for name, marks in (("tiles-fg.svg", "all"), ("tiles-fg-half-marked.svg", "half"),
                        ("tiles-fg-no-marks.svg", "none")):
        w, h, body = faces.sheet("classic", marks)
        out.svg(os.path.join(d, name), doc(w, h, body))
    # The rustic PNG face sheet: one row of 42 cells of 28 x 42 pixels; the
    # face sits at (0, 0, 27, 39) of its cell, drawn one pixel to the left as
    # the table shifts it one pixel to the right.
    w, h, body = faces.sheet("rustic", "all")
    rustic = out.source("faces-rustic", doc(w, h, body))
    items = [{"src": rustic, "element": tile, "rect": [i * 28 - 1, 0, 28, 39]} for i, tile in enumerate(faces.IDS)]
    out.sheet(os.path.join(d, "tiles-fg.png"), 42 * 28, 42, items)

    # Back sheets: two SVG documents and three PNG sheets cut from themed sources.
    for theme, name in (("green2", "tiles-blank-green.svg"), ("darkwood", "tiles-blank-darkwood.svg")):
        w, h, defs, body = backs.sheet(theme)
        out.svg(os.path.join(d, name), doc(w, h, body, defs))
    for theme, name in (("bamboo", "tiles-blank-default.png"), ("green1", "tiles-blank-green.png"),
                        ("red", "tiles-blank-red.png")):
        w, h, defs, body = backs.sheet(theme)
        src = out.source("backs-" + theme, doc(w, h, body, defs))
        items = [dict(item, src=src) for item in backs.png_items()]
        out.sheet(os.path.join(d, name), backs.PNG_SHEET_SIZE[0], backs.PNG_SHEET_SIZE[1], items)
    w, h, body = backs.highlights()
    out.png(os.path.join(d, "tile-highlights-red.png"), w, h, body)

    table.generate(out, d)
    shell.generate(out, d, EDITION)
    textimages.generate(out, d)


def find_tool(explicit):
    if explicit:
        return explicit
    candidates = glob.glob(os.path.join(ROOT, "build*", "tools", "art", "parlor-art")) + glob.glob(
        os.path.join(ROOT, "build*", "parlor-art"))
    candidates = [c for c in candidates if os.access(c, os.X_OK)]
    if not candidates:
        raise SystemExit("parlor-art not found: build it (cmake -S tools/art -B build-art && cmake --build build-art)")
    return max(candidates, key=os.path.getmtime)


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--tool", help="path of the parlor-art executable")
    ap.add_argument("--keep", action="store_true", help="keep the intermediate SVG sources")
    ap.add_argument("--no-contact", action="store_true", help="skip the contact sheet")
    args = ap.parse_args()

    tool = find_tool(args.tool)
    work = tempfile.mkdtemp(prefix="parlor-art-")
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    GLYPHS.tool, GLYPHS.work = tool, work
    try:
        # Pass one only learns which texts need outlines.
        generate(Output(work, final=False))
        GLYPHS.fetch()
        out = Output(work, final=True)
        generate(out)
        if GLYPHS.wanted:
            raise SystemExit("texts appeared in the second pass: " + ", ".join(GLYPHS.wanted))
        jobs = os.path.join(work, "jobs.json")
        with open(jobs, "w", encoding="utf-8") as f:
            json.dump(out.jobs, f)
        subprocess.run([tool, "render", jobs], check=True, env=env)
        print(f"wrote {out.count} pictures")
        if not args.no_contact:
            sheet = os.path.join(HERE, "contact-sheet.png")
            subprocess.run([tool, "contact", DEFAULT, sheet], check=True, env=env)
            if shutil.which("convert"):
                # 256 colours are plenty for a picture to look at, at a third of the size.
                subprocess.run(["convert", sheet, "+dither", "-colors", "256", "PNG8:" + sheet], check=True)
            print(f"wrote {os.path.relpath(sheet, ROOT)}")
    finally:
        if args.keep:
            print("sources kept in", work)
        else:
            shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
