// A person's whole visit to one table, through the real main window only: the
// login fields, a double-click on the lobby row, Play, the claim chooser's
// buttons and keys, tiles clicked where the table view shows them, the score
// board's Ready, Leave, and Quit. The window talks to the test game server
// over loopback through its own connection; the server fails the test on any
// request its script does not expect. A picture of each step is kept as
// journey-<ruleset>-<step>.png in the test's directory.
//
// Built once per ruleset (JOURNEY_RULESET 0 classic, 1 international,
// 2 riichi). Each ruleset answers the two claim offers differently, so that
// every way of claiming and of passing is taken by one of them.
// Built with JOURNEY_KEYBOARD, the visit is made by keys alone after the
// start, with a log of every focus change.

#include "ActionQueue.h"
#include "CommandLine.h"
#include "DiscardView.h"
#include "GameController.h"
#include "GameModel.h"
#include "GameWindow.h"
#include "HandScenario.h"
#include "HandView.h"
#include "LobbyController.h"
#include "LobbyWindow.h"
#include "MahjongApplication.h"
#include "MahjongStyle.h"
#include "MainWindowHarness.h"
#include "MeldAuction.h"
#include "MeldChoice.h"
#include "ScoreBoard.h"
#include "ScreenshotSupport.h"
#include "SeatedWindow.h"
#include "SideBar.h"
#include "TableSelector.h"
#include "SelectorButton.h"
#include "TableModel.h"
#include "TileGraphics.h"
#include "WashoutWindow.h"
#include "DeclaredView.h"
#include "MeldView.h"
#include "TileView.h"
#include "UTabWidget.h"
#include "WebSchemes.h"
#include "ProtocolValues.h"
#include "../protocol/game_test_frames.h"

#include <QAbstractItemModel>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTabBar>
#include <QGraphicsView>
#include <QTimer>
#include <QTreeView>

#ifndef JOURNEY_RULESET
#define JOURNEY_RULESET 0
#endif

namespace {

constexpr int ruleset = JOURNEY_RULESET;
const char* const rulesetNames[] = {"classic", "international", "riichi"};
const char* const tableNames[] = {"Classic hand", "International hand", "Riichi hand"};

/// How this ruleset answers East's chow offer and West's pong offer.
enum class Answer { ClaimByButton, ClaimByKey, PassByButton, PassByEscape, PassByKey };
[[maybe_unused]] constexpr Answer chowAnswers[] = {Answer::ClaimByButton, Answer::PassByEscape, Answer::ClaimByKey};
[[maybe_unused]] constexpr Answer pongAnswers[] = {Answer::PassByButton, Answer::ClaimByKey, Answer::PassByKey};

/// A game action of the own player as the client sends it.
QByteArray action(const TestFrame& inner)
{
    return TestFrame(100).u32(HandScenario::tableFor(ruleset)).u32(HandScenario::ownId).nested(inner).body();
}

} // namespace

class JourneyHand : public QObject
{
    Q_OBJECT

    /// Every widget the keys went to, in order; kept until the window is gone.
    QStringList focusLog;
    MainWindowHarness h;
    std::unique_ptr<HandScenario> hand;
    QStringList unexpected;
    int shot = 0;

    static QString nameOf(const QWidget* w) { return w ? w->objectName() : QStringLiteral("(none)"); }
    /// The keys are on the widget named `name`; else the log says where they went.
    bool keysOn(const QString& name) const
    {
        const bool on = QTest::qWaitFor([&] { return nameOf(QApplication::focusWidget()) == name; }, 10000);
        if (!on)
            qWarning().noquote() << "keys went:" << focusLog.join(QStringLiteral(" > ")) << "server at:" << hand->waitingFor();
        return on;
    }
    void key(Qt::Key k, Qt::KeyboardModifiers m = {}) { QTest::keyClick(QApplication::focusWidget(), k, m); }
    /// Presses Tab until the keys are on `target`, at most 60 times.
    bool tabTo(const QWidget* target)
    {
        for (int i = 0; i < 60 && QApplication::focusWidget() != target; ++i) key(Qt::Key_Tab);
        return QApplication::focusWidget() == target;
    }

