#pragma once

#include <QObject>
#include <QPixmap>

class ConferenceArea;
class QWidget;

/// What the lobby, the tournament windows and the game table use of the
/// social features (player pictures, chat rooms). The social library
/// implements it; the main window hands the one instance to the controllers
/// that build those windows, which keeps the libraries below the social one
/// free of it. A null pointer means no social features: no pictures, no chat.
class SocialServices : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    ~SocialServices() override = default;

    /// The player's picture: the cached one, else a default avatar chosen by
    /// the id. May ask for it; `playerPictureUpdate` follows when it arrives.
    virtual QPixmap playerPicture(qint32 playerId) = 0;
    /// A new chat room area owned by `parent`, hiding the notices of `hiddenMask`
    /// (see `ConferenceArea::setHiddenNotifications`).
    virtual ConferenceArea* createConferenceArea(QWidget* parent, int hiddenMask = 0) = 0;

Q_SIGNALS:
    /// A player's picture changed (a vCard arrived, or the own picture was set).
    void playerPictureUpdate(qint32 playerId);
};
