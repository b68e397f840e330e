"""Small helpers for writing SVG by hand: numbers, documents, glyph outlines.

Text never reaches an SVG as text: `text()` asks the Qt tool for the glyph
outlines of a freely licensed Debian font and writes them as paths, so the
pictures render the same on every machine, with or without fonts.
"""

import json
import os
import subprocess

SERIF_CJK = "Noto Serif CJK JP"
SANS_JP = "Noto Sans CJK JP"
SANS_SC = "Noto Sans CJK SC"
SERIF_SC = "Noto Serif CJK SC"
SANS = "DejaVu Sans"
SERIF = "DejaVu Serif"

BOLD = 700
BLACK = 900
REGULAR = 400


def n(v):
    """A compact number for SVG attributes."""
    s = f"{v:.2f}".rstrip("0").rstrip(".")
    return "0" if s in ("-0", "") else s


def doc(width, height, body, defs="", extra=""):
    return (
        '<?xml version="1.0" encoding="UTF-8"?>\n'
        f'<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" '
        f'version="1.2" baseProfile="tiny" width="{n(width)}" height="{n(height)}" '
        f'viewBox="0 0 {n(width)} {n(height)}"{extra}>\n'
        + (f"<defs>\n{defs}</defs>\n" if defs else "")
        + body
        + "</svg>\n"
    )


def bounds_rect(w, h, x=0, y=0):
    """An invisible rectangle that fixes an element's bounds."""
    return f'<rect x="{n(x)}" y="{n(y)}" width="{n(w)}" height="{n(h)}" fill="#000" fill-opacity="0"/>'


def lin(gid, stops, x1=0, y1=0, x2=0, y2=1):
    s = "".join(
        f'<stop offset="{n(o)}" stop-color="{c}"' + (f' stop-opacity="{n(a)}"' if a is not None else "") + "/>"
        for o, c, a in (st if len(st) == 3 else (st[0], st[1], None) for st in stops)
    )
    return f'<linearGradient id="{gid}" x1="{n(x1)}" y1="{n(y1)}" x2="{n(x2)}" y2="{n(y2)}">{s}</linearGradient>\n'


def rad(gid, stops, cx=0.5, cy=0.5, r=0.5, fx=None, fy=None):
    s = "".join(
        f'<stop offset="{n(o)}" stop-color="{c}"' + (f' stop-opacity="{n(a)}"' if a is not None else "") + "/>"
        for o, c, a in (st if len(st) == 3 else (st[0], st[1], None) for st in stops)
    )
    f = ""
    if fx is not None:
        f = f' fx="{n(fx)}" fy="{n(fy)}"'
    return f'<radialGradient id="{gid}" cx="{n(cx)}" cy="{n(cy)}" r="{n(r)}"{f}>{s}</radialGradient>\n'


def rrect(x, y, w, h, r, fill, extra=""):
    return (
        f'<rect x="{n(x)}" y="{n(y)}" width="{n(w)}" height="{n(h)}" rx="{n(r)}" ry="{n(r)}" '
        f'fill="{fill}" {extra}/>'
    )


class Glyphs:
    """Glyph outlines from the Qt tool, fetched in one batch.

    The generator runs twice: the first pass only records which texts it
    needs (and draws placeholders), then `fetch()` outlines them all, then the
    second pass writes the real art.
    """

    def __init__(self):
        self.cache = {}
        self.wanted = {}
        self.tool = None
        self.work = None

    @staticmethod
    def key(text, family, weight, spacing):
        return f"{family}|{weight}|{spacing}|{text}"

    def get(self, text, family, weight, spacing=0):
        k = self.key(text, family, weight, spacing)
        if k in self.cache:
            return self.cache[k]
        self.wanted[k] = {"key": k, "text": text, "family": family, "weight": weight,
                          "pixelSize": 100, "spacing": spacing}
        return {"d": "M0 -70L70 -70L70 0L0 0Z", "x": 0, "y": -70, "w": 70, "h": 70, "advance": 70}

    def fetch(self):
        if not self.wanted:
            return
        req = os.path.join(self.work, "glyph-request.json")
        out = os.path.join(self.work, "glyph-answer.json")
        with open(req, "w", encoding="utf-8") as f:
            json.dump(list(self.wanted.values()), f, ensure_ascii=False)
        subprocess.run([self.tool, "glyphs", req, out], check=True)
        with open(out, encoding="utf-8") as f:
            answer = json.load(f)
        for k, v in answer.items():
            want = self.wanted[k]["family"]
            if want.split()[0] not in v.get("resolvedFamily", want):
                raise SystemExit(f"font {want} is not installed (got {v.get('resolvedFamily')})")
        self.cache.update(answer)
        self.wanted = {}


GLYPHS = Glyphs()


def text(s, box, fill, family=SERIF_CJK, weight=BOLD, align="center", valign="middle", extra="",
         spacing=0, stretch=False, fixed=None, outline=None):
    """The outline of s fitted into box (x, y, w, h), keeping its proportions
    unless stretch is set; fixed caps the scale (100 px glyphs), so that a
    flat glyph such as 一 keeps the size of its neighbours."""
    g = GLYPHS.get(s, family, weight, spacing)
    x, y, w, h = box
    gw, gh = max(g["w"], 1e-3), max(g["h"], 1e-3)
    sx = sy = min(w / gw, h / gh)
    if fixed is not None:
        sx = sy = min(sx, fixed)
    if stretch:
        sx, sy = w / gw, h / gh
    if align == "left":
        tx = x - g["x"] * sx
    elif align == "right":
        tx = x + w - (g["x"] + gw) * sx
    else:
        tx = x + (w - gw * sx) / 2 - g["x"] * sx
    if valign == "top":
        ty = y - g["y"] * sy
    elif valign == "bottom":
        ty = y + h - (g["y"] + gh) * sy
    else:
        ty = y + (h - gh * sy) / 2 - g["y"] * sy
    sc = f"{sx:.4f}" if abs(sx - sy) < 1e-9 else f"{sx:.4f} {sy:.4f}"
    if outline:
        # outline = (colour, width in output units): the stroke lives in glyph units.
        extra += (f' stroke="{outline[0]}" stroke-width="{n(outline[1] / sx)}" stroke-linejoin="round"'
                  f' stroke-linecap="round"')
    return f'<path d="{g["d"]}" transform="translate({n(tx)} {n(ty)}) scale({sc})" fill="{fill}" {extra}/>'


def write(path, content):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8") as f:
        f.write(content)
