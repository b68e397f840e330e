// The developer preview behind Ctrl+Alt+D: the end-of-hand score board, the
// claim chooser and the round score board, filled with fixed sample data.
// Nothing goes to the server.
#include "MainWindow.h"

#include "MeldAuction.h"
#include "PictureFile.h"
#include "RoundScoreBoard.h"
#include "ScoreBoard.h"
#include "TableInfo.h"
#include "TileGraphics.h"
#include "TournamentInfo.h"
#include "TournamentRoundScores.h"

#include <QPixmap>

namespace {

QList<ScoreItem> pointBreaks(int count)
{
    QList<ScoreItem> items;
    for (int i = 0; i < count; ++i)
        items << ScoreItem(QStringLiteral("point break"), 2);
    return items;
}

}

void MainWindow::onDisplayMiscDialogs()
{
    TileGraphics& tiles = TileGraphics::instance();
    if (tiles.tileFace().isEmpty() || tiles.tileBlank().isEmpty())
        tiles.setTiles(0, 0);

    auto* scores = new ScoreBoard(this);
    scores->setAttribute(Qt::WA_DeleteOnClose);
    player_score sample;
    sample.pid = 1;
    sample.name = QStringLiteral("Sample Player");
    sample.points = pointBreaks(5);
    sample.doubles = pointBreaks(5);
    sample.limitHands = pointBreaks(4);
    sample.pointsTotal = 10;
    sample.doublesTotal = 10;
    sample.limitHandsTotal = 8;
    scores->showScores({sample}, -1, 1, TableInfo(), false);
    const char* avatars[] = {"resources:/avatar-default-1.png", "resources:/avatar-default-2.png",
                             "resources:/avatar-default-blue.png"};
    for (int column = 0; column < 3; ++column)
        scores->setAvatar(column, PictureFile::pixmap(QLatin1String(avatars[column])));
    scores->show();

    auto* auction = new MeldAuction(this);
    auction->setAttribute(Qt::WA_DeleteOnClose);
    for (tile beside : {tile(0), tile(1), tile(2)})
        auction->addOffer(meld_offer{game_protocol::meld_type::CHOW, tile(0)}, beside);
    auction->showCloseButton();
    auction->showPassButton();
    // Twice: the chooser's size settles once its buttons are laid out.
    for (int i = 0; i < 2; ++i) {
        auction->resize(auction->sizeHint());
        auction->move(geometry().center() - auction->rect().center());
        auction->show();
        auction->raise();
    }

    auto* round = new RoundScoreBoard(&socialHub, this);
    round->setAttribute(Qt::WA_DeleteOnClose);
    round->setTournamentInfo(TournamentInfo());
    TournamentRoundScores rows(3);
    for (round_score_row& row : rows)
        row.pid = -1;
    round->showRoundScores(rows);
    round->show();
}
