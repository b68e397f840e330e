#pragma once

#include <QByteArray>
#include <QImage>
#include <QMetaType>
#include <QString>

/// A player's vCard: the picture and the SHA-1 (20 raw bytes) of its encoded
/// bytes (both null when there is none), the formatted name, and the rest of
/// the card carried along untouched, so that changing the picture keeps
/// what the player (or another program) stored besides.
struct XMPPVCard
{
    QImage photo;
    QByteArray photoHash;
    /// The text of the card's "FN"; empty when it has none. An upload
    /// without one writes "Unknown".
    QString formattedName;
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
