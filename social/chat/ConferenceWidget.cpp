// The chat room panel: joining and leaving, the room's notices and errors,
// sending lines and catching the ones the room refuses.
#include "ConferenceWidget.h"

#include "ChatController.h"
#include "ChatOutputWidget.h"
#include "PlayerDb.h"
#include "PresenceStanza.h"
#include "ServerTime.h"
#include "SocialLog.h"
#include "UPushButton.h"
#include "XMPPClient.h"
#include "XmlText.h"
#include "XmppNames.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include <exception>
#include <utility>

namespace {

/// Own lines remembered until the room reflects or refuses them; a room that
/// never answers must not make the list grow.
constexpr int MaxUnconfirmed = 32;
/// The pane's tags of the own lines on their way: from here on, one each.
constexpr int FirstPendingTag = 1000;
constexpr int PendingTags = 1000000;

/// The pane's tags of the note that the chat is offline and of the room's
/// last refusal: both are written anew in a new language.
constexpr int OfflineNote = 1;
constexpr int RefusalNote = 2;
/// The pane's tag of the note that the room list could not be read.
constexpr int RoomListNote = 3;

/// What another user or the room wrote, for an information line: bounded
/// as the pane bounds a chat text, then escaped.
QString othersText(const QString& text, qsizetype maxLength = ChatOutputWidget::MaxTextLength)
{
    return ChatOutputWidget::shownText(text, maxLength).toHtmlEscaped();
}

QString othersNick(const QString& nick)
{
    return othersText(nick, ChatOutputWidget::MaxNickLength);
}

}

ConferenceWidget::ConferenceWidget(QWidget* parent, NotificationFlags hidden)
    : ConferenceArea(parent)
    , m_hidden(hidden)
{
    m_ui.setupUi(this);
    m_ui.chatInput->setEnabled(false);
    setFocusPolicy(Qt::ClickFocus);
    m_entryTimer.setSingleShot(true);
    connect(&m_entryTimer, &QTimer::timeout, this, &ConferenceWidget::onEntryTimeout);

    connect(m_ui.chatInput, &QLineEdit::returnPressed, this, &ConferenceWidget::onReturnPressed);
    connect(m_ui.send, &QPushButton::clicked, this, &ConferenceWidget::onReturnPressed);

    XMPPConference* c = &m_conference;
    connect(c, &XMPPConference::message, this, &ConferenceWidget::onMessage);
    connect(c, &XMPPConference::userError, this, &ConferenceWidget::onUserError);
    connect(c, &XMPPConference::userJoined, this, &ConferenceWidget::onUserJoined);
    connect(c, &XMPPConference::userLeft, this, &ConferenceWidget::onUserLeft);
    connect(c, &XMPPConference::userKicked, this, &ConferenceWidget::onUserKicked);
    connect(c, &XMPPConference::userBanned, this, &ConferenceWidget::onUserBanned);
    connect(c, &XMPPConference::userRemoved, this, &ConferenceWidget::onUserRemoved);
    connect(c, &XMPPConference::participantJoined, this, &ConferenceWidget::onParticipantJoined);
    connect(c, &XMPPConference::participantLeft, this, &ConferenceWidget::onParticipantLeft);
    connect(c, &XMPPConference::participantBanned, this, &ConferenceWidget::onParticipantBanned);
    connect(c, &XMPPConference::participantKicked, this, &ConferenceWidget::onParticipantKicked);
    connect(c, &XMPPConference::messageRefused, this, &ConferenceWidget::onMessageRefused);

    connect(m_ui.chatOutput, &ChatOutputWidget::userMenuRequested, this, &ConferenceArea::userMenuRequested);
}

ConferenceWidget::~ConferenceWidget()
{
    // An entry still on its way would make the user an occupant after the
    // pane is gone: the exit goes out behind it. A joined room is left by
    // the room object itself.
    if (m_entering && !m_conference.isJoined() && sessionUp()) {
        try {
            m_controller->xmppClient()->leaveRoom(m_conference.roomJid(), m_conference.nick());
        } catch (const std::exception& e) {
            qCWarning(lcSocial) << "room exit not sent:" << e.what();
        }
    }
}

