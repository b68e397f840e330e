// Every chat pane of the program under its style sheet is readable: each
// colour of the lines a pane holds (written as soon as the pane was made,
// as a table's first notices are) has a contrast of at least 4.5:1 against
// what the pane paints behind it, in the lobby, the table's side bar and a
// tournament window, with the input usable, off, and replaced by the
// offline notice.
#include "ArtSearchPaths.h"
#include "ChatController.h"
#include "ChatOutputWidget.h"
#include "ConferenceWidget.h"
#include "ConnectionManager.h"
#include "PlayerDb.h"
#include "SideBar.h"
#include "SocialHub.h"
#include "TournamentView.h"
#include "TournamentWindow.h"
#include "UTabWidget.h"
#include "Utils.h"
#include "XMPPClient.h"

#include "../lobby/TournamentTestData.h"
#include "../lobby/TournamentTestMain.h"
#include "../support/ContrastRatio.h"

#include <QLabel>
#include <QLineEdit>
#include <QStyleFactory>
#include <QTextBlock>
#include <QTextDocument>
#include <QTest>

#include <map>

namespace {

/// The ink of every piece of text the document holds, named by its text.
QList<std::pair<QString, QColor>> inksOf(const QTextDocument* document, const QColor& plain)
{
    QList<std::pair<QString, QColor>> inks;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment piece = it.fragment();
            if (piece.text().trimmed().isEmpty())
                continue;
            const QBrush brush = piece.charFormat().foreground();
            inks.append({piece.text().trimmed().left(24), brush.style() == Qt::NoBrush ? plain : brush.color()});
        }
    }
    return inks;
}

/// Writes what a pane shows first: a notice, and a line with a nick.
void writeFirstLines(ConferenceArea* pane)
{
    pane->appendInfo(QStringLiteral("Hand started"));
    auto* output = static_cast<ConferenceWidget*>(pane)->chatOutput();
    output->appendMessage(QDateTime::currentDateTime(), QStringLiteral("Bob"), QStringLiteral("hi"));
}

/// The colours a widget paints in the part of its area a line of text can
/// stand on (from `top` down), each covering a tenth of it at least, most
/// frequent first.
QList<QColor> backgroundOf(QWidget* widget, int top = 0)
{
    const QImage image = widget->grab().toImage();
    std::map<QRgb, int> counts;
    int total = 0;
    for (int y = std::min(top, image.height() - 1); y < image.height() - 2; ++y) {
        for (int x = 4; x < image.width() - 4; ++x) {
            ++counts[image.pixel(x, y)];
            ++total;
        }
    }
    QList<std::pair<int, QRgb>> sorted;
    for (const auto& [rgb, n] : counts) {
        if (n * 10 >= total)
            sorted.append({n, rgb});
    }
    std::sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    QList<QColor> colours;
    for (const auto& [n, rgb] : sorted)
        colours.append(QColor(rgb));
    return colours;
}

}

class TestChatContrast : public QObject
{
    Q_OBJECT

    XMPPClient client;
    ConnectionManager connection{false};
    PlayerDb playerDb{&connection, &client};
    ChatController chat{&playerDb, &client};
    SocialHub hub{&playerDb, &chat};

