// Pictures of what a player sees at a table, in English, Japanese and Chinese,
// under a window manager on the screen size the test is registered with: the
// seated notice, the side bar mid-hand, the end-of-hand score board, the
// wash-out notice, the waiting and watching notices, a tournament table's
// side bar and round score board, and the strip of table buttons. The tables
// are played against the test game server's scenarios, so every view shows
// what the model made of real frames.
//
// Besides the pictures (looks_<what>_<lang>_<w>x<h>.png), each view is checked
// where a player would see a fault: a notice that lets the table show
// through, a text that needs more room than it gets, a score board that
// opens on an empty tab, columns that do not share the width.

#include "ArtSearchPaths.h"
#include "ConnectionManager.h"
#include "GameController.h"
#include "GameGraphicsScene.h"
#include "GameModel.h"
#include "GameWindow.h"
#include "HandScenario.h"
#include "HandView.h"
#include "MeldAuction.h"
#include "PrevalentWindView.h"
#include "PlayerActionView.h"
#include "PlayerWidget.h"
#include "RoundScoreBoard.h"
#include "ScoreBoard.h"
#include "SeatedWindow.h"
#include "SelectorButton.h"
#include "ServerTime.h"
#include "SideBar.h"
#include "SocialServices.h"
#include "TableModel.h"
#include "TableSelector.h"
#include "TestGameServer.h"
#include "TimeSpan.h"
#include "TileView.h"
#include "TimerView.h"
#include "TournamentScenario.h"
#include "TournamentsController.h"
#include "ViewTestSupport.h"
#include "WaitingForPlayersWindow.h"
#include "WashoutWindow.h"
#include "WatchingWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGraphicsView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QScreen>
#include <QSet>
#include <QSettings>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>
#include <QTranslator>

#include <algorithm>
#include <memory>
#include <utility>

namespace {

QString styleSheet()
{
    QString css;
    for (const char* name : {"resources:/defaultui.css", "resources:/customui.css"}) {
        QFile f(QString::fromLatin1(name));
        if (f.open(QIODevice::ReadOnly))
            css += QString::fromUtf8(f.readAll());
    }
    return css;
}

/// The pixels of a widget on `frame` that change when the table view under
/// it is hidden: the table showing through. The frame image's rounded
/// corners and any running countdown dial are left out.
int seeThroughPixels(QWidget* frame, GameWindow* w, QWidget* notice)
{
    const QRect area(notice->mapTo(frame, QPoint(0, 0)), notice->size());
    const QImage withTable = frame->grab(area).toImage();
    w->view()->hide();
    const QImage withoutTable = frame->grab(area).toImage();
    w->view()->show();
    QList<QRect> ticking;
    for (const TimerView* dial : notice->findChildren<TimerView*>())
        if (dial->isVisible())
            ticking.append(QRect(dial->mapTo(notice, QPoint(0, 0)), dial->size()));
    const int corner = 8;
    int count = 0;
    for (int y = 0; y < withTable.height(); ++y)
        for (int x = 0; x < withTable.width(); ++x) {
            const bool inCorner = (x < corner || x >= withTable.width() - corner)
                                  && (y < corner || y >= withTable.height() - corner);
            bool inDial = false;
            for (const QRect& r : ticking)
                inDial = inDial || r.contains(x, y);
            if (!inCorner && !inDial && withTable.pixel(x, y) != withoutTable.pixel(x, y))
                ++count;
        }
    return count;
}

/// Every visible label and button of `root` gets the room its text asks
/// for: nothing cut at the bottom (descenders), nothing run past the right.
/// Eliding labels and word-wrapped labels that wrap are fine.
QStringList cramped(QWidget* root)
{
    QStringList faults;
    for (QLabel* label : root->findChildren<QLabel*>()) {
        if (!label->isVisibleTo(root) || label->text().isEmpty() || label->wordWrap())
            continue;
        const QSize need = label->minimumSizeHint();
        if (label->width() < need.width() || label->height() < need.height())
            faults << QStringLiteral("%1 \"%2\" %3x%4 < %5x%6")
                          .arg(label->objectName(), label->text())
                          .arg(label->width())
                          .arg(label->height())
                          .arg(need.width())
                          .arg(need.height());
    }
    for (QPushButton* button : root->findChildren<QPushButton*>()) {
        if (!button->isVisibleTo(root))
            continue;
        const QSize need = button->minimumSizeHint();
        if (button->width() < need.width() || button->height() < need.height())
            faults << QStringLiteral("button %1 \"%2\"").arg(button->objectName(), button->text());
    }
    // No text reaches past the root's own rectangle.
    for (QWidget* child : root->findChildren<QWidget*>()) {
        if (!child->isVisibleTo(root) || child->size().isEmpty()
            || !(child->inherits("QLabel") || child->inherits("QAbstractButton")))
            continue;
        const QRect r(child->mapTo(root, QPoint(0, 0)), child->size());
        if (!root->rect().contains(r))
            faults << QStringLiteral("%1 outside").arg(child->objectName());
    }
    return faults;
}

/// Fails with the list of cramped texts, if any.
#define expectRoomy(root)                                                                                               \
    do {                                                                                                               \
        const QStringList faults = cramped(root);                                                                      \
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));                                     \
    } while (false)

