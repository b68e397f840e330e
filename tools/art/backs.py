"""Tile backs ("blanks"): the tile bodies in every pose the table draws, and the
PNG sheets cut by fixed rectangles.

A tile is an ivory front layer on a coloured back layer. Seen from the
player's side of the table, each lying tile shows its top surface and, below
it, its thickness; the split renders stretch the two parts independently, so
every element is drawn with the same split as the table uses: top surface
first, thickness below (220 : 69 upright, 192 : 69 sideways, per tile).
"""

from svgkit import bounds_rect, lin, n, rrect

THEMES = {
    # name: back colour, its dark shade, light shade, texture
    "bamboo": ("#c9a55c", "#8f6c2c", "#e3c986", "fibre"),
    "green1": ("#2f7a55", "#1b4b34", "#4f9a74", "sheen"),
    "red": ("#9e322b", "#651c18", "#c0544a", "sheen"),
    "green2": ("#1d6b5a", "#0f3f34", "#3b8f7c", "sheen"),
    "darkwood": ("#5b3a22", "#36220f", "#7d5535", "grain"),
}

UNIT = 69          # thickness of one tile in design units
UP = (192, 220)    # top surface of an upright tile
SIDE = (220, 192)  # top surface of a sideways tile
IVORY_PART = 0.56  # share of the thickness that is ivory
OUTLINE = 'stroke="#2e2418" stroke-opacity="0.55" stroke-width="3"'


def defs(theme):
    back, dark, light, _ = THEMES[theme]
    return (
        lin("ivoryTop", [(0, "#fffaec"), (0.55, "#f7efd9"), (1, "#eadfc2")], 0, 0, 0.35, 1)
        + lin("ivorySide", [(0, "#e2d5b1"), (1, "#c9b88f")])
        + lin("backTop", [(0, light), (0.45, back), (1, dark)], 0, 0, 0.4, 1)
        + lin("backSide", [(0, back), (1, dark)])
        + lin("handFace", [(0, "#fffcf1"), (0.6, "#f8f0db"), (1, "#e9ddbe")], 0, 0, 0.25, 1)
        + lin("handFaceHi", [(0, "#fffbe6"), (0.6, "#fff1c6"), (1, "#f4dc98")], 0, 0, 0.25, 1)
        + lin("sheen", [(0, "#ffffff", 0.22), (0.5, "#ffffff", 0.0), (1, "#000000", 0.12)], 0, 0, 1, 1)
    )


def texture(x, y, w, h, theme):
    """Surface detail on a back surface (x, y, w, h)."""
    kind = THEMES[theme][3]
    out = []
    if kind == "grain":
        for i in range(7):
            yy = y + h * (i + 0.6) / 7.5
            amp = h * 0.025 * (1 + i % 3)
            out.append(f'<path d="M{n(x + 8)} {n(yy)}C{n(x + w * 0.3)} {n(yy - amp)} {n(x + w * 0.6)} {n(yy + amp)} '
                       f'{n(x + w - 8)} {n(yy - amp * 0.5)}" fill="none" stroke="#1f1208" stroke-opacity="0.28" '
                       f'stroke-width="{n(2 + i % 2)}"/>')
    elif kind == "fibre":
        for i in range(9):
            xx = x + w * (i + 0.5) / 9
            out.append(f'<path d="M{n(xx)} {n(y + 10)}L{n(xx + (i % 3 - 1) * 3)} {n(y + h - 10)}" stroke="#6e4f1c" '
                       f'stroke-opacity="0.22" stroke-width="2.5"/>')
    out.append(rrect(x, y, w, h, 14, "url(#sheen)"))
    return "".join(out)


def lying(w, top, layers, top_fill, theme, face_up):
    """A tile (or stack) lying on the table: top surface of height `top`, then
    the thickness layers [(height, fill)] from top to bottom."""
    total = top + sum(h for h, _ in layers)
    out = [bounds_rect(w, total), rrect(1.5, 1.5, w - 3, total - 3, 16, layers[-1][1], OUTLINE)]
    y = top
    for i, (h, fill) in enumerate(layers[:-1]):
        out.append(f'<rect x="3" y="{n(y)}" width="{n(w - 6)}" height="{n(h)}" fill="{fill}"/>')
        y += h
    # Seams between stacked tiles.
    y = top
    for h, fill in layers:
        y += h
        if fill == "url(#ivorySide)" and y < total - 1:
            out.append(f'<rect x="3" y="{n(y - 1.5)}" width="{n(w - 6)}" height="3" fill="#2e2418" fill-opacity="0.5"/>')
    out.append(rrect(1.5, 1.5, w - 3, top - 1.5, 16, top_fill, OUTLINE))
    if not face_up:
        out.append(texture(1.5, 1.5, w - 3, top - 1.5, theme))
    else:
        # A faint bevel along the edge of the ivory surface.
        out.append(rrect(7, 7, w - 14, top - 14, 12, "none", 'stroke="#ffffff" stroke-opacity="0.6" stroke-width="3"'))
    return "".join(out)


