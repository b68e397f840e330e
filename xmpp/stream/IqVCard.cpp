// The vcard-temp payload: only the picture matters to this program.
#include "IqVCard.h"

#include "ElementReader.h"
#include "XMPPVCard.h"
#include "XmlText.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDomElement>
#include <QXmlStreamWriter>

namespace xmpp {

namespace {
const QString VCardNs = QStringLiteral("vcard-temp");
}

IqVCard::IqVCard(const QString& id, const XMPPJid& to) : Iq(id, to, Get) {}

IqVCard::IqVCard(const QString& id, std::unique_ptr<XMPPVCard> vCard) : Iq(id, XMPPJid(), Set), m_vCard(std::move(vCard))
{
}

IqVCard::IqVCard(const QDomElement& vCardElement) : m_vCard(std::make_unique<XMPPVCard>())
{
    // The first PHOTO that gives a picture wins; broken ones are skipped.
    for (QDomElement photo = firstChildElementNS(vCardElement, QStringLiteral("PHOTO"), VCardNs); !photo.isNull();
         photo = nextSiblingElementNS(photo, QStringLiteral("PHOTO"), VCardNs)) {
        const QDomElement typeElement = firstChildElementNS(photo, QStringLiteral("TYPE"), VCardNs);
        const QDomElement binval = firstChildElementNS(photo, QStringLiteral("BINVAL"), VCardNs);
        if (typeElement.isNull() || binval.isNull())
            continue;
        const char* format = typeElement.text() == QLatin1String("image/png") ? "PNG" : nullptr;
        const QByteArray bytes = QByteArray::fromBase64(binval.text().toLatin1());
        QImage image;
        if (!bytes.isEmpty() && image.loadFromData(bytes, format) && !image.isNull()) {
            m_vCard->photo = image;
            m_vCard->photoHash = QCryptographicHash::hash(bytes, QCryptographicHash::Sha1);
            m_photoBytes = bytes;
            m_photoHash = m_vCard->photoHash;
            break;
        }
    }
}

IqVCard::~IqVCard() = default;

QImage IqVCard::photo() const { return m_vCard ? m_vCard->photo : QImage(); }

QByteArray IqVCard::photoBytes() const
{
    if (!m_vCard || m_vCard->photo.isNull())
        return QByteArray();
    if (m_photoBytes.isNull()) {
        QBuffer buffer(&m_photoBytes);
        buffer.open(QIODevice::WriteOnly);
        m_vCard->photo.save(&buffer, "PNG");
    }
    return m_photoBytes;
}

QByteArray IqVCard::photoHash() const
{
    if (!m_vCard || m_vCard->photo.isNull())
        return QByteArray();
    if (m_photoHash.isNull())
        m_photoHash = QCryptographicHash::hash(photoBytes(), QCryptographicHash::Sha1);
    return m_photoHash;
}

void IqVCard::writePayload(QXmlStreamWriter& writer) const
{
    if (stanzaType == QLatin1String("get")) {
        writer.writeStartElement(QStringLiteral("vCard"));
        writer.writeDefaultNamespace(VCardNs);
        writer.writeEndElement();
        return;
    }
    if (stanzaType != QLatin1String("set"))
        return;
    writer.writeStartElement(QStringLiteral("vCard"));
    writer.writeDefaultNamespace(VCardNs);
    if (m_vCard) {
        writeTextElement(writer, QStringLiteral("FN"), QStringLiteral("Unknown"));
        writer.writeEmptyElement(QStringLiteral("N"));
        if (!m_vCard->photo.isNull()) {
            writer.writeStartElement(QStringLiteral("PHOTO"));
            writeTextElement(writer, QStringLiteral("TYPE"), QStringLiteral("image/png"));
            writeTextElement(writer, QStringLiteral("BINVAL"), QString::fromLatin1(photoBytes().toBase64()));
            writer.writeEndElement();
        }
    }
    writer.writeEndElement();
}

} // namespace xmpp
