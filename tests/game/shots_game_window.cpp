// Screenshots of a four-player table in the middle of a hand and at its
// scored end, per ruleset and at two window sizes, played against the test
// game server's hand scenario. Each picture is checked where the table's
// pieces must be: the own hand, the three other hands, the ponds, the walls
// and the side bar each cover a part of the window that is not bare cloth.
//
// Pictures: table_<ruleset>_<w>x<h>.png and scores_<ruleset>_<w>x<h>.png.

#include "ConnectionManager.h"
#include "DiscardView.h"
#include "GameController.h"
#include "GameModel.h"
#include "GameWindow.h"
#include "HandScenario.h"
#include "HandView.h"
#include "HiddenHandView.h"
#include "MeldAuction.h"
#include "ScoreBoard.h"
#include "SeatedWindow.h"
#include "SideBar.h"
#include "TableModel.h"
#include "TableWall.h"
#include "TestGameServer.h"
#include "TimerView.h"
#include "ViewTestSupport.h"

#include <QApplication>
#include <QFile>
#include <QGraphicsView>
#include <QTranslator>
#include <QSet>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>

#include <cmath>
#include <limits>

namespace {

/// The number of different colours in a part of a picture.
int colours(const QImage& image, const QRect& area)
{
    QSet<QRgb> seen;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); y += 2)
        for (int x = r.left(); x <= r.right(); x += 2)
            seen.insert(image.pixel(x, y));
    return int(seen.size());
}

/// The pixels of the score board that let the table under it show through:
/// the window grabbed with and without the table view differs there. The
/// frame's rounded corners and the running countdown dial are left out.
int seeThroughPixels(QWidget* frame, GameWindow* w)
{
    const QRect board(w->scoreBoard()->mapTo(frame, QPoint(0, 0)), w->scoreBoard()->size());
    const QImage withTable = frame->grab(board).toImage();
    w->view()->hide();
    const QImage withoutTable = frame->grab(board).toImage();
    w->view()->show();
    const QWidget* dial = w->scoreBoard()->countdown();
    const QRect ticking(dial->mapTo(w->scoreBoard(), QPoint(0, 0)), dial->size());
    const int corner = 8;
    int count = 0;
    for (int y = 0; y < withTable.height(); ++y)
        for (int x = 0; x < withTable.width(); ++x) {
            const bool inCorner = (x < corner || x >= withTable.width() - corner)
                                  && (y < corner || y >= withTable.height() - corner);
            if (!inCorner && !ticking.contains(x, y) && withTable.pixel(x, y) != withoutTable.pixel(x, y))
                ++count;
        }
    return count;
}

QRect onWindow(GameWindow* w, const QRectF& sceneRect)
{
    const QRect inView = w->view()->mapFromScene(sceneRect).boundingRect();
    return inView.translated(w->view()->mapTo(w, QPoint(0, 0)));
}

} // namespace

class GameWindowShots : public QObject
{
    Q_OBJECT

    QTranslator english;

private Q_SLOTS:
    void initTestCase()
    {
        qRegisterMetaType<GameWindow*>();
        QVERIFY(ViewTestSupport::prepareTiles());
        QSettings().setValue(QStringLiteral("game/animations"), false);
        QSettings().setValue(QStringLiteral("game/sound"), false);
        QVERIFY(english.load(QStringLiteral(TABLE_EN_QM)));
        QCoreApplication::installTranslator(&english);
        // The program's style sheet: the notices and boards draw their frames by it.
        QString css;
        for (const char* name : {"resources:/defaultui.css", "resources:/customui.css"}) {
            QFile f(QString::fromLatin1(name));
            if (f.open(QIODevice::ReadOnly))
                css += QString::fromUtf8(f.readAll());
        }
        qApp->setStyleSheet(css);
    }

    void table_data()
    {
        QTest::addColumn<int>("ruleset");
        QTest::addColumn<QSize>("size");
        for (int ruleset : {0, 1, 2})
            for (QSize size : {QSize(1024, 768), QSize(1920, 1080), QSize(3840, 2160)})
                if (ruleset == 0 || size.width() < 3840)
                    QTest::addRow("%s %dx%d", ruleset == 0 ? "classic" : ruleset == 1 ? "international" : "riichi",
                                  size.width(), size.height())
                        << ruleset << size;
    }

