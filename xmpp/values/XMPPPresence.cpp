#include "XMPPPresence.h"

#include "PresenceStanza.h"
#include "XmppNames.h"

using xmpp::PresenceStanza;

XMPPPresence::XMPPPresence() : m_stanza(std::make_unique<PresenceStanza>()) {}

XMPPPresence::XMPPPresence(const PresenceStanza& stanza) : m_stanza(std::make_unique<PresenceStanza>(stanza)) {}

XMPPPresence::XMPPPresence(const XMPPPresence& other) : m_stanza(std::make_unique<PresenceStanza>(*other.m_stanza)) {}

XMPPPresence& XMPPPresence::operator=(const XMPPPresence& other)
{
    if (this != &other)
        m_stanza = std::make_unique<PresenceStanza>(*other.m_stanza);
    return *this;
}

XMPPPresence::~XMPPPresence() = default;

XMPPJid XMPPPresence::from() const { return m_stanza->from; }

int XMPPPresence::availability() const
{
    const int type = xmpp::names::presenceTypeFromName(m_stanza->stanzaType);
    if (type == PresenceStanza::Error)
        return Error;
    if (type == PresenceStanza::Unavailable)
        return Unavailable;
    switch (m_stanza->show) {
    case PresenceStanza::Away:
        return Away;
    case PresenceStanza::Chat:
        return FreeForChat;
    case PresenceStanza::DoNotDisturb:
        return DoNotDisturb;
    case PresenceStanza::ExtendedAway:
        return ExtendedAway;
    default:
        return Online;
    }
}

void XMPPPresence::setAvailability(int availability)
{
    m_stanza->stanzaType = availability == Unavailable ? QStringLiteral("unavailable") : QString();
    switch (availability) {
    case Error:
    case Unavailable:
    case Online:
        m_stanza->show = PresenceStanza::NoShow;
        break;
    case Away:
        m_stanza->show = PresenceStanza::Away;
        break;
    case FreeForChat:
        m_stanza->show = PresenceStanza::Chat;
        break;
    case DoNotDisturb:
        m_stanza->show = PresenceStanza::DoNotDisturb;
        break;
    case ExtendedAway:
        m_stanza->show = PresenceStanza::ExtendedAway;
        break;
    default:
        break;
    }
}

int XMPPPresence::error() const
{
    if (availability() != Error)
        return NoError;
    const QString type = xmpp::names::stanzaErrorType(m_stanza->errorType);
    const QString condition = xmpp::names::stanzaErrorCondition(m_stanza->errorCondition);
    struct Row { const char* type; const char* condition; error_t value; };
    static const Row rows[] = {
        {"auth", "forbidden", Forbidden},
        {"auth", "not-authorized", NotAuthorized},
        {"auth", "registration-required", RegistrationRequired},
        {"cancel", "conflict", Conflict},
        {"wait", "service-unavailable", ServiceUnavailable},
        {"wait", "recipient-unavailable", RecipientUnavailable},
        {"cancel", "not-allowed", NotAllowed},
    };
    for (const Row& row : rows) {
        if (type == QLatin1String(row.type) && condition == QLatin1String(row.condition))
            return row.value;
    }
    return OtherError;
}

bool XMPPPresence::isMucUser() const { return m_stanza->mucUser; }

XMPPPresence::MucUser XMPPPresence::mucUserInfo() const
{
    const xmpp::MucUserInfo& info = m_stanza->mucUserInfo;
    MucUser user;
    user.actor = info.actor;
    user.reason = info.reason;
    user.nick = info.nick;
    user.itemJid = info.itemJid;
    user.affiliation = info.affiliation;
    user.role = info.role;
    user.continueThread = info.continueThread;
    return user;
}

int XMPPPresence::statusCodeValue(int code)
{
    static const int codes[] = {100, 101, 102, 103, 104, 110, 170, 171, 172, 173,
                                174, 201, 210, 301, 303, 307, 321, 322, 332};
    for (int i = 0; i < int(std::size(codes)); ++i) {
        if (codes[i] == code)
            return i + 1;
    }
    return UnknownStatus;
}

QList<int> XMPPPresence::statusCodes() const
{
    QList<int> result;
    for (int code : m_stanza->mucUserInfo.statusCodes)
        result.append(statusCodeValue(code));
    return result;
}

QString XMPPPresence::status(const QString& language) const { return m_stanza->statuses.value(language); }
QString XMPPPresence::status() const { return status(QStringLiteral("UND")); }

void XMPPPresence::setStatus(const QString& text, const QString& language)
{
    m_stanza->statuses.insert(language, text);
}

QSet<QString> XMPPPresence::tables() const { return m_stanza->tables; }
void XMPPPresence::setTables(const QSet<QString>& tables) { m_stanza->tables = tables; }
bool XMPPPresence::hasPhotoHash() const { return !m_stanza->photoHash.isNull(); }
QByteArray XMPPPresence::photoHash() const { return m_stanza->photoHash; }
void XMPPPresence::setPhotoHash(const QByteArray& hash) { m_stanza->photoHash = hash; }

int XMPPPresence::availabilityRank(int availability)
{
    switch (availability) {
    case Online:
        return 5;
    case FreeForChat:
        return 4;
    case Away:
        return 3;
    case ExtendedAway:
        return 2;
    case DoNotDisturb:
        return 1;
    default:
        return 0;
    }
}

bool XMPPPresence::lessAvailable(const XMPPPresence& a, const XMPPPresence& b)
{
    return availabilityRank(a.availability()) < availabilityRank(b.availability());
}
