// Chat pane append cost, all measured in the same run and printed as ratios
// beside a floor: a pane that has reached its bound beside an empty pane, the
// full chat line (stamp, link, escaping) beside a bare rich-text append, and
// lines heavy for their length or their layout (200 characters, 1 MB, 1,000
// line breaks, stacked marks, 2,000 tabs, 1,000 "a" and tab pairs, 2,000
// typed characters, changes of script, ...) shown on a pane that holds 1,000
// lines beside a bare QTextEdit::append of the same text on a text edit that
// holds as many, with heights beside 2,000 wide characters'; each is measured
// once the pane's font look-ups are done. Goals, which fail the run: a line
// longer than the pane shows never takes as long as its bare append, a line
// of tabs (or of letters and tabs) takes at most the bare append's time, no
// line is higher than the widest text; the first line of 16 new scripts takes
// at most a tenth of the stall a bare text edit has, with no turn of half of it.
// Also the friends window taking a burst of presences from a large roster and
// a roster of 20,000 in one answer (or one push out), and a room panel entering a room of 500
// occupants and 1,000 lines, each beside the client library taking the same
// bytes with no window on it: the whole time and the longest event-loop turn;
// then that panel, full, taking 1,000 lines from one occupant beside 10: the longest turn (goal under 100 ms,
// printed).
#include "ChatController.h"
#include "ChatOutputWidget.h"
#include "ConferenceWidget.h"
#include "FontFallbacks.h"
#include "FriendsRosterModel.h"
#include "FriendsTestSession.h"
#include "FriendsWindow.h"

#include <QAbstractTextDocumentLayout>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

#include <QApplication>
#include <QElapsedTimer>
#include <QListView>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <optional>

namespace {

constexpr int Lines = 400;
constexpr int SideBarWidth = 229; // of the chat pane's text in a table's side bar
/// Milliseconds of the client taking some bytes, whole and its longest turn, with a window or bare.
using Measure = std::function<std::pair<double, double>(bool withWindow)>;

double perLineMicros(const std::function<void(int)>& append)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < Lines; ++i)
        append(i);
    return double(timer.nsecsElapsed()) / 1000.0 / Lines;
}

/// Milliseconds of one call, the pending layout and painting included.
double timedMs(const std::function<void()>& show)
{
    QElapsedTimer timer;
    timer.start();
    show();
    QApplication::processEvents();
    return double(timer.nsecsElapsed()) / 1e6;
}

/// A line of other users' typical text, n characters long: words, spaces,
/// punctuation and a few characters that need escaping.
QString typedText(qsizetype n)
{
    const QString words = QStringLiteral("Anyone up for a <riichi> game & a chat? Pon, chii, kan! ");
    QString text;
    text.reserve(n);
    while (text.size() < n)
        text += words;
    text.truncate(n);
    return text;
}

/// A letter each of Latin, Hebrew, Arabic, Devanagari, Thai, Cyrillic, Greek, Georgian, Armenian, Tamil, Kannada, Malayalam, Bengali, Gurmukhi, Khmer, Tibetan.
const QString sixteenScripts = QStringLiteral("a\u05D0\u0627\u0915\u0E01\u0430\u03B1\u10D0\u0531\u0B95\u0C95\u0D15\u0995\u0A15\u1780\u0F40");

template<typename Widget> void showFilled(Widget& w, const std::function<void(int)>& fill)
{
    w.resize(600, 400);
    w.show();
    for (int i = 0; i < ChatOutputWidget::MaxLines; ++i)
        fill(i);
    QApplication::processEvents();
    // The pane's font look-ups, once per font in the process, are not what is measured.
    FontFallbacks::waitForPrepared(60000);
}

