// The player directory: names from the game server, pictures from vCards,
// chat addresses, the search of an address by name and the own account's
// operations.
#include "PlayerDb.h"

#include "ClientExtension.h"
#include "ConnectionManager.h"
#include "IqVCard.h"
#include "PictureDecoder.h"
#include "PictureFile.h"
#include "SocialLog.h"
#include "XMPPClient.h"
#include "XmppNames.h"

#include <QBuffer>
#include <QFutureWatcher>
#include <QPointer>
#include <QtConcurrent/QtConcurrentRun>

#include <array>
#include <exception>
#include <utility>

const QString PlayerDb::SearchTag = QStringLiteral("PlayerDb");

namespace {

const std::array<const char*, 9> DefaultAvatars = {
    "resources:/avatar-default-1.png",     "resources:/avatar-default-2.png",
    "resources:/avatar-default-blue.png",  "resources:/avatar-default-brown.png",
    "resources:/avatar-default-brown2.png", "resources:/avatar-default-green.png",
    "resources:/avatar-default-purple.png", "resources:/avatar-default-red.png",
    "resources:/avatar-default-yellow.png",
};

/// A chat user's photo: what other programs store, from icons to camera
/// pictures; kept at most PictureSize on either side.
/// The first of a card's photos that decodes; else the first one's failure.
PictureDecoder::Result decodePhoto(const QList<QByteArray>& photos)
{
    const PictureDecoder::Limits limits{PictureDecoder::Format::Png | PictureDecoder::Format::Jpeg
                                            | PictureDecoder::Format::Gif,
                                        2048, 2048 * 2048, QSize(PlayerDb::PictureSize, PlayerDb::PictureSize)};
    PictureDecoder::Result first = PictureDecoder::decode(photos.value(0), limits);
    if (!PictureDecoder::imageOf(first).isNull())
        return first;
    for (qsizetype i = 1; i < photos.size(); ++i) {
        PictureDecoder::Result later = PictureDecoder::decode(photos.at(i), limits);
        if (!PictureDecoder::imageOf(later).isNull())
            return later;
    }
    return first;
}

bool isDecimal(const QString& text)
{
    if (text.isEmpty() || text.size() > 10)
        return false;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

}

PlayerDb::PlayerDb(ConnectionManager* connection, XMPPClient* client, QObject* parent)
    : QObject(parent)
    , m_connection(connection)
    , m_client(client)
{
    if (connection) {
        connect(connection, &ConnectionManager::registerUserOk, this, &PlayerDb::registerUserOk);
        connect(connection, &ConnectionManager::registerUserFailed, this, &PlayerDb::registerUserFailed);
        connect(connection, &ConnectionManager::changePasswordOk, this, &PlayerDb::changePasswordOk);
        connect(connection, &ConnectionManager::changePasswordFailed, this, &PlayerDb::changePasswordFailed);
        connect(connection, &ConnectionManager::playerNameUpdate, this, &PlayerDb::onPlayerNameUpdate);
    }
    if (client) {
        connect(client, &XMPPClient::connected, this, &PlayerDb::onXMPPConnected);
        connect(client, &XMPPClient::disconnected, this, &PlayerDb::onXMPPDisconnected);
        connect(client, &XMPPClient::vCardReceived, this, &PlayerDb::onVCardReceived);
        connect(client, &XMPPClient::uploadVCardOk, this, &PlayerDb::onUploadVCardOk);
        connect(client, &XMPPClient::uploadVCardError, this, &PlayerDb::onUploadVCardError);
        connect(client, &XMPPClient::requestSearchFormResult, this, &PlayerDb::onRequestSearchFormResult);
        connect(client, &XMPPClient::requestSearchFormError, this, &PlayerDb::onRequestSearchFormError);
        connect(client, &XMPPClient::searchReport, this, &PlayerDb::onSearchReport);
        connect(client, &XMPPClient::searchError, this, &PlayerDb::onSearchError);
        connect(client, &XMPPClient::presence, this, &PlayerDb::onPresence);
    }
}

PlayerDb::~PlayerDb() = default;

void PlayerDb::registerUser(const QString& username, const QString& password, const QString& email,
                            const QString& affiliateCode)
{
    m_connection->register_user(username, password, email, affiliateCode);
}

qint32 PlayerDb::changePassword(const QString& password)
{
    return m_connection->change_password(password);
}

void PlayerDb::setSearchJid(const XMPPJid& jid)
{
    m_searchService = jid;
}

QString PlayerDb::ownPidString() const
{
    return QString::number(m_ownPid);
}

void PlayerDb::setOwnPlayer(qint32 pid, const QString& name)
{
    m_ownName = name;
    onPlayerNameUpdate(pid, name);
    if (pid == m_ownPid)
        return;
    m_ownPid = pid;
    if (sessionUp())
        requestPicture(pid, true);
    else
        Q_EMIT playerPictureUpdate(pid);
}

QString PlayerDb::playerName(qint32 pid)
{
    return m_connection ? m_connection->playerName(pid) : QString();
}

QString PlayerDb::playerNameForJid(const XMPPJid& jid)
{
    return playerName(pidForJid(jid));
}

XMPPJid PlayerDb::jidForPid(qint32 pid) const
{
    QString domain = m_domain;
    if (domain.isEmpty() && m_client)
        domain = XMPPJid::fromText(m_client->ownJid()).domain();
    return XMPPJid(domain, QString::number(pid));
}

qint32 PlayerDb::pidForJid(const XMPPJid& jid) const
{
    // Room occupants, services and other domains are no players, whatever
    // their node reads as.
    const QString node = jid.node();
    if (!isDecimal(node))
        return -1;
    if (!m_domain.isEmpty() && jid.domain().compare(m_domain, Qt::CaseInsensitive) != 0)
        return -1;
    bool ok = false;
    const qint32 pid = node.toInt(&ok);
    return ok ? pid : -1;
}

qint32 PlayerDb::pidForName(const QString& name) const
{
    const auto it = m_names.find(name);
    return it == m_names.end() ? -1 : it->second;
}

XMPPJid PlayerDb::jidForName(const QString& name) const
{
    return jidForPid(pidForName(name));
}

bool PlayerDb::hasPlayerName(const QString& name) const
{
    return m_names.find(name) != m_names.end();
}

QPixmap PlayerDb::playerPicture(qint32 pid)
{
    const auto it = m_pictures.constFind(pid);
    if (it != m_pictures.constEnd() && !it->picture.isNull())
        return it->picture;
    if (it == m_pictures.constEnd() && sessionUp() && !m_decoding.contains(pid))
        requestPicture(pid);
    return defaultAvatar(pid);
}

QPixmap PlayerDb::defaultAvatar(qint32 pid)
{
    static std::array<QPixmap, DefaultAvatars.size()> loaded;
    const size_t index = quint32(pid) % DefaultAvatars.size();
    if (loaded[index].isNull())
        loaded[index] = PictureFile::pixmap(QLatin1String(DefaultAvatars[index]));
    return loaded[index];
}

void PlayerDb::uploadPicture(const QImage& picture)
{
    if (!sessionUp()) {
        Q_EMIT changePictureFailed();
        return;
    }
    m_pictureToUpload = picture;
    if (m_ownCardRequested)
        return;
    // The card is stored whole, so the fields kept in it besides the photo
    // must be read first or the upload would erase them. A request without
    // an addressee is about the own account.
    const QString id = m_client->nextId();
    m_client->write(xmpp::IqVCard(id, XMPPJid()));
    m_ownCardRequested = true;
    QPointer<PlayerDb> self(this);
    m_client->registerIqHandler(id, [self](const xmpp::Iq* answer) {
        if (self)
            self->onOwnCardAnswer(answer);
    });
}

void PlayerDb::onOwnCardAnswer(const xmpp::Iq* answer)
{
    m_ownCardRequested = false;
    const QImage picture = std::exchange(m_pictureToUpload, QImage());
    XMPPVCard card;
    if (!answer) {
        Q_EMIT changePictureFailed();
        return;
    }
    if (!xmpp::isResult(answer)) {
        // Only "no card yet" means there is nothing to keep; any other refusal
        // could hide a card that a blind upload would overwrite.
        if (answer->errorCondition != xmpp::names::stanzaErrorConditionFromName(QStringLiteral("item-not-found"))) {
            qCWarning(lcSocial) << "own vCard not readable, picture not stored:"
                                << xmpp::names::stanzaErrorCondition(answer->errorCondition);
            Q_EMIT changePictureFailed();
            return;
        }
    } else if (answer->type() == xmpp::KindIqVCard) {
        const auto* iq = static_cast<const xmpp::IqVCard*>(answer);
        if (iq->vCard()) {
            card = *iq->vCard();
            // A card that was read goes back with exactly its own fields.
            card.addEmptyName = false;
        }
    }
    card.photo.clear();
    card.laterPhotos.clear();
    if (!picture.isNull()) {
        QBuffer buffer(&card.photo);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, "PNG");
    }
    card.photoType = QStringLiteral("image/png");
    card.photoHash = QByteArray();
    // The name the user gave the card stays; only a card without one gets
    // the player's name.
    if (card.formattedName.isEmpty() && !m_ownName.isEmpty())
        card.formattedName = m_ownName;
    try {
        m_client->uploadVCard(card);
    } catch (const std::exception& e) {
        qCWarning(lcSocial) << "picture upload not sent:" << e.what();
        Q_EMIT changePictureFailed();
    }
}

