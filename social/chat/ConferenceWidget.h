#pragma once

#include "ConferenceArea.h"
#include "ConferenceView.h"
#include "XMPPConference.h"
#include "XMPPJid.h"
#include "XMPPMessage.h"
#include "XMPPPresence.h"

#include <QDeadlineTimer>
#include <QList>
#include <QPointer>
#include <QTimer>

class ChatController;
class ChatOutputWidget;
class QLabel;
class QLineEdit;

/// The chat panel of one chat room (the lobby's, a table's or a
/// tournament's): the chat pane above an input line with a Send button,
/// driven by the room object it holds. The input line is enabled exactly
/// while the room is joined.
///
/// Everything other users write (nicks, lines, kick and ban reasons and
/// actors) reaches the pane escaped. An own line shows greyed until the
/// room reflects it, however long that takes. A line that the room refuses
/// shows an error line with the room's reason and goes back into the input
/// line, so it is not lost; when the chat connection ends first, each line
/// still on its way is named as one that may not have been delivered, and
/// the first goes back into the input line. A room asked for before the
/// chat session or the room service is known is joined as soon as both are.
class ConferenceWidget : public ConferenceArea
{
    Q_OBJECT

public:
    enum Notification {
        OwnJoinLeave = 1,
        ParticipantJoinLeave = 2,
        OwnKickBan = 4,
        ParticipantKickBan = 8,
    };
    Q_DECLARE_FLAGS(NotificationFlags, Notification)
    enum RoomKind { NoRoom = 0, LobbyRoom = 1, TableRoom = 2, TournamentRoom = 3 };
    /// Why the pane has no room to enter.
    enum MissingRoom { NotMissing = 0, RoomListUnread, NoLobbyRoom, NoRoomService };

    explicit ConferenceWidget(QWidget* parent = nullptr, NotificationFlags hidden = {});
    ~ConferenceWidget() override;

    /// The settings and client to use; the room follows the new client.
    void setChatController(ChatController* controller);
    ChatController* chatController() const;
    void setHiddenNotifications(NotificationFlags hidden) { m_hidden = hidden; }
    void setHiddenNotifications(int mask) override { m_hidden = NotificationFlags(mask); }
    NotificationFlags hiddenNotifications() const { return m_hidden; }

    /// Joins the controller's lobby room (nothing while none is known).
    void joinLobbyRoom();
    /// Joins "table-<id>" at the controller's room service.
    void joinTableRoom(qint32 tableId) override;
    /// Joins "tmnt-<id>" at the controller's room service.
    void joinTournamentRoom(int tournamentId) override;
    /// Enters the chosen room with the own player's name, once the chat
    /// session is up; until then the wish is kept.
    void joinRoom();
    /// Leaves the room (and forgets the wish to be in it).
    void leaveRoom() override;
    void appendInfo(const QString& html) override;
    /// The pane has no room to enter, for `why` (the room list that was to
    /// name the lobby room could not be read or names none, or there is no
    /// room service): a note says so, in the language of the moment, and
    /// so does the input line's place until a room is chosen.
    void showRoomMissing(MissingRoom why);
    bool isJoined() const override { return m_conference.isJoined(); }
    RoomKind roomKind() const { return m_roomKind; }
    XMPPJid roomJid() const { return m_conference.roomJid(); }

    /// How long after an entry the room refused a new one waits, in ms,
    /// unless the own membership changed: the room is asked again when the
    /// room is chosen again (at a later update of its table or tournament).
    static constexpr int DefaultReentryInterval = 60000;
    void setReentryInterval(int ms) { m_reentryInterval = ms; }

    /// The text of a room entry error.
    static QString errorText(int error);
    /// The text of a refused entry, by the error condition the room gave
    /// (its name, e.g. "registration-required") and its own text; plain
    /// text. The wording of an absent or closed room depends on the kind of
    /// room (and for a tournament's, on the own registration); "forbidden"
    /// with a text of the room's own claims no ban.
    QString entryErrorText(const QString& condition, const QString& serverText = QString()) const;
    /// Whether the own player belongs to the room's tournament or table
    /// (registered, seated): a registered player's refusal is no call to
    /// register, and a change lets a refused room be entered again at once.
    void setOwnMember(bool member) override;
    /// What the input line's place says instead of the input: empty while
    /// the room can be written to or is being entered.
    QString stateText() const;
    /// Why the room refused a line: the room's own text when it gave one,
    /// else the error condition's name; plain text.
    static QString refusalReason(const XMPPMessage& error);
    /// The line of the own kick or ban: nick, then the actor and the reason
    /// where given, each escaped.
    static QString ownKickBanText(bool banned, const QString& nick, const XMPPJid& actor, const QString& reason);
    /// The line of the own removal from the room for the status code that
    /// gives its cause (321, 322 or 332); plain text.
    static QString removalText(XMPPPresence::StatusCode why);

