#pragma once

#include <QString>
#include <QtGlobal>

class QDateTime;
class QFontMetrics;
class QMainWindow;
class QSettings;

/// Money text from whole cents: "$" and the localized amount, two decimals
/// unless the amount is whole.
QString formatMoney(qint64 cents);
/// The date-time in local time, in the system locale's short format;
/// "<unknown>" for an invalid one.
QString formatDateTime(const QDateTime& dateTime);
/// The local time of day of the date-time, in the system locale's short format.
QString formatTime(const QDateTime& dateTime);
/// The longest span the windows show of a time or a length from the server:
/// twenty years hold every tournament, round and turn, past or planned.
inline constexpr qint64 maxShownSeconds = 7305LL * 86400;
/// Whether a length of seconds from the server is one: from zero up to maxShownSeconds.
bool isLengthKnown(qint64 seconds);
/// The largest non-zero unit of a duration: days, hours, minutes or seconds;
/// "<unknown>" for one that is no length (isLengthKnown()).
QString formatDuration(int seconds);
/// formatDuration() of the whole seconds from `from` to `to`; "<unknown>"
/// when either is invalid or the span does not fit an int.
QString formatDurationBetween(const QDateTime& from, const QDateTime& to);
/// The text when it has at most n characters, else its first n and "...".
QString truncateText(const QString& text, int n);
/// Shortens the text in the middle to about n characters.
QString elideMiddle(const QString& text, int n);
/// Shortens the text with an ellipsis so that it fits maxWidth pixels.
QString elideText(const QFontMetrics& metrics, const QString& text, Qt::TextElideMode mode, int maxWidth);
/// "N/A": the default name of tables and tournaments.
QString notAvailableText();
/// A tool tip that shows the text exactly as written: unchanged when Qt
/// would show it as plain text anyway, else converted to rich text (server
/// names holding "<b>" and the like); a line too long for the screen is
/// broken into lines that fit it.
QString plainToolTip(const QString& text);
/// The same tool tip, always as rich text.
QString richToolTip(const QString& text);
/// "<unknown>": a player whose name is not known yet.
QString unknownText();
/// "<undefined>".
QString undefinedText();
/// Whether the text has no character that Latin-1 lacks: the login carries
/// its user name in Latin-1, where any other letter would go out as "?".
bool isLatin1Text(const QString& text);
/// An on/off setting: true for "true" or 1, false for "false" or 0; a
/// missing or damaged one gives the default. Every reader of an on/off
/// setting goes through it, so a box never shows another state than the one
/// the program acts on.
bool settingsSwitch(const QSettings& settings, const char* key, bool defaultValue);
/// settingsSwitch() in the application's settings.
bool settingsSwitch(const char* key, bool defaultValue);
/// settingsSwitch() as the state of a check box.
Qt::CheckState settingsCheckState(QSettings& settings, const char* key, bool defaultValue);
/// The longest text file readTextFile() takes.
inline constexpr qint64 maxTextFileSize = 4 * 1024 * 1024;
/// The whole text file (a name on a search path, or a path), read only when
/// it is a regular file (ResourceFile); an empty text when it cannot be
/// read or is longer than maxTextFileSize.
QString readTextFile(const QString& path);
/// The first top-level QMainWindow of the application, or null.
QMainWindow* findMainWindow();
