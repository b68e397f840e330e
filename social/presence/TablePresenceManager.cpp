// Table presence: which tables the own player sits at, as the own chat
// presence tells friends.
#include "TablePresenceManager.h"

#include "GameModel.h"
#include "SocialLog.h"
#include "XMPPClient.h"

TablePresenceManager::TablePresenceManager(XMPPClient* client, QObject* parent)
    : QObject(parent)
    , m_client(client)
{
}

TablePresenceManager::~TablePresenceManager() = default;

QString TablePresenceManager::tablePath(const GameModel* model)
{
    return model->tableInfo().lobbyPath + QLatin1Char('/') + QString::number(model->tableId());
}

void TablePresenceManager::onGameModelCreated(GameModel* model)
{
    if (!model)
        return;
    connect(model, &GameModel::playerSeated, this, &TablePresenceManager::onPlayerSeated, Qt::UniqueConnection);
    // A model that goes away without its controller's notice must not leave
    // a path behind, nor a dangling key.
    connect(model, &QObject::destroyed, this, [this, model] { withdraw(model); });
}

void TablePresenceManager::onGameModelAboutToBeDestroyed(GameModel* model)
{
    if (!model)
        return;
    if (!m_published.contains(model) && m_client)
        m_client->removeTablePath(tablePath(model)); // harmless when not published
    withdraw(model);
    model->disconnect(this);
}

void TablePresenceManager::onPlayerSeated(qint32 playerId)
{
    auto* model = qobject_cast<GameModel*>(sender());
    if (!model || playerId != model->ownPlayerId())
        return;
    const QString path = tablePath(model);
    m_published.insert(model, path);
    qCDebug(lcSocial) << "seated at" << path;
    if (m_client)
        m_client->addTablePath(path);
    disconnect(model, &GameModel::playerSeated, this, &TablePresenceManager::onPlayerSeated);
    connect(model, &GameModel::playerUnseated, this, &TablePresenceManager::onPlayerUnseated, Qt::UniqueConnection);
}

void TablePresenceManager::onPlayerUnseated(qint32 playerId)
{
    auto* model = qobject_cast<GameModel*>(sender());
    if (!model || playerId != model->ownPlayerId())
        return;
    withdraw(model);
    disconnect(model, &GameModel::playerUnseated, this, &TablePresenceManager::onPlayerUnseated);
    connect(model, &GameModel::playerSeated, this, &TablePresenceManager::onPlayerSeated, Qt::UniqueConnection);
}

void TablePresenceManager::withdraw(const GameModel* model)
{
    const auto it = m_published.find(model);
    if (it == m_published.end())
        return;
    const QString path = it.value();
    m_published.erase(it);
    qCDebug(lcSocial) << "no longer seated at" << path;
    if (m_client)
        m_client->removeTablePath(path);
}
