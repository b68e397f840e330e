#pragma once

#include "XMPPDataForm.h"
#include "XMPPJid.h"
#include "XMPPPresence.h"
#include "XMPPVCard.h"

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QMap>
#include <QObject>
#include <QPixmap>
#include <QString>

#include <map>

class ConnectionManager;
class XMPPClient;

namespace xmpp {
class Iq;
}

/// The one directory of players: the name of a player id (from the game
/// server), the picture of a player id (from the player's vCard, else a
/// default avatar), the chat address of an id or a name, and the search of
/// a chat address by name. It also carries the own account's operations
/// (register, change password, upload the own picture). GUI thread only.
///
/// Pictures are fetched once per player: a vCard without a photo, or one the
/// server cannot give, is remembered as "no picture" until the player's
/// presence announces a photo; at most one request per player is in flight.
/// Photos are decoded off the GUI thread, each once; one that does not
/// decode is left out with a log line and remembered as "no picture" until
/// a presence announces another.
class PlayerDb : public QObject
{
    Q_OBJECT

public:
    /// The tag of every search this object makes; answers with other tags are someone else's.
    static const QString SearchTag;
    /// Pictures are kept at most this many pixels wide and high.
    static constexpr int PictureSize = 64;

    PlayerDb(ConnectionManager* connection, XMPPClient* client, QObject* parent = nullptr);
    ~PlayerDb() override;

    /// Sends an account registration; the answer comes as registerUserOk / registerUserFailed.
    void registerUser(const QString& username, const QString& password, const QString& email,
                      const QString& affiliateCode);
    /// Sends a password change; the answer comes as changePasswordOk /
    /// changePasswordFailed with the number returned here.
    qint32 changePassword(const QString& password);
    /// The user search service that searchJid() asks.
    void setSearchJid(const XMPPJid& jid);
    XMPPJid searchService() const { return m_searchService; }

    /// The own id in decimal ("-1" before the login); the chat login name.
    QString ownPidString() const;
    qint32 ownPid() const { return m_ownPid; }
    QString ownName() const { return m_ownName; }
    /// Called once the login succeeded: remembers the own id and name and
    /// fetches the own picture (now, or when the chat session starts).
    void setOwnPlayer(qint32 pid, const QString& name);

    /// The game server's name of the player (a placeholder while it is asked for).
    QString playerName(qint32 pid);
    QString playerNameForJid(const XMPPJid& jid);
    /// The bare chat address of a player id: the id in decimal at the chat domain.
    XMPPJid jidForPid(qint32 pid) const;
    /// The player id of a chat address: its node when that is a decimal
    /// number and the domain (once known) is the chat domain; -1 otherwise.
    qint32 pidForJid(const XMPPJid& jid) const;
    /// The id of a known name (letter case ignored), or -1.
    qint32 pidForName(const QString& name) const;
    /// jidForPid(pidForName(name)); test hasPlayerName() first.
    XMPPJid jidForName(const QString& name) const;
    /// Whether the name (letter case ignored) is known.
    bool hasPlayerName(const QString& name) const;

    /// The player's picture: the cached one, else the default avatar of the
    /// id. Asks for the vCard (once) when nothing is known of the player and
    /// the chat session is up; playerPictureUpdate follows its answer.
    QPixmap playerPicture(qint32 pid);
    /// The default avatar of an id: one of nine, chosen by the id as an unsigned number.
    static QPixmap defaultAvatar(qint32 pid);
    /// Whether a vCard request for the player is waiting for its answer.
    bool isPictureRequested(qint32 pid) const { return m_pending.contains(pid); }

    /// Makes the picture the own vCard photo: fetches the own card, replaces
    /// its photo, writes the own name as its formatted name, keeps every other
    /// field and stores it; changePictureOk or changePictureFailed follows.
    /// A call while the card is being fetched replaces the picture to store.
    void uploadPicture(const QImage& picture);
    /// Looks up the chat address of a name through the search service;
    /// searchJidResult or searchJidError follows.
    void searchJid(const QString& name);

Q_SIGNALS:
    /// The game server answered a registration.
    void registerUserOk(bool active);
    void registerUserFailed(QString reason);
    /// The game server answered a password change.
    void changePasswordOk(qint32 seq);
    void changePasswordFailed(qint32 seq, QString reason);
    /// The server stored the own new picture.
    void changePictureOk();
    /// The own picture could not be stored (no chat session, or refused).
    void changePictureFailed();
    /// A player's name became known or changed.
    void playerNameUpdate(qint32 pid, QString name);
    /// A player's picture arrived or turned out to be absent.
    void playerPictureUpdate(qint32 pid);
    /// The search found the chat address of the searched name.
    void searchJidResult(XMPPJid jid);
    /// The search could not run or found nobody of that name.
    void searchJidError();

public Q_SLOTS:
    void onPlayerNameUpdate(qint32 pid, const QString& name);
    void onXMPPConnected();
    void onXMPPDisconnected();
    /// A vCard arrived (asked for by anyone); updates the cached picture.
    void onVCardReceived(const XMPPJid& jid, const XMPPVCard& vCard);
    void onUploadVCardOk();
    void onUploadVCardError();
    void onRequestSearchFormResult(const XMPPDataForm& form, const QString& tag);
    void onRequestSearchFormError(const QString& tag);
    void onSearchReport(const XMPPDataReport& report, const QString& tag);
    void onSearchError(const QString& tag);
    /// A presence that announces a new photo hash makes the picture be fetched again.
    void onPresence(const XMPPPresence& presence);

private:
    struct PictureCacheEntry
    {
        QByteArray hash; ///< null when the player has no picture
        QPixmap picture; ///< null when the player has no picture
    };
    struct CaseInsensitiveLess
    {
        bool operator()(const QString& a, const QString& b) const
        {
            return QString::compare(a, b, Qt::CaseInsensitive) < 0;
        }
    };

    bool sessionUp() const;
    /// Asks for the player's vCard unless a request is in flight; `again`
    /// asks once more after an answer to an earlier request (which may
    /// predate a change).
    void requestPicture(qint32 pid, bool again = false);
    void onVCardAnswer(qint32 pid, const xmpp::Iq* answer);
    void storePicture(qint32 pid, const XMPPVCard& vCard);
    /// The own card fetched for a picture upload (null: the connection ended first).
    void onOwnCardAnswer(const xmpp::Iq* answer);
    /// The search form's text field "search", or null.
    XMPPDataForm::Field* searchField();

    ConnectionManager* m_connection;
    XMPPClient* m_client;
    XMPPJid m_searchService;
    XMPPDataForm m_searchForm;
    /// Index of the search field in m_searchForm; -1 while none is usable.
    int m_searchField = -1;
    QString m_searchedName;
    qint32 m_ownPid = -1;
    QString m_ownName;
    /// The chat domain of the latest session; kept across disconnections.
    QString m_domain;
    std::map<QString, qint32, CaseInsensitiveLess> m_names;
    QMap<qint32, PictureCacheEntry> m_pictures;
    /// Players whose vCard is asked for, with whether to ask again after the answer.
    QHash<qint32, bool> m_pending;
    struct Decoding
    {
        quint64 serial; ///< which decoding is the latest one
        QByteArray hash;
    };
    /// Players whose photo is being decoded.
    QHash<qint32, Decoding> m_decoding;
    quint64 m_decodeSerial = 0;
    /// The picture to store once the own card has arrived.
    QImage m_pictureToUpload;
    bool m_ownCardRequested = false;
};
