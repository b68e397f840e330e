"""Text images in English, Japanese and Chinese: claims, notices and page
headers. English sits at the top of text-images/ (the fallback of every
language), the others in text-images/ja and text-images/zh."""

import os

from svgkit import BOLD, SANS_JP, SANS_SC, SERIF, lin, text

LANGUAGES = {
    "": (SERIF, {
        "claim-chow": "Chow!", "claim-chii": "Chii!", "claim-pong": "Pong!", "claim-pon": "Pon!",
        "claim-kong": "Kong!", "claim-kan": "Kan!", "claim-ron": "Ron!", "claim-tsumo": "Tsumo!",
        "claim-mahjong": "Mahjong!", "claim-riichi": "Riichi!", "claim-tenpai": "Tenpai", "ready": "Ready",
        "claim-mahjong-game-view": "Mahjong!", "timeout": "Time out", "furiten": "Furiten",
        "washout": "Washout", "welcome": "Welcome", "howto": "How to play",
    }),
    "ja": (SANS_JP, {
        "claim-chow": "チー", "claim-chii": "チー", "claim-pong": "ポン", "claim-pon": "ポン",
        "claim-kong": "カン", "claim-kan": "カン", "claim-ron": "ロン", "claim-tsumo": "ツモ",
        "claim-mahjong": "和了", "claim-riichi": "リーチ", "claim-tenpai": "聴牌", "ready": "準備完了",
        "claim-mahjong-game-view": "和了", "timeout": "時間切れ", "furiten": "フリテン",
        "washout": "流局", "welcome": "ようこそ", "howto": "遊び方",
    }),
    "zh": (SANS_SC, {
        "claim-chow": "吃", "claim-chii": "吃", "claim-pong": "碰", "claim-pon": "碰",
        "claim-kong": "杠", "claim-kan": "杠", "claim-ron": "荣和", "claim-tsumo": "自摸",
        "claim-mahjong": "和牌", "claim-riichi": "立直", "claim-tenpai": "听牌", "ready": "准备",
        "claim-mahjong-game-view": "和牌", "timeout": "超时", "furiten": "振听",
        "washout": "流局", "welcome": "欢迎", "howto": "玩法说明",
    }),
}

# Picture sizes and colour ramps (light to dark) per image.
GOLD = ("#fff4b8", "#f2c23a", "#c8701a")
STYLE = {
    "claim-chow": ((99, 47), ("#eaffc0", "#8ccf3e", "#3f7f1c")),
    "claim-chii": ((99, 47), ("#eaffc0", "#8ccf3e", "#3f7f1c")),
    "claim-pong": ((99, 47), ("#dff0ff", "#69a8ea", "#2a5fae")),
    "claim-pon": ((99, 47), ("#dff0ff", "#69a8ea", "#2a5fae")),
    "claim-kong": ((99, 47), ("#f3e4ff", "#b487e6", "#6a3aa8")),
    "claim-kan": ((99, 47), ("#f3e4ff", "#b487e6", "#6a3aa8")),
    "claim-ron": ((99, 47), GOLD),
    "claim-tsumo": ((99, 47), GOLD),
    "claim-mahjong": ((99, 47), GOLD),
    "claim-riichi": ((99, 47), ("#ffe0d4", "#f27a5e", "#b8301e")),
    "claim-tenpai": ((99, 47), ("#d8fff4", "#5ccab0", "#1f7f6a")),
    "ready": ((99, 47), ("#f4ffd8", "#a8d85a", "#5a8f1f")),
    "claim-mahjong-game-view": ((160, 56), GOLD),
    "timeout": ((160, 48), ("#ffe6c8", "#f29a4a", "#b8501a")),
    "furiten": ((160, 48), ("#f0e0ff", "#b08ad8", "#6a4a98")),
    "washout": ((200, 52), ("#e4f0ff", "#8fb4dc", "#4a6e98")),
    "welcome": ((420, 56), ("#fffbe8", "#f0dca0", "#c8a25a")),
    "howto": ((420, 56), ("#fffbe8", "#f0dca0", "#c8a25a")),
}


def image(words, family, size, ramp):
    w, h = size
    pad_x, pad_y = (6, 5) if w < 150 else (10, 6)
    box = (pad_x, pad_y, w - 2 * pad_x - 1.5, h - 2 * pad_y - 2)
    shadow_box = (box[0] + 1.5, box[1] + 2, box[2], box[3])
    border = 2.6 if h < 50 else 3
    body = (text(words, shadow_box, "#000000", family, BOLD, extra='fill-opacity="0.45"',
                 outline=("#000000", border))
            + text(words, box, "#2a1406", family, BOLD, outline=("#2a1406", border))
            + text(words, box, "url(#ramp)", family, BOLD))
    defs = lin("ramp", [(0, ramp[0]), (0.5, ramp[1]), (1, ramp[2])])
    return body, defs


def generate(out, d):
    for lang, (family, words) in LANGUAGES.items():
        folder = os.path.join(d, "text-images", lang) if lang else os.path.join(d, "text-images")
        for name, phrase in words.items():
            size, ramp = STYLE[name]
            body, defs = image(phrase, family, size, ramp)
            out.png(os.path.join(folder, name + ".png"), size[0], size[1], body, defs)
