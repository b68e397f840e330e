#pragma once

#include <QString>

namespace xmpp {

/// The one bound on text that another user (or a server) sets: names, nicks,
/// statuses, subjects, bodies, reasons, card and search fields, room names.
/// The readers apply it where they take such a text, so that whatever shows
/// it downstream (a pane, a tool tip, a list, a menu) gets a text that lays
/// out in bounded time and space.
namespace text {

/// Marks and format characters drawn on one character; more are left out.
/// Writing of any script stays below it.
constexpr int MaxClusterMarks = 8;
/// Characters drawn in one place (a grapheme cluster with the marks and
/// format characters that follow it); more are left out.
constexpr int MaxClusterLength = 16;
/// What a change of script costs beside its character: each one is a run of
/// its own for the layout, and runs cost it far more than characters.
constexpr int ScriptChangeCost = 12;
/// What a wide (East Asian) character costs, and a replacement character.
constexpr int WideCost = 2;
/// What a character of a script broken into words by dictionary costs, and a tab.
constexpr int DictionaryCost = 4;
/// Rows a text may open with its line breaks.
constexpr int MaxRows = 10;
/// Ends a text that was cut.
constexpr QChar ElisionMark = QChar(0x2026);

/// What the readers keep of a name, a nick, a room name, a card's name or a
/// search field.
constexpr qsizetype MaxNameLength = 256;
/// What the readers keep of a body, a subject, a status, a reason or an error text.
constexpr qsizetype MaxTextLength = 2000;
/// Table paths kept of one presence (a player sits at a few; the windows show
/// fewer still), and the length of one (a longer one is left out).
constexpr int MaxTablePaths = 256;
constexpr qsizetype MaxTablePathLength = 64;

} // namespace text

/// The text as it may be shown: whole characters up to maxLength, a
/// character outside the BMP counting two, a wide one WideCost, a tab or one
/// of a script that breaks lines by dictionary DictionaryCost, each change
/// of script ScriptChangeCost more; at most maxRows rows by its line breaks;
/// in one place at most MaxClusterLength characters and MaxClusterMarks
/// marks and format characters; an object replacement character as the
/// replacement character. Ends with the ElisionMark when it stops early.
/// Applied twice with the same bounds, it gives the same text.
QString boundedText(const QString& text, qsizetype maxLength, int maxRows = text::MaxRows);

} // namespace xmpp
