#pragma once

// A client in a bound session with a scripted XMPP server, a connection
// manager that knows the players' names and the player database on top:
// what the friends classes need, with every byte they make the client
// write on record.
#include "ClientTestUtil.h"
#include "ConnectionManager.h"
#include "PlayerDb.h"
#include "ScriptedXmppPeer.h"
#include "XMPPClient.h"

#include "ParlorResources.h"

#include <QDir>
#include <QLoggingCategory>
#include <QTranslator>

#include <memory>

namespace friendstest {

/// Quiet debug logs, and the compiled pictures under "resources:" and "avatars:".
inline void setUpEnvironment()
{
    QLoggingCategory::setFilterRules(QStringLiteral("parlor.xmpp.debug=false\n*.debug=false"));
    QDir::setSearchPaths(QStringLiteral("resources"), ParlorResources::compiledTrees());
    QDir::setSearchPaths(QStringLiteral("avatars"), {QStringLiteral("resources:avatars")});
}

/// A presence from jid (with resource), optionally with show, status and table paths.
inline QByteArray presence(const QString& from, const QString& show = QString(), const QString& status = QString(),
                           const QStringList& tables = {}, const QString& type = QString())
{
    QString xml = QStringLiteral("<presence from='%1'").arg(from);
    if (!type.isEmpty())
        xml += QStringLiteral(" type='%1'").arg(type);
    xml += QLatin1Char('>');
    if (!show.isEmpty())
        xml += QStringLiteral("<show>%1</show>").arg(show);
    if (!status.isEmpty())
        xml += QStringLiteral("<status>%1</status>").arg(status.toHtmlEscaped());
    if (!tables.isEmpty()) {
        xml += QStringLiteral("<tables xmlns='http://parlor.games/protocol/tables'>");
        for (const QString& path : tables)
            xml += QStringLiteral("<path>%1</path>").arg(path);
        xml += QStringLiteral("</tables>");
    }
    return (xml + QStringLiteral("</presence>")).toUtf8();
}

/// A roster push of one item; subscription "remove" drops it.
inline QByteArray rosterPush(const QString& jid, const QString& subscription, bool ask = false)
{
    static int id = 0;
    return QStringLiteral("<iq type='set' id='push%1'><query xmlns='jabber:iq:roster'><item jid='%2' "
                          "subscription='%3'%4/></query></iq>")
        .arg(++id)
        .arg(jid, subscription, ask ? QStringLiteral(" ask='subscribe'") : QString())
        .toUtf8();
}

/// Installs the compiled friends texts of a language ("en", "ja") for the
/// life of the returned object.
inline std::unique_ptr<QTranslator> installFriendsTexts(const QString& code)
{
#ifdef FRIENDS_QM_DIR
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral(FRIENDS_QM_DIR "/friends_%1.qm").arg(code)))
        return nullptr;
    QCoreApplication::installTranslator(translator.get());
    return translator;
#else
    Q_UNUSED(code);
    return nullptr;
#endif
}

struct Session
{
    ScriptedXmppPeer peer;
    XMPPClient client;
    ConnectionManager connection{false};
    PlayerDb playerDb{&connection, &client};

    /// Logs in as user@localhost/res; the session's own presence has gone out.
    bool login()
    {
        if (!peer.listen())
            return false;
        peer.playPlainLogin();
        if (!clienttest::connectToPeer(client, peer.port()))
            return false;
        return peer.waitReceived(QStringLiteral("<presence>.*</presence>"));
    }
    QString wrote() const { return QString::fromUtf8(peer.received()); }
    /// Sends bytes and waits until the client has read them (a ping answered).
    bool deliver(const QByteArray& bytes)
    {
        static int ping = 0;
        const QString id = QStringLiteral("sync%1").arg(++ping);
        peer.sendNow(bytes + QStringLiteral("<iq type='get' id='%1'><ping xmlns='urn:xmpp:ping'/></iq>").arg(id).toUtf8());
        return peer.waitReceived(QStringLiteral("id=\"%1\"").arg(id));
    }
};

}
