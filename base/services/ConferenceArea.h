#pragma once

#include <QWidget>

class QPoint;

/// The chat room area of a table's side bar, a tournament window and the
/// lobby. The social library's chat room widget implements it; the windows
/// that show one get it from `SocialServices::createConferenceArea` and know
/// nothing else of chat.
class ConferenceArea : public QWidget
{
    Q_OBJECT

public:
    using QWidget::QWidget;
    ~ConferenceArea() override = default;

    /// Joins the room of a table ("table-" and the id) once the chat session
    /// is up. Asked again for a room that refused the player, the area
    /// enters it again at a bounded rate.
    virtual void joinTableRoom(qint32 tableId) = 0;
    /// Joins the room of a tournament ("tmnt-" and the id), as joinTableRoom.
    virtual void joinTournamentRoom(int tournamentId) = 0;
    /// Whether the own player belongs to the tournament or table whose room
    /// this is (registered, seated): a refusal's wording depends on it, and
    /// a room that refused the player is asked again at once after a change.
    virtual void setOwnMember(bool) {}
    /// Leaves the room, when the chat session is up.
    virtual void leaveRoom() = 0;
    /// Appends an information line without a nick, stamped with the server time.
    virtual void appendInfo(const QString& text) = 0;
    /// True from the own join presence until leave or the own unavailable presence.
    virtual bool isJoined() const = 0;
    /// Notices to suppress: 1 own join/leave, 2 others' join/leave, 4 own
    /// kick/ban, 8 others' kick/ban.
    virtual void setHiddenNotifications(int mask) = 0;

Q_SIGNALS:
    /// A participant's menu was asked for at a global position.
    void userMenuRequested(const QString& nick, const QPoint& pos);
};