/// Milliseconds of the client reading bytes, whole and its longest turn of
/// the event loop until they are shown (the painting that follows included).
std::pair<double, double> turnsOf(friendstest::Session& s, const QByteArray& bytes,
                                  const std::function<bool()>& shown = [] { return true; })
{
    QElapsedTimer total, turn;
    double worst = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        worst = qMax(worst, turn.nsecsElapsed() / 1e6);
        turn.start();
    });
    total.start();
    turn.start();
    ticker.start(0);
    if (!s.deliver(bytes))
        qFatal("bytes not read");
    if (!QTest::qWaitFor(shown, 60000))
        qFatal("bytes not shown");
    const double whole = total.nsecsElapsed() / 1e6;
    QTest::qWait(50);
    return {whole, worst};
}

/// Milliseconds of a burst sent to the client, whole and its longest turn
/// of the event loop: the bare client, or the client under a shown friends
/// window whose roster holds every sender.
std::pair<double, double> presenceBurst(int friends, int presences, bool withWindow)
{
    friendstest::Session s;
    std::optional<FriendsWindow> window;
    const auto jid = [](int i) { return QStringLiteral("%1@localhost").arg(100000 + i); };
    if (!s.login())
        qFatal("no session with the scripted server");
    QByteArray roster, burst;
    for (int i = 0; i < friends; ++i) {
        roster += friendstest::rosterPush(jid(i), QStringLiteral("both"));
        s.connection.setPlayerName(100000 + i, QStringLiteral("Player %1").arg(i)); // as from the lobby
    }
    for (int i = 0; i < presences; ++i)
        burst += friendstest::presence(jid(i % friends) + QStringLiteral("/r"), i / friends % 2 ? "away" : "dnd");
    if (withWindow) {
        window.emplace(&s.client, &s.playerDb);
        window->show();
        if (!s.deliver(roster) || window->rosterModel()->rowCount() < friends)
            qFatal("roster not shown");
        QTest::qWait(50); // the list lays its rows out once
    }
    return turnsOf(s, burst);
}

/// Milliseconds of one push removing every friend of a roster of `friends`:
/// the bare client, or until a shown friends window has no row left.
std::pair<double, double> rosterRemoved(int friends, bool withWindow)
{
    friendstest::Session s;
    std::optional<FriendsWindow> window;
    if (!s.login())
        qFatal("no session with the scripted server");
    QByteArray roster, removal = "<iq type='set' id='gone'><query xmlns='jabber:iq:roster'>";
    for (int i = 0; i < friends; ++i) {
        roster += friendstest::rosterPush(QStringLiteral("%1@localhost").arg(100000 + i), QStringLiteral("both"));
        removal += "<item jid='" + QByteArray::number(100000 + i) + "@localhost' subscription='remove'/>";
        s.connection.setPlayerName(100000 + i, QStringLiteral("Player %1").arg(i)); // as from the lobby
    }
    if (withWindow) {
        window.emplace(&s.client, &s.playerDb).show();
        if (!s.deliver(roster) || window->rosterModel()->rowCount() < friends)
            qFatal("roster not shown");
    }
    return turnsOf(s, removal + "</query></iq>", [&] { return !window || window->rosterModel()->rowCount() == 0; });
}

/// Milliseconds of the roster answer, one element naming every friend (names padded to
/// `nameLength`): read by the bare client, or until a friends window has laid out its last row.
std::pair<double, double> rosterShown(int friends, bool withWindow, int nameLength = 0)
{
    friendstest::Session s;
    std::optional<FriendsWindow> window;
    if (!s.login())
        qFatal("no session with the scripted server");
    if (withWindow)
        window.emplace(&s.client, &s.playerDb).show();
    else
        s.client.requestRoster();
    const QRegularExpression asked(QStringLiteral("<iq id=\"(\\d+)\" type=\"get\"><query xmlns=\"jabber:iq:roster\""));
    if (!s.peer.waitReceived(asked.pattern()))
        qFatal("no roster request");
    QByteArray answer = "<iq type='result' id='" + asked.match(s.wrote()).captured(1).toUtf8() + "'><query xmlns='jabber:iq:roster'>";
    for (int i = 0; i < friends; ++i) {
        s.connection.setPlayerName(100000 + i, QStringLiteral("Player %1").arg(i)); // as from the lobby
        answer += "<item jid='" + QByteArray::number(100000 + i) + "@localhost' subscription='both' name='Player " + QByteArray::number(i)
            + QByteArray(nameLength, 'x') + "'><group>Friends</group></item>";
    }
    return turnsOf(s, answer + "</query></iq>", [&] {
        return !window || !window->friendList()->visualRect(window->friendList()->model()->index(friends - 1, 0)).isEmpty();
    });
}