/// What is wrong with the player panels of a side bar: a header strip left
/// empty, or texts and marks drawn over one another.
QStringList panelFaults(SideBar* bar)
{
    QStringList faults;
    for (PlayerWidget* panel : bar->findChildren<PlayerWidget*>()) {
        auto* header = panel->findChild<QWidget*>(QStringLiteral("layoutWidget"));
        if (!header)
            return {QStringLiteral("no header")};
        QList<QPair<QString, QRect>> shown;
        for (QLabel* label : panel->findChildren<QLabel*>()) {
            if (label->objectName() == QLatin1String("highlightLabel") || !label->isVisibleTo(panel)
                || (label->text().isEmpty() && label->pixmap().isNull()))
                continue;
            shown.append({label->objectName(), QRect(label->mapTo(panel, QPoint(0, 0)), label->size())});
        }
        const QString who = panel->name();
        bool headerUsed = false;
        for (int i = 0; i < shown.size(); ++i) {
            headerUsed = headerUsed || shown[i].second.intersects(header->geometry());
            for (int j = i + 1; j < shown.size(); ++j)
                if (shown[i].second.intersects(shown[j].second))
                    faults << QStringLiteral("%1: %2 over %3").arg(who, shown[i].first, shown[j].first);
        }
        if (!headerUsed)
            faults << QStringLiteral("%1: empty header").arg(who);
    }
    return faults;
}

/// The tiles and the wind disc under a shown claim word, as "seat: x,y".
QStringList coveredByClaims(GameWindow* w)
{
    QStringList faults;
    for (int o = 0; o < 4; ++o)
        for (QGraphicsItem* item : w->scene()->items(w->claimImage(o)->sceneBoundingRect()))
            if (w->claimImage(o)->isVisible() && item->isVisible()
                && (dynamic_cast<TileView*>(item) != nullptr || item == w->prevalentWind()))
                faults << QStringLiteral("%1: %2,%3").arg(o).arg(item->scenePos().x()).arg(item->scenePos().y());
    return faults;
}

/// Every player shows a picture, as the program's default avatars do.
class Pictures : public SocialServices
{
public:
    QPixmap playerPicture(qint32) override { return QPixmap(QStringLiteral("avatars:/pig.png")); }
    ConferenceArea* createConferenceArea(QWidget*, int) override { return nullptr; }
};

/// A client and the test game server with one scenario, and the table it opens.
struct Table
{
    Pictures pictures;
    QWidget* frame;
    TestGameServer server;
    std::unique_ptr<HandScenario> scenario;
    ConnectionManager cm{false};
    TableModel tables{&cm};
    std::unique_ptr<TournamentsController> tournaments;
    std::unique_ptr<GameController> gc;
    GameWindow* window = nullptr;

