// Backend and local service answers from a real test server: each request
// goes out, the server answers with the request's sequence number, and the
// matching signal (or failure signal) comes back.

#include "ConnectionManager.h"
#include "TestGameServer.h"
#include "game_test_frames.h"
#include "request_handler.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

struct Session
{
    TestGameServer server;
    ConnectionManager cm{false};
    std::unique_ptr<QSignalSpy> errors;

    bool start()
    {
        if (!server.listen())
            return false;
        errors = std::make_unique<QSignalSpy>(&cm, &ConnectionManager::exceptionCaught);
        QSignalSpy ready(&cm, &ConnectionManager::versionCheckComplete);
        cm.connectToHost(QStringLiteral("127.0.0.1"), server.port());
        return ready.wait(5000);
    }

    /// The sequence number and inner class of the next backend request.
    std::pair<quint32, int> nextServiceRequest()
    {
        const auto f = server.waitForFrame(101);
        if (!f)
            return {0, -1};
        TestFrameReader r = f->reader();
        r.u32();
        const quint32 seq = r.u32();
        r.str();
        r.u8();
        return {seq, r.nested().classId()};
    }

    std::pair<quint32, int> nextLocalRequest()
    {
        const auto f = server.waitForFrame(103);
        if (!f)
            return {0, -1};
        TestFrameReader r = f->reader();
        const quint32 seq = r.u32();
        return {seq, r.nested().classId()};
    }

    QString error() const
    {
        return errors->isEmpty() ? QString() : QString::fromStdString(errors->first().first().value<std::string>());
    }
};

const QDateTime epoch = QDateTime::fromMSecsSinceEpoch(0, Qt::UTC);

} // namespace

