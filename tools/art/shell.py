"""The application shell's pictures: icon, logo, splash, tab icons, scroll bars,
dialog frame, lobby and social icons, avatars."""

import math
import os

import backs
import faces
from svgkit import BLACK, BOLD, SANS, SERIF, SERIF_CJK, lin, n, rad, rrect, text

CREAM = "#f3e6c0"
GOLD = "#c9a05a"
INK = "#2a1a0d"
PRODUCT = "Quellmark"


def tile(x, y, w, tile_id, theme="green2", marks="none"):
    """A face-up tile of width w at (x, y), drawn with the table's own art."""
    s = w / 192.0
    body = backs.declared(backs.UP, theme)
    face = faces.face(tile_id, faces.PALETTES["classic"], marks)
    return (f'<g transform="translate({n(x)} {n(y)}) scale({s:.5f})">{body}'
            f'<g>{face}</g></g>')


def icon_and_logo(out, d, edition):
    tdefs = backs.defs("green2")
    shadow = '<ellipse cx="64" cy="118" rx="44" ry="6" fill="#000000" fill-opacity="0.3"/>'
    out.png(os.path.join(d, "icon.png"), 128, 128,
            shadow + f'<g transform="rotate(-8 64 64)">{tile(22, 6, 84, "red_dragon")}</g>', tdefs)

    # The logo: a small tile and the product name, light on the dark lobby.
    logo = (tile(4, 4, 40, "red_dragon")
            + text(PRODUCT, (56, 6, 236, 40), "#1a0f07", SERIF, BOLD, align="left", extra='fill-opacity="0.5"')
            + text(PRODUCT, (54, 4, 236, 40), "url(#logoGold)", SERIF, BOLD, align="left")
            + text("MAHJONG PARLOUR", (56, 48, 180, 12), CREAM, SANS, BOLD, align="left", spacing=3))
    out.png(os.path.join(d, "logo.png"), 300, 64, logo,
            tdefs + lin("logoGold", [(0, "#fff1c4"), (0.55, "#e8c26a"), (1, "#b5832a")]))

    # The edition's splash: three tiles on the cloth, the name, and a dark band
    # at the bottom for the status line.
    splash = ('<rect width="480" height="320" fill="url(#splashFelt)"/>'
              '<rect width="480" height="320" fill="url(#splashVignette)"/>'
              f'<g transform="rotate(-12 176 130)">{tile(130, 52, 84, "east_wind")}</g>'
              f'<g transform="rotate(12 304 130)">{tile(262, 52, 84, "green_dragon")}</g>'
              f'{tile(196, 36, 88, "red_dragon")}'
              + text(PRODUCT, (94, 192, 296, 50), "#000000", SERIF, BOLD, extra='fill-opacity="0.45"')
              + text(PRODUCT, (92, 190, 296, 50), "url(#logoGold)", SERIF, BOLD)
              + text("MAHJONG PARLOUR", (150, 246, 180, 13), CREAM, SANS, BOLD, spacing=3)
              + '<rect y="268" width="480" height="52" fill="#120a05" fill-opacity="0.72"/>'
              + f'<rect y="268" width="480" height="1.5" fill="{GOLD}" fill-opacity="0.7"/>'
              + f'<rect x="0.5" y="0.5" width="479" height="319" fill="none" stroke="{GOLD}" stroke-opacity="0.6"/>')
    out.png(os.path.join(edition, "splash.png"), 480, 320, splash,
            tdefs + lin("logoGold", [(0, "#fff1c4"), (0.55, "#e8c26a"), (1, "#b5832a")])
            + rad("splashFelt", [(0, "#2f6f53"), (0.6, "#225640"), (1, "#12301f")], 0.5, 0.35, 0.8)
            + rad("splashVignette", [(0.55, "#000000", 0), (1, "#000000", 0.45)], 0.5, 0.45, 0.75))