void ConferenceWidget::setChatController(ChatController* controller)
{
    if (m_controller) {
        m_controller->disconnect(this);
        if (XMPPClient* old = m_controller->xmppClient())
            old->disconnect(this);
    }
    m_controller = controller;
    XMPPClient* client = controller ? controller->xmppClient() : nullptr;
    // Connected before the room object, so that a refusal's condition and
    // text are known when the room reports it.
    if (client)
        connect(client, &XMPPClient::presence, this, &ConferenceWidget::onClientPresence);
    m_conference.setClient(client);
    m_entering = false;
    m_offline = controller && controller->isChatOffline();
    updateInputState();
    if (!controller)
        return;
    connect(controller, &ChatController::conferenceJidChanged, this, &ConferenceWidget::onChatReady);
    connect(controller, &ChatController::chatOfflineChanged, this, &ConferenceWidget::onChatOfflineChanged);
    connect(controller, &ChatController::serviceMissing, this, [this] {
        if (m_wanted && m_conference.roomJid().isEmpty() && m_roomKind != LobbyRoom)
            showRoomMissing(NoRoomService);
    });
    if (client) {
        connect(client, &XMPPClient::connected, this, &ConferenceWidget::onChatReady);
        connect(client, &XMPPClient::disconnected, this, &ConferenceWidget::onClientDisconnected);
    }
}

ChatController* ConferenceWidget::chatController() const
{
    return m_controller;
}

void ConferenceWidget::joinLobbyRoom()
{
    chooseRoom(LobbyRoom, m_controller ? m_controller->lobbyRoomJid() : XMPPJid(), -1);
}

void ConferenceWidget::joinTableRoom(qint32 tableId)
{
    chooseRoom(TableRoom, serviceRoom(QStringLiteral("table-%1"), tableId), tableId);
}

void ConferenceWidget::joinTournamentRoom(int tournamentId)
{
    chooseRoom(TournamentRoom, serviceRoom(QStringLiteral("tmnt-%1"), tournamentId), tournamentId);
}

XMPPJid ConferenceWidget::serviceRoom(const QString& prefix, qint32 id) const
{
    if (!m_controller || m_controller->conferenceJid().isEmpty())
        return XMPPJid();
    return XMPPJid(m_controller->conferenceJid().toString(), prefix.arg(id));
}

void ConferenceWidget::chooseRoom(RoomKind kind, const XMPPJid& room, qint32 id)
{
    m_roomKind = kind;
    m_roomId = id;
    m_wanted = true;
    if (room.isEmpty()) {
        // The room service (or the lobby room) is not known yet: joined once
        // it is, unless there is none.
        if (kind != LobbyRoom && m_controller && m_controller->isServiceMissing() && m_missing != NoRoomService)
            showRoomMissing(NoRoomService);
        return;
    }
    if (m_missing != NotMissing) {
        m_missing = NotMissing;
        updateInputState();
    }
    if (room != m_conference.roomJid()) {
        if (m_conference.isJoined())
            leaveRoom();
        m_wanted = true;
        m_entering = false;
        m_enterAgain = false;
        m_refusal = Refusal();
        m_refusalLine.clear();
        m_nextEntry = QDeadlineTimer();
        m_inRoom = false;
        // The old room's reflections are no longer heard: its lines are left as they show.
        m_unconfirmed.clear();
        m_conference.setRoomJid(room);
        updateInputState();
    } else if (m_entering) {
        // Asked again while the entry is on its way: after a change of the
        // own membership (the user registered meanwhile) the room may
        // answer the next one otherwise.
        m_enterAgain = m_enterAgain || m_memberChanged;
        return;
    } else if (m_refusal.kind != Refusal::None && !m_memberChanged && !m_nextEntry.hasExpired()) {
        // Refused a moment ago for the same membership: asked again later,
        // as a service may let the user in after all.
        return;
    }
    joinRoom();
}

