#pragma once

#include "XMPPJid.h"

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QSet>
#include <QString>

#include <memory>

namespace xmpp {
class PresenceStanza;
}

/// One received or own presence, a copyable value around a presence stanza
/// (copies are deep).
class XMPPPresence
{
public:
    /// The availability scale of friends lists, icons and the own status.
    enum Availability { Error = 0, Unavailable, Online, Away, FreeForChat, DoNotDisturb, ExtendedAway };

    /// Why a room join failed.
    enum error_t {
        NoError = 0,
        OtherError = 1,
        Forbidden = 2,
        NotAuthorized = 3,
        RegistrationRequired = 4,
        Conflict = 5,
        ServiceUnavailable = 6,
        RecipientUnavailable = 7,
        NotAllowed = 8
    };

    /// XEP-0045 status codes as a dense enumeration; 0 for any unknown number.
    enum StatusCode {
        UnknownStatus = 0,
        Status100, Status101, Status102, Status103, Status104, Status110, Status170, Status171, Status172,
        Status173, Status174, Status201, Status210, Status301, Status303, Status307, Status321, Status322, Status332
    };

    /// The occupant record of a room presence.
    struct MucUser
    {
        QString actor;
        QString reason;
        QString nick;
        QString itemJid;
        /// 0 none, 1 admin, 2 member, 3 outcast, 4 owner.
        int affiliation = 0;
        /// 0 none, 1 moderator, 2 participant, 3 visitor.
        int role = 0;
        QString continueThread;
    };

    /// An available presence without content.
    XMPPPresence();
    /// Takes a copy of the stanza.
    explicit XMPPPresence(const xmpp::PresenceStanza& stanza);
    XMPPPresence(const XMPPPresence& other);
    XMPPPresence& operator=(const XMPPPresence& other);
    ~XMPPPresence();

    /// The sender, with its resource.
    XMPPJid from() const;
    /// An Availability: type "error" 0, "unavailable" 1, else by the show.
    int availability() const;
    /// Type "unavailable" for 1, else no type; the show by the value (none
    /// for 0 to 2); values outside 0..6 leave the show alone.
    void setAvailability(int availability);
    /// The error_t of an error presence; NoError for any other.
    int error() const;
    bool isMucUser() const;
    MucUser mucUserInfo() const;
    /// The room status codes as StatusCode values, in order.
    QList<int> statusCodes() const;
    /// The status text of a language key; status() uses "UND".
    QString status(const QString& language) const;
    QString status() const;
    void setStatus(const QString& text, const QString& language = QStringLiteral("UND"));
    /// Table paths of the table-presence extension.
    QSet<QString> tables() const;
    void setTables(const QSet<QString>& tables);
    bool hasPhotoHash() const;
    QByteArray photoHash() const;
    void setPhotoHash(const QByteArray& hash);

    /// The stanza, for the client that sends it.
    const xmpp::PresenceStanza& stanza() const { return *m_stanza; }
    xmpp::PresenceStanza& stanza() { return *m_stanza; }

    /// The dense value of a XEP-0045 status code number.
    static int statusCodeValue(int code);
    /// Whether a is less available than b (online > chat > away > xa > dnd >
    /// error, unavailable); equal ranks compare false.
    static bool lessAvailable(const XMPPPresence& a, const XMPPPresence& b);
    /// The rank of an availability used by lessAvailable.
    static int availabilityRank(int availability);

private:
    std::unique_ptr<xmpp::PresenceStanza> m_stanza;
};

Q_DECLARE_METATYPE(XMPPPresence)