    bool open(HandScenario::Kind kind, QWidget* parent, int ruleset, quint16 kickReason = 1)
    {
        frame = parent;
        if (!server.listen())
            return false;
        scenario = std::make_unique<HandScenario>(server, kind, 0, kickReason);
        QObject::connect(&cm, qOverload<TableInfo>(&ConnectionManager::tableInfoUpdate), &tables,
                         &TableModel::addOrUpdateTable);
        if (kind == HandScenario::Kind::Tournament)
            tournaments = std::make_unique<TournamentsController>(&cm, nullptr, nullptr);
        gc = std::make_unique<GameController>(&cm, &pictures, tournaments.get(), frame);
        gc->setPlayerId(qint32(HandScenario::ownId));
        gc->setPlayerName(QStringLiteral("You"));
        gc->setTableModel(&tables);
        QSignalSpy connected(&cm, &ConnectionManager::versionCheckComplete);
        QSignalSpy created(gc.get(), &GameController::tableViewCreated);
        cm.connectToHost(QStringLiteral("127.0.0.1"), server.port());
        if (!connected.wait(5000) && connected.isEmpty())
            return false;
        if (kind == HandScenario::Kind::Tournament) {
            cm.tournaments_lobby_subscribe();
        } else {
            tables.subscribe(QStringLiteral("101/Regular"));
            const quint32 id = HandScenario::tableFor(ruleset);
            if (!QTest::qWaitFor([&] { return tables.hasTableInfo(qint32(id)); }, 5000))
                return false;
            cm.join_table(qint32(id));
        }
        if (!created.wait(5000) && created.isEmpty())
            return false;
        window = gc->existingView(created.first().first().toInt());
        if (!window)
            return false;
        window->setGeometry(frame->rect());
        window->show();
        return true;
    }
};

} // namespace

class TableLooks : public QObject
{
    Q_OBJECT

    std::vector<std::unique_ptr<QTranslator>> translators;
    QString lang;
    QSize screen;

    QString shotName(const char* what) const
    {
        return QStringLiteral("looks_%1_%2_%3x%4.png").arg(QString::fromLatin1(what), lang).arg(screen.width()).arg(screen.height());
    }

    void shoot(QWidget* frame, const char* what)
    {
        QVERIFY(frame->grab().toImage().save(shotName(what)));
    }

    void useLanguage(const QString& code)
    {
        for (auto& t : translators)
            QCoreApplication::removeTranslator(t.get());
        translators.clear();
        lang = code;
        ArtSearchPaths::useLanguage(code);
        QLocale::setDefault(QLocale(code));
        auto t = std::make_unique<QTranslator>();
        QVERIFY2(t->load(QStringLiteral(TABLE_LOOKS_QM_DIR "/looks_%1.qm").arg(code)), qPrintable(code));
        QCoreApplication::installTranslator(t.get());
        translators.push_back(std::move(t));
    }

    /// The top-level frame the table sits in, as big as the screen allows.
    std::unique_ptr<QWidget> makeFrame()
    {
        auto frame = std::make_unique<QWidget>();
        const QRect avail = QGuiApplication::primaryScreen()->availableGeometry();
        frame->resize(std::min(avail.width(), screen.width()) - 20, std::min(avail.height(), screen.height()) - 40);
        frame->setWindowTitle(QStringLiteral("Table"));
        frame->show();
        return frame;
    }

private Q_SLOTS:
    void initTestCase()
    {
        qRegisterMetaType<GameWindow*>();
        QVERIFY(ViewTestSupport::prepareTiles());
        ArtSearchPaths::install();
        QSettings().setValue(QStringLiteral("game/animations"), false);
        QSettings().setValue(QStringLiteral("game/sound"), false);
        qApp->setStyleSheet(styleSheet());
        screen = QGuiApplication::primaryScreen()->size();
    }

    void cleanup()
    {
        for (auto& t : translators)
            QCoreApplication::removeTranslator(t.get());
        translators.clear();
    }