    XMPPConference& conference() { return m_conference; }
    ChatOutputWidget* chatOutput() const { return m_ui.chatOutput; }
    QLineEdit* chatInput() const { return m_ui.chatInput; }
    QLabel* chatState() const { return m_ui.chatState; }

protected:
    void changeEvent(QEvent* event) override;
    /// A click anywhere in the area (a disabled input line too) brings the
    /// focus here; keys the area does not use stop here, so they never
    /// reach the buttons of the window around it.
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private Q_SLOTS:
    void onMessage(const XMPPMessage& message);
    void onUserError(XMPPConference* conf, XMPPPresence::error_t error);
    void onUserJoined();
    void onUserLeft();
    void onUserKicked(XMPPConference*, const XMPPJid& actor, const QString& reason);
    void onUserBanned(XMPPConference*, const XMPPJid& actor, const QString& reason);
    /// Put out of the room for another cause (the room made members-only,
    /// the membership revoked, the service shutting down): told as a kick is.
    void onUserRemoved(XMPPConference*, XMPPPresence::StatusCode why, const QString& reason);
    void onParticipantJoined(XMPPConference*, const QString& nick);
    void onParticipantLeft(XMPPConference*, const QString& nick);
    void onParticipantKicked(XMPPConference*, const QString& nick, const XMPPJid& actor, const QString& reason);
    void onParticipantBanned(XMPPConference*, const QString& nick, const XMPPJid& actor, const QString& reason);
    void onReturnPressed();
    /// The room refused a line: an error line with its reason, the line back into the input.
    void onMessageRefused(XMPPConference*, const XMPPMessage& error);
    /// The session or the room service became available: a kept wish to be in a room is fulfilled.
    void onChatReady();
    void onClientDisconnected();
    void onChatOfflineChanged(bool offline);
    /// Sees every presence before the room object does, to keep the error
    /// condition and text of a refusal and the notice of a closed room.
    void onClientPresence(const XMPPPresence& presence);

private:
    /// Puts a line that did not reach the room back into an empty input
    /// line; with the input in use, the line goes into the pane instead.
    void restoreLine(const QString& text);
    /// Sets the room (leaving another one first) and joins it.
    void chooseRoom(RoomKind kind, const XMPPJid& room, qint32 id);
    XMPPJid serviceRoom(const QString& prefix, qint32 id) const;
    bool sessionUp() const;
    void notice(Notification kind, const QString& html);
    /// The input line and the state label follow the room and the connection.
    void updateInputState();
    static QString missingRoomText(MissingRoom why);
    /// That the chat is offline, and why when the server's refusal said.
    QString offlineText() const;
    /// The room was entered and has not answered in time.
    void onEntryTimeout();
    /// The room's own words with a text of ours, as HTML.
    static QString withServerText(const QString& text, const QString& serverText);
    /// Why the room refused the last entry or put the user out, in the
    /// current language; empty when it did not.
    QString refusalText() const;

    ConferenceView m_ui;
    XMPPConference m_conference;
    QPointer<ChatController> m_controller;
    NotificationFlags m_hidden;
    RoomKind m_roomKind = NoRoom;
    /// The table or tournament id of the chosen room.
    qint32 m_roomId = -1;
    /// The user wants to be in the chosen room (set by a join, cleared by a leave, a kick or a ban).
    bool m_wanted = false;
    /// An entry was sent and not yet answered.
    bool m_entering = false;
    /// The room was asked for again meanwhile, after a change of the own
    /// membership: a refusal is followed by another entry, unseen.
    bool m_enterAgain = false;
    /// The own player is registered for the room's tournament or seated at its table.
    bool m_member = false;
    /// The membership changed since the last entry.
    bool m_memberChanged = false;
    /// When the room may be entered again after a refusal.
    QDeadlineTimer m_nextEntry;
    int m_reentryInterval = DefaultReentryInterval;
    /// The last refusal written; the same one is not written again.
    QString m_refusalLine;
    /// The chat connection is lost or was refused.
    bool m_offline = false;
    /// Why the pane has no room, as its last note said.
    MissingRoom m_missing = NotMissing;
    /// Runs while an entry waits for the room's answer.
    QTimer m_entryTimer;
    /// Between the room's confirmation of the own entry and the own exit.
    bool m_inRoom = false;
    /// The room's answer to the last entry when it refused it or put the
    /// user out: an error condition with the room's text, or an error code.
    struct Refusal
    {
        enum Kind { None, Condition, Error } kind = None;
        QString condition;
        QString serverText;
        int error = 0;
    };
    Refusal m_refusal;
    /// The error condition and the room's own text of the last refusal.
    QString m_lastErrorCondition;
    QString m_lastErrorText;
    struct SentLine
    {
        QString id;
        QString text;
        /// The text as it went out (without what XML cannot carry).
        QString sent;
        /// The tag of its greyed line in the pane.
        int tag = 0;
    };
    /// Own lines sent and not yet reflected by the room, oldest first.
    QList<SentLine> m_unconfirmed;
    /// Own lines sent so far, for their tags.
    int m_pendingCount = 0;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(ConferenceWidget::NotificationFlags)
