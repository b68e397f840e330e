#pragma once

#include <QString>

/// The name tables that reader and writer share. Each enumeration value is
/// the position of its name; callers pass only values inside their table.
namespace xmpp::names {

/// Presence type: 0 available (empty text), 1 "subscribe" .. 7 "error".
QString presenceType(int type);
/// Exact match of names 1 to 7; anything else, the empty text included, is 0.
int presenceTypeFromName(const QString& name);

/// Presence show: 0 none (empty text), 1 "away", 2 "chat", 3 "dnd", 4 "xa".
QString show(int show);
/// 1 to 4 for the four names, -1 for any other text.
int showFromName(const QString& name);

/// Iq type: 0 "get", 1 "set", 2 "result", 3 "error".
QString iqType(int type);
/// 0 to 3, or -1 for any other text (case-sensitive).
int iqTypeFromName(const QString& name);

/// Message type: 0 "error", 1 "chat", 2 "groupchat", 3 "headline", 4 "normal".
QString messageType(int type);
/// 0 to 3 for their names; everything else, "normal" and the empty text included, is 4.
int messageTypeFromName(const QString& name);

/// The 24 stream error conditions in alphabetical order, 0 "bad-format" ..
/// 23 "xml-not-well-formed".
QString streamErrorCondition(int code);
/// The position of a condition name, or -1.
int streamErrorConditionFromName(const QString& name);

/// The SASL failure conditions, 0 "aborted" .. 6 "temporary-auth-failure".
QString saslFailureCondition(int code);
/// The position of a condition name, or -1.
int saslFailureConditionFromName(const QString& name);

/// Stanza error conditions: 0 none (empty text), 1 "bad-request" ..
/// 22 "unexpected-request".
QString stanzaErrorCondition(int code);
/// 1 to 22 for a known name, 0 for any other text.
int stanzaErrorConditionFromName(const QString& name);

/// Stanza error types: 0 none (empty text), 1 "cancel", 2 "continue",
/// 3 "modify", 4 "auth", 5 "wait".
QString stanzaErrorType(int type);
/// 1 to 5 for a known name, 0 for any other text.
int stanzaErrorTypeFromName(const QString& name);

/// Data-form field types: 0 "boolean" .. 9 "text-private".
QString fieldType(int type);
/// 0 to 9, or -1 for any other text.
int fieldTypeFromName(const QString& name);

} // namespace xmpp::names