void ConferenceWidget::joinRoom()
{
    if (!sessionUp() || m_conference.roomJid().isEmpty() || m_conference.isJoined() || m_entering)
        return;
    const PlayerDb* db = m_controller->playerDb();
    const QString nick = db && !db->ownName().isEmpty() ? db->ownName() : QString();
    try {
        m_conference.join(nick);
        m_entering = true;
        // An entry is a presence, which no request deadline covers: it has
        // a time of its own, as a request has.
        m_entryTimer.start(m_controller->xmppClient()->answerTimeout());
        m_memberChanged = false;
        m_nextEntry.setRemainingTime(m_reentryInterval);
    } catch (const std::exception& e) {
        qCWarning(lcSocial) << "room entry not sent:" << e.what();
    }
}

void ConferenceWidget::leaveRoom()
{
    m_wanted = false;
    m_entering = false;
    if (!sessionUp())
        return;
    try {
        m_conference.leave();
    } catch (const std::exception& e) {
        qCWarning(lcSocial) << "room exit not sent:" << e.what();
    }
}

void ConferenceWidget::appendInfo(const QString& html)
{
    m_ui.chatOutput->appendInfo(ServerTime::currentTime(), html);
}

bool ConferenceWidget::sessionUp() const
{
    return m_controller && m_controller->xmppClient()
           && m_controller->xmppClient()->state() == XMPPClient::SessionState;
}

void ConferenceWidget::onChatReady()
{
    if (!m_wanted || m_conference.isJoined())
        return;
    switch (m_roomKind) {
    case LobbyRoom:
        // The room setup chooses the lobby room anew at every session start.
        break;
    case TableRoom:
        joinTableRoom(m_roomId);
        break;
    case TournamentRoom:
        joinTournamentRoom(m_roomId);
        break;
    case NoRoom:
        break;
    }
}

void ConferenceWidget::onClientDisconnected()
{
    // The room's answer to these can no longer come: whether it had the
    // lines is not known. The first waits in the input for another try.
    QString restore;
    for (const SentLine& line : std::as_const(m_unconfirmed)) {
        m_ui.chatOutput->removeLine(line.tag);
        appendInfo(tr("Your message may not have been delivered: %1").arg(line.text.toHtmlEscaped()));
        if (restore.isNull())
            restore = line.text;
    }
    m_unconfirmed.clear();
    if (!restore.isNull() && m_ui.chatInput->text().isEmpty())
        m_ui.chatInput->setText(restore);
    m_entering = false;
    m_enterAgain = false;
    // After the next login the room is entered at once, and a refusal is
    // written again.
    m_nextEntry = QDeadlineTimer();
    m_refusalLine.clear();
    m_inRoom = false;
    updateInputState();
}

QString ConferenceWidget::offlineText() const
{
    switch (m_controller ? m_controller->offlineReason() : ChatController::OfflineReason::Unknown) {
    case ChatController::OfflineReason::UntrustedCertificate:
        //: %1 says why the chat server refused the login
        return tr("Chat is offline until the next login: %1").arg(tr("the chat server's certificate is not trusted"));
    case ChatController::OfflineReason::EncryptionMissing:
        return tr("Chat is offline until the next login: %1").arg(tr("the chat server does not offer encryption"));
    case ChatController::OfflineReason::Unknown:
        break;
    }
    return tr("Chat is offline until the next login");
}

void ConferenceWidget::onChatOfflineChanged(bool offline)
{
    if (offline == m_offline) {
        // The cause of the refusal, told after it.
        if (offline)
            m_ui.chatOutput->rewriteInfo(OfflineNote, offlineText().toHtmlEscaped());
        updateInputState();
        return;
    }
    m_offline = offline;
    if (offline) {
        m_entering = false;
        m_enterAgain = false;
        m_inRoom = false;
        m_ui.chatOutput->appendInfo(ServerTime::currentTime(), offlineText().toHtmlEscaped(), OfflineNote);
    }
    updateInputState();
}

QString ConferenceWidget::missingRoomText(MissingRoom why)
{
    switch (why) {
    case RoomListUnread:
        return tr("The chat server's room list could not be read: there is no lobby room to enter");
    case NoLobbyRoom:
        return tr("The chat server has no lobby room to enter");
    case NoRoomService:
        return tr("The chat server offers no chat rooms");
    case NotMissing:
        break;
    }
    return QString();
}

