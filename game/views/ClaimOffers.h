#pragma once

#include "meld.h"

#include <QString>

class QAbstractButton;
class QShortcut;

/// What the claim chooser makes of one offer of the server: the kind of its
/// button, or why it cannot be shown.
namespace ClaimOffers {

/// Button kinds: 0-2 a chow whose claimed tile is its lowest, middle or
/// highest; 3 kong; 4 pong; 5 pong to kong; 6 riichi.
enum Kind { ChowLow = 0, ChowMid = 1, ChowHi = 2, Kong = 3, Pong = 4, PongToKong = 5, Riichi = 6 };

/// The button kind of an offer, or -1 with `error` set: a chow whose tile is
/// not the last discard nor one or two below it, or a type that no choice shows.
int buttonKind(const meld_offer& offer, tile lastDiscard, QString* error = nullptr);

/// The translated button text of a kind ("Chow Low", ...; "Meld" for others).
QString buttonText(int kind);
/// The translated shortcut of a kind ("Alt+1", ...); empty for others.
QString shortcutText(int kind);

/// A key for the button (set it with `setKey`): it clicks the button at the
/// press, while the button shows in the active window, and no text set on
/// the button changes it.
QShortcut* keyFor(QAbstractButton* button);

} // namespace ClaimOffers
