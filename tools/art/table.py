"""The game table: cloth, wind indicators, riichi stick, the own hand's rack,
the side bar and its panels, and the table's small pictures."""

import os

from svgkit import BLACK, BOLD, SANS, SERIF_CJK, bounds_rect, doc, lin, n, rad, rrect, text

WINDS = ["east", "south", "west", "north"]
WIND_GLYPHS = {"east": "東", "south": "南", "west": "西", "north": "北"}

CREAM = "#fff4bd"
GOLD = "#c9a05a"
WALNUT = ("#4a2f1c", "#2e1c0f")


def wind_indicators():
    # The glow is drawn over the indicator: a warm ring around the disc.
    d = (rad("glowFill", [(0, "#ffe08a", 0), (0.66, "#ffe08a", 0), (0.78, "#ffd462", 0.95), (0.88, "#f3b840", 0.55),
                          (1, "#e0a030", 0)])
         + rad("discFill", [(0, "#fffaf0"), (0.75, "#f3e8cc"), (1, "#dccb9f")], 0.45, 0.4, 0.6)
         + rad("prevFill", [(0, "#7a2a22"), (1, "#4a1712")], 0.45, 0.4, 0.65))
    body = []
    # Every element is drawn centred on its own; positions here only keep them apart.
    body.append('<g id="glow" transform="translate(0 0)">'
                '<circle cx="31" cy="31" r="31" fill="url(#glowFill)"/></g>\n')
    body.append('<g id="blank" transform="translate(70 0)">'
                '<circle cx="31" cy="31" r="25" fill="#4c2616"/>'
                '<circle cx="31" cy="31" r="22.5" fill="url(#discFill)"/>'
                f'<circle cx="31" cy="31" r="20" fill="none" stroke="{GOLD}" stroke-width="1.2"/></g>\n')
    for i, w in enumerate(WINDS):
        colour = "#b3262d" if w == "east" else "#1b2a44"
        body.append(f'<g id="{w}" transform="translate({140 + i * 40} 18)">'
                    + text(WIND_GLYPHS[w], (0, 0, 25, 25), colour, SERIF_CJK, BLACK) + "</g>\n")
    for i, w in enumerate(WINDS):
        body.append(f'<g id="prevalent{w.capitalize()}" transform="translate({i * 70} 80)">'
                    '<circle cx="31" cy="31" r="31" fill="#2a140c"/>'
                    f'<circle cx="31" cy="31" r="29" fill="{GOLD}"/>'
                    '<circle cx="31" cy="31" r="26" fill="url(#prevFill)"/>'
                    + text(WIND_GLYPHS[w], (16, 16, 30, 30), "#fff1c8", SERIF_CJK, BLACK)
                    + "</g>\n")
    return doc(300, 150, "".join(body), d)


def riichi_stick():
    # The element's box is twice as high as the stick, so that stacked sticks
    # keep a gap between them.
    d = lin("stickBody", [(0, "#ffffff"), (0.5, "#f4ecd6"), (1, "#d8ccaa")])
    body = ('<g id="stick">' + bounds_rect(260, 26)
            + rrect(1, 6, 258, 14, 6.5, "url(#stickBody)", 'stroke="#6b5a3e" stroke-width="1.5"')
            + '<circle cx="130" cy="13" r="4.6" fill="#c0282d"/>'
            + '<circle cx="128.6" cy="11.6" r="1.4" fill="#ffffff" fill-opacity="0.6"/></g>\n')
    return doc(260, 26, body, d)


def hand_frame():
    d = (lin("rackWood", [(0, "#6b4428"), (0.5, "#55351e"), (1, "#3a2413")])
         + lin("rackTray", [(0, "#2c1a0d"), (1, "#4a2f1a")]))
    grain = "".join(
        f'<path d="M14 {n(y)}C180 {n(y - 3)} 420 {n(y + 3)} 586 {n(y - 1)}" fill="none" stroke="#1e1007" '
        f'stroke-opacity="0.25" stroke-width="1.5"/>' for y in (20, 44, 70, 96))
    body = ('<g id="frame">'
            + rrect(0, 0, 600, 110, 18, "url(#rackWood)", 'stroke="#1c0f06" stroke-width="2"')
            + grain
            + rrect(16, 8, 568, 86, 10, "url(#rackTray)")
            + f'<rect x="16" y="92" width="568" height="3" fill="{GOLD}" fill-opacity="0.55"/>'
            + '<rect x="4" y="2" width="592" height="3" rx="1.5" fill="#ffffff" fill-opacity="0.15"/>'
            + '</g>\n'
            + '<rect id="frameArea" x="20" y="10" width="560" height="84" fill="#000" fill-opacity="0"/>\n')
    return doc(600, 110, body, d)


