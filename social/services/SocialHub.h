#pragma once

#include "SocialServices.h"

#include <QPointer>

class ChatController;
class PlayerDb;

/// The social features as the lobby, tournament and table windows see them:
/// player pictures from the player directory and chat room panels bound to
/// the one chat controller. The main window owns it and hands it to the
/// controllers that build those windows.
class SocialHub : public SocialServices
{
    Q_OBJECT

public:
    SocialHub(PlayerDb* playerDb, ChatController* chat, QObject* parent = nullptr);
    ~SocialHub() override;

    QPixmap playerPicture(qint32 playerId) override;
    /// A ConferenceWidget with the chat controller set.
    ConferenceArea* createConferenceArea(QWidget* parent, int hiddenMask = 0) override;

    PlayerDb* playerDb() const { return m_playerDb; }
    ChatController* chatController() const { return m_chat; }

private:
    QPointer<PlayerDb> m_playerDb;
    QPointer<ChatController> m_chat;
};
