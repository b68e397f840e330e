#include "LobbyController.h"

#include "ConnectionManager.h"
#include "LobbyWindow.h"
#include "TableModel.h"

LobbyController::LobbyController(ConnectionManager* connection, QObject* parent)
    : QObject(parent)
    , connection(connection)
    , model(new TableModel(connection, this))
{
    connect(connection, qOverload<TableInfo>(&ConnectionManager::tableInfoUpdate), this,
            [this](const TableInfo& info) { take(TableEvent{TableEvent::Record, info, 0, 0, {}}); });
    connect(connection, qOverload<qint32, int, TableInfoUpdates>(&ConnectionManager::tableInfoUpdate), this,
            [this](qint32 tableId, int seated, const TableInfoUpdates& updates) {
                take(TableEvent{TableEvent::Update, std::nullopt, tableId, seated, updates});
            });
    connect(connection, &ConnectionManager::tableRemoved, this,
            [this](qint32 tableId) { take(TableEvent{TableEvent::Removal, std::nullopt, tableId, 0, {}}); });
}

LobbyController::~LobbyController() = default;

LobbyWindow* LobbyController::createLobbyWindow()
{
    auto* window = new LobbyWindow(nullptr);
    window->setModel(model);
    return window;
}

void LobbyController::take(TableEvent&& event)
{
    if (!sliceOpen) {
        sliceOpen = true;
        slice.start();
        QMetaObject::invokeMethod(this, &LobbyController::nextSlice, Qt::QueuedConnection);
    }
    // Applied at once while the turn has time left and nothing waits before it.
    if (waiting.isEmpty() && slice.elapsed() < sliceMsecs)
        apply(event);
    else
        waiting.enqueue(std::move(event));
}

void LobbyController::nextSlice()
{
    sliceOpen = false;
    if (waiting.isEmpty())
        return;
    sliceOpen = true;
    slice.start();
    QMetaObject::invokeMethod(this, &LobbyController::nextSlice, Qt::QueuedConnection);
    while (!waiting.isEmpty() && slice.elapsed() < sliceMsecs)
        apply(waiting.dequeue());
}

void LobbyController::apply(const TableEvent& event)
{
    switch (event.kind) {
    case TableEvent::Record: model->addOrUpdateTable(*event.record); break;
    case TableEvent::Update: model->updateTableInfo(event.tableId, event.seated, event.updates); break;
    case TableEvent::Removal: model->onTableRemoved(event.tableId); break;
    }
}
