#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class XMPPClient;

namespace xmpp {

class Iq;

/// The second base of the client's extensions: how an extension reaches the
/// client that holds it. An extension keeps no request state of its own;
/// each outstanding request is one handler in the client's registry.
class ClientExtension
{
public:
    explicit ClientExtension(XMPPClient* client) : client(client) {}

protected:
    /// The client's next iq id.
    QString nextId();
    /// Registers the handler of the iq just written under its id; the late
    /// handler takes an answer that comes after the handler gave up on it.
    void addResultHandler(const QString& id, std::function<void(const Iq*)> handler,
                          std::function<void(const Iq*)> lateHandler = {});
    /// The own presence advertises this photo hash from now on (and goes out
    /// again at once in a session).
    void updateOwnPhotoHash(const QByteArray& hash);

    XMPPClient* const client;
};

/// True when the answer is a result (not an error reply, not missing).
bool isResult(const Iq* answer);

} // namespace xmpp