/// Milliseconds of entering a room that lists 500 occupants and 1,000 lines
/// of history: the bare room, or a shown room panel on it; with a `burst`,
/// those of the panel then taking as many lines from one occupant.
std::pair<double, double> roomEntry(bool withWindow, int burst = 0)
{
    friendstest::Session s;
    if (!s.login())
        qFatal("no session with the scripted server");
    ChatController chat{&s.playerDb, &s.client};
    chat.setConferenceJid(XMPPJid(QStringLiteral("conference.localhost")));
    s.playerDb.setOwnPlayer(1001, QStringLiteral("Ann"));
    XMPPConference bare;
    std::optional<ConferenceWidget> panel;
    if (withWindow) {
        panel.emplace().setChatController(&chat);
        if (burst)
            panel->resize(900, 300); // as wide as the lobby's pane
        panel->show();
        panel->joinTableRoom(5);
    } else {
        bare.setClient(&s.client);
        bare.setRoomJid(XMPPJid(QStringLiteral("conference.localhost"), QStringLiteral("table-5")));
        bare.join(QStringLiteral("Ann"));
    }
    if (!s.peer.waitReceived(QStringLiteral("<presence to=\"table-5@conference.localhost/Ann\"")))
        qFatal("room not asked for");
    const QByteArray from = "from='table-5@conference.localhost/", line = typedText(60).toHtmlEscaped().toUtf8();
    const QByteArray x = "<x xmlns='http://jabber.org/protocol/muc#user'><item affiliation='none' role='participant'/>";
    QByteArray entry;
    for (int i = 0; i < 500; ++i)
        entry += "<presence " + from + "Guest" + QByteArray::number(i) + "'>" + x + "</x></presence>";
    entry += "<presence " + from + "Ann'>" + x + "<status code='110'/></x></presence>";
    for (int i = 0; i < 1000; ++i)
        entry += "<message type='groupchat' " + from + "Guest" + QByteArray::number(i % 500) + "'><body>" + line
            + "</body><delay xmlns='urn:xmpp:delay' stamp='2026-12-07T10:00:00Z'/></message>";
    const auto entered = turnsOf(s, entry + "<message type='groupchat' " + from + "'><subject>" + line + "</subject></message>",
                                 [&] { return !panel || panel->isJoined(); });
    if (!burst)
        return entered;
    const auto lastLine = [&] { return panel->chatOutput()->document()->lastBlock().text(); };
    if (!QTest::qWaitFor([&] { return lastLine().contains(QStringLiteral("Guest499:")); }, 60000))
        qFatal("history not shown: %s", qPrintable(lastLine()));
    QByteArray lines;
    for (int i = 0; i < burst; ++i)
        lines += "<message type='groupchat' " + from + "Guest7'><body>" + line + " #" + QByteArray::number(i) + "</body></message>";
    return turnsOf(s, lines, [&] { return lastLine().contains(QStringLiteral(" #%1").arg(burst - 1)); });
}

}

Q_DECLARE_METATYPE(Measure)