def tab_icons(out, d):
    fill = "url(#tabFill)"
    stroke = f'stroke="{INK}" stroke-width="1.2" stroke-linejoin="round"'
    defs = lin("tabFill", [(0, "#fff6dc"), (1, "#e2c988")])
    gear = []
    for i in range(16):
        a = i * math.pi / 8
        r = 10.5 if i % 2 == 0 else 8
        gear.append(f'{n(12 + r * math.cos(a))} {n(12 + r * math.sin(a))}')
    icons = {
        "startpage": f'<path d="M3 12L12 4L21 12H18.5V20H14V15H10V20H5.5V12Z" fill="{fill}" {stroke}/>',
        "lobby": (rrect(5, 5, 14, 14, 2, "#2f6f53", stroke)
                  + "".join(rrect(x, y, w, h, 1, fill, 'stroke="#2a1a0d" stroke-width="0.9"')
                            for x, y, w, h in ((9, 1, 6, 4), (9, 19, 6, 4), (1, 9, 4, 6), (19, 9, 4, 6)))),
        "tournament": (f'<path d="M7 3H17V8C17 12 15 14 12 14C9 14 7 12 7 8Z" fill="{fill}" {stroke}/>'
                       f'<path d="M7 5H3.5V7C3.5 9.5 5.5 10.5 7.5 10.5M17 5H20.5V7C20.5 9.5 18.5 10.5 16.5 10.5" '
                       f'fill="none" stroke="{INK}" stroke-width="1.2"/>'
                       f'<rect x="10.5" y="14" width="3" height="4" fill="{fill}" {stroke}/>'
                       + rrect(6.5, 18, 11, 3.5, 1, fill, stroke)),
        "preferences": (f'<polygon points="{" ".join(gear)}" fill="{fill}" {stroke}/>'
                        f'<circle cx="12" cy="12" r="3.2" fill="#2f6f53" {stroke}/>'),
        "friends": (f'<circle cx="8.5" cy="8" r="3.6" fill="{fill}" {stroke}/>'
                    f'<path d="M2 20C2 15 5 13 8.5 13C12 13 15 15 15 20Z" fill="{fill}" {stroke}/>'
                    f'<circle cx="16" cy="7" r="3.2" fill="#d9c38a" {stroke}/>'
                    f'<path d="M14 12.5C14.8 12.2 15.4 12 16 12C19.5 12 22 14 22 18.5H16" fill="#d9c38a" {stroke}/>'),
        "help": (f'<circle cx="12" cy="12" r="10" fill="{fill}" {stroke}/>'
                 + text("?", (7, 5, 10, 14), INK, SANS, BOLD)),
    }
    for name, body in icons.items():
        out.png(os.path.join(d, "tabicons", name + ".png"), 24, 24, body, defs)


def scroll_bars(out, d):
    states = {"normal": ("#6b4a2c", "#3e2716"), "hover": ("#8c6338", "#553620"), "active": ("#c9a05a", "#7a5628")}
    for vertical in (True, False):
        o = "vert" if vertical else "horiz"
        # Groove: 15 x 40 (vertical) or 40 x 15 (horizontal), nine-part margins 5,3,5,3 / 3,5,3,5.
        gw, gh = (15, 40) if vertical else (40, 15)
        out.png(os.path.join(d, f"scroll-{o}-empty-normal.png"), gw, gh,
                rrect(0.5, 0.5, gw - 1, gh - 1, 4, "url(#groove)", 'stroke="#000000" stroke-opacity="0.6"'),
                lin("groove", [(0, "#120a04"), (1, "#2a1a0d")], 0, 0, 1 if vertical else 0, 0 if vertical else 1))
        for state, (light, dark) in states.items():
            g = lin("knob", [(0, light), (1, dark)], 0, 0, 1 if vertical else 0, 0 if vertical else 1)
            grip = "".join(
                (f'<rect x="4" y="{y}" width="7" height="1" fill="{CREAM}" fill-opacity="0.55"/>' if vertical else
                 f'<rect x="{y}" y="4" width="1" height="7" fill="{CREAM}" fill-opacity="0.55"/>') for y in (16, 19, 22))
            out.png(os.path.join(d, f"scroll-{o}-drag-{state}.png"), gw, gh,
                    rrect(1, 1, gw - 2, gh - 2, 4, "url(#knob)", 'stroke="#1b0f06" stroke-width="1"') + grip, g)
            arrows = {"up": "M7.5 4.5L11 9.5H4Z", "down": "M7.5 10.5L11 5.5H4Z",
                      "left": "M4.5 7.5L9.5 4V11Z", "right": "M10.5 7.5L5.5 4V11Z"}
            for word, first in ((("up", True), ("down", False)) if vertical else (("left", True), ("right", False))):
                out.png(os.path.join(d, f"scroll-{o}-{word}-{state}.png"), 15, 15,
                        rrect(1, 1, 13, 13, 3, "url(#knob)", 'stroke="#1b0f06" stroke-width="1"')
                        + f'<path d="{arrows[word]}" fill="{CREAM}"/>', g)


