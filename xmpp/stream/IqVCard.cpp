// The vcard-temp payload: the picture and the name matter to this program;
// the rest of the card is carried along as read.
#include "IqVCard.h"

#include "BoundedText.h"
#include "ElementReader.h"
#include "XMPPVCard.h"
#include "XmlText.h"
#include "XmppLog.h"
#include "XmlTree.h"

#include <QCryptographicHash>
#include <QDomDocument>
#include <QXmlStreamWriter>

namespace xmpp {

namespace {

const QString VCardNs = QStringLiteral("vcard-temp");

/// The children of a card other than FN and PHOTO, as XML text that stands
/// inside a "vCard" element of the vcard-temp namespace; the first FN's text
/// goes to `card`, as held and bounded for showing.
QString readOtherFields(const XmlElement& vCardElement, XMPPVCard& card)
{
    QString text;
    QXmlStreamWriter copy(&text);
    copy.writeStartElement(QStringLiteral("vCard"));
    copy.writeDefaultNamespace(VCardNs);
    copy.writeCharacters(QString()); // closes the start tag, so what follows is only the children
    const qsizetype start = text.size();
    qsizetype end = start;
    bool named = false;
    for (XmlElement child = vCardElement.firstChildElement(); !child.isNull(); child = child.nextSiblingElement()) {
        if (child.namespaceURI() == VCardNs) {
            // The photo is replaced as a whole by an upload; a card has one name.
            if (child.localName() == QLatin1String("PHOTO"))
                continue;
            if (child.localName() == QLatin1String("FN")) {
                if (!named) {
                    card.storedName = child.text();
                    card.formattedName = boundedText(card.storedName, text::MaxNameLength);
                }
                named = true;
                continue;
            }
        }
        writeElementCopy(copy, child, VCardNs);
        end = text.size();
    }
    return text.mid(start, end - start);
}

/// The card element around the kept children; a null element when they do
/// not read as XML (nothing of them is written then).
QDomElement otherFieldsElement(QDomDocument& document, const QString& otherFields)
{
    if (otherFields.isEmpty())
        return QDomElement();
    QString error;
    const QString wrapped = QStringLiteral("<vCard xmlns=\"vcard-temp\">") + xmlSafe(otherFields)
                            + QStringLiteral("</vCard>");
    if (!document.setContent(wrapped, true, &error)) {
        qCWarning(lcXmpp) << "vCard fields left out, not well-formed:" << error;
        return QDomElement();
    }
    return document.documentElement();
}

} // namespace

IqVCard::IqVCard(const QString& id, const XMPPJid& to) : Iq(id, to, Get) {}

IqVCard::IqVCard(const QString& id, std::unique_ptr<XMPPVCard> vCard) : Iq(id, XMPPJid(), Set), m_vCard(std::move(vCard))
{
}

IqVCard::IqVCard(const XmlElement& vCardElement) : m_vCard(std::make_unique<XMPPVCard>())
{
    m_vCard->otherFields = readOtherFields(vCardElement, *m_vCard);
    // The first PHOTO that carries bytes is the card's; it is decoded where
    // it is shown, and when it does not decode, the next ones are tried.
    for (XmlElement photo = firstChildElementNS(vCardElement, QStringLiteral("PHOTO"), VCardNs); !photo.isNull();
         photo = nextSiblingElementNS(photo, QStringLiteral("PHOTO"), VCardNs)) {
        const XmlElement typeElement = firstChildElementNS(photo, QStringLiteral("TYPE"), VCardNs);
        const XmlElement binval = firstChildElementNS(photo, QStringLiteral("BINVAL"), VCardNs);
        if (typeElement.isNull() || binval.isNull())
            continue;
        const QByteArray bytes = QByteArray::fromBase64(binval.text().toLatin1());
        if (bytes.isEmpty())
            continue;
        if (m_vCard->photo.isEmpty()) {
            m_vCard->photo = bytes;
            m_vCard->photoType = boundedText(typeElement.text(), text::MaxNameLength);
            m_vCard->photoHash = QCryptographicHash::hash(bytes, QCryptographicHash::Sha1);
            continue;
        }
        m_vCard->laterPhotos.append(bytes);
        if (m_vCard->laterPhotos.size() == XMPPVCard::MaxLaterPhotos)
            break;
    }
}

IqVCard::~IqVCard() = default;

QByteArray IqVCard::photoBytes() const
{
    return m_vCard ? m_vCard->photo : QByteArray();
}

QByteArray IqVCard::photoHash() const
{
    if (!m_vCard || m_vCard->photo.isEmpty())
        return QByteArray();
    return QCryptographicHash::hash(m_vCard->photo, QCryptographicHash::Sha1);
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
        // What the server holds goes back as it was, never as it is shown.
        const QString name = m_vCard->storedName.isEmpty() ? m_vCard->formattedName : m_vCard->storedName;
        writeTextElement(writer, QStringLiteral("FN"), name.isEmpty() ? QStringLiteral("Unknown") : name);
        QDomDocument document;
        const QDomElement others = otherFieldsElement(document, m_vCard->otherFields);
        if (m_vCard->addEmptyName && others.firstChildElement(QStringLiteral("N"), VCardNs).isNull())
            writer.writeEmptyElement(QStringLiteral("N"));
        for (QDomElement child = others.firstChildElement(); !child.isNull(); child = child.nextSiblingElement())
            writeElementCopy(writer, child, VCardNs);
        if (!m_vCard->photo.isEmpty()) {
            writer.writeStartElement(QStringLiteral("PHOTO"));
            const QString type = m_vCard->photoType;
            writeTextElement(writer, QStringLiteral("TYPE"), type.isEmpty() ? QStringLiteral("image/png") : type);
            writeTextElement(writer, QStringLiteral("BINVAL"), QString::fromLatin1(m_vCard->photo.toBase64()));
            writer.writeEndElement();
        }
    }
    writer.writeEndElement();
}

} // namespace xmpp
