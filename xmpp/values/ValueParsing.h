#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>


namespace xmpp {

class XmlElement;

/// An XEP-0082 date-time ("2026-12-07T08:31:37Z", with or without a
/// fraction of any length, with "Z" or a numeric offset such as "+09:00"),
/// converted to UTC. Anything else gives an invalid date-time marked UTC.
QDateTime parseDateTime(const QString& text);

/// The legacy delay stamp "yyyyMMddThh:mm:ss" in UTC, else parseDateTime.
QDateTime parseLegacyDateTime(const QString& text);

/// The raw hash of a vcard-temp:x:update element: its first "photo" child's
/// text decoded from hexadecimal; null without a "photo" child.
QByteArray parsePhotoHash(const XmlElement& update);

} // namespace xmpp