class tst_services : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void accountBalance()
    {
        Session s;
        QVERIFY(s.start());
        QSignalSpy balance(&s.cm, &ConnectionManager::currentAccountBalance);
        s.cm.query_account_balance();
        const auto [seq, cls] = s.nextServiceRequest();
        QCOMPARE(cls, 63);
        QVERIFY(service_requests().isOutstanding(int(seq)));
        s.server.send(gtf::service(seq, TestFrame(73).u64(123456789012ull)));
        QVERIFY(balance.wait(5000));
        QCOMPARE(balance.first().first().toLongLong(), 123456789012ll);
        QVERIFY(!service_requests().isOutstanding(int(seq)));

        // Sent unasked: no registry entry needed or touched.
        const int before = service_requests().outstandingCount();
        s.server.send(gtf::service(0xFFFFFFFFu, TestFrame(73).u64(5)));
        QVERIFY(balance.wait(5000));
        QCOMPARE(balance.last().first().toLongLong(), 5ll);
        QCOMPARE(service_requests().outstandingCount(), before);
        QVERIFY(s.errors->isEmpty());
    }

    void currentTimeCarriesTheRequestNumber()
    {
        Session s;
        QVERIFY(s.start());
        QSignalSpy time(&s.cm, &ConnectionManager::timeFromServer);
        const qint32 requestId = s.cm.query_current_time();
        const auto [seq, cls] = s.nextServiceRequest();
        QCOMPARE(cls, 67);
        QCOMPARE(qint32(seq), requestId);
        s.server.send(gtf::service(seq, TestFrame(76).u64(1500)));
        QVERIFY(time.wait(5000));
        QCOMPARE(time.first().at(0).toInt(), requestId);
        QCOMPARE(time.first().at(1).toDateTime(), epoch.addMSecs(1500));
    }

    void clientConfigWithAMissingField()
    {
        Session s;
        QVERIFY(s.start());
        QSignalSpy config(&s.cm, &ConnectionManager::clientConfig);
        s.cm.query_client_config();
        const auto [seq, cls] = s.nextServiceRequest();
        QCOMPARE(cls, 68);
        s.server.send(gtf::service(seq, TestFrame(77).str("chat.example").str("conference.chat").str("").str("search")));
        QVERIFY(config.wait(5000));
        const auto c = config.first().first().value<ClientConfig>();
        QCOMPARE(c.xmppHost(), QStringLiteral("chat.example"));
        QCOMPARE(c.conferenceJid(), QStringLiteral("conference.chat"));
        QVERIFY(!c.hasLobbyRoomJid());
        QCOMPARE(c.searchJid(), QStringLiteral("search"));
    }

    void webPagesBackendAndLocal()
    {
        Session s;
        QVERIFY(s.start());
        QSignalSpy page(&s.cm, &ConnectionManager::webPage);
        s.cm.query_web_page(WebPageRequest::START_PAGE);
        const auto [seq, cls] = s.nextServiceRequest();
        QCOMPARE(cls, 69);
        s.server.send(gtf::service(seq, TestFrame(78).u8(3).str("http://example.org/start")));
        QVERIFY(page.wait(5000));
        QCOMPARE(page.first().at(0).value<WebPageRequest::enum_t>(), WebPageRequest::START_PAGE);
        QCOMPARE(page.first().at(1).toString(), QStringLiteral("http://example.org/start"));

        s.cm.query_web_page(WebPageRequest::CREATE_ACCOUNT_TERMS);
        const auto [lseq, lcls] = s.nextLocalRequest();
        QCOMPARE(lcls, 69);
        s.server.send(gtf::localService(lseq, TestFrame(78).u8(10).str("http://example.org/terms")));
        QVERIFY(page.wait(5000));
        QCOMPARE(page.last().at(0).value<WebPageRequest::enum_t>(), WebPageRequest::CREATE_ACCOUNT_TERMS);
        QVERIFY(!local_service_requests().isOutstanding(int(lseq)));
    }

    void highscores()
    {
        Session s;
        QVERIFY(s.start());
        QSignalSpy list(&s.cm, &ConnectionManager::highscoreList);
        s.cm.get_highscore_list(42);
        const auto [seq, cls] = s.nextServiceRequest();
        QCOMPARE(cls, 66);
        s.server.send(gtf::service(seq, TestFrame(74).u32(2).u32(1).str("anna").u64(900).u32(2).str("b\xC3\xA9rt").u64(
                                                   800)));
        QVERIFY(list.wait(5000));
        const auto l = list.first().first().value<HighscoreList>();
        QCOMPARE(l.size(), std::size_t(2));
        QCOMPARE(l[0].name, QStringLiteral("anna"));
        QCOMPARE(l[0].value, 900ll);
        QCOMPARE(l[1].name, QString::fromUtf8("b\xC3\xA9rt"));
    }

    void passwordChange()
    {
        Session s;
        QVERIFY(s.start());
        QSignalSpy ok(&s.cm, &ConnectionManager::changePasswordOk);
        QSignalSpy failed(&s.cm, &ConnectionManager::changePasswordFailed);
        const qint32 asked = s.cm.change_password(QStringLiteral("secret"));
        auto [seq, cls] = s.nextServiceRequest();
        QCOMPARE(cls, 65);
        QCOMPARE(quint32(asked), seq);
        s.server.send(gtf::service(seq, TestFrame(71)));
        QVERIFY(ok.wait(5000));
        QCOMPARE(ok.first().first().toUInt(), seq); // the answer names its request

        s.cm.change_password(QStringLiteral("x"));
        std::tie(seq, cls) = s.nextServiceRequest();
        // An error with typed parameters, one of them nested.
        s.server.send(gtf::service(seq, TestFrame(72).u8(4).u32(2).u8(1).str("too short").u8(5).u8(0).u32(1).u8(2).u32(
                                                   6)));
        QVERIFY(failed.wait(5000));
        QCOMPARE(failed.first().first().toUInt(), seq);
        QCOMPARE(failed.first().at(1).toString(), QStringLiteral("Password invalid"));

        s.cm.change_password(QStringLiteral("y"));
        std::tie(seq, cls) = s.nextServiceRequest();
        s.server.send(gtf::service(seq, TestFrame(72).u8(9).u32(0)));
        QVERIFY(failed.wait(5000));
        QCOMPARE(failed.last().at(1).toString(), QStringLiteral("<undefined>"));
        QVERIFY(s.errors->isEmpty());
    }

    void requestsGoToTheirServices_data()
    {
        QTest::addColumn<int>("request");
        QTest::addColumn<QByteArray>("service");
        QTest::addColumn<QByteArray>("inner");
        QTest::newRow("password change") << 0 << QByteArray("com.quobrix.mahjong.login.PlayerDB")
                                         << TestFrame(65).str("p\xc3\xa4ss").toBytes();
        QTest::newRow("client configuration") << 1 << QByteArray("com.quobrix.mahjong.highscore.HighScoreService")
                                              << TestFrame(68).toBytes();
        QTest::newRow("client id") << 2 << QByteArray("com.quobrix.backend.BackendService")
                                   << TestFrame(64).str("3f2a-77").toBytes();
    }
    void requestsGoToTheirServices()
    {
        // The whole envelope as the server sees it: the own player id (none
        // before a login), the sequence number, the service's name, the
        // version byte and the inner request.
        QFETCH(int, request);
        QFETCH(QByteArray, service);
        QFETCH(QByteArray, inner);
        Session s;
        QVERIFY(s.start());
        switch (request) {
        case 0: s.cm.change_password(QStringLiteral("p\u00e4ss")); break;
        case 1: s.cm.query_client_config(); break;
        default: s.cm.log_client_uuid("3f2a-77"); break;
        }
        const auto frame = s.server.waitForFrame(101);
        QVERIFY(frame);
        TestFrameReader r = frame->reader();
        r.u32();
        const quint32 seq = r.u32();
        TestFrame expected(101);
        expected.u32(0xFFFFFFFFu).u32(seq).str(service.constData()).u8(1).bytes(inner);
        QCOMPARE(frame->body.toHex(' '), expected.body().toHex(' '));
        QVERIFY(service_requests().isOutstanding(int(seq)));
    }

    void registration()
    {
        Session s;
        QVERIFY(s.start());
        QSignalSpy ok(&s.cm, &ConnectionManager::registerUserOk);
        QSignalSpy failed(&s.cm, &ConnectionManager::registerUserFailed);
        s.cm.register_user(QStringLiteral("newbie"), QStringLiteral("pw"), QStringLiteral("n@example.org"), QString());
        auto [seq, cls] = s.nextLocalRequest();
        QCOMPARE(cls, 70);
        s.server.send(gtf::localService(seq, TestFrame(75).u8(1)));
        QVERIFY(ok.wait(5000));
        QCOMPARE(ok.first().first().toBool(), true);

        s.cm.register_user(QStringLiteral("taken"), QStringLiteral("pw"), QStringLiteral("t@example.org"), QString());
        std::tie(seq, cls) = s.nextLocalRequest();
        s.server.send(gtf::localService(seq, TestFrame(72).u8(2).u32(0)));
        QVERIFY(failed.wait(5000));
        QCOMPARE(failed.first().first().toString(), QStringLiteral("User name already in use"));
    }

    void refusedQueriesAreReported()
    {
        // An error or a bare ok in place of the data: the log line stays and
        // the waiting caller hears of it.
        Session s;
        QVERIFY(s.start());
        QSignalSpy configFailed(&s.cm, &ConnectionManager::clientConfigFailed);
        QSignalSpy timeFailed(&s.cm, &ConnectionManager::timeFromServerFailed);
        QSignalSpy balanceFailed(&s.cm, &ConnectionManager::accountBalanceFailed);
        QSignalSpy pageFailed(&s.cm, &ConnectionManager::webPageFailed);

        s.cm.query_client_config();
        auto [seq, cls] = s.nextServiceRequest();
        QTest::ignoreMessage(QtWarningMsg, "unhandled error_response! class: 68");
        s.server.send(gtf::service(seq, TestFrame(72).u8(1).u32(0)));
        QVERIFY(configFailed.wait(5000));
        QCOMPARE(configFailed.first().first().toString(), QStringLiteral("Forbidden"));
        QVERIFY(!service_requests().isOutstanding(int(seq)));

        // A bare ok to anything but a password change: warned about, and the
        // request is gone all the same.
        const qint32 requestId = s.cm.query_current_time();
        std::tie(seq, cls) = s.nextServiceRequest();
        QTest::ignoreMessage(QtWarningMsg, "unhandled ok_response! class: 67");
        s.server.send(gtf::service(seq, TestFrame(71)));
        QVERIFY(timeFailed.wait(5000));
        QCOMPARE(timeFailed.first().at(0).toInt(), requestId);
        QVERIFY(!service_requests().isOutstanding(int(seq)));

        s.cm.query_account_balance();
        std::tie(seq, cls) = s.nextServiceRequest();
        QTest::ignoreMessage(QtWarningMsg, "   Service packet 75 was not handled");
        s.server.send(gtf::service(seq, TestFrame(75).u8(1))); // an answer of the wrong kind
        QVERIFY(balanceFailed.wait(5000));
        QVERIFY(!service_requests().isOutstanding(int(seq)));

        s.cm.query_web_page(WebPageRequest::PASSWORD_RESET);
        std::tie(seq, cls) = s.nextLocalRequest();
        QTest::ignoreMessage(QtWarningMsg,
                             qPrintable(QStringLiteral("got error response (seq  %1 ) for unhandled class_id  69").arg(seq)));
        s.server.send(gtf::localService(seq, TestFrame(72).u8(0).u32(0)));
        QVERIFY(pageFailed.wait(5000));
        QCOMPARE(pageFailed.first().first().toString(), QStringLiteral("Plain string"));

        s.cm.query_web_page(WebPageRequest::PASSWORD_RESET);
        std::tie(seq, cls) = s.nextLocalRequest();
        QTest::ignoreMessage(QtWarningMsg,
                             qPrintable(QStringLiteral("got ok response (seq  %1 ) for unhandled class_id  69").arg(seq)));
        s.server.send(gtf::localService(seq, TestFrame(71)));
        QVERIFY(pageFailed.wait(5000));
        QCOMPARE(pageFailed.size(), 2);
        QVERIFY(pageFailed.last().first().toString().isEmpty());
        QVERIFY(!local_service_requests().isOutstanding(int(seq)));
        QVERIFY(s.errors->isEmpty());
    }

    void unknownLocalAnswerKeepsTheRequest()
    {
        Session s;
        QVERIFY(s.start());
        QSignalSpy ok(&s.cm, &ConnectionManager::registerUserOk);
        s.cm.register_user(QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QString());
        const auto [seq, cls] = s.nextLocalRequest();
        QTest::ignoreMessage(QtWarningMsg, "   Local service packet 76 was not handled");
        s.server.send(gtf::localService(seq, TestFrame(76).u64(1)));
        s.server.send(gtf::localService(seq, TestFrame(75).u8(0)));
        QVERIFY(ok.wait(5000));
        QCOMPARE(ok.first().first().toBool(), false);
        QVERIFY(s.errors->isEmpty());
    }

    void badAnswers_data()
    {
        QTest::addColumn<int>("request");
        QTest::addColumn<QByteArray>("answerBody"); // inner frame bytes
        QTest::addColumn<bool>("local");
        QTest::addColumn<QString>("error");
        QTest::newRow("local web page for a registration")
            << 70 << TestFrame(78).u8(1).str("x").toBytes() << true
            << QStringLiteral("server sent web_page for request with class id 70");
        QTest::newRow("registration answer for a web page")
            << 69 << TestFrame(75).u8(1).toBytes() << true
            << QStringLiteral("server sent new_player_registered for request with class id 69");
        QTest::newRow("endless error nesting") << 68
                                               << [] {
                                                      TestFrame f(72);
                                                      f.u8(0).u32(1);
                                                      for (int i = 0; i < 100; ++i)
                                                          f.u8(5).u8(0).u32(1);
                                                      return f.u8(23).toBytes();
                                                  }()
                                               << false << QStringLiteral("nested deeper");
        QTest::newRow("error count beyond the frame")
            << 68 << TestFrame(72).u8(0).u32(0x40000000u).u8(23).toBytes() << false << QStringLiteral("announces");
        QTest::newRow("unknown tag in the error")
            << 68 << TestFrame(72).u8(0).u32(1).u8(0).toBytes() << false
            << QStringLiteral("unknown class-id for any_t");
        QTest::newRow("web page type out of range")
            << 69 << TestFrame(78).u8(12).str("x").toBytes() << false << QStringLiteral("Unexpected web page type type");
    }

    void badAnswers()
    {
        QFETCH(int, request);
        QFETCH(QByteArray, answerBody);
        QFETCH(bool, local);
        QFETCH(QString, error);
        Session s;
        QVERIFY(s.start());
        if (request == 70)
            s.cm.register_user(QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QString());
        else if (request == 69)
            s.cm.query_web_page(local ? WebPageRequest::CREATE_ACCOUNT : WebPageRequest::HELP);
        else
            s.cm.query_client_config();
        const auto [seq, cls] = local ? s.nextLocalRequest() : s.nextServiceRequest();
        QCOMPARE(cls, request);
        const QByteArray inner = answerBody;
        const TestFrame frame = local ? TestFrame(103).u32(seq).bytes(inner)
                                      : TestFrame(101).u32(0).u32(seq).str("svc").u8(0).bytes(inner);
        s.server.send(frame);
        QVERIFY(!s.errors->isEmpty() || s.errors->wait(5000));
        QVERIFY2(s.error().contains(error), qPrintable(s.error()));
    }

    void answerWithoutARequest()
    {
        Session s;
        QVERIFY(s.start());
        s.server.send(gtf::service(987654, TestFrame(76).u64(1)));
        QVERIFY(s.errors->wait(5000));
        QVERIFY2(s.error().startsWith(QStringLiteral("non-existant request with seq 987654")), qPrintable(s.error()));
    }
};

QTEST_GUILESS_MAIN(tst_services)
#include "tst_services.moc"