    void step(const char* name)
    {
        const QString file = QStringLiteral("journey-%1-%2-%3.png")
                                 .arg(QLatin1String(rulesetNames[ruleset]))
                                 .arg(++shot, 2, 10, QLatin1Char('0'))
                                 .arg(QLatin1String(name));
        QVERIFY2(screenshots::save(h.window.get(), file), qPrintable(file));
        QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected.join(QLatin1Char('\n'))));
    }

    /// The seat panels lie one below the other, each on its own box of the
    /// frame's backdrop (a panel high), whole and above the chat.
    static bool seatsInTheirBoxes(SideBar* bar)
    {
        auto* seats = bar->findChild<QFrame*>(QStringLiteral("playersFrame"));
        bool fit = seats->geometry().bottom() < bar->findChild<QFrame*>(QStringLiteral("chatContainer"))->y();
        for (QWidget* panel : seats->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            fit = fit && panel->y() % panel->minimumHeight() == 0 && seats->rect().contains(panel->geometry());
        return fit;
    }

    GameWindow* table() const
    {
        return qobject_cast<GameWindow*>(h.window->view().loggedInStack->currentWidget());
    }

    /// Clicks a visible button of an open box by its title.
    bool clickBox(const QString& title, QDialogButtonBox::StandardButton button)
    {
        for (auto* box : h.window->findChildren<ModelessMsgBox::MsgBox*>()) {
            if (box->isVisible() && box->windowTitle() == title && box->buttonBox()->button(button)) {
                QTest::mouseClick(box->buttonBox()->button(button), Qt::LeftButton);
                return true;
            }
        }
        return false;
    }

    /// Clicks the right-most own tile of this code where the table shows it.
    bool clickTile(GameWindow* w, tile t)
    {
        for (HandTile* item : w->handView()->items()) {
            if (item->tileCode() != t || !item->isVisible())
                continue;
            QGraphicsView* view = w->view();
            const QPointF centre = item->sceneBoundingRect().center();
            const QPoint at = view->mapFromScene(centre);
            if (!view->viewport()->rect().contains(at))
                return false;
            QTest::mouseMove(view->viewport(), at);
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
            return true;
        }
        return false;
    }

    /// The first game action the client sent after the first `count`.
    QByteArray actionAfter(int count) const
    {
        const QList<ReceivedFrame> frames = h.server.received(100);
        return frames.size() > count ? frames.at(count).body : QByteArray();
    }

    /// Waits for the chooser and answers its offer as told; `answered` is
    /// the action that answer sent.
    void answerOffer(GameWindow* w, Answer answer, int meldType, const char* name, QByteArray* answered)
    {
        MeldAuction* chooser = w->meldAuction();
        QTRY_VERIFY_WITH_TIMEOUT(chooser->isVisible(), 10000);
        step(name);
        QVERIFY(chooser->passButton()->isVisible());
        QVERIFY(!chooser->closeButton()->isVisible());
        const std::vector<MeldChoice*> rows = chooser->choices();
        QCOMPARE(int(rows.size()), 1);
        QCOMPARE(int(rows.front()->offer().type), meldType);
        const int sent = h.server.received(100).size();
        switch (answer) {
        case Answer::ClaimByButton:
            QTest::mouseClick(rows.front()->button(), Qt::LeftButton);
            break;
        case Answer::ClaimByKey:
            QTest::keySequence(chooser->window(), rows.front()->key());
            QTest::keySequence(chooser->window(), chooser->passKey());
            break;
        case Answer::PassByButton:
            QTest::mouseClick(chooser->passButton(), Qt::LeftButton);
            break;
        case Answer::PassByEscape:
            QTest::keyClick(chooser->window(), Qt::Key_Escape);
            break;
        case Answer::PassByKey:
            QTest::keySequence(chooser->window(), chooser->passKey());
            break;
        }
        QTRY_VERIFY(h.server.received(100).size() > sent);
        *answered = actionAfter(sent);
        QVERIFY(!chooser->isVisible());
        QVERIFY(answer != Answer::ClaimByKey
                || !QTest::qWaitFor([&] { return h.server.received(100).size() > sent + 1; }, 300));
    }

    /// Of a meld: the place of its turned tile along its row as the table
    /// shows it (from the left, or from the top for a seat at the side), and
    /// the tile; -1 when none.
    static std::pair<int, tile> turnedTile(const MeldView* meld)
    {
        std::vector<TileView*> items = meld->items();
        QRectF row;
        for (const TileView* t : items)
            row |= t->sceneBoundingRect();
        const auto along = [across = row.height() > row.width()](const TileView* t) {
            const QPointF c = t->sceneBoundingRect().center();
            return across ? c.y() : c.x();
        };
        std::sort(items.begin(), items.end(),
                  [&along](const TileView* a, const TileView* b) { return along(a) < along(b); });
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i]->tileType() == 2)
                return {int(i), items[i]->tileCode()};
        return {-1, tile(0)};
    }

    /// Waits until the own hand may discard, then clicks the tile.
    void discard(GameWindow* w, tile t, const char* name)
    {
        QTRY_VERIFY_WITH_TIMEOUT(w->handView()->isActive() && !w->actionQueue()->isBusy(), 10000);
        step(name);
        const int sent = h.server.received(100).size();
        QVERIFY(clickTile(w, t));
        QTRY_VERIFY(h.server.received(100).size() > sent);
        QCOMPARE(actionAfter(sent), action(TestFrame(56).u8(t.code())));
    }

    /// The program started in English (plural forms included), its window active and the version
    /// checked, the server's hand giving the player `turnMs` to discard.
    void start(int turnMs, bool longerGame)
    {
        QVERIFY(h.create(QString(), QString()));
        QVERIFY(h.translations.setLanguage(QStringLiteral("en")));
        hand = std::make_unique<HandScenario>(h.server, HandScenario::Kind::Hand, 0);
        hand->setTimeLimits(60000, turnMs);
        hand->setLongerGame(longerGame);
        connect(hand.get(), &HandScenario::unexpected, this, [this](const QString& line) { unexpected << line; });
        h.window->show();
        h.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(h.window.get()));
        QSignalSpy ready(&h.window->connection(), &ConnectionManager::versionCheckComplete);
        h.window->onStartupFinished(true);
        QVERIFY(!ready.isEmpty() || ready.wait(5000));
    }

    /// The program ends without a word at the table and starts again: the
    /// login, and Rejoin answered by key (Return is its No).
    void startAgain()
    {
        QVERIFY(h.restart());
        h.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(h.window.get()));
        QTRY_VERIFY_WITH_TIMEOUT(h.boxes().filter(QStringLiteral("Rejoin Table|")).size() == 1, 10000);
        auto* rejoin = h.window->findChild<ModelessMsgBox::MsgBox*>();
        QTRY_VERIFY(QApplication::focusWidget() == rejoin->defaultButton());
        QVERIFY(tabTo(rejoin->buttonBox()->button(QDialogButtonBox::Yes)));
        key(Qt::Key_Space);
        QTRY_VERIFY_WITH_TIMEOUT(table() != nullptr, 10000);
    }