void ConferenceWidget::showRoomMissing(MissingRoom why)
{
    m_missing = why;
    m_ui.chatOutput->appendInfo(ServerTime::currentTime(), missingRoomText(why), RoomListNote);
    updateInputState();
}

void ConferenceWidget::onEntryTimeout()
{
    if (!m_entering || m_inRoom || !sessionUp())
        return;
    qCWarning(lcSocial) << "room" << m_conference.roomJid().toString() << "did not answer the entry";
    m_lastErrorCondition = QStringLiteral("remote-server-timeout");
    m_lastErrorText.clear();
    onUserError(&m_conference, XMPPPresence::OtherError);
}

QString ConferenceWidget::stateText() const
{
    if (m_offline)
        return offlineText();
    if (m_inRoom)
        return QString();
    return refusalText();
}

QString ConferenceWidget::refusalText() const
{
    switch (m_refusal.kind) {
    case Refusal::None:
        return QString();
    case Refusal::Condition:
        return entryErrorText(m_refusal.condition, m_refusal.serverText);
    case Refusal::Error:
        return m_refusal.error == 8 ? entryErrorText(QStringLiteral("not-allowed")) : errorText(m_refusal.error);
    }
    return QString();
}

void ConferenceWidget::setOwnMember(bool member)
{
    if (m_member == member)
        return;
    m_member = member;
    m_memberChanged = true;
    updateInputState();
}

void ConferenceWidget::updateInputState()
{
    const QString state = stateText();
    const bool joined = m_inRoom && !m_offline;
    m_ui.chatInput->setEnabled(joined);
    m_ui.chatState->setText(state);
    m_ui.chatState->setVisible(!state.isEmpty());
    m_ui.send->setEnabled(joined);
    if (joined && hasFocus())
        m_ui.chatInput->setFocus();
}

void ConferenceWidget::keyPressEvent(QKeyEvent* event)
{
    event->accept();
}

void ConferenceWidget::focusInEvent(QFocusEvent* event)
{
    ConferenceArea::focusInEvent(event);
    if (m_ui.chatInput->isEnabled())
        m_ui.chatInput->setFocus();
}

void ConferenceWidget::onClientPresence(const XMPPPresence& presence)
{
    if (m_conference.roomJid().isEmpty() || presence.from().bare() != m_conference.roomJid())
        return;
    // The room's occupants, still arriving over a slow link, show the entry
    // on its way; others' stanzas say nothing of it.
    if (m_entering && !m_inRoom && sessionUp())
        m_entryTimer.start(m_controller->xmppClient()->answerTimeout());
    if (presence.availability() == XMPPPresence::Error) {
        m_lastErrorCondition = xmpp::names::stanzaErrorCondition(presence.stanza().errorCondition);
        m_lastErrorText = presence.stanza().errorText.trimmed();
        return;
    }
    const xmpp::MucUserInfo& user = presence.stanza().mucUserInfo;
    if (presence.availability() == XMPPPresence::Unavailable && user.destroyed
        && (presence.statusCodes().contains(XMPPPresence::Status110)
            || presence.from().resource() == m_conference.nick())) {
        // The room is gone for good: nothing to enter again.
        m_wanted = false;
        m_entering = false;
        m_enterAgain = false;
        m_refusal = Refusal{Refusal::Condition, QStringLiteral("gone"), QString()};
        appendInfo(withServerText(refusalText(), user.destroyReason));
        updateInputState();
    }
}

QString ConferenceWidget::withServerText(const QString& text, const QString& serverText)
{
    const QString server = serverText.trimmed();
    if (server.isEmpty())
        return text.toHtmlEscaped();
    //: %1 is the program's text of an error, %2 the chat server's own explanation
    return tr("%1 (%2)").arg(text.toHtmlEscaped(), othersText(server));
}

QString ConferenceWidget::errorText(int error)
{
    switch (error) {
    case 0:
        return tr("No error");
    case 1:
        return tr("Undefined error");
    case 2:
        return tr("You've been banned from this room");
    case 3:
        return tr("The room is password protected");
    case 4:
        return tr("This is a members only room");
    case 5:
        return tr("Your nickname is already in use in this room");
    case 6:
        return tr("The room is full");
    case 7:
        return tr("The room is locked");
    case 8:
        return tr("The room doesn't exist");
    default:
        return QString();
    }
}