def padlocks(out, d):
    def lock(colour, open_):
        shackle = ('M10 15V10C10 5.6 12.7 3.5 16 3.5C19.3 3.5 22 5.6 22 10V15' if not open_ else
                   'M10 15V10C10 5.6 12.7 3.5 16 3.5C19.3 3.5 22 5.6 22 10V11.5')
        t = "" if not open_ else ' transform="translate(7 -3)"'
        return (f'<path d="{shackle}" fill="none" stroke="#8a8a8a" stroke-width="3.2"{t}/>'
                + rrect(6, 14, 20, 15, 3, colour, 'stroke="#1b1b1b" stroke-opacity="0.6" stroke-width="1"')
                + '<circle cx="16" cy="20.5" r="2.2" fill="#1b1b1b" fill-opacity="0.7"/>'
                + '<rect x="15.2" y="21" width="1.6" height="4" fill="#1b1b1b" fill-opacity="0.7"/>')
    out.png(os.path.join(d, "safe.png"), 32, 32, lock("url(#safe)", False),
            lin("safe", [(0, "#6fb356"), (1, "#2f7a2a")]))
    out.png(os.path.join(d, "unsafe.png"), 32, 32, lock("url(#unsafe)", True),
            lin("unsafe", [(0, "#dd6a4f"), (1, "#a0281f")]))


def dialog_frame(out, d):
    out.png(os.path.join(d, "meld_auction_frame.png"), 64, 64,
            rrect(0.5, 0.5, 63, 63, 9, "none", 'stroke="#120904" stroke-width="1"')
            + rrect(2.5, 2.5, 59, 59, 7.5, "none", 'stroke="url(#frameWood)" stroke-width="3"')
            + rrect(5.5, 5.5, 53, 53, 5, "none", f'stroke="{GOLD}" stroke-opacity="0.85" stroke-width="1"'),
            lin("frameWood", [(0, "#6b4428"), (1, "#3a2413")]))
    out.png(os.path.join(d, "meld_auction_title_bar.png"), 64, 24,
            '<rect width="64" height="24" fill="url(#bar)"/>'
            + f'<rect y="22.5" width="64" height="1.5" fill="{GOLD}" fill-opacity="0.7"/>'
            + '<rect width="64" height="1" fill="#ffffff" fill-opacity="0.1"/>',
            lin("bar", [(0, "#5a3920"), (1, "#2e1c0f")]))
    lines = "".join(f'<path d="M{x} 0L{x + 32} 32" stroke="#ffffff" stroke-opacity="0.035" stroke-width="2"/>'
                    for x in (-32, -16, 0, 16))
    out.png(os.path.join(d, "redbackground.png"), 32, 32, '<rect width="32" height="32" fill="#4e1d18"/>' + lines)
    for state, disc in (("normal", "#6e2a22"), ("hover", "#a83c2e"), ("pressed", "#4a1a14")):
        out.png(os.path.join(d, f"dialog-close-{state}.png"), 16, 16,
                f'<circle cx="8" cy="8" r="7" fill="{disc}" stroke="{GOLD}" stroke-opacity="0.8" stroke-width="1"/>'
                f'<path d="M5.2 5.2L10.8 10.8M10.8 5.2L5.2 10.8" stroke="{CREAM}" stroke-width="1.6" '
                f'stroke-linecap="round"/>')
    out.png(os.path.join(d, "lobby-wood.png"), 400, 40,
            '<rect width="400" height="40" fill="url(#wood)"/>'
            + "".join(f'<path d="M0 {y}C120 {y - 2} 260 {y + 3} 400 {y}" fill="none" stroke="#150b04" '
                      f'stroke-opacity="0.22" stroke-width="1"/>' for y in (6, 13, 21, 28, 35))
            + f'<rect y="38.5" width="400" height="1.5" fill="{GOLD}" fill-opacity="0.6"/>',
            lin("wood", [(0, "#5a3920"), (1, "#2e1c0f")]))


