"""Tile faces: the 42 designs, drawn in a 192 x 220 box (the proportions of a
tile's top surface), transparent around the symbols so that the ivory of the
back sheet shows through."""

import math

from svgkit import BLACK, BOLD, SANS, SERIF_CJK, bounds_rect, n, rrect, text

W, H = 192, 220

IDS = (
    [f"bamboo_{i}" for i in range(1, 10)]
    + [f"character_{i}" for i in range(1, 10)]
    + [f"circle_{i}" for i in range(1, 10)]
    + ["east_wind", "south_wind", "west_wind", "north_wind", "green_dragon", "red_dragon", "white_dragon",
       "plum_blossom", "orchid", "chrysanthemum", "bamboo", "spring", "summer", "autumn", "winter"]
)

NUMERALS = "一二三四五六七八九"

PALETTES = {
    "classic": {
        "ink": "#1b2a44", "red": "#b3262d", "green": "#1e6b43", "blue": "#1f4f8f",
        "stick": "#2f7d4a", "stickdark": "#1a4f30", "stickblue": "#1f5a8a", "stickbluedark": "#143a5c",
        "ivory": "#fbf6e6", "gold": "#c99a2e", "mark": "#b3262d",
        "plum": "#a8345a", "orchid": "#6b3f8c", "mum": "#b37a12", "flowerbamboo": "#2f7d4a",
        "spring": "#3f8a3a", "summer": "#b3262d", "autumn": "#b5651d", "winter": "#1f4f8f",
    },
    # The "rustic" sheet: earthier inks, as if printed with older pigments.
    "rustic": {
        "ink": "#3a2416", "red": "#9c3320", "green": "#44642a", "blue": "#2b4c68",
        "stick": "#557a2c", "stickdark": "#34501a", "stickblue": "#2f5670", "stickbluedark": "#1e3a4d",
        "ivory": "#f4e8c8", "gold": "#b08530", "mark": "#9c3320",
        "plum": "#98344c", "orchid": "#5e3f78", "mum": "#a06c16", "flowerbamboo": "#4d6f2a",
        "spring": "#4d7a2e", "summer": "#9c3320", "autumn": "#a35a1c", "winter": "#2b4c68",
    },
}


def dot(cx, cy, r, color, p):
    return (
        f'<circle cx="{n(cx)}" cy="{n(cy)}" r="{n(r)}" fill="{color}"/>'
        f'<circle cx="{n(cx)}" cy="{n(cy)}" r="{n(r * 0.74)}" fill="{p["ivory"]}"/>'
        f'<circle cx="{n(cx)}" cy="{n(cy)}" r="{n(r * 0.56)}" fill="{color}"/>'
        f'<circle cx="{n(cx)}" cy="{n(cy)}" r="{n(r * 0.2)}" fill="{p["ivory"]}"/>'
    )


def big_dot(p):
    cx, cy = W / 2, H / 2
    out = [f'<circle cx="{n(cx)}" cy="{n(cy)}" r="76" fill="{p["green"]}"/>',
           f'<circle cx="{n(cx)}" cy="{n(cy)}" r="66" fill="{p["ivory"]}"/>']
    for i in range(12):
        a = i * math.pi / 6
        out.append(f'<circle cx="{n(cx + 50 * math.cos(a))}" cy="{n(cy + 50 * math.sin(a))}" r="9.5" fill="{p["red"]}"/>')
    out.append(f'<circle cx="{n(cx)}" cy="{n(cy)}" r="36" fill="{p["blue"]}"/>')
    out.append(f'<circle cx="{n(cx)}" cy="{n(cy)}" r="25" fill="{p["ivory"]}"/>')
    out.append(f'<circle cx="{n(cx)}" cy="{n(cy)}" r="15" fill="{p["red"]}"/>')
    out.append(f'<circle cx="{n(cx)}" cy="{n(cy)}" r="5" fill="{p["ivory"]}"/>')
    return "".join(out)


def circles(k, p):
    if k == 1:
        return big_dot(p)
    b, g, r = p["blue"], p["green"], p["red"]
    layouts = {
        2: [(96, 64, 42, g), (96, 156, 42, b)],
        3: [(46, 48, 32, b), (96, 110, 32, r), (146, 172, 32, g)],
        4: [(56, 66, 36, b), (136, 66, 36, g), (56, 154, 36, g), (136, 154, 36, b)],
        5: [(50, 54, 30, b), (142, 54, 30, g), (96, 110, 30, r), (50, 166, 30, g), (142, 166, 30, b)],
        6: [(60, 44, 26, g), (132, 44, 26, g), (60, 118, 26, r), (132, 118, 26, r), (60, 178, 26, r),
            (132, 178, 26, r)],
        7: [(40, 34, 21, g), (96, 56, 21, g), (152, 78, 21, g), (60, 132, 24, r), (132, 132, 24, r),
            (60, 184, 24, r), (132, 184, 24, r)],
        8: [(62, 34 + i * 50.7, 23, b) for i in range(4)] + [(130, 34 + i * 50.7, 23, b) for i in range(4)],
        9: [(44 + c * 52, 46 + row * 64, 25, (b, r, g)[row]) for row in range(3) for c in range(3)],
    }
    return "".join(dot(x, y, rr, col, p) for x, y, rr, col in layouts[k])


