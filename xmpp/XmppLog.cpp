#include "XmppLog.h"

Q_LOGGING_CATEGORY(lcXmpp, "parlor.xmpp")

namespace xmpp {

bool LogThrottle::allow()
{
    if (m_since.isValid() && m_since.elapsed() < 1000) {
        ++m_held;
        return false;
    }
    m_since.start();
    m_heldBefore = m_held;
    m_held = 0;
    return true;
}

QString heldBack(const LogThrottle& throttle)
{
    return throttle.held() == 0 ? QString() : QStringLiteral("(%1 more held back)").arg(throttle.held());
}

} // namespace xmpp