class BenchChatOutput : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    /// The first line of 16 scripts new to the process: on a pane, whose
    /// font's fallbacks were found since it was made (and the longest turn
    /// that took), and on a bare text edit, beside a first Latin line on a
    /// pane; each in a font of its own.
    void firstLineOfNewScripts()
    {
        double longestTurn = 0;
        const auto onPane = [&](const char* family, const QString& text) {
            ChatOutputWidget pane;
            pane.setFont(QFont(QString::fromLatin1(family)));
            pane.show();
            QElapsedTimer turn;
            QTimer ticks;
            connect(&ticks, &QTimer::timeout, &ticks, [&] { longestTurn = qMax(longestTurn, turn.restart() * 1.0); });
            ticks.start(0);
            turn.start();
            if (!FontFallbacks::waitForPrepared(60000))
                qFatal("no fonts found in a minute");
            return timedMs([&] { pane.appendMessage(QDateTime::currentDateTimeUtc(), QStringLiteral("Bob"), text); });
        };
        const double ordinary = onPane("DejaVu Serif", typedText(60));
        longestTurn = 0;
        const double prepared = onPane("DejaVu Sans Mono", sixteenScripts);
        QTextEdit bare;
        bare.setFont(QFont(QStringLiteral("Noto Serif CJK JP")));
        bare.show();
        const double cold = timedMs([&] { bare.append(sixteenScripts); });
        qInfo("first line of 16 new scripts / first Latin line: %.2f on a pane (%.1f ms), %.2f on a bare text edit "
              "(%.1f ms), Latin %.1f ms; longest turn finding the fonts / the bare line %.2f (%.1f ms)",
              prepared / ordinary, prepared, cold / ordinary, cold, ordinary, longestTurn / cold, longestTurn);
        QVERIFY(prepared < cold / 10); // goals: a tenth of the stall at most,
        QVERIFY(longestTurn < cold / 2); // and no turn half of it
    }

    void appendCost()
    {
        const QDateTime t = QDateTime::currentDateTimeUtc();
        const QString text = QStringLiteral("Anyone up for a <riichi> game & a chat?");

        QTextBrowser bare;
        const double floor = perLineMicros([&](int i) {
            bare.append(QStringLiteral("<font color=\"#e8e8e8\">%1 %2</font>").arg(i).arg(text.toHtmlEscaped()));
        });

        ChatOutputWidget fresh;
        const double empty = perLineMicros([&](int i) { fresh.appendMessage(t, QStringLiteral("Bob"), text); });

        ChatOutputWidget full;
        for (int i = 0; i < ChatOutputWidget::MaxLines + 200; ++i)
            full.appendMessage(t, QStringLiteral("Bob"), text);
        const double bounded = perLineMicros([&](int i) { full.appendMessage(t, QStringLiteral("Bob"), text); });
        QVERIFY(full.document()->blockCount() < ChatOutputWidget::MaxLines + ChatOutputWidget::TrimChunk);

        qInfo().noquote() << QStringLiteral("chat line on an empty pane / bare rich-text append: %1")
                                 .arg(empty / floor, 0, 'f', 2);
        qInfo().noquote() << QStringLiteral("chat line on a full (bounded) pane / on an empty pane: %1")
                                 .arg(bounded / empty, 0, 'f', 2);
    }

    void longLines_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("repeats");
        QTest::addColumn<double>("goal"); // the most a line may take of the bare append's time; 0: none
        QTest::newRow("200 characters") << typedText(200) << 50 << 0.0;
        QTest::newRow("1 MB") << typedText(1024 * 1024) << 3 << 0.0;
        // Lines whose cost is in the layout, not the length.
        QTest::newRow("2,000 characters of 1,000 line breaks") << QStringLiteral("a\n").repeated(1000) << 20 << 0.0;
        QTest::newRow("2,000 characters of stacked marks")
            << (QStringLiteral("Z") + QString(99, QChar(0x0301))).repeated(20) << 20 << 0.0;
        const QString marks = QStringLiteral("a") + QStringLiteral("\u0301\u0301\u2060").repeated(666);
        QTest::newRow("marks with format characters") << marks << 20 << 0.0;
        // A tab shown as an em space; the bare edit's tabs take a run each.
        QTest::newRow("2,000 tabs") << QString(2000, QLatin1Char('\t')) << 20 << 1.0;
        QTest::newRow("1,000 a and tab pairs") << QStringLiteral("a\t").repeated(1000) << 20 << 1.0;
        QTest::newRow("2,000 typed characters") << typedText(2000) << 20 << 0.0;
        QTest::newRow("alternating Latin and Hebrew") << QStringLiteral("a\u05D0").repeated(1000) << 20 << 0.0;
        QTest::newRow("a letter of each of 16 scripts") << sixteenScripts.repeated(125) << 20 << 0.0;
        QTest::newRow("Thai without spaces") << QStringLiteral("\u0E2A\u0E27\u0E31\u0E2A\u0E14\u0E35\u0E04\u0E23\u0E31\u0E1A").repeated(200) << 20 << 0.0;
        QTest::newRow("2,000 object replacements") << QString(2000, QChar(0xFFFC)) << 20 << 0.0;
        QTest::newRow("2,000 Hangul jamo") << QString(2000, QChar(0x1100)) << 20 << 0.0;
        QTest::newRow("subject: marks with format characters") << marks << 20 << 0.0; // set as the room's subject
    }

    void longLines()
    {
        QFETCH(QString, text);
        QFETCH(int, repeats);
        QFETCH(double, goal);
        const qsizetype length = text.size();
        const QDateTime t = QDateTime::currentDateTimeUtc();
        const QString filler = typedText(60);

        ConferenceWidget room; // its pane as wide as a table's side bar shows it
        ChatOutputWidget& pane = *room.chatOutput();
        pane.setFixedWidth(SideBarWidth + 2 * pane.frameWidth() + pane.verticalScrollBar()->sizeHint().width());
        XMPPMessage line;
        line.setFrom(XMPPJid::fromText(QStringLiteral("table-1@conference.localhost/Bob")));
        (QByteArray(QTest::currentDataTag()).startsWith("subject") ? line.stanza().subjects : line.stanza().bodies).insert(QString(), text);
        const auto show = [&] { Q_EMIT room.conference().message(line); };
        showFilled(room, [&](int) { pane.appendMessage(t, QStringLiteral("Bob"), filler); });
        // The first lines fill the glyph caches; what is measured comes after.
        for (int i = 0; i < 3; ++i)
            timedMs(show);
        double paneMs = 0;
        double worstMs = 0;
        for (int i = 0; i < repeats; ++i) {
            const double ms = timedMs(show);
            paneMs += ms / repeats;
            worstMs = qMax(worstMs, ms);
        }
        const auto lastHeight = [&] { return pane.document()->documentLayout()->blockBoundingRect(pane.document()->lastBlock()).height(); };
        const qreal height = lastHeight();
        // At the width of the line's rows, which stand in under the name.
        const QTextBlockFormat rows = pane.document()->lastBlock().blockFormat();
        pane.setPlainText(QString(ChatOutputWidget::MaxTextLength, QChar(0x6C34)));
        QTextCursor(pane.document()->lastBlock()).setBlockFormat(rows);
        const qreal wideHeight = lastHeight();

        // The floor: the same text, escaped, appended to a plain text edit
        // holding as many lines. Once per run: it is the slow path itself.
        QTextEdit bare;
        showFilled(bare, [&](int) { bare.append(filler.toHtmlEscaped()); });
        const QString escaped = text.toHtmlEscaped();
        bare.append(escaped.left(ChatOutputWidget::MaxTextLength));
        QApplication::processEvents();
        const double bareMs = timedMs([&] { bare.append(escaped); });

        qInfo().noquote() << QStringLiteral("chat line of %1 on a pane of %2 lines / bare "
                                            "QTextEdit::append of the same text: %3 (worst line %4 of the bare "
                                            "append's time; %5 ms per line, worst %6 ms, bare %7 ms); its height "
                                            "at the side bar's width / that of %8 wide characters: %9")
                                 .arg(QString::fromLatin1(QTest::currentDataTag()))
                                 .arg(ChatOutputWidget::MaxLines)
                                 .arg(paneMs / bareMs, 0, 'f', 4)
                                 .arg(worstMs / bareMs, 0, 'f', 4)
                                 .arg(paneMs, 0, 'f', 2)
                                 .arg(worstMs, 0, 'f', 2)
                                 .arg(bareMs, 0, 'f', 1)
                                 .arg(ChatOutputWidget::MaxTextLength)
                                 .arg(height / wideHeight, 0, 'f', 2);
        // The bounds every line must meet, whatever the machine's speed: a
        // line never takes as long as the unbounded append of its text would
        // when that text is long, nor more room than the widest text.
        if (length > ChatOutputWidget::MaxTextLength)
            QVERIFY2(worstMs < bareMs, qPrintable(QStringLiteral("%1 ms beside %2 ms").arg(worstMs).arg(bareMs)));
        if (goal > 0)
            QVERIFY2(paneMs <= goal * bareMs, qPrintable(QStringLiteral("%1 ms a line beside %2 ms").arg(paneMs).arg(bareMs)));
        QVERIFY2(height <= wideHeight, qPrintable(QStringLiteral("%1 px beside %2 px").arg(height).arg(wideHeight)));
        QVERIFY(pane.document()->blockCount() < ChatOutputWidget::MaxLines + ChatOutputWidget::TrimChunk);
    }

    void windowBesideBareClient_data()
    {
        QTest::addColumn<Measure>("measure"); // given whether a window shows what the client reads
        QTest::newRow("roster of 20,000 friends (one element of 1.9 MB), window")
            << Measure([](bool w) { return rosterShown(20000, w); });
        QTest::newRow("roster of 20,000 friends with long names (one element of 15.9 MB), window")
            << Measure([](bool w) { return rosterShown(20000, w, 700); });
        QTest::newRow("roster of 130,000 friends (one element of 12.5 MB), window")
            << Measure([](bool w) { return rosterShown(130000, w); });
        QTest::newRow("entering a room of 500 occupants and 1,000 lines, room panel") << Measure([](bool w) { return roomEntry(w); });
        for (const int friends : {1000, 10000})
            QTest::newRow(qPrintable(QStringLiteral("30,000 presences from %L1 friends, window").arg(friends)))
                << Measure([friends](bool w) { return presenceBurst(friends, 30000, w); });
        for (const int friends : {1000, 10000})
            QTest::newRow(qPrintable(QStringLiteral("a push removing all %L1 friends, window").arg(friends)))
                << Measure([friends](bool w) { return rosterRemoved(friends, w); });
    }

    void burstFromOneOccupant()
    {
        friendstest::setUpEnvironment();
        const double few = roomEntry(true, 10).second, many = roomEntry(true, 1000).second;
        qInfo("1,000 lines from one occupant on a full room pane / 10 lines: longest turn %.2f (%.1f ms beside %.1f ms; "
              "goal: under 100 ms: %s)", many / few, many, few, many < 100 ? "met" : "MISSED");
    }

    void windowBesideBareClient()
    {
        QFETCH(Measure, measure);
        friendstest::setUpEnvironment();
        const auto alone = measure(false), shown = measure(true);
        qInfo().noquote() << QStringLiteral("%1 / client alone: whole %2 (%3 ms), longest turn %4 (%5 ms beside %6 ms)")
                                 .arg(QString::fromLatin1(QTest::currentDataTag()))
                                 .arg(shown.first / alone.first, 0, 'f', 2)
                                 .arg(shown.first, 0, 'f', 0)
                                 .arg(shown.second / alone.second, 0, 'f', 2)
                                 .arg(shown.second, 0, 'f', 1)
                                 .arg(alone.second, 0, 'f', 1);
    }
};

QTEST_MAIN(BenchChatOutput)
#include "bench_chat_output.moc"
