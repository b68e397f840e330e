#pragma once

#include "ClientExtension.h"
#include "XMPPDataForm.h"
#include "XMPPJid.h"

#include <QObject>

namespace xmpp {

/// User search: asks a search service for its form and submits a filled
/// one. Every answer carries the caller's request tag unchanged, so several
/// users of the one client can tell their answers apart.
class ClientSearch : public QObject, public ClientExtension
{
    Q_OBJECT

public:
    explicit ClientSearch(XMPPClient* client);

    /// Answered by requestSearchFormResult or requestSearchFormError.
    void requestSearchForm(const XMPPJid& service, const QString& requestTag);
    /// Answered by searchReport or searchError; an answer that is not a
    /// result table (a form, or one that cannot be read) is a searchError.
    void search(const XMPPJid& service, const XMPPDataForm& form, const QString& requestTag);

Q_SIGNALS:
    void requestSearchFormResult(XMPPDataForm searchFields, QString requestTag);
    void requestSearchFormError(QString requestTag);
    void searchReport(XMPPDataReport searchReport, QString requestTag);
    void searchError(QString requestTag);

private:
    void searchFormResult(const Iq* answer, const QString& requestTag);
    void searchResult(const Iq* answer, const QString& requestTag);
};

} // namespace xmpp