void ConferenceWidget::onMessage(const XMPPMessage& message)
{
    const QString text = message.body();
    const QString nick = message.from().resource();
    // Nothing was said in the future: a later stamp (a wrong clock, or a line
    // stamped 9999) would put the lines after it under a date to come.
    const QDateTime now = ServerTime::currentTime();
    const QDateTime time = message.hasDelay() && message.delayStamp().isValid() ? qMin(message.delayStamp(), now) : now;
    if (text.isEmpty()) {
        // Chat states, receipts and the like carry no line. A subject set
        // by an occupant is worth a notice.
        const QString subject = message.subject().trimmed();
        if (!subject.isEmpty() && !message.hasDelay())
            appendInfo(tr("%1 set the subject: %2").arg(othersNick(nick), othersText(subject)));
        return;
    }
    if (!message.hasDelay() && nick == m_conference.nick()) {
        // The room reflects a line with the id it was sent with. A room that
        // drops or rewrites the id is matched by the text as it went out:
        // characters XML does not allow were left out on the way.
        const QString id = message.stanza().id;
        qsizetype index = -1;
        for (qsizetype i = 0; i < m_unconfirmed.size() && index < 0; ++i) {
            if (!id.isEmpty() && m_unconfirmed.at(i).id == id)
                index = i;
        }
        for (qsizetype i = 0; i < m_unconfirmed.size() && index < 0; ++i) {
            if (m_unconfirmed.at(i).sent == text)
                index = i;
        }
        if (index >= 0)
            m_ui.chatOutput->removeLine(m_unconfirmed.takeAt(index).tag);
    }
    m_ui.chatOutput->appendMessage(time, nick, text);
}

QString ConferenceWidget::refusalReason(const XMPPMessage& error)
{
    const QString text = error.stanza().errorText.trimmed();
    if (!text.isEmpty())
        return text;
    const QString condition = xmpp::names::stanzaErrorCondition(error.stanza().errorCondition);
    return condition.isEmpty() ? errorText(1) : condition;
}

void ConferenceWidget::onMessageRefused(XMPPConference*, const XMPPMessage& error)
{
    // The error carries the refused line's id; a room that copies the line
    // back instead is matched by its text.
    const QString id = error.stanza().id;
    const QString body = error.body();
    qsizetype index = -1;
    for (qsizetype i = 0; i < m_unconfirmed.size() && index < 0; ++i) {
        if (!id.isEmpty() && m_unconfirmed.at(i).id == id)
            index = i;
    }
    for (qsizetype i = 0; i < m_unconfirmed.size() && index < 0; ++i) {
        if (!body.isEmpty() && m_unconfirmed.at(i).sent == body)
            index = i;
    }
    appendInfo(tr("Your message was not delivered: %1").arg(othersText(refusalReason(error))));
    if (index < 0)
        return; // a line of a room left since, or one no longer remembered
    const SentLine line = m_unconfirmed.takeAt(index);
    m_ui.chatOutput->removeLine(line.tag);
    restoreLine(line.text);
}

void ConferenceWidget::restoreLine(const QString& text)
{
    if (m_ui.chatInput->text().isEmpty())
        m_ui.chatInput->setText(text);
    else
        appendInfo(tr("Your message was not delivered: %1").arg(text.toHtmlEscaped()));
}

