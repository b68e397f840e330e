#pragma once

#include <QString>

/// The text image of a claim or declaration, in the words of the table's
/// ruleset (riichi tables say "chii", "pon", "kan"). Shared by the word on the
/// table and the mark on the seat panel, which differ only in the picture of
/// a mahjong whose way of winning is unknown.
namespace ClaimImage {

/// The general mahjong picture of the word on the table.
inline constexpr const char* tableMahjong = "textimages:claim-mahjong-game-view.png";
/// The general mahjong picture of the seat panel.
inline constexpr const char* panelMahjong = "textimages:claim-mahjong.png";

/// The image of meld type `kind` (1 chow, 2 pong, 8 kong, 16 mahjong, 128
/// riichi) at `ruleset` (2 riichi); a mahjong won from a discard
/// (`mahjongType` 2) or self-drawn (3) has its own word, any other mahjong
/// shows `plainMahjong`. Empty for every other kind.
QString path(int kind, int mahjongType, int ruleset, const char* plainMahjong);

} // namespace ClaimImage
