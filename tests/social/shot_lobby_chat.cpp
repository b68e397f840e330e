// Screenshots of the lobby chat under the program's style sheet: three
// speakers on a real Prosody, join notices, and the error line of a line
// the room did not take (the speaker had lost her voice), in English,
// Japanese and Chinese on the screen size the test is registered with.
// Saved as lobby_chat-<lang>-<w>x<h>.png in the working directory.
#include "ArtSearchPaths.h"
#include "ChatOutputWidget.h"
#include "ChatRoomDriver.h"
#include "ConferenceWidget.h"
#include "SocialHub.h"
#include "SocialTestAccount.h"
#include "Utils.h"

#include <QApplication>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QScreen>
#include <QTranslator>
#include <QStyleFactory>

using namespace chattest;

class ShotLobbyChat : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void lobbyChat_data()
    {
        QTest::addColumn<QString>("lang");
        for (const char* code : {"en", "ja", "zh"})
            QTest::newRow(code) << QString::fromLatin1(code);
    }

    void lobbyChat()
    {
        QFETCH(QString, lang);
        QTranslator texts;
        QVERIFY(texts.load(QStringLiteral(FRIENDS_QM_DIR "/chat_%1.qm").arg(lang)));
        QCoreApplication::installTranslator(&texts);
        QLoggingCategory::setFilterRules(QStringLiteral("parlor.xmpp.debug=false"));
        ArtSearchPaths::install();
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        qApp->setStyleSheet(readTextFile(QStringLiteral("resources:/defaultui.css")));

        ProsodyFixture server;
        QString error;
        QVERIFY2(server.start(&error), qPrintable(error));
        QVERIFY(SocialTestAccount::addAccounts(server, {1001, 1002, 1003, 1009}));
        QVERIFY(clienttest::trustCa(server.caCertificatePath()));

        const QString lobby = QStringLiteral("lobby@conference.localhost");
        RawXmppClient owner;
        QVERIFY(createRoom(owner, server, lobby));
        ClientConfig config;
        config.setConferenceJid(QStringLiteral("conference.localhost"));
        config.setLobbyRoomJid(lobby);

        SocialTestAccount alice(1001, QStringLiteral("Alice"));
        SocialTestAccount bob(1002, QStringLiteral("Bob"));
        SocialTestAccount carol(1003, QStringLiteral("Carol <3"));
        SocialHub hub(&alice.playerDb, &alice.chat);
        std::unique_ptr<ConferenceWidget> chat(
            static_cast<ConferenceWidget*>(hub.createConferenceArea(nullptr, 0)));
        chat->setObjectName(QStringLiteral("lobbyChat"));
        alice.setup.setLobbyChat(chat.get());
        const QRect avail = QGuiApplication::primaryScreen()->availableGeometry();
        chat->resize(avail.width() * 3 / 7, avail.height() * 4 / 9);
        chat->show();
        QVERIFY(QTest::qWaitForWindowExposed(chat.get()));

        QVERIFY(alice.login(server, config));
        QTRY_VERIFY_WITH_TIMEOUT(chat->isJoined(), 5000);
        ConferenceWidget bobChat;
        ConferenceWidget carolChat;
        bobChat.setChatController(&bob.chat);
        carolChat.setChatController(&carol.chat);
        bob.setup.setLobbyChat(&bobChat);
        carol.setup.setLobbyChat(&carolChat);
        QVERIFY(bob.login(server, config));
        QVERIFY(carol.login(server, config));
        QTRY_VERIFY_WITH_TIMEOUT(bobChat.isJoined() && carolChat.isJoined(), 5000);

        const auto speak = [](ConferenceWidget& w, const QString& text) {
            w.chatInput()->setText(text);
            QTest::keyClick(w.chatInput(), Qt::Key_Return);
        };
        speak(bobChat, QStringLiteral("Anyone up for a riichi game?"));
        QTRY_VERIFY_WITH_TIMEOUT(chat->chatOutput()->toPlainText().contains(QStringLiteral("riichi game")), 5000);
        speak(carolChat, QStringLiteral("Table 12 has a seat <free> & fast"));
        QTRY_VERIFY_WITH_TIMEOUT(chat->chatOutput()->toPlainText().contains(QStringLiteral("<free>")), 5000);
        speak(*chat, QStringLiteral("On my way!"));
        QTRY_VERIFY_WITH_TIMEOUT(chat->chatOutput()->toPlainText().contains(QStringLiteral("On my way")), 5000);
        speak(bobChat, QString::fromUtf8("東風戦でお願いします"));
        QTRY_VERIFY_WITH_TIMEOUT(chat->chatOutput()->toPlainText().contains(QString::fromUtf8("東風戦")), 5000);
        // Another client's line breaks stand in under the name, no line of their own.
        say(owner, lobby, QStringLiteral("Rules as usual\n(10:42) Bob: I give up\nBob has been banned from the chat"));
        QTRY_VERIFY_WITH_TIMEOUT(chat->chatOutput()->toPlainText().contains(QStringLiteral("banned")), 5000);

        QVERIFY(admin(owner, lobby, "nick='Alice' role='visitor'", "quiet", "v1"));
        QTest::qWait(200);
        speak(*chat, QStringLiteral("Save me a seat"));
        QTRY_COMPARE_WITH_TIMEOUT(chat->chatInput()->text(), QStringLiteral("Save me a seat"), 5000);
        const QString refused = ConferenceWidget::tr("Your message was not delivered: %1");
        QVERIFY(chat->chatOutput()->toPlainText().contains(refused.left(refused.indexOf(QLatin1String("%1"))).trimmed()));

        QTest::qWait(100);
        const QImage shot = chat->grab().toImage();
        const QSize screen = QGuiApplication::primaryScreen()->size();
        QVERIFY(shot.save(QStringLiteral("lobby_chat-%1-%2x%3.png").arg(lang).arg(screen.width()).arg(screen.height())));
    }
};

QTEST_MAIN(ShotLobbyChat)
#include "shot_lobby_chat.moc"
