#include "ClientVCard.h"

#include "Exceptions.h"
#include "IqVCard.h"
#include "XMPPClient.h"
#include "XmppLog.h"
#include "XmppNames.h"

#include <stdexcept>

namespace xmpp {

ClientVCard::ClientVCard(XMPPClient* client)
    : ClientExtension(client)
{
}

void ClientVCard::requestVCard(const XMPPJid& jid)
{
    if (client->state() != XMPPClient::SessionState)
        throw std::runtime_error("not connected");
    const QString id = nextId();
    client->write(IqVCard(id, jid));
    addResultHandler(id, [this](const Iq* answer) { vCardResult(answer); });
}

void ClientVCard::vCardResult(const Iq* answer)
{
    // An answer of another kind than a vCard fails the request.
    if (!isResult(answer) || answer->type() != KindIqVCard) {
        qCWarning(lcXmpp) << "Download vCard error";
        Q_EMIT vCardReceivedError(XMPPJid());
        return;
    }
    const auto* iq = static_cast<const IqVCard*>(answer);
    const XMPPVCard card = iq->vCard() ? *iq->vCard() : XMPPVCard();
    qCDebug(lcXmpp) << "VCard recieved," << (card.photo.isEmpty() ? "no photo" : "has photo");
    Q_EMIT vCardReceived(answer->from, card);
}

void ClientVCard::uploadVCard(const XMPPVCard& vCard)
{
    if (client->state() != XMPPClient::SessionState)
        throw std::runtime_error("not connected");
    const QString id = nextId();
    const IqVCard iq(id, std::make_unique<XMPPVCard>(vCard));
    client->write(iq);
    // Without a picture the presence announces "no picture" (an empty
    // photo element), not "not known yet" (no photo element at all).
    QByteArray hash = iq.photoHash();
    if (hash.isNull())
        hash = QByteArray("");
    // The server may store the card after the client gave up waiting: its
    // late word settles the own picture all the same.
    addResultHandler(
        id, [this, hash](const Iq* answer) { uploadVCardResult(answer, hash); },
        [this, hash](const Iq* answer) {
            if (isResult(answer))
                uploadVCardResult(answer, hash);
        });
}

void ClientVCard::uploadVCardResult(const Iq* answer, const QByteArray& hash)
{
    if (!isResult(answer)) {
        qCWarning(lcXmpp) << "Upload vCard error";
        Q_EMIT uploadVCardError();
        return;
    }
    if (answer->type() != KindIq)
        qCWarning(lcXmpp) << "Unexpected stanza type" << answer->type() << "in uploadVCardResult";
    updateOwnPhotoHash(hash);
    Q_EMIT uploadVCardOk();
    qCDebug(lcXmpp) << "Upload vCard ok";
}

} // namespace xmpp
