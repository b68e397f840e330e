#pragma once

#include "Iq.h"

#include <QByteArray>

#include <memory>

class QXmlStreamWriter;
struct XMPPVCard;

namespace xmpp {

class XmlElement;

/// The vcard-temp iq: a request for someone's vCard, the upload of the own
/// one, or a received vCard.
class IqVCard : public Iq
{
public:
    /// A "get" request for the vCard of `to`.
    IqVCard(const QString& id, const XMPPJid& to);
    /// A "set" upload of the own vCard.
    IqVCard(const QString& id, std::unique_ptr<XMPPVCard> vCard);
    /// Reads a received "vCard" element; the stanza attributes come later.
    explicit IqVCard(const XmlElement& vCardElement);
    ~IqVCard() override;
    int type() const override { return KindIqVCard; }

    /// The vCard, or null in a request.
    const XMPPVCard* vCard() const { return m_vCard.get(); }
    /// SHA-1 of the encoded photo bytes (for an upload, exactly the bytes
    /// sent); null without a photo.
    QByteArray photoHash() const;
    /// The encoded photo bytes; null without a photo.
    QByteArray photoBytes() const;

    /// Writes the payload inside the iq frame.
    void writePayload(QXmlStreamWriter& writer) const;

private:
    std::unique_ptr<XMPPVCard> m_vCard;
};

} // namespace xmpp
