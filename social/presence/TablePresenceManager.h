#pragma once

#include <QHash>
#include <QObject>
#include <QString>

class GameModel;
class XMPPClient;

/// Publishes in the own chat presence the tables where the own player sits,
/// so that friends see them: a table's path goes in when the own player
/// takes a seat there and out when the player leaves the seat or the table
/// closes. The set of published paths lives in the XMPP client, which sends
/// the presence again after each change while connected.
///
/// The main window connects the game controller's gameModelCreated and
/// gameModelAboutToBeDestroyed to the two slots of the same names.
class TablePresenceManager : public QObject
{
    Q_OBJECT

public:
    explicit TablePresenceManager(XMPPClient* client, QObject* parent = nullptr);
    ~TablePresenceManager() override;

    /// The path a table is published under: its lobby path, "/" and its id.
    static QString tablePath(const GameModel* model);
    /// The path published for the model, or an empty text while the own player is not seated there.
    QString publishedPath(const GameModel* model) const { return m_published.value(model); }

public Q_SLOTS:
    /// A table was opened: watch it for the own seat.
    void onGameModelCreated(GameModel* model);
    /// A table is closing: its path, if published, is withdrawn.
    void onGameModelAboutToBeDestroyed(GameModel* model);

private Q_SLOTS:
    void onPlayerSeated(qint32 playerId);
    void onPlayerUnseated(qint32 playerId);

private:
    void withdraw(const GameModel* model);

    XMPPClient* m_client;
    /// The path published for each table with the own player seated. The
    /// path is kept rather than computed again on withdrawal, since the
    /// table's record (and so its lobby path) may change meanwhile.
    QHash<const GameModel*, QString> m_published;
};
