#include "LobbyController.h"

#include "ConnectionManager.h"
#include "LobbyWindow.h"
#include "TableModel.h"

LobbyController::LobbyController(ConnectionManager* connection, QObject* parent)
    : QObject(parent)
    , connection(connection)
    , model(new TableModel(connection, this))
{
    connect(connection, qOverload<TableInfo>(&ConnectionManager::tableInfoUpdate), model,
            &TableModel::addOrUpdateTable);
    connect(connection, qOverload<qint32, int, TableInfoUpdates>(&ConnectionManager::tableInfoUpdate), model,
            &TableModel::updateTableInfo);
    connect(connection, &ConnectionManager::tableRemoved, model, &TableModel::onTableRemoved);
}

LobbyController::~LobbyController() = default;

LobbyWindow* LobbyController::createLobbyWindow(QWidget* parent)
{
    auto* window = new LobbyWindow(parent);
    window->setModel(model);
    return window;
}
