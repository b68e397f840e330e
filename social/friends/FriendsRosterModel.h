#pragma once

#include "XMPPRosterModel.h"

#include <QIcon>

class PlayerDb;

/// The roster as the friends list shows it: each contact as the player's
/// name from the player database, with an availability icon and a tool tip
/// sentence. Names follow the game server's name updates.
class FriendsRosterModel : public XMPPRosterModel
{
    Q_OBJECT

public:
    FriendsRosterModel(XMPPClient* client, PlayerDb* playerDb, QObject* parent = nullptr);
    ~FriendsRosterModel() override;

    /// Display: the player name; decoration: the availability icon; tool tip:
    /// the sentence of toolTipText as rich text with every server text escaped.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    /// The translated availability word ("online", "away", ...), its first
    /// letter in upper case when capitalize is set.
    static QString availabilityText(int availability, bool capitalize);
    /// The icon of a contact from its subscription and best presence.
    static QIcon availabilityIcon(const XMPPRosterItem& item);
    /// "<name> is <availability>", with the status message when there is one (plain text).
    QString toolTipText(const XMPPRosterItem& item) const;

    PlayerDb* playerDb() const { return m_playerDb; }

public Q_SLOTS:
    /// A player's name became known: the row of that player, if any, is shown again.
    void onPlayerNameUpdate(qint32 pid, const QString& name);

private:
    PlayerDb* m_playerDb;
};