def tile_layers(face_up):
    ivory = (UNIT * IVORY_PART, "url(#ivorySide)")
    back = (UNIT * (1 - IVORY_PART), "url(#backSide)")
    return [ivory, back] if face_up else [back, ivory]


def declared(size, theme):
    w, top = size
    return lying(w, top, tile_layers(True), "url(#ivoryTop)", theme, True)


def wall(size, count, theme):
    w, top = size
    layers = []
    for _ in range(count):
        layers += tile_layers(False)
    return lying(w, top, layers, "url(#backTop)", theme, False)


def dora(size, theme):
    w, top = size
    return lying(w, top, tile_layers(True) + tile_layers(False), "url(#ivoryTop)", theme, True)


def turned(theme):
    # A sideways tile whose top surface and thickness keep the upright split
    # (220 : 69), because the table renders it with the upright proportions.
    w, top = SIDE
    side = top * UNIT / 220.0
    layers = [(side * IVORY_PART, "url(#ivorySide)"), (side * (1 - IVORY_PART), "url(#backSide)")]
    return lying(w, top, layers, "url(#ivoryTop)", theme, True)


def hand(theme, highlight):
    w, h = 192, 192 * 55 / 35.0
    strip = h * 12 / 55.0
    face = "url(#handFaceHi)" if highlight else "url(#handFace)"
    out = [bounds_rect(w, h), rrect(1.5, 1.5, w - 3, h - 3, 18, face, OUTLINE)]
    out.append(rrect(1.5, 1.5, w - 3, strip * 0.5, 14, "url(#backTop)", OUTLINE))
    out.append(f'<rect x="3" y="{n(strip * 0.36)}" width="{n(w - 6)}" height="{n(strip * 0.64 - 1.5)}" fill="url(#ivorySide)"/>')
    out.append(f'<rect x="3" y="{n(strip - 2)}" width="{n(w - 6)}" height="3" fill="#2e2418" fill-opacity="0.35"/>')
    out.append(rrect(9, strip + 7, w - 18, h - strip - 16, 12, "none",
                     'stroke="#ffffff" stroke-opacity="0.65" stroke-width="3"'))
    if highlight:
        out.append(rrect(4.5, 4.5, w - 9, h - 9, 16, "none", 'stroke="#d9a62a" stroke-width="8"'))
    return "".join(out)


def hidden_top(theme):
    w, h = 198, 210
    strip = 70
    out = [bounds_rect(w, h), rrect(1.5, 1.5, w - 3, h - 3, 16, "url(#backTop)", OUTLINE)]
    out.append(rrect(1.5, 1.5, w - 3, strip * IVORY_PART, 12, "url(#ivorySide)", OUTLINE))
    out.append(f'<rect x="3" y="{n(strip - 2)}" width="{n(w - 6)}" height="3" fill="#2e2418" fill-opacity="0.4"/>')
    out.append(texture(4, strip + 2, w - 8, h - strip - 6, theme))
    return "".join(out)


def hidden_bottom(theme):
    w, h = 198, 140
    out = [bounds_rect(w, h), rrect(1.5, 1.5, w - 3, h - 3, 16, "url(#backTop)", OUTLINE)]
    out.append(rrect(1.5, 1.5, w - 3, 16, 8, "url(#ivorySide)", OUTLINE))
    out.append(texture(4, 18, w - 8, h - 22, theme))
    return "".join(out)


def hidden_side(theme, right):
    w, h = 148, 272
    top = 128
    bw = w * (1 - IVORY_PART)
    bx = 0 if right else w - bw
    ix = bw if right else 0
    out = [bounds_rect(w, h), rrect(1.5, 1.5, w - 3, h - 3, 14, "url(#ivorySide)", OUTLINE)]
    out.append(f'<rect x="{n(bx + 1.5)}" y="1.5" width="{n(bw - 3)}" height="{n(h - 3)}" fill="url(#backSide)"/>')
    # The top edge, lighter than the side below it.
    out.append(f'<rect x="{n(ix + 3)}" y="3" width="{n(w - bw - 6)}" height="{n(top - 3)}" fill="#f6eed8"/>')
    out.append(f'<rect x="{n(bx + 3)}" y="3" width="{n(bw - 6)}" height="{n(top - 3)}" fill="url(#backTop)"/>')
    out.append(f'<rect x="3" y="{n(top - 1.5)}" width="{n(w - 6)}" height="3" fill="#2e2418" fill-opacity="0.45"/>')
    out.append(rrect(1.5, 1.5, w - 3, h - 3, 14, "none", OUTLINE))
    return "".join(out)