def game_background():
    d = (rad("felt", [(0, "#2f6f53"), (0.55, "#255c45"), (1, "#163a2c")], 0.5, 0.48, 0.72)
         + rad("vignette", [(0.6, "#000000", 0), (1, "#000000", 0.35)], 0.5, 0.5, 0.75))
    rings = "".join(
        f'<circle cx="512" cy="384" r="{r}" fill="none" stroke="#e8f0d8" stroke-opacity="{o}" stroke-width="{w}"/>'
        for r, o, w in ((300, 0.05, 3), (290, 0.04, 1.5), (180, 0.03, 1.5)))
    body = ('<rect width="1024" height="768" fill="url(#felt)"/>' + rings
            + '<rect width="1024" height="768" fill="url(#vignette)"/>\n')
    return doc(1024, 768, body, d)


def walnut_defs(gid="walnut"):
    return lin(gid, [(0, WALNUT[0]), (1, WALNUT[1])])


def grain(w, h, count=6, opacity=0.22):
    return "".join(
        f'<path d="M0 {n(h * (i + 0.5) / count)}C{n(w * 0.3)} {n(h * (i + 0.3) / count)} {n(w * 0.7)} '
        f'{n(h * (i + 0.8) / count)} {n(w)} {n(h * (i + 0.45) / count)}" fill="none" stroke="#150b04" '
        f'stroke-opacity="{opacity}" stroke-width="1"/>' for i in range(count))


def side_bar(out, d):
    # Top container.
    out.png(os.path.join(d, "sb-top.png"), 228, 92,
            '<rect width="228" height="92" fill="url(#walnut)"/>' + grain(228, 92)
            + '<rect width="228" height="1" fill="#ffffff" fill-opacity="0.12"/>'
            + f'<rect y="90" width="228" height="2" fill="{GOLD}" fill-opacity="0.8"/>',
            walnut_defs())
    # Player panel (the players frame repeats it every 98 pixels).
    out.png(os.path.join(d, "player-widget.png"), 228, 98,
            '<rect width="228" height="98" fill="#24160c"/>'
            + rrect(2, 2, 224, 94, 6, "url(#panel)", 'stroke="#6b4a2a" stroke-width="1"')
            + grain(228, 98, 5, 0.12)
            + rrect(3.5, 29.5, 65, 65, 4, "#1a0f07", 'fill-opacity="0.55" stroke="#8a6a3e" stroke-opacity="0.6"')
            + f'<rect x="8" y="28" width="212" height="1" fill="{GOLD}" fill-opacity="0.35"/>',
            lin("panel", [(0, "#3e2916"), (1, "#2c1c0f")]))
    # Highlight behind the player whose turn it is.
    out.png(os.path.join(d, "sb-hilight.png"), 228, 97,
            rrect(1.5, 1.5, 225, 94, 7, "url(#hl)", 'stroke="#8fb860" stroke-opacity="0.8" stroke-width="1.5"')
            + rrect(4, 4, 220, 20, 5, "#ffffff", 'fill-opacity="0.06"'),
            lin("hl", [(0, "#3a5f2a", 0.9), (1, "#1e3514", 0.9)]))
    # Seat wind icons: four 26 x 21 badges, East South West North.
    icons = []
    for i, w in enumerate(WINDS):
        x = i * 26
        colour = "#b3262d" if w == "east" else "#1b2a44"
        icons.append(rrect(x + 3.5, 1, 19, 19, 3, "url(#badge)", 'stroke="#5a3a1e" stroke-width="1"')
                     + text(WIND_GLYPHS[w], (x + 6, 3.5, 14, 14), colour, SERIF_CJK, BLACK))
    out.png(os.path.join(d, "sb-winds.png"), 104, 21, "".join(icons),
            lin("badge", [(0, "#fffaf0"), (1, "#e6d8b4")]))
    # Chat header, chat window and input area.
    out.png(os.path.join(d, "chat-top.png"), 228, 22,
            '<rect width="228" height="22" fill="url(#walnut)"/>'
            + f'<rect width="228" height="1" fill="{GOLD}" fill-opacity="0.7"/>'
            + '<rect y="21" width="228" height="1" fill="#000000" fill-opacity="0.5"/>',
            walnut_defs())
    out.png(os.path.join(d, "ingame-chatwindow-tile.png"), 228, 24,
            '<rect width="228" height="24" fill="#f1e8d2"/>'
            '<rect width="228" height="9" fill="url(#shade)"/>',
            lin("shade", [(0, "#2e1c0f"), (0.3, "#6b5236"), (1, "#f1e8d2")]))
    out.png(os.path.join(d, "chat-bottom.png"), 228, 26,
            '<rect width="228" height="26" fill="url(#walnut)"/>'
            + f'<rect width="228" height="1" fill="{GOLD}" fill-opacity="0.5"/>',
            walnut_defs())
    # Stick pictures for the riichi line of the top container.
    stick = lin("ivoryStick", [(0, "#ffffff"), (1, "#d8ccaa")])
    out.png(os.path.join(d, "riichi-stick.png"), 80, 10,
            rrect(1, 1.5, 78, 7, 3.5, "url(#ivoryStick)", 'stroke="#6b5a3e" stroke-width="0.8"')
            + '<circle cx="40" cy="5" r="2.4" fill="#c0282d"/>', stick)
    dots = "".join(f'<circle cx="{n(x)}" cy="{n(y)}" r="0.9" fill="#222222"/>'
                   for x in (20, 26, 54, 60) for y in (3.6, 6.4))
    out.png(os.path.join(d, "counter-stick.png"), 80, 10,
            rrect(1, 1.5, 78, 7, 3.5, "url(#ivoryStick)", 'stroke="#6b5a3e" stroke-width="0.8"') + dots, stick)


