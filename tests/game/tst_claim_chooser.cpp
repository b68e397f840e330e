// The claim chooser: offers to rows, buttons and shortcuts, refused offers
// left out, what each button reports, and dragging by the title.

#include "ClaimOffers.h"
#include "MeldAuction.h"
#include "MeldChoice.h"
#include "MeldView.h"
#include "TileView.h"
#include "UPushButton.h"
#include "ViewTestSupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

namespace {

meld_offer offer(int type, int code)
{
    return meld_offer{game_protocol::meld_type::enum_t(type), tile(std::uint8_t(code))};
}

struct Offered
{
    int type;
    int code;
};

} // namespace

Q_DECLARE_METATYPE(QList<Offered>)

class TestClaimChooser : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(ViewTestSupport::prepareTiles()); }

    void rows_data()
    {
        QTest::addColumn<QList<Offered>>("offers");
        QTest::addColumn<int>("discard");
        QTest::addColumn<QStringList>("buttons"); // "text shortcut" per row
        QTest::addColumn<bool>("riichi");
        QTest::addColumn<bool>("mahjong");

        QTest::newRow("chow hi") << QList<Offered>{{1, 2}} << 4 << QStringList{"Chow Hi Alt+3"} << false << false;
        QTest::newRow("two chows, riichi and mahjong")
            << QList<Offered>{{1, 2}, {1, 3}, {128, 0}, {16, 0}} << 4
            << QStringList{"Chow Hi Alt+3", "Chow Mid Alt+2"} << true << true;
        QTest::newRow("kong and pong to kong never share a key")
            << QList<Offered>{{8, 27}, {4, 5}} << 27 << QStringList{"Kong Alt+K", "Pong to kong Alt+4"} << false
            << false;
        QTest::newRow("pong to kong first: the kong still keeps its key")
            << QList<Offered>{{4, 5}, {8, 27}} << 27 << QStringList{"Pong to kong Alt+4", "Kong Alt+K"} << false
            << false;
        QTest::newRow("two concealed kongs") << QList<Offered>{{8, 27}, {8, 31}, {2, 31}} << 31
                                             << QStringList{"Kong Alt+K", "Kong Alt+4", "Pong Alt+P"} << false << false;
        QTest::newRow("a chow that does not fit the discard is left out")
            << QList<Offered>{{1, 9}, {2, 4}} << 4 << QStringList{"Pong Alt+P"} << false << false;
        QTest::newRow("unknown types are left out")
            << QList<Offered>{{32, 4}, {64, 4}, {3, 4}, {0, 4}} << 4 << QStringList{} << false << false;
        QTest::newRow("a repeated offer shows once; five rows at most")
            << QList<Offered>{{2, 4}, {2, 4}, {1, 2}, {1, 3}, {1, 4}, {8, 4}, {4, 4}} << 4
            << QStringList{"Pong Alt+P", "Chow Hi Alt+3", "Chow Mid Alt+2", "Chow Low Alt+1", "Kong Alt+K"} << false << false;
        QTest::newRow("a chow of honours is left out") << QList<Offered>{{1, 40}} << 40 << QStringList{} << false
                                                      << false;
    }
    void rows()
    {
        QFETCH(QList<Offered>, offers);
        QFETCH(int, discard);
        QFETCH(QStringList, buttons);
        QFETCH(bool, riichi);
        QFETCH(bool, mahjong);
        QWidget window;
        auto* chooser = new MeldAuction(&window);
        window.show();
        chooser->clear();
        chooser->showPassButton();
        for (const Offered& o : offers)
            chooser->addOffer(offer(o.type, o.code), tile(std::uint8_t(discard)));
        chooser->setMode(0);
        chooser->show();
        QStringList shown;
        for (MeldChoice* choice : chooser->choices())
            shown << choice->button()->text() + QLatin1Char(' ') + choice->key().toString();
        QCOMPARE(shown, buttons);
        // Under each row its separator line.
        const QList<QLabel*> labels = chooser->findChildren<QLabel*>();
        QCOMPARE(std::count_if(labels.begin(), labels.end(), [](QLabel* l) { return !l->pixmap().isNull(); }),
                 buttons.size());
        QCOMPARE(chooser->riichiButton()->isVisible(), riichi);
        QCOMPARE(chooser->mahjongButton()->isVisible(), mahjong);
        QCOMPARE(chooser->titleLabel()->text(), QStringLiteral("Choose Meld"));
        // Tab goes from button to button: a row's preview is a picture, no stop.
        chooser->passButton()->setFocus();
        for (qsizetype i = 0; i < 2 * buttons.size() + 2; ++i) {
            QTest::keyClick(window.focusWidget(), Qt::Key_Tab);
            QVERIFY(qobject_cast<QAbstractButton*>(window.focusWidget()) != nullptr);
        }
    }

    void escapeDeclines_data()
    {
        QTest::addColumn<bool>("pass"); // a pass offered, or a declaration with Close
        QTest::addColumn<int>("offered");
        QTest::addColumn<QString>("reported");
        QTest::newRow("a claim: Escape passes") << true << 2 << "pass";
        QTest::newRow("a declaration: Escape closes") << false << 2 << "close";
        // Closing may discard the winning tile: only the button does that.
        QTest::newRow("a declaration with a win: Escape keeps it") << false << 16 << "";
        QTest::newRow("a claim or a robbed kong with a win: Escape keeps it") << true << 16 << "";
    }
    void escapeDeclines()
    {
        QFETCH(bool, pass);
        QFETCH(int, offered);
        QFETCH(QString, reported);
        QWidget window;
        window.resize(400, 300);
        auto* field = new QLineEdit(&window);
        auto* chooser = new MeldAuction(&window);
        chooser->clear();
        if (pass)
            chooser->showPassButton();
        else
            chooser->showCloseButton();
        chooser->addOffer(offer(offered, 9), tile(9));
        chooser->setMode(pass ? 0 : 1);
        window.show();
        chooser->show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QStringList seen;
        connect(chooser, &MeldAuction::passSelected, [&] { seen << QStringLiteral("pass"); });
        connect(chooser, &MeldAuction::closeSelected, [&] { seen << QStringLiteral("close"); });
        connect(chooser, &MeldAuction::meldSelected, [&] { seen << QStringLiteral("meld"); });
        field->setFocus();
        QTest::keyClick(field, Qt::Key_Escape); // the field's, never the chooser's
        QVERIFY(seen.isEmpty());
        field->hide();
        QTest::keyClick(&window, Qt::Key_Escape);
        QCOMPARE(seen.join(QLatin1Char(',')), reported);
        if (reported.isEmpty())
            QVERIFY(chooser->isVisible()); // Mahjong still to be pressed
    }

    void refusalIsExplained()
    {
        QString error;
        QCOMPARE(ClaimOffers::buttonKind(offer(1, 2), tile(9), &error), -1);
        QCOMPARE(error, QStringLiteral("invalid tile BAMBOO 3 sent in chow meld offer, last discard is CHARACTER 1"));
        QCOMPARE(ClaimOffers::buttonKind(offer(32, 2), tile(2), &error), -1);
        QCOMPARE(error, QStringLiteral("invalid meld offer sent"));
    }

    void previewHighlightsTheDiscard()
    {
        MeldChoice choice(offer(1, 3), nullptr, tile(4));
        QCOMPARE(choice.buttonKind(), int(ClaimOffers::ChowMid));
        const auto& items = choice.preview()->items();
        QCOMPARE(int(items.size()), 3);
        QVERIFY(!items[0]->isHighlighted());
        QVERIFY(items[1]->isHighlighted());
        QCOMPARE(items[1]->tilePainter(), TileGraphics::instance().basePainter());
        QSignalSpy picked(&choice, &MeldChoice::selected);
        choice.button()->click();
        QCOMPARE(picked.count(), 1);
        QCOMPARE(picked.first().first().value<meld_offer>(), offer(1, 3));
    }

    void buttonsReport()
    {
        QWidget window;
        auto* chooser = new MeldAuction(&window);
        window.show();
        chooser->show();
        QSignalSpy melds(chooser, &MeldAuction::meldSelected);
        QSignalSpy passes(chooser, &MeldAuction::passSelected);
        QSignalSpy closes(chooser, &MeldAuction::closeSelected);
        chooser->clear();
        chooser->showCloseButton();
        // Nothing offered: Mahjong and Pass stay silent, Riichi always speaks.
        chooser->mahjongClicked();
        chooser->passClicked();
        chooser->riichiClicked();
        QCOMPARE(melds.count(), 1);
        QCOMPARE(melds.takeFirst().first().value<meld_offer>(), offer(128, 0));
        QCOMPARE(passes.count(), 0);
        chooser->addOffer(offer(16, 0), tile(0));
        chooser->addOffer(offer(2, 5), tile(5));
        chooser->mahjongClicked();
        QCOMPARE(melds.takeFirst().first().value<meld_offer>(), offer(16, 0));
        chooser->choices().front()->button()->click();
        QCOMPARE(melds.takeFirst().first().value<meld_offer>(), offer(2, 5));
        chooser->passClicked();
        QCOMPARE(passes.count(), 1);
        bool hiddenFirst = false;
        connect(chooser, &MeldAuction::closeSelected, this, [&] { hiddenFirst = chooser->isHidden(); });
        chooser->closeButton()->click();
        QCOMPARE(closes.count(), 1);
        QVERIFY(hiddenFirst);
        chooser->clear();
        QVERIFY(chooser->choices().empty());
        for (UPushButton* b : {chooser->riichiButton(), chooser->mahjongButton(), chooser->passButton(),
                               chooser->closeButton()})
            QVERIFY(b->isHidden());
    }

    void modes_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("title");
        QTest::newRow("claim") << 0 << "Choose Meld";
        QTest::newRow("own turn") << 1 << "Choose Meld";
        QTest::newRow("rob the kong") << 2 << "Rob the Kong";
        QTest::newRow("other") << 7 << "";
    }
    void modes()
    {
        QFETCH(int, mode);
        QFETCH(QString, title);
        MeldAuction chooser;
        chooser.setMode(mode);
        QCOMPARE(chooser.titleLabel()->text(), title);
    }

    void dragByTitleOnly()
    {
        QWidget window;
        window.resize(800, 600);
        auto* chooser = new MeldAuction(&window);
        chooser->setMode(0);
        chooser->move(100, 100);
        window.show();
        chooser->show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QPoint inTitle = chooser->titleLabel()->geometry().center();
        QTest::mousePress(chooser, Qt::LeftButton, {}, inTitle);
        QTest::mouseMove(chooser, inTitle + QPoint(10, 5));
        QCOMPARE(chooser->pos(), QPoint(110, 105));
        QTest::mouseMove(chooser, inTitle + QPoint(-500, 5));
        QCOMPARE(chooser->pos(), QPoint(110, 105));
        QTest::mouseRelease(chooser, Qt::LeftButton, {}, inTitle);
    }
};

QTEST_MAIN(TestClaimChooser)
#include "tst_claim_chooser.moc"
