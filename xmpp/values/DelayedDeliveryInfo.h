#pragma once

#include <QDateTime>
#include <QString>

namespace xmpp {

/// When and by whom a message was delayed (room history, offline storage).
struct DelayedDeliveryInfo
{
    /// JID text of the delaying entity.
    QString from;
    /// The original time, in UTC.
    QDateTime stamp;
};

} // namespace xmpp
