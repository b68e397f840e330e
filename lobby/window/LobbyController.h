#pragma once

#include <QObject>

class ConnectionManager;
class LobbyWindow;
class QWidget;
class TableModel;

/// The lobby's long-lived owner: it keeps the one TableModel, feeds it with
/// the connection manager's table events and builds lobby windows on it.
class LobbyController : public QObject
{
    Q_OBJECT

public:
    /// Creates the table model (a child of the controller) and connects the
    /// connection manager's snapshots, updates and removals to it.
    LobbyController(ConnectionManager* connection, QObject* parent);
    ~LobbyController() override;

    /// The table model; lives as long as the controller.
    TableModel* tableModel() const { return model; }
    /// A new lobby window on the table model, in `parent` (none by default):
    /// the caller owns it and must destroy it before the controller.
    LobbyWindow* createLobbyWindow(QWidget* parent = nullptr);

private:
    ConnectionManager* connection;
    TableModel* model;
};