ORIENTATIONS = ["Bottom", "Right", "Top", "Left"]


def elements(theme):
    """{element id: svg body}, every body starting at (0, 0)."""
    e = {"hand": hand(theme, False), "handHighlight": hand(theme, True)}
    for i, o in enumerate(ORIENTATIONS):
        size = UP if i % 2 == 0 else SIDE
        e["declared" + o] = declared(size, theme)
        for count, word in ((1, "Single"), (2, "Double"), (3, "Triple")):
            e["wall" + word + o] = wall(size, count, theme)
        e["wallDora" + o] = dora(size, theme)
    e["declaredBottomTurned"] = turned(theme)
    e["declaredTopTurned"] = turned(theme)
    e["hiddenTop"] = hidden_top(theme)
    e["hiddenBottom"] = hidden_bottom(theme)
    e["hiddenRight"] = hidden_side(theme, True)
    e["hiddenLeft"] = hidden_side(theme, False)
    return e


def sheet(theme):
    els = elements(theme)
    cols, cw, ch = 7, 240, 460
    body = []
    for i, (eid, content) in enumerate(els.items()):
        x, y = (i % cols) * cw + 10, (i // cols) * ch + 10
        body.append(f'<g id="{eid}" transform="translate({x} {y})">{content}</g>\n')
    rows = (len(els) + cols - 1) // cols
    return cols * cw, rows * ch, defs(theme), "".join(body)


# The PNG back sheets: element, rectangle (left, top, width, height), and the
# height of the top surface inside it (None: whole-element render).
def png_items():
    up_f = 220 / 289.0
    side_f = 192 / 261.0
    items = []

    def split(eid, rect, w, top, depth, fraction):
        items.append({"element": eid, "rect": [rect[0], rect[1], w, top + depth], "top": top, "fraction": fraction})

    hand_f = 12 / 55.0
    split("hand", (30, 40), 28, 6, 39, hand_f)
    split("handHighlight", (238, 40), 28, 6, 39, hand_f)
    decl = {"Bottom": (0, 40), "Right": (0, 5), "Top": (60, 40), "Left": (224, 90)}
    for o, at in decl.items():
        if o in ("Bottom", "Top"):
            split("declared" + o, at, 28, 39, 4, up_f)
        else:
            split("declared" + o, at, 39, 28, 6, side_f)
    walls = {
        "Bottom": [(208, 40), (178, 40), (112, 90)], "Right": [(183, 90), (142, 90), (71, 90)],
        "Top": [(148, 40), (118, 40), (41, 90)], "Left": [(259, 6), (218, 1), (0, 90)],
    }
    for o, places in walls.items():
        for k, (word, at) in enumerate(zip(("Single", "Double", "Triple"), places), start=1):
            if o in ("Bottom", "Top"):
                split("wall" + word + o, at, 28, 38, 5 * k, 220 / (220 + 69.0 * k))
            else:
                split("wall" + word + o, at, 39, 27, 5 * k, 192 / (192 + 69.0 * k))
    doras = {"Bottom": (41, 145), "Right": (224, 164), "Top": (71, 145), "Left": (265, 164)}
    for o, at in doras.items():
        if o in ("Bottom", "Top"):
            split("wallDora" + o, at, 28, 38, 10, 220 / 358.0)
        else:
            split("wallDora" + o, at, 39, 27, 10, 192 / 330.0)
    split("declaredBottomTurned", (41, 5), 39, 28, 6, up_f)
    # The Top turned picture shares its rectangle with the Left face-up tile.
    hidden = {"hiddenBottom": (268, 40, 27, 26), "hiddenRight": (109, 0, 26, 39), "hiddenTop": (90, 40, 27, 26),
              "hiddenLeft": (82, 0, 26, 39)}
    for eid, rect in hidden.items():
        items.append({"element": "hiddenTop" if eid == "hiddenBottom" else eid, "rect": list(rect)})
    return items


PNG_SHEET_SIZE = (306, 204)


def highlights():
    """tile-highlights-red.png: one red frame per orientation at fixed places."""
    rects = [(43, 1, 29, 43), (1, 1, 40, 34), (74, 1, 29, 43), (105, 1, 40, 34)]
    body = []
    for x, y, w, h in rects:
        body.append(rrect(x + 1, y + 1, w - 2, h - 2, 3.5, "#e0443a", 'fill-opacity="0.14" stroke="#d4302a" stroke-width="2"'))
        body.append(rrect(x + 2.5, y + 2.5, w - 5, h - 5, 2.5, "none", 'stroke="#ff9a80" stroke-opacity="0.7" stroke-width="1"'))
    return 146, 45, "".join(body)
