#include "ClientSearch.h"

#include "Exceptions.h"
#include "IqSearch.h"
#include "XMPPClient.h"
#include "XmppLog.h"
#include "XmppNames.h"

namespace xmpp {

ClientSearch::ClientSearch(XMPPClient* client)
    : ClientExtension(client)
{
}

void ClientSearch::requestSearchForm(const XMPPJid& service, const QString& requestTag)
{
    const QString id = nextId();
    client->write(IqSearch(id, service));
    addResultHandler(id, [this, requestTag](const Iq* answer) { searchFormResult(answer, requestTag); });
}

void ClientSearch::searchFormResult(const Iq* answer, const QString& requestTag)
{
    // An answer of another kind than a search query fails the request.
    if (isResult(answer) && answer->type() == KindIqSearch) {
        const auto* iq = static_cast<const IqSearch*>(answer);
        if (iq->form()) {
            Q_EMIT requestSearchFormResult(*iq->form(), requestTag);
            qCDebug(lcXmpp) << "Search form query ok";
            return;
        }
    }
    Q_EMIT requestSearchFormError(requestTag);
    qCWarning(lcXmpp) << "Search form query error";
}

void ClientSearch::search(const XMPPJid& service, const XMPPDataForm& form, const QString& requestTag)
{
    const QString id = nextId();
    client->write(IqSearch(id, service, std::make_unique<XMPPDataForm>(form)));
    addResultHandler(id, [this, requestTag](const Iq* answer) { searchResult(answer, requestTag); });
}

void ClientSearch::searchResult(const Iq* answer, const QString& requestTag)
{
    if (isResult(answer) && answer->type() == KindIqSearch) {
        const auto* iq = static_cast<const IqSearch*>(answer);
        if (iq->report()) {
            Q_EMIT searchReport(*iq->report(), requestTag);
            qCDebug(lcXmpp) << "Search query ok";
            return;
        }
        // A form where a result table belongs is no answer to the search: an
        // empty report would read as "nobody found".
    }
    Q_EMIT searchError(requestTag);
    qCWarning(lcXmpp) << "Search query error";
}

} // namespace xmpp