private Q_SLOTS:
    void initTestCase()
    {
        setupSearchPaths({});
        // The table as the client shows it: its own style and style sheets.
        QApplication::setStyle(new MahjongStyle);
        static_cast<MahjongApplication*>(QCoreApplication::instance())->loadStyleSheet();
        TileGraphics& tiles = TileGraphics::instance();
        tiles.setTiles(0, 0);
        QVERIFY(QTest::qWaitFor([&] { return !tiles.isRendering(); }, 20000));
        MainWindowHarness::resetState();
        QSettings().setValue(QStringLiteral("game/animations"), true);
    }

#if JOURNEY_KEYBOARD
    void keyboard()
    {
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* w) { focusLog << nameOf(w); });
        start(1500, true); // the server discards for the player, as no key does
        QVERIFY(!QTest::currentTestFailed());
        if (h.boxes().filter(QStringLiteral("Resolution too low!")).size() == 1)
            key(Qt::Key_Return);
        // --- the login: name, Tab, password, Return; the Tables tab, the table's row, Join
        QVERIFY(keysOn(QStringLiteral("loginEdit")));
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("anna"));
        key(Qt::Key_Tab);
        QVERIFY(keysOn(QStringLiteral("passwordEdit")));
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("secret1"));
        key(Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(h.window->lobby()->tableModel()->hasTableInfo(qint32(HandScenario::tableFor(0))), 10000);
        UTabWidget* pages = h.window->view().mainTabs;
        QVERIFY(tabTo(pages->tabBar()));
        while (pages->currentIndex() != pages->indexOf(h.window->lobbyWindow()) && pages->currentIndex() + 1 < pages->count())
            key(Qt::Key_Right);
        QTreeView* lobby = h.window->lobbyWindow()->treeView();
        QVERIFY(tabTo(lobby));
        for (int r = 0; r < lobby->model()->rowCount() && lobby->currentIndex().siblingAtColumn(0).data() != tableNames[0]; ++r)
            key(Qt::Key_Down);
        QVERIFY(tabTo(h.window->lobbyWindow()->findChild<QPushButton*>(QStringLiteral("joinButton"))));
        key(Qt::Key_Space);
        QTRY_VERIFY_WITH_TIMEOUT(table() != nullptr, 10000);
        GameWindow* w = table();
        // --- each question has the keys when it comes, each answer gives them back to the table
        const auto answer = [&](const char* name, const QString& keys, Qt::Key k, const QByteArray& action) {
            QVERIFY(keysOn(keys));
            step(name);
            const int sent = h.server.received(100).size();
            k != Qt::Key_unknown ? key(k) // else the first row's own key
                                 : QTest::keySequence(QApplication::focusWidget(), w->meldAuction()->choices().front()->key());
            QTRY_VERIFY(h.server.received(100).size() > sent);
            QCOMPARE(actionAfter(sent), action);
        };
        const QByteArray pass = action(TestFrame(52).u32(HandScenario::ownId).u8(0));
        const QByteArray readyAction = action(TestFrame(54).u32(HandScenario::ownId));
        answer("keys-seated", QStringLiteral("playButton"), Qt::Key_Return, readyAction);
        // --- the lobby and back by keys: Ctrl+Tab goes round the pages, the table's button is a Tab stop
        key(Qt::Key_Tab, Qt::ControlModifier);
        QTRY_VERIFY(h.window->view().loggedInStack->currentWidget() == h.window->view().lobbyWidget);
        QVERIFY(tabTo(h.window->view().tableSelector->button(w->tableInfo().tableId)));
        key(Qt::Key_Tab, Qt::ControlModifier);
        QTRY_VERIFY(table() == w);
        for (const char* name : {"keys-chow", "keys-pong", "keys-chow-again"}) {
            answer(name, QStringLiteral("passButton"), Qt::Key_Space, pass);
            QVERIFY(!QTest::currentTestFailed() && keysOn(QStringLiteral("GameView")));
            if (name != std::string_view("keys-pong"))
                continue;
            auto* readyButton = w->scoreBoard()->findChild<QPushButton*>(QStringLiteral("readyPushButton"));
            QTRY_VERIFY_WITH_TIMEOUT(readyButton->isVisible() && readyButton->isEnabled(), 15000);
            answer("keys-score-board", QStringLiteral("readyPushButton"), Qt::Key_Return, readyAction);
            QVERIFY(!QTest::currentTestFailed());
        }
        answer("keys-pong-claimed", QStringLiteral("passButton"), Qt::Key_unknown,
               action(TestFrame(48).u8(9).u32(HandScenario::ownId)));
        QVERIFY(!QTest::currentTestFailed() && keysOn(QStringLiteral("GameView")));
        answer("keys-wash-out", QStringLiteral("readyButton"), Qt::Key_Return, readyAction);
        QTRY_VERIFY(hand->isFinished() && !QTest::currentTestFailed());

        // --- Leave and Quit reached by Tab; the quit question's Return is No, its Yes reached by Tab
        QVERIFY(tabTo(w->sideBar()->findChild<QPushButton*>(QStringLiteral("leaveButton"))));
        key(Qt::Key_Space);
        QTRY_VERIFY(table() == nullptr);
        QVERIFY(tabTo(h.window->view().quitButton));
        key(Qt::Key_Space);
        QTRY_VERIFY(h.window->quitQuestion() && QApplication::focusWidget() == h.window->quitQuestion()->defaultButton());
        QVERIFY(tabTo(h.window->quitQuestion()->buttonBox()->button(QDialogButtonBox::Yes)));
        QTimer::singleShot(0, this, [this] { key(Qt::Key_Space); });
        QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(1); });
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected.join(QLatin1Char('\n'))));
    }
