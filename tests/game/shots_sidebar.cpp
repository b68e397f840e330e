// Screenshots of the side bar with four seat panels (one highlighted, one
// ready, one with a claim) and of each table notice, with the application's
// style sheets, saved in the working directory.

#include "ArtSearchPaths.h"
#include "GameFixtures.h"
#include "GameModel.h"
#include "PlayerInactiveWindow.h"
#include "PlayerWidget.h"
#include "ServerTime.h"
#include "SideBar.h"
#include "TimeSpan.h"
#include "Utils.h"
#include "WaitingForPlayersWindow.h"
#include "WashoutWindow.h"

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QTranslator>

using namespace fixtures;

class ShotsSideBar : public QObject
{
    Q_OBJECT

    QTranslator english;

    /// Pixels that differ from the most common colour: a blank capture has none.
    static int busyPixels(const QImage& image)
    {
        const QImage img = image.convertToFormat(QImage::Format_RGB32);
        const QRgb background = img.pixel(img.width() - 1, img.height() - 1);
        int busy = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                busy += img.pixel(x, y) != background ? 1 : 0;
        return busy;
    }

    static void save(QWidget& w, const QString& name)
    {
        const QImage shot = w.grab().toImage();
        QVERIFY(shot.save(name));
        QVERIFY2(busyPixels(shot) > shot.width() * shot.height() / 20, qPrintable(name));
    }

private Q_SLOTS:
    void initTestCase()
    {
        ArtSearchPaths::install();
        QVERIFY(english.load(QStringLiteral(TABLE_EN_QM)));
        QCoreApplication::installTranslator(&english);
        qApp->setStyleSheet(readTextFile(QStringLiteral("resources:/defaultui.css"))
                            + readTextFile(QStringLiteral("resources:/customui.css")));
    }

    void sideBarWithFourPanels()
    {
        GameModel model(tableId, table(2, 2), ownId, QStringLiteral("me"));
        model.onGameData(412, game_protocol::server_game_state::TILE_DISCARDED_STATE, {},
                         tableState(11, -1, 2, 1), wallState(0, {}));
        QWidget window;
        window.setStyleSheet(QStringLiteral("QWidget#table { background: #1d4a2a; }"));
        window.setObjectName(QStringLiteral("table"));
        window.resize(229, 760);
        SideBar bar(nullptr, &window);
        bar.setGeometry(0, 0, 229, 760);
        TableInfo info = table(2, 2);
        info.value.setSettlement(1);
        info.value.setBet(1999996); // wider than the bar in one line
        info.value.setFee(4);
        info.value.setPlayers(4);
        bar.setModel(&model);
        bar.setTableInfo(info);
        bar.setHandId(412);
        const char* names[] = {"me", "Kasumi <3", "%1 Dragon", "Old Wang"};
        for (int i = 0; i < 4; ++i)
            bar.setPlayer(11 + i, QString::fromUtf8(names[i]), i, 25000 - 1300 * i, i, i == 2);
        bar.setScoresVisible(true);
        bar.setWindsVisible(true);
        bar.setActivePlayer(12);
        bar.setPlayerTimeSpan(12, TimeSpan(ServerTime::currentTime().addSecs(-4), qint64(10000)));
        bar.showPlayerClaim(14, 2, 0);
        QImage avatar(64, 64, QImage::Format_RGB32);
        for (int i = 0; i < 4; ++i) {
            avatar.fill(QColor::fromHsv(60 * i, 120, 200));
            bar.setPlayerAvatar(11 + i, QPixmap::fromImage(avatar));
        }
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        save(window, QStringLiteral("sidebar_four_players.png"));
    }

    void notices()
    {
        QWidget window;
        window.setObjectName(QStringLiteral("table"));
        window.setStyleSheet(QStringLiteral("QWidget#table { background: #1d4a2a; }"));
        window.resize(420, 260);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        WashoutWindow washout(&window);
        washout.setTableInfo(table(2, 0));
        washout.setWashoutType(9);
        washout.setReadyDeadline(ServerTime::currentTime().addSecs(12));
        washout.showDialog(true);
        QTest::qWait(50);
        save(window, QStringLiteral("notice_washout.png"));
        washout.hide();

        WaitingForPlayersWindow waiting(&window);
        waiting.onSeatsRemaining(2);
        waiting.showDialog(true);
        QTest::qWait(50);
        save(window, QStringLiteral("notice_waiting.png"));
        waiting.hide();

        PlayerInactiveWindow inactive(&window);
        inactive.showDialog(true);
        QTest::qWait(50);
        save(window, QStringLiteral("notice_inactive.png"));
    }
};

QTEST_MAIN(ShotsSideBar)
#include "shots_sidebar.moc"