def stick(cx, cy, length, width, color, dark, angle=0):
    x, y = cx - width / 2, cy - length / 2
    node = lambda yy: rrect(x - 2.5, yy - 4, width + 5, 8, 3.5, dark)
    body = (
        rrect(x, y, width, length, width * 0.45, color)
        + f'<rect x="{n(cx - width * 0.22)}" y="{n(y + 6)}" width="{n(width * 0.16)}" height="{n(length - 12)}" '
        f'fill="#ffffff" fill-opacity="0.35"/>'
        + f'<rect x="{n(cx + width * 0.12)}" y="{n(y + 6)}" width="{n(width * 0.14)}" height="{n(length - 12)}" '
        f'fill="{dark}" fill-opacity="0.35"/>'
        + node(y + 3) + node(cy) + node(y + length - 3)
    )
    if angle:
        return f'<g transform="rotate({n(angle)} {n(cx)} {n(cy)})">{body}</g>'
    return body


def bird(p):
    g, b, r, ink = p["green"], p["blue"], p["red"], p["ink"]
    out = []
    # Tail: three long feathers fanning out behind the bird, each with an eye.
    # (Rotated shapes count with their rotated bounding boxes: keep them inside the face.)
    for ang, col in ((-56, b), (-36, g), (-16, b)):
        out.append(f'<g transform="rotate({ang} 92 128)">'
                   f'<ellipse cx="92" cy="80" rx="14" ry="46" fill="{col}"/>'
                   f'<circle cx="92" cy="52" r="8" fill="{p["ivory"]}"/><circle cx="92" cy="52" r="4.5" fill="{r}"/>'
                   f'</g>')
    # Perch.
    out.append(stick(96, 190, 150, 14, p["stick"], p["stickdark"], angle=90))
    # Legs.
    out.append(f'<path d="M104 150L98 184M120 150L122 184" stroke="{ink}" stroke-width="5" stroke-linecap="round" fill="none"/>')
    # Body and wing.
    out.append(f'<ellipse cx="114" cy="126" rx="42" ry="32" fill="{g}"/>')
    out.append(f'<ellipse cx="124" cy="134" rx="24" ry="18" fill="{p["gold"]}"/>')
    out.append(f'<path d="M80 116C96 98 126 100 136 118C118 116 100 124 84 138Z" fill="{p["stickdark"]}"/>')
    # Head with crest, eye and beak.
    out.append(f'<circle cx="148" cy="86" r="21" fill="{g}"/>')
    out.append(f'<path d="M140 68L136 44L148 64L152 40L156 66Z" fill="{r}"/>')
    out.append(f'<path d="M166 82L186 90L166 96Z" fill="{p["gold"]}"/>')
    out.append(f'<circle cx="154" cy="84" r="6" fill="{p["ivory"]}"/><circle cx="155.5" cy="84" r="3" fill="{ink}"/>')
    return "".join(out)


def bamboos(k, p):
    if k == 1:
        return bird(p)
    G, D = p["stick"], p["stickdark"]
    B, BD = p["stickblue"], p["stickbluedark"]
    R, RD = p["red"], "#6e1a1d" if p["red"] == "#b3262d" else "#5e2214"
    s = []
    if k == 2:
        s = [(96, 62, 86, 26, G, D), (96, 158, 86, 26, B, BD)]
    elif k == 3:
        s = [(96, 62, 86, 26, B, BD), (60, 158, 86, 26, G, D), (132, 158, 86, 26, G, D)]
    elif k == 4:
        s = [(60, 62, 86, 26, B, BD), (132, 62, 86, 26, G, D), (60, 158, 86, 26, G, D), (132, 158, 86, 26, B, BD)]
    elif k == 5:
        s = [(44, 62, 86, 24, G, D), (148, 62, 86, 24, B, BD), (96, 110, 86, 24, R, RD), (44, 158, 86, 24, B, BD),
             (148, 158, 86, 24, G, D)]
    elif k == 6:
        s = [(x, y, 86, 24, c, d) for y, (c, d) in ((62, (B, BD)), (158, (G, D))) for x in (44, 96, 148)]
    elif k == 7:
        s = [(96, 44, 58, 22, R, RD)] + [(x, y, 58, 22, G if y == 110 else B, D if y == 110 else BD)
                                          for y in (110, 176) for x in (44, 96, 148)]
    elif k == 8:
        out = []
        for y, tilt in ((62, 1), (158, -1)):
            out.append(stick(34, y, 84, 20, G, D))
            out.append(stick(75, y, 88, 20, B, BD, angle=22 * tilt))
            out.append(stick(117, y, 88, 20, B, BD, angle=-22 * tilt))
            out.append(stick(158, y, 84, 20, G, D))
        return "".join(out)
    elif k == 9:
        s = [(x, y, 58, 22, c, d) for y in (44, 110, 176)
             for x, (c, d) in ((44, (G, D)), (96, (R, RD)), (148, (B, BD)))]
    return "".join(stick(*a) for a in s)


