#pragma once

#include <QElapsedTimer>
#include <QLoggingCategory>

/// The XMPP library's one logging category, "parlor.xmpp".
Q_DECLARE_LOGGING_CATEGORY(lcXmpp)

namespace xmpp {

/// Lets warnings of one kind through at most once a second: a flood of
/// faulty stanzas costs the log a line a second, not a line a stanza.
class LogThrottle
{
public:
    /// True when a warning may be written now; held() then tells how many
    /// of its kind were held back since the last one written.
    bool allow();
    int held() const { return m_heldBefore; }

private:
    QElapsedTimer m_since;
    int m_held = 0;
    int m_heldBefore = 0;
};

/// "(<n> more held back)", for the end of a throttled warning; empty for none.
QString heldBack(const LogThrottle& throttle);

} // namespace xmpp
