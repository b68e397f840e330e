#include "ClientExtension.h"

#include "Iq.h"
#include "XMPPClient.h"

namespace xmpp {

QString ClientExtension::nextId()
{
    return client->nextId();
}

void ClientExtension::addResultHandler(const QString& id, std::function<void(const Iq*)> handler,
                                       std::function<void(const Iq*)> lateHandler)
{
    client->registerIqHandler(id, std::move(handler), std::move(lateHandler));
}

void ClientExtension::updateOwnPhotoHash(const QByteArray& hash)
{
    client->updateOwnPhotoHash(hash);
}

bool isResult(const Iq* answer)
{
    return answer && answer->stanzaType == QLatin1String("result") && answer->errorCondition == 0;
}

} // namespace xmpp