    void hand_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<int>("ruleset");
        QTest::newRow("en classic") << QStringLiteral("en") << 0;
        QTest::newRow("ja riichi") << QStringLiteral("ja") << 2;
        QTest::newRow("zh international") << QStringLiteral("zh") << 1;
    }

    /// Seated, a hand played to its scored end, then a hand that washes out.
    void hand()
    {
        QFETCH(QString, language);
        QFETCH(int, ruleset);
        useLanguage(language);
        auto frame = makeFrame();
        QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
        Table t;
        QVERIFY(t.open(HandScenario::Kind::Hand, frame.get(), ruleset));
        GameWindow* w = t.window;

        QTRY_VERIFY(w->seatedWindow()->isVisible());
        QTest::qWait(50);
        shoot(frame.get(), "seated");
        expectRoomy(w->seatedWindow());
        // Before the deal each panel shows its name and ready mark, apart.
        const QList<PlayerWidget*> panels = w->sideBar()->findChildren<PlayerWidget*>();
        QVERIFY(std::any_of(panels.begin(), panels.end(), [](PlayerWidget* p) {
            return p->findChild<QLabel*>(QStringLiteral("claimLabel"))->isVisibleTo(p);
        }));
        QVERIFY2(panelFaults(w->sideBar()).isEmpty(), qPrintable(panelFaults(w->sideBar()).join(QStringLiteral("; "))));
        expectRoomy(w->sideBar());
        QCOMPARE(seeThroughPixels(frame.get(), w, w->seatedWindow()), 0);
        QTest::mouseClick(w->seatedWindow()->playButton(), Qt::LeftButton);

        QTRY_COMPARE(t.scenario->waitingFor(), QStringLiteral("chow or pass"));
        QTRY_VERIFY(w->meldAuction()->isVisible());
        w->onMeldSelected(meld_offer{game_protocol::meld_type::CHOW, tile(0)});
        QTRY_COMPARE(t.scenario->waitingFor(), QStringLiteral("discard after the chow"));
        QTRY_VERIFY(w->handView()->isActive());
        w->onTileClick(tile(27));
        QTRY_COMPARE(t.scenario->waitingFor(), QStringLiteral("pong or pass"));
        QTRY_VERIFY(w->meldAuction()->isVisible());
        w->onMeldSelected(meld_offer{game_protocol::meld_type::PONG, tile(9)});
        QTRY_COMPARE(t.scenario->waitingFor(), QStringLiteral("discard after the pong"));
        QTRY_VERIFY(w->handView()->isActive());
        w->flushActions();
        // The word stands clear of the new meld and of every other tile.
        QVERIFY(w->claimImage(0)->isVisible());
        shoot(frame.get(), "pong");
        QVERIFY2(coveredByClaims(w).isEmpty(), qPrintable(coveredByClaims(w).join(QStringLiteral("; "))));
        w->onTileClick(tile(31));
        QTRY_COMPARE(t.scenario->waitingFor(), QStringLiteral("discard after the draw"));
        w->flushActions();
        QTest::qWait(50);
        shoot(frame.get(), "table");
        QVERIFY2(coveredByClaims(w).isEmpty(), qPrintable(coveredByClaims(w).join(QStringLiteral("; "))));
        QVERIFY(w->sideBar()->grab().toImage().save(shotName("sidebar")));
        expectRoomy(w->sideBar());
        QVERIFY2(panelFaults(w->sideBar()).isEmpty(), qPrintable(panelFaults(w->sideBar()).join(QStringLiteral("; "))));
        // The stake set at the table, then raised: every figure whole, on lines that fit.
        auto* cost = w->sideBar()->findChild<QLabel*>(QStringLiteral("tableCost"));
        for (const qint32 bet : {1999, 50000}) {
            TestFrame stake(144);
            stake.u32(t.scenario->table()).u16(3).u32(3);
            for (const auto& [key, value] : {std::pair{"SETTLEMENT", 1}, {"BET", bet}, {"FEE", 1}})
                stake.str(key).u8(1).bytes(TestFrame(0).i32(value).body().mid(1));
            t.server.send(stake.u32(0));
            QTRY_VERIFY(cost->isVisible() && cost->text().contains(QLocale().toString(bet / 100)));
            QTest::qWait(50);
            QVERIFY(w->sideBar()->grab().toImage().save(shotName(bet == 1999 ? "sidebar_stake" : "sidebar_raised")));
            expectRoomy(w->sideBar());
            for (const QString& line : cost->text().split(QLatin1Char('\n')))
                QVERIFY2(cost->fontMetrics().horizontalAdvance(line) <= cost->contentsRect().width(), qPrintable(line));
        }

        // The scored end.
        w->onTileClick(ruleset == 2 ? tile(22) : tile(23));
        QTRY_VERIFY_WITH_TIMEOUT(w->scoreBoard()->isVisible(), 20000); // the hand is played out first
        QTest::qWait(50);
        shoot(frame.get(), "scores");
        ScoreBoard* board = w->scoreBoard();
        // Every player's name stands on one line, the winner's too.
        QSet<int> nameLines;
        for (int c = 1; c <= 4; ++c)
            if (const auto* name = board->findChild<QLabel*>(QStringLiteral("name%1").arg(c)); !name->text().isEmpty())
                nameLines << name->mapTo(board, name->rect().center()).y();
        QCOMPARE(nameLines.size(), 1);
        auto* tabs = board->findChild<QTabWidget*>(QStringLiteral("scoreMelds"));
        QVERIFY(tabs);
        // The own hand in front at a Classic table, else the winner's; each shown tab holds tiles and is named.
        const GameModel* model = w->model();
        QVERIFY(model);
        QCOMPARE(tabs->tabText(tabs->currentIndex()), ruleset == 0 ? model->ownPlayer()->name() : ScoreBoard::tr("Winning hand"));
        for (int i = 0; i < tabs->count(); ++i) {
            if (!tabs->isTabVisible(i))
                continue;
            QVERIFY2(!tabs->tabText(i).isEmpty(), qPrintable(QString::number(i)));
            QVERIFY(tabs->tabText(i) != ScoreBoard::tr("Losing hand"));
        }
        // The score columns share the width: none is squeezed beside white
        // space; and with the room the window gives, none scrolls.
        QList<int> widths;
        for (int c = 1; c <= 4; ++c) {
            auto* column = board->findChild<QTextEdit*>(QStringLiteral("score%1").arg(c));
            widths << column->width();
            QVERIFY(!column->verticalScrollBar()->isVisible());
        }
        QVERIFY2(*std::max_element(widths.begin(), widths.end()) - 2 * *std::min_element(widths.begin(), widths.end()) <= 2,
                 qPrintable(QStringLiteral("%1 %2 %3 %4").arg(widths[0]).arg(widths[1]).arg(widths[2]).arg(widths[3])));
        expectRoomy(board->findChild<QWidget*>(QStringLiteral("bottomFrame")));
        QCOMPARE(seeThroughPixels(frame.get(), w, board), 0);

        // Ready, then the second hand washes out.
        QTRY_VERIFY(board->findChild<QPushButton*>(QStringLiteral("readyPushButton"))->isVisible());
        QTest::mouseClick(board->findChild<QPushButton*>(QStringLiteral("readyPushButton")), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(w->washoutWindow()->isVisible(), 10000);
        w->flushActions();
        QTest::qWait(50);
        shoot(frame.get(), "washout");
        expectRoomy(w->washoutWindow());
        QVERIFY(!w->washoutWindow()->windowTitle().isEmpty()); // its title bar names it
        QCOMPARE(seeThroughPixels(frame.get(), w, w->washoutWindow()), 0);

        // The other notices over the same table.
        w->washoutWindow()->hide();
        w->waitingWindow()->onSeatsRemaining(3);
        w->waitingWindow()->showDialog(true);
        QTest::qWait(50);
        shoot(frame.get(), "waiting");
        expectRoomy(w->waitingWindow());
        QCOMPARE(seeThroughPixels(frame.get(), w, w->waitingWindow()), 0);
        w->waitingWindow()->hide();
        w->watchingWindow()->showDialog(true);
        QTest::qWait(50);
        shoot(frame.get(), "watching");
        expectRoomy(w->watchingWindow());
        QCOMPARE(seeThroughPixels(frame.get(), w, w->watchingWindow()), 0);
        w->watchingWindow()->hide();
        t.gc->leaveSuccessful(qint32(t.scenario->table()));
    }

    void tournament_data()
    {
        QTest::addColumn<QString>("language");
        for (const char* code : {"en", "ja", "zh"})
            QTest::newRow(code) << QString::fromLatin1(code);
    }

    /// A tournament table: its side bar while the round is on, and the round score board.
    void tournament()
    {
        QFETCH(QString, language);
        useLanguage(language);
        auto frame = makeFrame();
        QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
        Table t;
        QVERIFY(t.open(HandScenario::Kind::Tournament, frame.get(), 0));
        GameWindow* w = t.window;
        QTRY_VERIFY(w->seatedWindow()->isVisible() || w->model()->isInPlay());
        QTest::qWait(100);
        shoot(frame.get(), "tournament");
        auto* bar = w->sideBar();
        for (const char* name : {"tableName", "tableRound", "roundLimit"}) {
            auto* label = bar->findChild<QLabel*>(QString::fromLatin1(name));
            QVERIFY(label);
            QVERIFY2(!label->text().contains(QStringLiteral("-1")), qPrintable(label->text()));
            QVERIFY2(label->text() != QCoreApplication::translate("Utils", "N/A"), name);
        }

        // Pass, discard, pass: the round ends and its score board shows.
        QTRY_COMPARE(t.scenario->waitingFor(), QStringLiteral("chow or pass"));
        QTRY_VERIFY(w->meldAuction()->isVisibleTo(w));
        w->onPassMeldSelected();
        QTRY_COMPARE(t.scenario->waitingFor(), QStringLiteral("discard after the pass"));
        QTRY_VERIFY(w->handView()->isActive());
        w->flushActions();
        w->onTileClick(tile(31));
        QTRY_COMPARE(t.scenario->waitingFor(), QStringLiteral("pong or pass"));
        QTRY_VERIFY(w->meldAuction()->isVisibleTo(w));
        w->onPassMeldSelected();
        // The last hand's board first; its Close brings the round's board.
        QTRY_VERIFY_WITH_TIMEOUT(w->model()->gameState() == GameModel::GAME_FINISHED, 10000);
        QTest::mouseClick(w->scoreBoard()->findChild<QPushButton*>(QStringLiteral("closePushButton")), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(w->roundScoreBoard()->isVisible(), 10000);
        // The tournament moves on to its next round elsewhere: this page stays with its own.
        const QString round = bar->findChild<QLabel*>(QStringLiteral("tableRound"))->text();
        QSignalSpy moved(t.tournaments.get(), &TournamentsController::updateTournamentInfo);
        t.server.send(TournamentFrames::update(HandScenario::tournamentId, {TournamentFrames::num("CURRENT_ROUND", 1)}));
        QVERIFY(moved.wait(5000) || moved.count() == 1);
        QCOMPARE(bar->findChild<QLabel*>(QStringLiteral("tableRound"))->text(), round);
        w->flushActions();
        QTest::qWait(50);
        shoot(frame.get(), "roundscores");
        expectRoomy(w->roundScoreBoard());
        QCOMPARE(seeThroughPixels(frame.get(), w, w->roundScoreBoard()), 0);
    }

    void selector_data()
    {
        QTest::addColumn<QString>("language");
        for (const char* code : {"en", "ja", "zh"})
            QTest::newRow(code) << QString::fromLatin1(code);
    }

    /// The strip of table buttons in a top bar as wide as the screen.
    void selector()
    {
        QFETCH(QString, language);
        useLanguage(language);
        QWidget bar;
        bar.setObjectName(QStringLiteral("topBar"));
        bar.resize(std::min(screen.width(), 1024) - 300, 32);
        TableSelector selector(&bar);
        selector.setGeometry(bar.rect());
        const char* names[] = {"Classic hand", "Riichi hand", "Final table of the spring cup"};
        for (int i = 0; i < 3; ++i) {
            TableInfo info;
            info.tableId = 511 + i;
            info.name = QString::fromLatin1(names[i]);
            info.gameType = i == 2 ? 1 : 0;
            selector.addTable(info);
        }
        selector.setActiveTable(-1);
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
        QTest::qWait(50);
        // The turn countdown never covers a name: its place looks the same without the name.
        SelectorButton* named = selector.findChildren<SelectorButton*>().last();
        named->setTimeout(TimeSpan(ServerTime::currentTime(), qint64(20000)));
        QTest::qWait(50);
        QVERIFY(bar.grab().toImage().save(shotName("selector")));
        const QRect dial = named->countdown()->geometry();
        named->countdown()->hide();
        const QImage withName = named->grab(dial).toImage();
        named->setText(QString());
        QVERIFY(named->grab(dial).toImage() == withName);
        // With room to spare nothing is shortened.
        for (QAbstractButton* b : selector.findChildren<QAbstractButton*>()) {
            if (b->isVisible() && b->objectName() != QLatin1String("lobbyButton") && b->inherits("SelectorButton"))
                QVERIFY2(!b->text().contains(QChar(0x2026)) && !b->text().contains(QStringLiteral("...")),
                         qPrintable(b->text()));
        }
    }
};

QTEST_MAIN(TableLooks)
#include "shots_table_looks.moc"