void PlayerDb::searchJid(const QString& name)
{
    XMPPDataForm::Field* field = searchField();
    if (!field || !sessionUp()) {
        Q_EMIT searchJidError();
        return;
    }
    m_searchedName = name;
    field->value = name;
    try {
        m_client->search(m_searchService, m_searchForm, SearchTag);
    } catch (const std::exception& e) {
        qCWarning(lcSocial) << "search not sent:" << e.what();
        Q_EMIT searchJidError();
    }
}

void PlayerDb::onPlayerNameUpdate(qint32 pid, const QString& name)
{
    // A name that differs only in letter case keeps its key and takes the new id.
    m_names[name] = pid;
    Q_EMIT playerNameUpdate(pid, name);
}

void PlayerDb::onXMPPConnected()
{
    m_domain = XMPPJid::fromText(m_client->ownJid()).domain();
    if (m_ownPid != -1)
        requestPicture(m_ownPid, true);
    try {
        m_client->requestSearchForm(m_searchService, SearchTag);
    } catch (const std::exception& e) {
        qCWarning(lcSocial) << "search form not asked for:" << e.what();
    }
}

void PlayerDb::onXMPPDisconnected()
{
    m_searchField = -1;
}

void PlayerDb::onVCardReceived(const XMPPJid& jid, const XMPPVCard& vCard)
{
    const qint32 pid = pidForJid(jid);
    if (pid == -1)
        return;
    storePicture(pid, vCard);
}