#else
    void journey()
    {
        // --- the login page, filled in as a person does
        start(60000, false); // time for a new start of the program
        QVERIFY(!QTest::currentTestFailed());
        clickBox(QStringLiteral("Resolution too low!"), QDialogButtonBox::Ok);
        LoginWindow* login = h.window->view().loginWindow;
        QTest::keyClicks(login->userNameEdit(), QStringLiteral("anna"));
        QTest::keyClicks(login->passwordField(), QStringLiteral("secret1"));
        step("login");
        QTest::mouseClick(login->logInButton(), Qt::LeftButton);

        // --- the lobby: a double-click on the table's row joins it
        const qint32 tableId = qint32(HandScenario::tableFor(ruleset));
        QTRY_VERIFY_WITH_TIMEOUT(h.window->lobby()->tableModel()->hasTableInfo(tableId), 10000);
        QTreeView* lobby = h.window->lobbyWindow()->treeView();
        QModelIndex row;
        const auto doubleClickRow = [&] {
            QTRY_VERIFY([&] {
                const QAbstractItemModel* model = lobby->model();
                for (int r = 0; r < model->rowCount(); ++r)
                    for (int c = 0; c < model->columnCount(); ++c)
                        if (model->index(r, c).data().toString() == QLatin1String(tableNames[ruleset])) {
                            row = model->index(r, c);
                            return true;
                        }
                return false;
            }());
            lobby->scrollTo(row);
            const QPoint rowAt = lobby->visualRect(row).center();
            QTest::mouseClick(lobby->viewport(), Qt::LeftButton, {}, rowAt);
            QTest::mouseDClick(lobby->viewport(), Qt::LeftButton, {}, rowAt);
            QTRY_VERIFY_WITH_TIMEOUT(table() != nullptr, 10000);
        };
        step("lobby");
        doubleClickRow();
        GameWindow* w = table();
        QCOMPARE(w->tableInfo().tableId, tableId);

        // --- seated: Play
        QTRY_VERIFY_WITH_TIMEOUT(w->seatedWindow()->isVisible(), 10000);
        step("seated");
        QVERIFY(seatsInTheirBoxes(w->sideBar()));
        QVERIFY(h.boxes().isEmpty());
        QTest::mouseClick(w->seatedWindow()->playButton(), Qt::LeftButton);

        // --- Escape is the leave question's, also after clicks on the table, then on it
        QTRY_VERIFY_WITH_TIMEOUT(w->meldAuction()->isVisible(), 10000);
        const int offered = h.server.received(100).size();
        auto* sideLeave = w->sideBar()->findChild<QPushButton*>(QStringLiteral("leaveButton"));
        const auto question = [&w] { return w->findChild<ModelessMsgBox::MsgBox*>(); };
        for (bool away : {false, true}) {
            QTest::mouseClick(sideLeave, Qt::LeftButton);
            QTRY_VERIFY(question() && QApplication::focusWidget() == question()->defaultButton()); // once it takes keys
            if (away) {
                QTest::mouseClick(w->view()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
                QTest::mouseClick(question()->findChild<QLabel*>(QStringLiteral("msgBoxText")), Qt::LeftButton);
            }
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            QTRY_VERIFY(question() == nullptr);
        }
        QVERIFY(w->meldAuction()->isVisible() && h.server.received(100).size() == offered);
        // --- Yes closes only the page: the lobby's row opens it again, the offer still open
        QTest::mouseClick(sideLeave, Qt::LeftButton);
        QTRY_VERIFY(question() != nullptr && question()->buttonBox()->button(QDialogButtonBox::Yes)->isEnabled());
        QTest::mouseClick(question()->buttonBox()->button(QDialogButtonBox::Yes), Qt::LeftButton);
        QTRY_VERIFY(table() == nullptr);
        doubleClickRow();
        w = table();

        // --- the program ends without a word mid-hand and starts again: Rejoin by key, and
        // the hand is the player's own again (at the bottom, tiles to click), the offer open
        startAgain();
        QVERIFY(!QTest::currentTestFailed());
        w = table();
        QTRY_COMPARE(int(w->handView()->items().size()), 13);
        QVERIFY(w->handView()->isVisible());
        QCOMPARE(w->orientationOf(qint32(HandScenario::ownId)), 0);
        step("rejoined");
        sideLeave = w->sideBar()->findChild<QPushButton*>(QStringLiteral("leaveButton"));

        // --- East's 3 of bamboo: chow it or pass
        QByteArray answered;
        answerOffer(w, chowAnswers[ruleset], game_protocol::meld_type::CHOW, "chow-offer", &answered);
        const bool chowed = chowAnswers[ruleset] == Answer::ClaimByButton || chowAnswers[ruleset] == Answer::ClaimByKey;
        QCOMPARE(answered,
                 action(chowed ? TestFrame(47).u8(3).u32(HandScenario::ownId) : TestFrame(52).u32(HandScenario::ownId).u8(0)));
        // The East wind leaves the hand: after the chow, or after the draw of a pass.
        discard(w, tile(27), chowed ? "discard-after-chow" : "discard-after-draw");
        QVERIFY(seatsInTheirBoxes(w->sideBar()));
        if (chowed) {
            // The chow of the 4, 5 and the claimed 6 lies with the 6 turned
            // at the end towards East, who sits on the user's left.
            QTRY_COMPARE(int(w->declaredView(0)->melds().size()), 1);
            QCOMPARE(turnedTile(w->declaredView(0)->melds().front()), (std::pair<int, tile>{0, tile(5)}));
        }

        // --- West's 1 of characters: pong it or pass (Escape keeps a win offered too; the
        // leave question the win's chooser hides answers no Enter, until a click raises it)
        QTRY_VERIFY_WITH_TIMEOUT(w->meldAuction()->isVisible(), 10000);
        QTest::mouseClick(sideLeave, Qt::LeftButton);
        QTRY_VERIFY(question() && QApplication::focusWidget() == question()->defaultButton());
        const quint64 now = quint64(QDateTime::currentMSecsSinceEpoch());
        TestFrame win(34); // a pong (2) and a win (16) of the 1 of characters
        win.u32(2).u8(meldTypeToWire(2)).u8(9).u8(meldTypeToWire(16)).u8(9);
        h.server.send(gtf::game(quint32(tableId), gtf::span(win, now, now + 15000)));
        QTRY_VERIFY(w->meldAuction()->mahjongButton()->isVisible());
        const int beforeWin = h.server.received(100).size();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTest::keyClick(w->meldAuction()->window(), Qt::Key_Escape);
        QTest::qWait(200);
        QVERIFY(table() == w && question() && h.server.received(100).size() == beforeWin);
        QVERIFY(w->meldAuction()->isVisible());
        step("question-under-offer");
        QTest::mouseClick(question()->topBar(), Qt::LeftButton, {}, QPoint(4, 4));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QTRY_VERIFY(question() == nullptr);
        answerOffer(w, pongAnswers[ruleset], game_protocol::meld_type::PONG, "pong-offer", &answered);
        const bool ponged = pongAnswers[ruleset] == Answer::ClaimByKey;
        QCOMPARE(answered,
                 action(ponged ? TestFrame(48).u8(9).u32(HandScenario::ownId) : TestFrame(52).u32(HandScenario::ownId).u8(0)));
        if (ponged) {
            discard(w, tile(31), "discard-after-pong");
            // West sits on the user's right: the right-most tile is turned.
            QTRY_VERIFY(!w->declaredView(0)->melds().empty());
            QCOMPARE(turnedTile(w->declaredView(0)->melds().back()), (std::pair<int, tile>{2, tile(9)}));
        }

        // --- the own draw, discarded by a click, then West's mahjong (the open leave question goes)
        const tile drawn = ruleset == 2 ? tile(22) : tile(23);
        QTest::mouseClick(sideLeave, Qt::LeftButton);
        if (ruleset == 2) {
            // --- Riichi pressed over the question, no tile picked, time out: the question has the keys,
            // the next turn's click is a plain discard
            QTRY_VERIFY_WITH_TIMEOUT(w->handView()->isActive() && !w->actionQueue()->isBusy(), 10000);
            h.server.send(gtf::game(quint32(tableId),
                                    TestFrame(26).u32(1).u8(meldTypeToWire(128)).u8(22).u64(now).u64(now + 60000)));
            QTRY_VERIFY(w->meldAuction()->riichiButton()->isVisible());
            QTest::mouseClick(w->meldAuction()->riichiButton(), Qt::LeftButton);
            QTRY_VERIFY(question()->isAncestorOf(QApplication::focusWidget()));
            h.server.send(gtf::game(quint32(tableId), TestFrame(36)));
            h.server.send(gtf::game(quint32(tableId), TestFrame(27).u32(HandScenario::ownId).u64(now).u64(now + 60000)));
        }
        discard(w, drawn, "discard-drawn");
        QTRY_VERIFY_WITH_TIMEOUT(w->scoreBoard()->isVisible(), 10000);
        QTRY_VERIFY(question() == nullptr);
        QVERIFY(!w->meldAuction()->isVisible());
        // East ponged West's dragon, from across: the turned tile lies in the middle.
        w->flushActions();
        DeclaredView* eastMelds = w->declaredView(w->orientationOf(qint32(HandScenario::eastId)));
        QCOMPARE(int(eastMelds->melds().size()), 1);
        QCOMPARE(turnedTile(eastMelds->melds().front()), (std::pair<int, tile>{1, tile(32)}));
        step("score-board");

        // --- (international) ended again between the hands: the new start asks Ready on its own
        if (ruleset == 1) {
            startAgain();
            QVERIFY(!QTest::currentTestFailed());
            w = table();
            QTRY_VERIFY_WITH_TIMEOUT(w->seatedWindow()->isVisible(), 10000);
            step("rejoined-between-hands");
            QTest::mouseClick(w->seatedWindow()->playButton(), Qt::LeftButton);
        }
        auto* readyButton = w->scoreBoard()->findChild<QPushButton*>(QStringLiteral("readyPushButton"));
        // --- Ready on the board: the next hand washes out and ends the game
        if (ruleset != 1) {
            QTRY_VERIFY_WITH_TIMEOUT(readyButton->isVisible() && readyButton->isEnabled(), 10000);
            QTest::mouseClick(readyButton, Qt::LeftButton);
        }
        QTRY_VERIFY_WITH_TIMEOUT(w->washoutWindow()->isVisible(), 10000);
        QTRY_VERIFY(hand->isFinished());
        step("wash-out");

        // --- Leave: the table closes and the lobby comes back
        QSignalSpy destroyed(h.window->games(), &GameController::tableViewDestroyed);
        auto* leave = w->washoutWindow()->findChild<QPushButton*>(QStringLiteral("leaveButton"));
        if (!leave || !leave->isVisible())
            leave = w->sideBar()->findChild<QPushButton*>(QStringLiteral("leaveButton"));
        QVERIFY(leave && leave->isVisible());
        QTest::mouseClick(leave, Qt::LeftButton);
        QVERIFY(destroyed.wait(5000));
        QCOMPARE(h.window->view().loggedInStack->currentWidget(), h.window->view().lobbyWidget);
        QVERIFY(!h.window->games()->hasTable(tableId));
        step("left");

        // --- Quit by its button, Escape (No), again, Yes: the loop ends with 0
        QTest::mouseClick(h.window->view().quitButton, Qt::LeftButton);
        QTRY_VERIFY(h.window->quitQuestion() != nullptr && h.window->quitQuestion()->isVisible());
        step("quit");
        QTRY_VERIFY(QApplication::focusWidget() == h.window->quitQuestion()->defaultButton()); // keys go to its No
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QTRY_VERIFY(h.window->quitQuestion() == nullptr);
        QTest::mouseClick(h.window->view().quitButton, Qt::LeftButton);
        QTRY_VERIFY(h.window->quitQuestion()->buttonBox()->button(QDialogButtonBox::Yes)->isEnabled());
        QTimer::singleShot(0, this, [this] {
            QTest::mouseClick(h.window->quitQuestion()->buttonBox()->button(QDialogButtonBox::Yes), Qt::LeftButton);
        });
        QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(1); });
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected.join(QLatin1Char('\n'))));
    }
#endif
};

int main(int argc, char** argv)
{
    WebSchemes::registerSchemes();
    MahjongApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Zephyrtangle"));
    QCoreApplication::setApplicationName(QStringLiteral("Zephyrtangle-parlor7-test"));
    JourneyHand test;
    return QTest::qExec(&test, argc, argv);
}
#include "journey_hand.moc"
