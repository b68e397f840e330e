// The enumeration name tables of the XMPP library and their lookups.
#include "XmppNames.h"

#include <QStringList>

#include <algorithm>
#include <iterator>

namespace xmpp::names {

namespace {

template<size_t N>
QString nameAt(const char* const (&table)[N], int value)
{
    return value >= 0 && size_t(value) < N ? QString::fromLatin1(table[value]) : QString();
}

template<size_t N>
int positionOf(const char* const (&table)[N], const QString& name)
{
    for (size_t i = 0; i < N; ++i) {
        if (name == QLatin1String(table[i]))
            return int(i);
    }
    return -1;
}

/// Binary search of a sorted table, as the condition tables are looked up:
/// the first entry not less than the name, then an equality test.
template<size_t N>
int sortedPositionOf(const char* const (&table)[N], const QString& name)
{
    const auto it = std::lower_bound(std::begin(table), std::end(table), name,
                                     [](const char* entry, const QString& n) { return QLatin1String(entry) < n; });
    if (it == std::end(table) || name != QLatin1String(*it))
        return -1;
    return int(it - std::begin(table));
}

const char* const PresenceTypes[] = {"", "subscribe", "subscribed", "unsubscribe", "unsubscribed", "unavailable", "probe", "error"};
const char* const Shows[] = {"", "away", "chat", "dnd", "xa"};
const char* const IqTypes[] = {"get", "set", "result", "error"};
const char* const MessageTypes[] = {"error", "chat", "groupchat", "headline", "normal"};
const char* const StreamErrors[] = {
    "bad-format", "bad-namespace-prefix", "conflict", "connection-timeout", "host-gone", "host-unknown",
    "improper-addressing", "internal-server-error", "invalid-from", "invalid-id", "invalid-namespace", "invalid-xml",
    "not-authorized", "policy-violation", "remote-connection-failed", "resource-constraint", "restricted-xml",
    "see-other-host", "system-shutdown", "undefined-condition", "unsupported-encoding", "unsupported-stanza-type",
    "unsupported-version", "xml-not-well-formed"};
const char* const SaslFailures[] = {"aborted", "incorrect-encoding", "invalid-authzid", "invalid-mechanism",
                                    "mechanism-too-weak", "not-authorized", "temporary-auth-failure"};
const char* const StanzaErrors[] = {
    "bad-request", "conflict", "feature-not-implemented", "forbidden", "gone", "internal-server-error",
    "item-not-found", "jid-malformed", "not-acceptable", "not-allowed", "not-authorized", "payment-required",
    "recipient-unavailable", "redirect", "registration-required", "remote-server-not-found", "remote-server-timeout",
    "resource-constraint", "service-unavailable", "subscription-required", "undefined-condition",
    "unexpected-request"};
const char* const StanzaErrorTypes[] = {"", "cancel", "continue", "modify", "auth", "wait"};
const char* const FieldTypes[] = {"boolean", "fixed", "hidden", "jid-single", "jid-multi",
                                  "list-single", "list-multi", "text-single", "text-multi", "text-private"};

} // namespace

QString presenceType(int type) { return nameAt(PresenceTypes, type); }

int presenceTypeFromName(const QString& name)
{
    const int pos = name.isEmpty() ? -1 : positionOf(PresenceTypes, name);
    return pos < 0 ? 0 : pos;
}

QString show(int show) { return nameAt(Shows, show); }

int showFromName(const QString& name)
{
    const int pos = name.isEmpty() ? -1 : positionOf(Shows, name);
    return pos;
}

QString iqType(int type) { return nameAt(IqTypes, type); }
int iqTypeFromName(const QString& name) { return positionOf(IqTypes, name); }

QString messageType(int type) { return nameAt(MessageTypes, type); }

int messageTypeFromName(const QString& name)
{
    const int pos = positionOf(MessageTypes, name);
    return pos < 0 ? 4 : pos;
}

QString streamErrorCondition(int code) { return nameAt(StreamErrors, code); }
int streamErrorConditionFromName(const QString& name) { return sortedPositionOf(StreamErrors, name); }

QString saslFailureCondition(int code) { return nameAt(SaslFailures, code); }
int saslFailureConditionFromName(const QString& name) { return sortedPositionOf(SaslFailures, name); }

QString stanzaErrorCondition(int code) { return code <= 0 ? QString() : nameAt(StanzaErrors, code - 1); }

int stanzaErrorConditionFromName(const QString& name)
{
    const int pos = sortedPositionOf(StanzaErrors, name);
    return pos < 0 ? 0 : pos + 1;
}

QString stanzaErrorType(int type) { return nameAt(StanzaErrorTypes, type); }

int stanzaErrorTypeFromName(const QString& name)
{
    const int pos = name.isEmpty() ? -1 : positionOf(StanzaErrorTypes, name);
    return pos < 0 ? 0 : pos;
}

QString fieldType(int type) { return nameAt(FieldTypes, type); }
int fieldTypeFromName(const QString& name) { return positionOf(FieldTypes, name); }

} // namespace xmpp::names