    /// Checks one pane in its current state; `what` names it in failures.
    void checkPane(ConferenceWidget* pane, const QString& what)
    {
        QVERIFY2(pane->isVisible(), qPrintable(what));
        ChatOutputWidget* output = pane->chatOutput();
        // Below the top edge, which may be a shadow painted by the frame.
        const QList<QColor> grounds = backgroundOf(output, 12);
        QVERIFY2(!grounds.isEmpty(), qPrintable(what));
        const QList<std::pair<QString, QColor>> inks = inksOf(output->document(), output->palette().color(QPalette::Text));
        QVERIFY2(inks.size() >= 5, qPrintable(what)); // date, notice, time, nick, line
        for (const auto& [name, ink] : inks) {
            for (const QColor& ground : grounds) {
                const double ratio = contrast::ratio(ink, ground);
                QVERIFY2(ratio >= 4.5, qPrintable(QStringLiteral("%1: \"%2\" %3 on %4 is %5:1")
                                                      .arg(what, name, ink.name(), ground.name())
                                                      .arg(ratio, 0, 'f', 2)));
            }
        }
        // The input line as it is now (usable or off), and the notice over it.
        for (QWidget* bottom : {static_cast<QWidget*>(pane->chatInput()), static_cast<QWidget*>(pane->chatState())}) {
            if (!bottom->isVisible())
                continue;
            const QColor ground = backgroundOf(bottom, 3).first();
            const QPalette::ColorGroup group = bottom->isEnabled() ? QPalette::Active : QPalette::Disabled;
            const QColor ink = bottom->palette().color(group, bottom == pane->chatState() ? QPalette::WindowText
                                                                                          : QPalette::Text);
            const double ratio = contrast::ratio(ink, ground);
            QVERIFY2(ratio >= 4.5, qPrintable(QStringLiteral("%1: %2 %3 on %4 is %5:1")
                                                  .arg(what, bottom->objectName(), ink.name(), ground.name())
                                                  .arg(ratio, 0, 'f', 2)));
        }
    }

    void checkStates(ConferenceWidget* pane, const QString& what)
    {
        // Off: not in a room (the state of every pane before its room answers).
        QVERIFY(!pane->chatInput()->isEnabled());
        checkPane(pane, what + QStringLiteral(", input off"));
        // Usable, as in a joined room.
        pane->chatInput()->setEnabled(true);
        pane->chatInput()->setText(QStringLiteral("hello"));
        checkPane(pane, what + QStringLiteral(", input usable"));
        pane->chatInput()->clear();
        pane->chatInput()->setEnabled(false);
    }

private Q_SLOTS:
    void initTestCase()
    {
        ArtSearchPaths::install();
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        qApp->setStyleSheet(readTextFile(QStringLiteral("resources:/defaultui.css"))
                            + readTextFile(QStringLiteral("resources:/customui.css")));
    }

    void everyPaneInEveryState()
    {
        QWidget lobbyPage;
        lobbyPage.setObjectName(QStringLiteral("lobbyWidget"));
        auto* lobby = static_cast<ConferenceWidget*>(hub.createConferenceArea(&lobbyPage, 0));
        lobby->setObjectName(QStringLiteral("lobbyChat"));
        lobby->resize(440, 300);
        writeFirstLines(lobby);
        lobbyPage.resize(440, 300);
        lobbyPage.show();

        SideBar bar(&hub);
        auto* table = bar.findChild<ConferenceWidget*>();
        QVERIFY(table);
        writeFirstLines(table);
        bar.resize(229, 700);
        bar.show();

        TournamentWindow tournament(TournamentTestData::tournament(8, QStringLiteral("Cup"), 0), &hub);
        writeFirstLines(tournament.view()->conference);
        tournament.resize(760, 600);
        tournament.show();
        tournament.view()->tournamentTabs->setCurrentIndex(3);
        auto* tournamentChat = qobject_cast<ConferenceWidget*>(tournament.view()->conference);
        QVERIFY(tournamentChat);
        QVERIFY(QTest::qWaitForWindowExposed(&tournament));

        const std::pair<const char*, ConferenceWidget*> panes[] = {
            {"lobby", lobby}, {"table side bar", table}, {"tournament", tournamentChat}};
        for (const auto& [name, pane] : panes)
            checkStates(pane, QLatin1String(name));

        // The chat connection is lost: each pane says so in place of its input.
        Q_EMIT client.disconnected();
        for (const auto& [name, pane] : panes) {
            QVERIFY(pane->chatState()->isVisible());
            checkPane(pane, QLatin1String(name) + QStringLiteral(", offline"));
        }
    }
};

PARLOR_WEBVIEW_TEST_MAIN(TestChatContrast)
#include "tst_chat_contrast.moc"