void PlayerDb::storePicture(qint32 pid, const XMPPVCard& vCard)
{
    const auto cached = m_pictures.constFind(pid);
    if (vCard.photo.isEmpty() || (cached != m_pictures.constEnd() && cached->hash == vCard.photoHash)) {
        // No picture, or the one already shown: nothing to decode, and a
        // decoding of an older card is of no use any more.
        m_decoding.remove(pid);
        if (vCard.photo.isEmpty())
            m_pictures.insert(pid, PictureCacheEntry{});
        else if (pid == m_ownPid && m_client && !cached->picture.isNull())
            m_client->setOwnPhotoHash(vCard.photoHash);
        Q_EMIT playerPictureUpdate(pid);
        return;
    }
    const auto decoding = m_decoding.constFind(pid);
    if (decoding != m_decoding.constEnd() && decoding->hash == vCard.photoHash)
        return; // already on its way
    // Off the GUI thread: another user's photo must not hold the window.
    const quint64 serial = ++m_decodeSerial;
    const QByteArray hash = vCard.photoHash;
    m_decoding.insert(pid, Decoding{serial, hash});
    auto* watcher = new QFutureWatcher<PictureDecoder::Result>(this);
    connect(watcher, &QFutureWatcher<PictureDecoder::Result>::finished, this, [this, watcher, pid, serial, hash] {
        watcher->deleteLater();
        const auto it = m_decoding.constFind(pid);
        if (it == m_decoding.constEnd() || it->serial != serial)
            return; // a newer card has come meanwhile
        m_decoding.erase(it);
        const PictureDecoder::Result result = watcher->result();
        const QImage image = PictureDecoder::imageOf(result);
        if (image.isNull())
            qCWarning(lcSocial).noquote() << "picture of player" << pid << "left out:" << PictureDecoder::errorOf(result);
        // A photo that does not decode is kept by its hash as no picture:
        // presences that announce it fetch nothing again.
        m_pictures.insert(pid, PictureCacheEntry{hash, image.isNull() ? QPixmap() : QPixmap::fromImage(image)});
        if (pid == m_ownPid && m_client && !image.isNull())
            m_client->setOwnPhotoHash(hash);
        Q_EMIT playerPictureUpdate(pid);
    });
    watcher->setFuture(QtConcurrent::run(decodePhoto, QList<QByteArray>{vCard.photo} + vCard.laterPhotos));
}

void PlayerDb::onUploadVCardOk()
{
    if (m_ownPid != -1)
        requestPicture(m_ownPid, true);
    Q_EMIT changePictureOk();
}

void PlayerDb::onUploadVCardError()
{
    Q_EMIT changePictureFailed();
}