def lobby_icons(out, d):
    person = lambda colour, stroke: (f'<circle cx="7" cy="4" r="2.8" fill="{colour}" {stroke}/>'
                                     f'<path d="M1.8 13.2C1.8 9.4 4 7.8 7 7.8C10 7.8 12.2 9.4 12.2 13.2Z" '
                                     f'fill="{colour}" {stroke}/>')
    out.png(os.path.join(d, "cap-human.png"), 14, 14, person(CREAM, 'stroke="#2a1a0d" stroke-width="0.8"'))
    empty = person("none", 'stroke="#9a8a6a" stroke-width="1"')
    out.png(os.path.join(d, "cap-empty.png"), 13, 14, f'<g transform="translate(-0.5 0)">{empty}</g>')
    out.png(os.path.join(d, "cap-bot.png"), 14, 14,
            '<path d="M7 0.8V2.8" stroke="#b8c8d6" stroke-width="1"/><circle cx="7" cy="1" r="0.9" fill="#e05a4a"/>'
            + rrect(2, 3, 10, 8, 2, "#b8c8d6", 'stroke="#2a1a0d" stroke-width="0.8"')
            + '<circle cx="5.2" cy="6.6" r="1.2" fill="#2f6f9f"/><circle cx="8.8" cy="6.6" r="1.2" fill="#2f6f9f"/>'
            + '<rect x="5" y="8.8" width="4" height="0.9" fill="#2a1a0d"/>'
            + rrect(3.5, 11.2, 7, 2.4, 0.8, "#8fa3b5", 'stroke="#2a1a0d" stroke-width="0.6"'))
    box = rrect(0.5, 0.5, 12, 12, 2, "url(#box)", 'stroke="#5a3a1e" stroke-width="1"')
    bd = lin("box", [(0, "#fffaf0"), (1, "#e2d4b0")])
    out.png(os.path.join(d, "empty-box.png"), 13, 13, box, bd)
    out.png(os.path.join(d, "checkbox-checked-normal.png"), 13, 13,
            box + '<path d="M3 6.8L5.4 9.4L10.2 3.6" fill="none" stroke="#2f7a2a" stroke-width="2" '
                  'stroke-linecap="round" stroke-linejoin="round"/>', bd)


def silhouette(colour):
    light, dark = colour
    return (rrect(0, 0, 64, 64, 8, "url(#avBg)")
            + '<circle cx="32" cy="25" r="12" fill="#fdf6e3" fill-opacity="0.9"/>'
            + '<path d="M10 64C10 47 19 40 32 40C45 40 54 47 54 64Z" fill="#fdf6e3" fill-opacity="0.9"/>',
            lin("avBg", [(0, light), (1, dark)]))


AVATAR_COLOURS = {
    "1": ("#7d8ea3", "#46566a"), "2": ("#5fa39b", "#2f6660"), "blue": ("#5a8cc4", "#264b7a"),
    "brown": ("#a37a55", "#5e3f24"), "brown2": ("#c49a62", "#7a5628"), "green": ("#6fa85e", "#33662a"),
    "purple": ("#9678b8", "#52366f"), "red": ("#c96a5e", "#7a2a22"), "yellow": ("#e3c35a", "#9a7a1f"),
}

EMBLEMS = ["east_wind", "south_wind", "west_wind", "north_wind", "red_dragon", "green_dragon", "white_dragon",
           "circle_1", "bamboo_1", "character_1", "circle_5", "bamboo_5", "character_5", "circle_9", "bamboo_9",
           "character_9", "plum_blossom", "orchid", "chrysanthemum", "bamboo", "spring", "summer", "autumn",
           "winter"]
EMBLEM_BG = [("#3f7a5e", "#1f4a36"), ("#5a6fa3", "#2c3c66"), ("#a36a4a", "#5e3522"), ("#7a5a9a", "#43305e"),
             ("#b8934a", "#6e5420"), ("#4a8a8a", "#234f4f")]


def pig():
    return (rrect(0, 0, 64, 64, 8, "url(#pigBg)")
            + '<path d="M12 22L8 6L24 14Z" fill="#e88fa0" stroke="#a8566a" stroke-width="1.5"/>'
            + '<path d="M52 22L56 6L40 14Z" fill="#e88fa0" stroke="#a8566a" stroke-width="1.5"/>'
            + '<ellipse cx="32" cy="35" rx="24" ry="21" fill="url(#pigSkin)" stroke="#a8566a" stroke-width="1.5"/>'
            + '<circle cx="23" cy="29" r="3" fill="#2a1a1a"/><circle cx="41" cy="29" r="3" fill="#2a1a1a"/>'
            + '<circle cx="24" cy="28" r="1" fill="#ffffff"/><circle cx="42" cy="28" r="1" fill="#ffffff"/>'
            + '<ellipse cx="32" cy="42" rx="10" ry="7.5" fill="#e27d92" stroke="#a8566a" stroke-width="1.5"/>'
            + '<ellipse cx="28.5" cy="42" rx="2" ry="3" fill="#8a3a4e"/><ellipse cx="35.5" cy="42" rx="2" ry="3" fill="#8a3a4e"/>'
            + '<ellipse cx="15" cy="40" rx="4" ry="2.5" fill="#f08aa0" fill-opacity="0.6"/>'
            + '<ellipse cx="49" cy="40" rx="4" ry="2.5" fill="#f08aa0" fill-opacity="0.6"/>',
            lin("pigBg", [(0, "#fff3d6"), (1, "#f0d9a8")])
            + rad("pigSkin", [(0, "#ffd3dc"), (1, "#f2a4b4")], 0.45, 0.4, 0.6))


