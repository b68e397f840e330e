#pragma once

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QString>

/// A player's vCard: the picture's encoded bytes and the SHA-1 (20 raw bytes)
/// of them (both null when there is none), the formatted name, and the rest
/// of the card carried along untouched, so that changing the picture keeps
/// what the player (or another program) stored besides. The picture is
/// decoded where it is shown, never by this library.
struct XMPPVCard
{
    QByteArray photo;
    QByteArray photoHash;
    /// The bytes of the card's further photos, in order, for the one who
    /// shows the picture to try when the one before does not decode; at most
    /// MaxLaterPhotos. An upload writes only `photo`.
    QList<QByteArray> laterPhotos;
    static constexpr int MaxLaterPhotos = 3;
    /// The photo's media type as the card names it ("image/png"); an upload
    /// without one says "image/png".
    QString photoType;
    /// The text of the card's "FN", bounded for showing; empty when it has
    /// none. An upload without one writes "Unknown".
    QString formattedName;
    /// The same text as the server holds it, which an upload writes back
    /// in its place; empty for a card not read from the server.
    QString storedName;
    /// Every other child of the card ("FN" and "PHOTO" aside) as XML text, in
    /// the order read, as it stands inside a "vCard" element whose default
    /// namespace is "vcard-temp"; empty when there is nothing else. Written
    /// back as read by an upload.
    QString otherFields;
    /// An upload adds the empty "N" the format asks for when the card has
    /// none; false writes a card read from the server back with only its own
    /// fields.
    bool addEmptyName = true;
};

Q_DECLARE_METATYPE(XMPPVCard)