QString ConferenceWidget::entryErrorText(const QString& condition, const QString& serverText) const
{
    const auto absentRoom = [this] {
        switch (m_roomKind) {
        case LobbyRoom:
            return tr("Lobby chat unavailable");
        case TableRoom:
            return tr("Table chat only available to players");
        case TournamentRoom:
            return m_member ? tr("Tournament chat unavailable")
                                : tr("Tournament chat only available to registered players");
        case NoRoom:
            break;
        }
        return errorText(8);
    };
    // Servers answer "forbidden" for a ban, and also for a room they do not
    // let this user create or reach; their own words then say which.
    if (condition == QLatin1String("forbidden"))
        return serverText.trimmed().isEmpty() ? errorText(2) : tr("The room refused the entry");
    if (condition == QLatin1String("not-authorized"))
        return errorText(3);
    if (condition == QLatin1String("registration-required"))
        return m_roomKind == TableRoom || m_roomKind == TournamentRoom ? absentRoom() : errorText(4);
    if (condition == QLatin1String("conflict"))
        return errorText(5);
    if (condition == QLatin1String("service-unavailable"))
        return errorText(6);
    if (condition == QLatin1String("recipient-unavailable"))
        return errorText(7);
    if (condition == QLatin1String("not-allowed") || condition == QLatin1String("item-not-found"))
        return absentRoom();
    if (condition == QLatin1String("gone"))
        return tr("The room has been closed");
    if (condition == QLatin1String("remote-server-not-found") || condition == QLatin1String("remote-server-timeout"))
        return tr("The chat room service cannot be reached");
    return errorText(1);
}

void ConferenceWidget::onUserError(XMPPConference*, XMPPPresence::error_t error)
{
    m_entering = false;
    const QString condition = std::exchange(m_lastErrorCondition, QString());
    const QString serverText = std::exchange(m_lastErrorText, QString());
    if (std::exchange(m_enterAgain, false) && m_wanted) {
        // The answer to an entry that the next one supersedes: the room
        // may let the user in now, and this refusal would stand above it.
        joinRoom();
        return;
    }
    // Kept as the room's answer, not as words: the state line follows a
    // change of language.
    if (!condition.isEmpty())
        m_refusal = Refusal{Refusal::Condition, condition, serverText};
    else
        m_refusal = Refusal{Refusal::Error, QString(), serverText, int(error)};
    // Entered again now and then, the room answers the same: said once.
    const QString line = withServerText(refusalText(), serverText);
    if (line != m_refusalLine)
        m_ui.chatOutput->appendInfo(ServerTime::currentTime(), line, RefusalNote);
    m_refusalLine = line;
    updateInputState();
}

void ConferenceWidget::notice(Notification kind, const QString& html)
{
    if (!m_hidden.testFlag(kind))
        appendInfo(html);
}

void ConferenceWidget::onUserJoined()
{
    m_entering = false;
    m_enterAgain = false;
    if (!m_wanted) {
        // Left while the entry was on its way: out again at once.
        leaveRoom();
        return;
    }
    // A room that refused the entry and let the user in after all (a busy
    // room tried again, an answer that came late): the refusal is no longer
    // true, and the admission takes its line.
    const bool refused = !std::exchange(m_refusalLine, QString()).isEmpty();
    m_refusal = Refusal();
    m_inRoom = true;
    updateInputState();
    const QString joined = tr("%1 joined the chat").arg(othersNick(m_conference.nick()));
    if (refused)
        m_ui.chatOutput->rewriteInfo(RefusalNote, joined);
    else
        notice(OwnJoinLeave, joined);
}

void ConferenceWidget::onUserLeft()
{
    m_entering = false;
    m_inRoom = false;
    updateInputState();
    notice(OwnJoinLeave, tr("%1 left the chat").arg(othersNick(m_conference.nick())));
}

QString ConferenceWidget::ownKickBanText(bool banned, const QString& ownNick, const XMPPJid& actor,
                                         const QString& reason)
{
    const QString nick = othersNick(ownNick);
    const QString by = othersNick(actor.toString());
    const QString why = othersText(reason);
    const bool hasActor = !actor.isNull() && !actor.isEmpty();
    if (hasActor && reason.isEmpty())
        return (banned ? tr("%1 has been banned from the chat by %2") : tr("%1 has been kicked from the chat by %2"))
            .arg(nick, by);
    if (hasActor)
        return (banned ? tr("%1 has been banned from the chat by %2 due to %3")
                       : tr("%1 has been kicked from the chat by %2 due to %3"))
            .arg(nick, by, why);
    if (reason.isEmpty())
        return (banned ? tr("%1 has been banned from the chat") : tr("%1 has been kicked from the chat")).arg(nick);
    return (banned ? tr("%1 has been banned from the chat due to %2") : tr("%1 has been kicked from the chat due to %2"))
        .arg(nick, why);
}

