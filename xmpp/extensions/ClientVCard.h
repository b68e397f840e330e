#pragma once

#include "ClientExtension.h"
#include "XMPPJid.h"
#include "XMPPVCard.h"

#include <QObject>

namespace xmpp {

/// vCards: fetching a player's picture and uploading the own one.
class ClientVCard : public QObject, public ClientExtension
{
    Q_OBJECT

public:
    explicit ClientVCard(XMPPClient* client);

    /// Asks for the vCard of jid (its full text as given). Throws
    /// "not connected" outside a session; nothing is sent then.
    void requestVCard(const XMPPJid& jid);
    /// Uploads the own vCard; on success the own presence advertises the new
    /// photo hash. Throws "not connected" outside a session.
    void uploadVCard(const XMPPVCard& vCard);

Q_SIGNALS:
    /// A vCard arrived; jid is the answer's sender as written.
    void vCardReceived(XMPPJid jid, XMPPVCard vCard);
    /// The request failed or the connection ended first; jid is empty.
    void vCardReceivedError(XMPPJid jid);
    void uploadVCardOk();
    void uploadVCardError();

private:
    void vCardResult(const Iq* answer);
    void uploadVCardResult(const Iq* answer, const QByteArray& hash);
};

} // namespace xmpp
