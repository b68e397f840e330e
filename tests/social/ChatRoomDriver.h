#pragma once

// Room owner and server clock helpers of the live chat tests.

#include "ProsodyFixture.h"
#include "RawXmppClient.h"
#include "ServerTime.h"

#include <QDateTime>

namespace chattest {

/// A bare client that creates a room, configures it (optionally with a
/// history) and then moderates it.
inline bool createRoom(RawXmppClient& owner, ProsodyFixture& server, const QString& room, int history = 0)
{
    QString error;
    if (!owner.login(server.host(), server.port(), server.domain(), QStringLiteral("1009"), QStringLiteral("pw-1009"),
                     &error)) {
        qWarning() << error;
        return false;
    }
    owner.send("<presence to='" + room.toUtf8() + "/Owner'><x xmlns='http://jabber.org/protocol/muc'/></presence>");
    if (!owner.waitFor(QStringLiteral("<status code=['\"]201['\"]")))
        return false;
    owner.send("<iq type='set' id='cfg' to='" + room.toUtf8()
               + "'><query xmlns='http://jabber.org/protocol/muc#owner'><x xmlns='jabber:x:data' type='submit'>"
                 "<field var='FORM_TYPE'><value>http://jabber.org/protocol/muc#roomconfig</value></field>"
                 "<field var='muc#roomconfig_historylength'><value>"
               + QByteArray::number(history) + "</value></field></x></query></iq>");
    return owner.waitFor(QStringLiteral("id=['\"]cfg['\"]"));
}

inline void say(RawXmppClient& owner, const QString& room, const QString& text)
{
    owner.send("<message to='" + room.toUtf8() + "' type='groupchat'><body>" + text.toHtmlEscaped().toUtf8()
               + "</body></message>");
}

/// An admin change of one occupant: `item` is the attributes of the item element.
inline bool admin(RawXmppClient& owner, const QString& room, const QByteArray& item, const QByteArray& reason,
                  const QByteArray& id)
{
    owner.send("<iq type='set' id='" + id + "' to='" + room.toUtf8()
               + "'><query xmlns='http://jabber.org/protocol/muc#admin'><item " + item + "><reason>" + reason
               + "</reason></item></query></iq>");
    return owner.waitFor(QStringLiteral("id=['\"]%1['\"]").arg(QString::fromLatin1(id)));
}

/// Sets the estimated server time (as if the game server had answered a time request).
inline void setServerTime(const QDateTime& time)
{
    ServerTime* clock = ServerTime::instance();
    clock->setRequestSender([] { return 4711; });
    clock->onTimeFromServer(4711, time);
    clock->setRequestSender({});
}

}