def characters(k, p):
    return (text(NUMERALS[k - 1], (22, 12, 148, 92), p["ink"], SERIF_CJK, BLACK, fixed=1.02)
            + text("萬", (20, 104, 152, 104), p["red"], SERIF_CJK, BLACK))


def blossom(cx, cy, r, color, centre):
    out = []
    for i in range(5):
        a = -math.pi / 2 + i * 2 * math.pi / 5
        out.append(f'<circle cx="{n(cx + r * 0.55 * math.cos(a))}" cy="{n(cy + r * 0.55 * math.sin(a))}" '
                   f'r="{n(r * 0.45)}" fill="{color}"/>')
    out.append(f'<circle cx="{n(cx)}" cy="{n(cy)}" r="{n(r * 0.3)}" fill="{centre}"/>')
    return "".join(out)


def bonus(glyph, number, colour, number_colour, motif, p):
    return (text(glyph, (30, 56, 132, 142), colour, SERIF_CJK, BLACK)
            + text(str(number), (14, 10, 30, 40), number_colour, SANS, BOLD)
            + motif)


def honour_art(tile, p):
    if tile.endswith("_wind"):
        glyph = {"east": "東", "south": "南", "west": "西", "north": "北"}[tile.split("_")[0]]
        return text(glyph, (20, 22, 152, 176), p["ink"], SERIF_CJK, BLACK)
    if tile == "red_dragon":
        return text("中", (22, 18, 148, 184), p["red"], SERIF_CJK, BLACK)
    if tile == "green_dragon":
        return text("發", (16, 18, 160, 184), p["green"], SERIF_CJK, BLACK)
    if tile == "white_dragon":
        return (f'<rect x="34" y="30" width="124" height="160" rx="10" fill="none" stroke="{p["blue"]}" stroke-width="11"/>'
                f'<rect x="52" y="48" width="88" height="124" rx="4" fill="none" stroke="{p["blue"]}" stroke-width="4"/>')
    flowers = {"plum_blossom": ("梅", 1, "plum"), "orchid": ("蘭", 2, "orchid"),
               "chrysanthemum": ("菊", 3, "mum"), "bamboo": ("竹", 4, "flowerbamboo")}
    if tile in flowers:
        g, num, col = flowers[tile]
        return bonus(g, num, p[col], p["red"], blossom(158, 32, 22, p[col], p["gold"]), p)
    seasons = {"spring": ("春", 1), "summer": ("夏", 2), "autumn": ("秋", 3), "winter": ("冬", 4)}
    g, num = seasons[tile]
    col = p[tile]
    motif = (f'<circle cx="160" cy="30" r="15" fill="none" stroke="{col}" stroke-width="5"/>'
             f'<circle cx="160" cy="30" r="6" fill="{col}"/>')
    return bonus(g, num, col, p["blue"], motif, p)


def art(tile, p):
    suit, _, rank = tile.rpartition("_")
    if suit in ("bamboo", "character", "circle") and rank.isdigit():
        k = int(rank)
        return {"bamboo": bamboos, "character": characters, "circle": circles}[suit](k, p)
    return honour_art(tile, p)


def mark_for(tile, marks):
    """The corner index of a face, or None. marks: "all", "half" or "none"."""
    suit, _, rank = tile.rpartition("_")
    if marks == "none":
        return None
    if suit in ("bamboo", "circle") and rank.isdigit():
        return rank if marks == "all" else None
    if suit == "character" and rank.isdigit():
        return rank
    if tile.endswith("_wind"):
        return tile[0].upper()
    return None


def face(tile, p, marks):
    body = art(tile, p)
    m = mark_for(tile, marks)
    if m is not None:
        # Leave the top left corner to the index and shrink the design a little.
        body = (f'<g transform="translate(24 22) scale(0.875)">{body}</g>'
                + text(m, (8, 6, 34, 40), p["mark"], SANS, BOLD, valign="top", align="left", fixed=0.46))
    return bounds_rect(W, H) + body


def sheet(style="classic", marks="all"):
    """The body of a face sheet: one group per tile, ids as the table expects."""
    p = PALETTES[style]
    cols = 7
    groups = []
    for i, tile in enumerate(IDS):
        x, y = (i % cols) * (W + 8) + 4, (i // cols) * (H + 8) + 4
        groups.append(f'<g id="{tile}" transform="translate({x} {y})">{face(tile, p, marks)}</g>\n')
    width, height = cols * (W + 8), 6 * (H + 8)
    return width, height, "".join(groups)