void ConferenceWidget::onUserKicked(XMPPConference*, const XMPPJid& actor, const QString& reason)
{
    // Put out by the room: not to be entered again behind the user's back.
    m_wanted = false;
    m_entering = false;
    notice(OwnKickBan, ownKickBanText(false, m_conference.nick(), actor, reason));
}

void ConferenceWidget::onUserBanned(XMPPConference*, const XMPPJid& actor, const QString& reason)
{
    m_wanted = false;
    m_entering = false;
    notice(OwnKickBan, ownKickBanText(true, m_conference.nick(), actor, reason));
}

QString ConferenceWidget::removalText(XMPPPresence::StatusCode why)
{
    switch (why) {
    case XMPPPresence::Status321:
        return tr("You were removed from the room: you are no longer a member");
    case XMPPPresence::Status322:
        return tr("You were removed from the room: it is now for members only");
    case XMPPPresence::Status332:
        return tr("You were removed from the room: the chat room service is shutting down");
    default:
        return tr("You were removed from the room");
    }
}

void ConferenceWidget::onUserRemoved(XMPPConference*, XMPPPresence::StatusCode why, const QString& reason)
{
    // As after a kick: the room would not let the user in again now.
    m_wanted = false;
    m_entering = false;
    notice(OwnKickBan, withServerText(removalText(why), reason));
}

void ConferenceWidget::onParticipantJoined(XMPPConference*, const QString& nick)
{
    notice(ParticipantJoinLeave, tr("%1 joined the chat").arg(othersNick(nick)));
}

void ConferenceWidget::onParticipantLeft(XMPPConference*, const QString& nick)
{
    notice(ParticipantJoinLeave, tr("%1 left the chat").arg(othersNick(nick)));
}

void ConferenceWidget::onParticipantKicked(XMPPConference*, const QString& nick, const XMPPJid&, const QString&)
{
    notice(ParticipantKickBan, tr("%1 has been kicked from the chat").arg(othersNick(nick)));
}

void ConferenceWidget::onParticipantBanned(XMPPConference*, const QString& nick, const XMPPJid&, const QString&)
{
    notice(ParticipantKickBan, tr("%1 has been banned from the chat").arg(othersNick(nick)));
}

void ConferenceWidget::onReturnPressed()
{
    const QString text = m_ui.chatInput->text();
    if (text.isEmpty() || !m_conference.isJoined())
        return;
    QString id;
    try {
        id = m_conference.sendMessage(text);
    } catch (const std::exception& e) {
        // The text stays in the input line for another try.
        qCWarning(lcSocial) << "chat line not sent:" << e.what();
        return;
    }
    // Shown as on its way until the room reflects it (it then takes its
    // place among the room's lines) or refuses it; no clock decides, as a
    // slow or stalled link delivers it all the same.
    m_pendingCount = (m_pendingCount + 1) % PendingTags;
    const int tag = FirstPendingTag + m_pendingCount;
    m_ui.chatOutput->appendPending(ServerTime::currentTime(), m_conference.nick(), text, tag);
    m_unconfirmed.append(SentLine{id, text, xmpp::xmlSafe(text), tag});
    while (m_unconfirmed.size() > MaxUnconfirmed)
        m_unconfirmed.removeFirst();
    m_ui.chatInput->clear();
}

void ConferenceWidget::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        m_ui.retranslateUi(this);
        updateInputState();
        // Often the pane's only line, and true until the next login: it
        // speaks the new language. Older lines keep theirs.
        if (m_offline)
            m_ui.chatOutput->rewriteInfo(OfflineNote, offlineText().toHtmlEscaped());
        // So is the refusal that keeps the user out; the next one, in the
        // new words, is then no new line.
        if (!m_refusalLine.isEmpty()) {
            m_refusalLine = withServerText(refusalText(), m_refusal.serverText);
            m_ui.chatOutput->rewriteInfo(RefusalNote, m_refusalLine);
        }
        if (m_missing != NotMissing)
            m_ui.chatOutput->rewriteInfo(RoomListNote, missingRoomText(m_missing));
    }
    ConferenceArea::changeEvent(event);
}
