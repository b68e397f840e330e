#pragma once

#include <QByteArray>
#include <QImage>
#include <QMetaType>

/// A player's vCard as far as this program uses it: the picture and the
/// SHA-1 (20 raw bytes) of its encoded bytes. Both null when there is none.
struct XMPPVCard
{
    QImage photo;
    QByteArray photoHash;
};

Q_DECLARE_METATYPE(XMPPVCard)
