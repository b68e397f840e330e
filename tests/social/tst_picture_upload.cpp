// The upload of the own picture against a scripted server: the own card is
// read first and stored back with the new photo, the own name and every
// other field; a card that cannot be read is never overwritten.
#include "ClientTestUtil.h"
#include "PlayerDb.h"
#include "ScriptedXmppPeer.h"
#include "XMPPClient.h"

#include <QBuffer>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

using namespace clienttest;

namespace {

const QByteArray StanzaNs = "xmlns='urn:ietf:params:xml:ns:xmpp-stanzas'";
/// The request for the own card: addressed to nobody, that is the own account.
const QString OwnCardRequest = QStringLiteral("<iq id=\"(?<id>\\d+)\" type=\"get\"><vCard xmlns=\"vcard-temp\"/></iq>");

QImage filled(QColor colour)
{
    QImage image(3, 3, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

}

class TestPictureUpload : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLoggingCategory::setFilterRules(QStringLiteral("parlor.*.debug=false")); }

    void ownCardReadChangedStored_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QString>("stored"); // pattern of the card written; empty: none may be written
        const QString photo = QStringLiteral("<PHOTO><TYPE>image/png</TYPE><BINVAL>[A-Za-z0-9+/=]+</BINVAL></PHOTO>");
        QTest::newRow("card with fields and an old photo")
            << QByteArray("<iq type='result' id='{id}'><vCard xmlns='vcard-temp'><FN>Old</FN><NICKNAME>mei</NICKNAME>"
                          "<PHOTO><TYPE>image/png</TYPE><BINVAL>b2xk</BINVAL></PHOTO><EMAIL><USERID>m@x</USERID></EMAIL></vCard></iq>")
            << "<vCard xmlns=\"vcard-temp\"><FN>Old</FN><NICKNAME>mei</NICKNAME>"
                   "<EMAIL><USERID>m@x</USERID></EMAIL>" + photo + "</vCard>";
        QTest::newRow("card without a name")
            << QByteArray("<iq type='result' id='{id}'><vCard xmlns='vcard-temp'><NICKNAME>mei</NICKNAME></vCard></iq>")
            << "<vCard xmlns=\"vcard-temp\"><FN>Mei &amp; Co</FN><NICKNAME>mei</NICKNAME>" + photo + "</vCard>";
        QTest::newRow("empty result")
            << QByteArray("<iq type='result' id='{id}'/>")
            << "<vCard xmlns=\"vcard-temp\"><FN>Mei &amp; Co</FN><N/>" + photo + "</vCard>";
        QTest::newRow("no card yet")
            << QByteArray("<iq type='error' id='{id}'><error type='cancel'><item-not-found " + StanzaNs + "/></error></iq>")
            << "<vCard xmlns=\"vcard-temp\"><FN>Mei &amp; Co</FN><N/>" + photo + "</vCard>";
        QTest::newRow("card not readable")
            << QByteArray("<iq type='error' id='{id}'><error type='wait'><internal-server-error " + StanzaNs + "/></error></iq>")
            << QString();
        // What the server holds goes back as it was, however it is shown.
        const QString name = QString(300, QLatin1Char('n')) + QStringLiteral("\nm").repeated(10);
        QTest::newRow("card with a long name of 11 lines")
            << "<iq type='result' id='{id}'><vCard xmlns='vcard-temp'><FN>" + name.toUtf8() + "</FN></vCard></iq>"
            << "<vCard xmlns=\"vcard-temp\"><FN>" + name + "</FN>" + photo + "</vCard>";
        // An empty card, and the upload answered after its deadline.
        QTest::newRow("upload answered late") << QByteArray("late") << "<vCard xmlns=\"vcard-temp\"><FN>Mei &amp; Co</FN><N/>" + photo + "</vCard>";
        QTest::newRow("connection lost") << QByteArray() << QString();
        QTest::newRow("no answer in time") << QByteArray("silent") << QString();
    }

    void ownCardReadChangedStored()
    {
        QFETCH(QByteArray, answer);
        QFETCH(QString, stored);
        const bool late = answer == "late";
        if (late)
            answer = "<iq type='result' id='{id}'/>";
        ScriptedXmppPeer peer;
        QVERIFY(peer.listen());
        peer.playPlainLogin();
        XMPPClient client;
        PlayerDb db(nullptr, &client);
        db.setOwnPlayer(1001, QStringLiteral("Mei & Co"));
        QVERIFY(connectToPeer(client, peer.port(), QStringLiteral("1001")));
        QSignalSpy ok(&db, &PlayerDb::changePictureOk);
        QSignalSpy failed(&db, &PlayerDb::changePictureFailed);

        peer.expect(OwnCardRequest);
        if (answer == "silent")
            client.setAnswerTimeout(200);
        else if (answer.isEmpty())
            peer.close();
        else
            peer.send(answer);
        if (!stored.isEmpty())
            peer.expect(QStringLiteral("<iq id=\"(?<id>\\d+)\" type=\"set\">") + stored + QStringLiteral("</iq>"))
                .send(late ? QByteArray() : QByteArray("<iq type='result' id='{id}'/>"));
        if (late)
            client.setAnswerTimeout(300);
        // A second picture while the card is on its way: one read, the later picture stored.
        db.uploadPicture(filled(Qt::red));
        db.uploadPicture(filled(Qt::green));
        QVERIFY2(peer.waitFinished(5000), qPrintable(peer.pendingStep() + QString::fromUtf8(peer.unmatched())));

        if (stored.isEmpty()) {
            QTRY_COMPARE(failed.size(), 1);
            QCOMPARE(ok.size(), 0);
            QVERIFY(!peer.received().contains("type=\"set\"><vCard"));
            return;
        }
        if (late) {
            // Given up on at its deadline, the upload is settled by the server's word after it:
            // the own presence announces the new picture.
            QTRY_COMPARE(failed.size(), 1);
            const QString id = QRegularExpression(QStringLiteral("<iq id=\"(\\d+)\" type=\"set\"><vCard")).match(QString::fromUtf8(peer.received())).captured(1);
            peer.sendNow("<iq type='result' id='" + id.toUtf8() + "'/>");
            QVERIFY(peer.waitReceived(QStringLiteral("<photo>[0-9a-f]{40}</photo>"), 3000));
        }
        QTRY_COMPARE(ok.size(), 1);
        QCOMPARE(failed.size(), int(late));
        const QByteArray sent = peer.received();
        QCOMPARE(QString::fromUtf8(sent).count(QRegularExpression(OwnCardRequest)), 1);
        const qsizetype start = sent.indexOf("<BINVAL>") + 8;
        const QImage image = QImage::fromData(QByteArray::fromBase64(sent.mid(start, sent.indexOf("</BINVAL>", start) - start)));
        QCOMPARE(image.pixelColor(1, 1), QColor(Qt::green));
    }

    void failedCardLookupAsksAgain_data()
    {
        QTest::addColumn<QByteArray>("error");
        QTest::addColumn<int>("requests"); // vCard requests after two look-ups
        QTest::newRow("no card: remembered") << QByteArray("<error type='cancel'><item-not-found " + StanzaNs + "/></error>") << 1;
        QTest::newRow("server busy: asked again") << QByteArray("<error type='wait'><resource-constraint " + StanzaNs + "/></error>") << 2;
        QTest::newRow("server fault: asked again") << QByteArray("<error type='cancel'><internal-server-error " + StanzaNs + "/></error>") << 2;
    }

    void failedCardLookupAsksAgain()
    {
        QFETCH(QByteArray, error);
        QFETCH(int, requests);
        ScriptedXmppPeer peer;
        QVERIFY(peer.listen());
        peer.playPlainLogin();
        const QString request = QStringLiteral("<iq to=\"1002@localhost\" id=\"(?<id>\\d+)\" type=\"get\"><vCard");
        peer.expect(request).send("<iq type='error' from='1002@localhost' id='{id}'>" + error + "</iq>");
        XMPPClient client;
        PlayerDb db(nullptr, &client);
        QVERIFY(connectToPeer(client, peer.port(), QStringLiteral("1001")));
        QSignalSpy pictures(&db, &PlayerDb::playerPictureUpdate);
        db.playerPicture(1002);
        QVERIFY2(peer.waitFinished(5000), qPrintable(peer.pendingStep() + QString::fromUtf8(peer.unmatched())));
        QTRY_VERIFY(!db.isPictureRequested(1002));
        db.playerPicture(1002);
        QTest::qWait(100);
        QCOMPARE(QString::fromUtf8(peer.received()).count(QRegularExpression(request)), requests);
        QCOMPARE(pictures.size(), requests == 1 ? 1 : 0);
    }
};

QTEST_MAIN(TestPictureUpload)
#include "tst_picture_upload.moc"
