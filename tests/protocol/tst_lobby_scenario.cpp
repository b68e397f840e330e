// The stand-alone test server's scenario, played against the real client
// side: what a person sees when pointing the client at testgameserver.

#include "ConnectionManager.h"
#include "LobbyScenario.h"
#include "TestGameServer.h"

#include <QSignalSpy>
#include <QTest>

class tst_lobby_scenario : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void loginAndLobby()
    {
        TestGameServer server;
        LobbyScenario::install(server);
        QVERIFY(server.listen());
        ConnectionManager cm(false);
        QSignalSpy ready(&cm, &ConnectionManager::versionCheckComplete);
        QSignalSpy failed(&cm, &ConnectionManager::exceptionCaught);
        cm.connectToHost(QStringLiteral("127.0.0.1"), server.port());
        QVERIFY(ready.wait(5000));

        QSignalSpy loggedIn(&cm, &ConnectionManager::loginSuccess);
        cm.login(QStringLiteral("alice"), QStringLiteral("pw"));
        QVERIFY(loggedIn.wait(5000));
        QCOMPARE(loggedIn.at(0).at(0).toInt(), int(LobbyScenario::playerId));
        QCOMPARE(loggedIn.at(0).at(1).toString(), QStringLiteral("alice"));
        QCOMPARE(loggedIn.at(0).at(2).toString(), QStringLiteral("secret"));
        QCOMPARE(loggedIn.at(0).at(3).toBool(), true);
        QVERIFY(cm.isLoggedIn());
        QSignalSpy time(&cm, &ConnectionManager::timeFromServer);
        const qint32 asked = cm.query_current_time();
        QVERIFY(time.wait(5000) && time.first().first().toInt() == asked);

        QList<TableInfo> tables;
        connect(&cm, qOverload<TableInfo>(&ConnectionManager::tableInfoUpdate), this,
                [&](const TableInfo& info) { tables.append(info); });
        cm.lobby_table_subscribe(QStringLiteral("101/Practice"));
        QVERIFY(QTest::qWaitFor([&] { return tables.size() == 3; }, 5000));
        QCOMPARE(tables[0].tableId, 501);
        QCOMPARE(tables[0].name, QStringLiteral("Bamboo Grove"));
        QCOMPARE(tables[1].ruleset, 2);
        QCOMPARE(tables[1].speed, 20000);
        QCOMPARE(tables[2].lobbyPath, QStringLiteral("101/Regular"));
        QCOMPARE(failed.size(), 0);

        cm.prepareToQuit();
        QVERIFY(server.waitForFrame(12));
        QVERIFY(server.waitForDisconnect());
    }
};

QTEST_GUILESS_MAIN(tst_lobby_scenario)
#include "tst_lobby_scenario.moc"