    void table()
    {
        QFETCH(int, ruleset);
        QFETCH(QSize, size);
        const char* names[] = {"classic", "international", "riichi"};
        QWidget frame;
        frame.resize(size);
        TestGameServer server;
        QVERIFY(server.listen());
        HandScenario scenario(server, HandScenario::Kind::Hand);
        ConnectionManager cm(false);
        TableModel tables(&cm);
        connect(&cm, qOverload<TableInfo>(&ConnectionManager::tableInfoUpdate), &tables,
                &TableModel::addOrUpdateTable);
        GameController gc(&cm, nullptr, nullptr, &frame);
        gc.setPlayerId(qint32(HandScenario::ownId));
        gc.setPlayerName(QStringLiteral("You"));
        gc.setTableModel(&tables);
        QSignalSpy connected(&cm, &ConnectionManager::versionCheckComplete);
        cm.connectToHost(QStringLiteral("127.0.0.1"), server.port());
        QVERIFY(connected.wait(5000) || connected.count() == 1);
        tables.subscribe(QStringLiteral("101/Regular"));
        const quint32 table = HandScenario::tableFor(ruleset);
        QTRY_VERIFY(tables.hasTableInfo(qint32(table)));

        QSignalSpy created(&gc, &GameController::tableViewCreated);
        cm.join_table(qint32(table));
        QVERIFY(created.wait(5000) || created.count() == 1);
        GameWindow* w = gc.existingView(qint32(table));
        QVERIFY(w);
        w->setGeometry(QRect(QPoint(0, 0), size));
        w->show();
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));

        QTRY_VERIFY(w->seatedWindow()->isVisible());
        w->onReadyButtonClick();
        QTRY_COMPARE(scenario.waitingFor(), QStringLiteral("chow or pass"));
        QTRY_VERIFY(w->meldAuction()->isVisible());
        w->onMeldSelected(meld_offer{game_protocol::meld_type::CHOW, tile(0)});
        QTRY_COMPARE(scenario.waitingFor(), QStringLiteral("discard after the chow"));
        QTRY_VERIFY(w->handView()->isActive());
        w->onTileClick(tile(27));
        QTRY_COMPARE(scenario.waitingFor(), QStringLiteral("pong or pass"));
        QTRY_VERIFY(w->meldAuction()->isVisible());
        w->onMeldSelected(meld_offer{game_protocol::meld_type::PONG, tile(9)});
        QTRY_COMPARE(scenario.waitingFor(), QStringLiteral("discard after the pong"));
        QTRY_VERIFY(w->handView()->isActive());
        w->onTileClick(tile(31));
        QTRY_COMPARE(scenario.waitingFor(), QStringLiteral("discard after the draw"));
        w->flushActions();
        QTest::qWait(50);

        // --- mid-hand
        QImage shot = frame.grab().toImage();
        QVERIFY(shot.save(QStringLiteral("table_%1_%2x%3.png").arg(names[ruleset]).arg(size.width()).arg(size.height())));
        struct Part
        {
            const char* name;
            QRectF rect;
        };
        // The views are nodes without a shape of their own: their tiles are children.
        const auto area = [](QGraphicsItem* node) { return node->mapRectToScene(node->childrenBoundingRect()); };
        QList<Part> parts{{"own hand", area(w->handView())}};
        for (int o = 1; o < 4; ++o)
            parts.append({"hidden hand", area(w->hiddenHand(o))});
        parts.append({"own pond", area(w->discardView(0))});
        const QRect viewArea(w->view()->mapTo(w, QPoint(0, 0)), w->view()->size());
        for (const Part& p : parts) {
            const QRect r = onWindow(w, p.rect);
            QVERIFY2(viewArea.contains(r.center()), p.name);
            QVERIFY2(colours(shot, r) > 12, p.name);
        }
        const QRect bar = w->sideBar()->geometry();
        QCOMPARE(bar.right(), size.width() - 1);
        QVERIFY(colours(shot, bar) > 12);
        const QPoint middle = onWindow(w, w->view()->sceneRect()).center();
        QVERIFY(colours(shot, QRect(middle - QPoint(60, 60), QSize(120, 120))) > 12); // walls and ponds

        // --- the scored end with the score board
        QTRY_VERIFY(w->handView()->isActive());
        w->onTileClick(ruleset == 2 ? tile(22) : tile(23));
        QTRY_VERIFY(w->scoreBoard()->isVisible());
        QTest::qWait(50);
        shot = frame.grab().toImage();
        QVERIFY(shot.save(QStringLiteral("scores_%1_%2x%3.png").arg(names[ruleset]).arg(size.width()).arg(size.height())));
        const QRect board = w->scoreBoard()->geometry();
        QVERIFY(QRect(QPoint(0, 0), size).contains(board));
        QVERIFY(colours(shot, board) > 12);
        // As high as the longest score list needs, however tall the screen, unless at its least height.
        int spare = std::numeric_limits<int>::max();
        for (const QTextEdit* list : w->scoreBoard()->findChildren<QTextEdit*>())
            spare = std::min(spare, list->viewport()->height() - int(std::ceil(list->document()->size().height())));
        QVERIFY2(spare <= 1 || board.height() == w->scoreBoard()->minimumHeight(), qPrintable(QString::number(spare)));
        QCOMPARE(seeThroughPixels(&frame, w), 0); // the table never shows through the board
        tables.unsubscribe(QStringLiteral("101/Regular"));
        gc.leaveSuccessful(qint32(table));
    }
};

QTEST_MAIN(GameWindowShots)
#include "shots_game_window.moc"
