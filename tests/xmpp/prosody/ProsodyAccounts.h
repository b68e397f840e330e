#pragma once

// A test's Prosody made ready: started, one account per user with the
// password "pw-" and the user's name, and its CA trusted by new sockets.

#include "ClientTestUtil.h"
#include "ProsodyFixture.h"

#include <QDebug>

namespace clienttest {

/// False, with the reason logged, if any step fails.
inline bool startWithAccounts(ProsodyFixture& server, const QStringList& users)
{
    QString error;
    if (!server.start(&error)) {
        qWarning() << error;
        return false;
    }
    for (const QString& user : users) {
        if (!server.addAccount(user, QStringLiteral("pw-") + user, &error)) {
            qWarning() << error;
            return false;
        }
    }
    return trustCa(server.caCertificatePath());
}

}