void PlayerDb::onRequestSearchFormResult(const XMPPDataForm& form, const QString& tag)
{
    if (tag != SearchTag)
        return;
    m_searchForm = form;
    m_searchField = -1;
    for (int i = 0; i < m_searchForm.fieldCount(); ++i) {
        const XMPPDataForm::Field& field = m_searchForm.fieldAt(i);
        if (field.type == XMPPDataForm::TextSingle && field.var == QLatin1String("search"))
            m_searchField = i;
    }
}

void PlayerDb::onRequestSearchFormError(const QString& tag)
{
    if (tag == SearchTag)
        qCWarning(lcSocial) << "the search service gave no search form";
}

void PlayerDb::onSearchReport(const XMPPDataReport& report, const QString& tag)
{
    if (tag != SearchTag)
        return;
    if (!searchField()) {
        Q_EMIT searchJidError();
        return;
    }
    for (const QMap<QString, QString>& row : report.rows) {
        const XMPPJid jid(row.value(QStringLiteral("jid")));
        const QString name = row.value(QStringLiteral("Name"));
        if (!jid.toString().isEmpty() && !name.isEmpty()
            && name.compare(m_searchedName, Qt::CaseInsensitive) == 0) {
            Q_EMIT searchJidResult(jid);
            return;
        }
    }
    Q_EMIT searchJidError();
}

void PlayerDb::onSearchError(const QString& tag)
{
    if (tag == SearchTag)
        Q_EMIT searchJidError();
}

void PlayerDb::onPresence(const XMPPPresence& presence)
{
    const qint32 pid = pidForJid(presence.from());
    if (pid == -1 || pid == m_ownPid || !presence.hasPhotoHash())
        return;
    const auto it = m_pictures.constFind(pid);
    if (it == m_pictures.constEnd())
        return; // fetched when somebody asks for the picture
    const QByteArray hash = presence.photoHash();
    if (it->hash.isNull() || it->hash != hash) {
        // An empty hash announces "no picture", which a cached absence already says.
        if (it->hash.isNull() && hash.isEmpty())
            return;
        requestPicture(pid, true);
    }
}

bool PlayerDb::sessionUp() const
{
    return m_client && m_client->state() == XMPPClient::SessionState;
}

void PlayerDb::requestPicture(qint32 pid, bool again)
{
    const auto pending = m_pending.find(pid);
    if (pending != m_pending.end()) {
        pending.value() = pending.value() || again;
        return;
    }
    if (!sessionUp())
        return;
    // The request goes out through the client's iq registry so that its
    // answer, error replies included, is known to belong to this player.
    const QString id = m_client->nextId();
    m_client->write(xmpp::IqVCard(id, jidForPid(pid)));
    m_pending.insert(pid, false);
    QPointer<PlayerDb> self(this);
    m_client->registerIqHandler(id, [self, pid](const xmpp::Iq* answer) {
        if (self)
            self->onVCardAnswer(pid, answer);
    });
}

void PlayerDb::onVCardAnswer(qint32 pid, const xmpp::Iq* answer)
{
    const bool again = m_pending.take(pid);
    if (!answer) {
        // The connection ended first: nothing learnt, the next look-up asks again.
        return;
    }
    if (!xmpp::isResult(answer)) {
        // Only a missing card is remembered as no picture, so look-ups stop
        // asking until a presence announces a photo. Any other refusal (the
        // server busy, a timeout on its side) teaches nothing: the next
        // look-up asks again.
        if (answer->errorCondition != xmpp::names::stanzaErrorConditionFromName(QStringLiteral("item-not-found"))) {
            qCDebug(lcSocial) << "vCard of player" << pid << "not available:"
                              << xmpp::names::stanzaErrorCondition(answer->errorCondition);
            return;
        }
        qCDebug(lcSocial) << "no vCard for player" << pid;
        storePicture(pid, XMPPVCard());
    } else if (answer->type() == xmpp::KindIqVCard) {
        const auto* iq = static_cast<const xmpp::IqVCard*>(answer);
        storePicture(pid, iq->vCard() ? *iq->vCard() : XMPPVCard());
    } else {
        // An empty result: the server keeps no vCard for the player.
        storePicture(pid, XMPPVCard());
    }
    if (again)
        requestPicture(pid);
}

XMPPDataForm::Field* PlayerDb::searchField()
{
    if (m_searchField < 0 || m_searchField >= m_searchForm.fieldCount())
        return nullptr;
    return &m_searchForm.fieldAt(m_searchField);
}