def selector_icons(out, d):
    gold = rad("gold", [(0, "#ffe9a0"), (0.7, "#e3b548"), (1, "#b5831f")], 0.4, 0.35, 0.7)
    out.png(os.path.join(d, "smiley-normal.png"), 16, 16,
            '<circle cx="8" cy="8" r="7" fill="url(#gold)" stroke="#6b4a16" stroke-width="1"/>'
            '<circle cx="5.6" cy="6.3" r="1" fill="#3a2410"/><circle cx="10.4" cy="6.3" r="1" fill="#3a2410"/>'
            '<path d="M4.6 9.4C6 11.8 10 11.8 11.4 9.4" fill="none" stroke="#3a2410" stroke-width="1.2" '
            'stroke-linecap="round"/>', gold)
    out.png(os.path.join(d, "trophy-normal.png"), 16, 16,
            '<path d="M4 2H12V5C12 8.2 10.4 9.8 8 9.8C5.6 9.8 4 8.2 4 5Z" fill="url(#gold)" stroke="#6b4a16" '
            'stroke-width="0.8"/>'
            '<path d="M4 3.2H1.8V4.6C1.8 6.2 3 7 4.5 7M12 3.2H14.2V4.6C14.2 6.2 13 7 11.5 7" fill="none" '
            'stroke="#b5831f" stroke-width="1"/>'
            '<rect x="7" y="9.6" width="2" height="2.6" fill="#b5831f"/>'
            '<rect x="4.5" y="12" width="7" height="2.5" rx="0.8" fill="url(#gold)" stroke="#6b4a16" '
            'stroke-width="0.8"/>', gold)


def score_board(out, d):
    out.png(os.path.join(d, "score_dialog.png"), 640, 440,
            rrect(0, 0, 640, 440, 10, "url(#board)")
            + grain(640, 440, 14, 0.12)
            + rrect(8, 8, 624, 424, 7, "none", f'stroke="{GOLD}" stroke-opacity="0.7" stroke-width="1.5"')
            + rrect(14, 14, 612, 412, 5, "none", 'stroke="#000000" stroke-opacity="0.35" stroke-width="1"'),
            lin("board", [(0, "#43291a"), (1, "#26170c")]))
    tabs = [("score_dialog_winning_hand_tab.png", ("#f0cf73", "#b8872c"), "#4a2c10"),
            ("score_dialog_2nd_hand_tab.png", ("#8a6a4a", "#5a3e26"), CREAM),
            ("score_dialog_3rd_hand_tab.png", ("#7a5c40", "#4e3520"), CREAM),
            ("score_dialog_4th_hand_tab.png", ("#6b4f36", "#44301c"), CREAM)]
    for name, (top, bottom), line in tabs:
        out.png(os.path.join(d, name), 130, 28,
                '<path d="M1 28V7C1 3.5 3.5 1 7 1H123C126.5 1 129 3.5 129 7V28Z" fill="url(#tab)" '
                'stroke="#1e1208" stroke-width="1"/>'
                f'<rect x="6" y="3" width="118" height="1" fill="{line}" fill-opacity="0.35"/>',
                lin("tab", [(0, top), (1, bottom)]))


def meld_auction(out, d):
    out.png(os.path.join(d, "meld_auction_separator.png"), 225, 6,
            '<rect x="6" y="2" width="213" height="1" fill="url(#sep)"/>'
            '<rect x="6" y="3" width="213" height="1" fill="#000000" fill-opacity="0.35"/>',
            lin("sep", [(0, GOLD, 0), (0.5, GOLD, 0.9), (1, GOLD, 0)], 0, 0, 1, 0))


def generate(out, d):
    out.svg(os.path.join(d, "wind-indicators.svg"), wind_indicators())
    out.svg(os.path.join(d, "riichi-stick.svg"), riichi_stick())
    out.svg(os.path.join(d, "frame.svg"), hand_frame())
    out.svg(os.path.join(d, "game-bg-image.svg"), game_background())
    out.noise(os.path.join(d, "game-bg-pattern.jpg"), 128, 11)
    side_bar(out, d)
    selector_icons(out, d)
    score_board(out, d)
    meld_auction(out, d)
