#include "SocialHub.h"

#include "ChatController.h"
#include "ConferenceWidget.h"
#include "PlayerDb.h"

SocialHub::SocialHub(PlayerDb* playerDb, ChatController* chat, QObject* parent)
    : SocialServices(parent)
    , m_playerDb(playerDb)
    , m_chat(chat)
{
    if (playerDb)
        connect(playerDb, &PlayerDb::playerPictureUpdate, this, &SocialServices::playerPictureUpdate);
}

SocialHub::~SocialHub() = default;

QPixmap SocialHub::playerPicture(qint32 playerId)
{
    return m_playerDb ? m_playerDb->playerPicture(playerId) : PlayerDb::defaultAvatar(playerId);
}

ConferenceArea* SocialHub::createConferenceArea(QWidget* parent, int hiddenMask)
{
    auto* area = new ConferenceWidget(parent, ConferenceWidget::NotificationFlags(hiddenMask));
    area->setChatController(m_chat);
    return area;
}