def avatars(out, d):
    for name, colour in AVATAR_COLOURS.items():
        body, defs = silhouette(colour)
        out.png(os.path.join(d, f"avatar-default-{name}.png"), 64, 64, body, defs)
        if name not in ("1", "2"):
            out.png(os.path.join(d, "avatars", f"z_default_avatar_{name}.png"), 64, 64, body, defs)
    tdefs = backs.defs("green2")
    for i, emblem in enumerate(EMBLEMS):
        light, dark = EMBLEM_BG[i % len(EMBLEM_BG)]
        body = (rrect(0, 0, 64, 64, 8, "url(#emBg)")
                + '<ellipse cx="32" cy="58" rx="16" ry="3" fill="#000000" fill-opacity="0.3"/>'
                + tile(15, 6, 34, emblem))
        out.png(os.path.join(d, "avatars", f"tile-{i + 1:02d}-{emblem.replace('_', '-')}.png"), 64, 64, body,
                tdefs + lin("emBg", [(0, light), (1, dark)]))
    body, defs = pig()
    out.png(os.path.join(d, "avatars", "pig.png"), 64, 64, body, defs)
    out.png(os.path.join(d, "avatar-selected.png"), 68, 68,
            rrect(1.5, 1.5, 65, 65, 8, "none", 'stroke="#e8c26a" stroke-width="3"')
            + rrect(0.5, 0.5, 67, 67, 9, "none", 'stroke="#3a2412" stroke-width="1"')
            + rrect(1, 1, 66, 66, 8, "#f3c95a", 'fill-opacity="0.12"'))
    out.png(os.path.join(d, "avatar-selectbg.png"), 8, 400, '<rect width="8" height="400" fill="url(#selBg)"/>',
            lin("selBg", [(0, "#4a2f1c"), (1, "#24160c")]))
    out.png(os.path.join(d, "avatar-selectbg-innerframe.png"), 32, 32,
            rrect(0.5, 0.5, 31, 31, 5, "#120a04", 'fill-opacity="0.55" stroke="#000000" stroke-opacity="0.7"')
            + rrect(1.5, 1.5, 29, 29, 4, "none", f'stroke="{GOLD}" stroke-opacity="0.45"'))


def presence(out, d):
    def disc(light, dark, extra=""):
        return (f'<circle cx="8" cy="8" r="6.5" fill="url(#p)" stroke="#1b1b1b" stroke-opacity="0.55"/>'
                '<ellipse cx="6.6" cy="5.6" rx="3" ry="2" fill="#ffffff" fill-opacity="0.35"/>' + extra,
                rad("p", [(0, light), (1, dark)], 0.4, 0.35, 0.7))
    icons = {
        "xmpp_available": disc("#9be07a", "#2f8a2a"),
        "xmpp_away": disc("#ffe08a", "#d08a10",
                          '<path d="M8 4.6V8.3L10.4 9.6" fill="none" stroke="#5a3a00" stroke-width="1.3" '
                          'stroke-linecap="round"/>'),
        "xmpp_extended_away": disc("#ffb080", "#c0501a",
                                   '<rect x="4.6" y="7.2" width="6.8" height="1.8" rx="0.9" fill="#5a1a00"/>'),
        "xmpp_not_available": disc("#c8c8c8", "#6e6e6e"),
        "xmpp_unknown": disc("#d8d0c0", "#8a8070", text("?", (5, 3.5, 6, 9), "#2a2a2a", SANS, BOLD)),
    }
    for name, (body, defs) in icons.items():
        out.png(os.path.join(d, name + ".png"), 16, 16, body, defs)


def generate(out, d, edition):
    icon_and_logo(out, d, edition)
    tab_icons(out, d)
    scroll_bars(out, d)
    padlocks(out, d)
    dialog_frame(out, d)
    lobby_icons(out, d)
    avatars(out, d)
    presence(out, d)
