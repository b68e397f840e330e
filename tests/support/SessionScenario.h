#pragma once

#include "TestFrame.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QObject>
#include <QStringList>

class TestGameServer;
struct ReceivedFrame;

/// A whole client session on the test game server, encoded with the
/// server's own codec: login (or a refusal with a chosen code), account
/// registration, the service requests that follow a login (client id,
/// balance, configuration, web pages, clock), the table lobbies, and the
/// server's own moves (forced logout, closing the connection, notices of
/// earlier tables). Every request the client sends is written to `log()` as
/// one short line, in order, so a test can compare the whole session.
class SessionScenario : public QObject
{
    Q_OBJECT

public:
    /// One lobby table as the server lists it.
    struct Table
    {
        quint32 id = 0;
        QByteArray path;
        QByteArray name;
        quint16 capacity = 4;
        quint16 seated = 0;
        quint32 ruleset = 0;
        quint32 gameType = 0;
        quint32 speed = 15000;
        /// Cents; with a settlement kind a money table, else free.
        quint32 bet = 0;
        int settlement = -1;
    };

    static constexpr quint32 playerId = 1001;

    explicit SessionScenario(TestGameServer& server, QObject* parent = nullptr);
    ~SessionScenario() override;

    /// `regular` tables under "101/Regular", then `practice` ones under
    /// "101/Practice" (ids from 700 on); every rule and game type, some full,
    /// some empty, every fifth regular one for money. The scenario starts
    /// with 30 and 5.
    static QList<Table> makeTables(int regular, int practice);
    void setTables(const QList<Table>& tables) { m_tables = tables; }
    const QList<Table>& tables() const { return m_tables; }

    /// Logins are refused with this code (status 1); -1 lets them in, -2 leaves them unanswered.
    void setLoginRefusal(qint32 code) { m_loginRefusal = code; }
    /// Logins are answered this long after they come, on their own connection.
    void setLoginDelay(int ms) { m_loginDelayMs = ms; }
    /// The answer to a password change: -1 accepted, -2 none, else the failure code.
    void setPasswordAnswer(qint32 code) { m_passwordAnswer = code; }
    /// A late answer to the index-th password change left unanswered: -1
    /// accepted, else the failure code.
    TestFrame passwordAnswer(int index, qint32 code) const;
    /// Class 153 with these tables.
    static TestFrame tableList(const QList<Table>& tables);
    /// The answer to a registration: -1 accepted, else the failure code.
    void setRegistrationFailure(qint32 code) { m_registrationFailure = code; }
    /// Whether an accepted account is active at once.
    void setRegistrationActive(bool active) { m_registrationActive = active; }
    void setAccountBalance(quint64 cents) { m_balance = cents; }
    /// The address answered for a web page request: by default the pages of
    /// the login page (registration, its terms, password reset) have one,
    /// the others are empty.
    void setWebPage(int page, const QByteArray& url) { m_pages[page] = url; }
    /// The four texts of the client configuration.
    void setClientConfig(const QList<QByteArray>& texts) { m_config = texts; }
    /// The answer to a join: 0 success, else the refusal code; -1 no answer.
    void setJoinAnswer(qint32 code) { m_joinAnswer = code; }
    /// The status answered to a quick join (4 waiting list, 3 seating); -1 no answer.
    void setQuickJoinAnswer(qint32 status) { m_quickJoinAnswer = status; }

    /// What the client asked for, one line per request, in order.
    const QStringList& log() const { return m_log; }
    void clearLog() { m_log.clear(); }
    /// The registrations as "user|password|email|affiliate".
    const QStringList& registrations() const { return m_registrations; }

    // The server's own moves.
    void forceLogout();
    void closeConnection();
    /// Class 62: the user still sits at the table (its record goes along).
    void notifySeated(const Table& table, quint8 seat, qint32 tournamentId = -1);
    /// Class 63: the user still watches the table.
    void notifyWatching(quint32 tableId);
    /// Class 144: a new seated count for one table.
    void updateSeated(quint32 tableId, quint16 seated);
    /// Class 4.
    void systemMessage(const QByteArray& text);

Q_SIGNALS:
    /// A request was logged.
    void requestLogged(const QString& line);

private:
    void add(const QString& line);
    void onLogin(const ReceivedFrame& f);
    void onService(const ReceivedFrame& f);
    void onLocalService(const ReceivedFrame& f);
    void onSubscribe(const ReceivedFrame& f);

    TestGameServer& m_server;
    QList<Table> m_tables;
    qint32 m_loginRefusal = -1;
    qint32 m_passwordAnswer = -1;
    int m_loginDelayMs = 0;
    QList<quint32> m_unansweredPasswords;
    qint32 m_registrationFailure = -1;
    bool m_registrationActive = true;
    quint64 m_balance = 123456;
    QMap<int, QByteArray> m_pages;
    QList<QByteArray> m_config;
    qint32 m_joinAnswer = -1;
    qint32 m_quickJoinAnswer = -1;
    QStringList m_log;
    QStringList m_registrations;
};
