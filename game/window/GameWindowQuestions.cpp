// What the table window lets the user answer: the chooser, the own hand and
// the wash-out notice's Ready are armed from the table's moment (what the
// server asks now) and from nothing else, whenever a question opens or ends.

#include "GameWindow.h"

#include "HandView.h"
#include "MeldAuction.h"
#include "WashoutWindow.h"

#include <QDebug>

#include <utility>

void GameWindow::armControls()
{
    const TableMoment* moment = m_model ? &m_model->moment() : nullptr;
    const TableMoment::Question* choice = moment ? moment->choice() : nullptr;

    // The chooser shows an open question only; one still to be built waits
    // for its own.
    if (m_shownChoice != 0 && (!choice || choice->id != m_shownChoice)) {
        m_shownChoice = 0;
        m_auction->hide();
    }
    if (m_pendingClaim && !(moment && moment->isOpen(m_pendingClaim->question)))
        m_pendingClaim.reset();

    // The hand takes the own discard while the turn (or its declaration) is
    // open and no other player's tile is on offer; with riichi chosen, one of
    // the tiles riichi may be declared with.
    bool active = false;
    bool riichi = false;
    tile_vector allowed;
    const PlayerData* own = m_model && m_model->isOwnPlayerSeated() ? m_model->ownPlayer() : nullptr;
    if (own && choice && choice->riichiChosen) {
        active = riichi = true;
        allowed = moment->riichiTiles();
    } else if (own) {
        const bool onOffer = choice && (choice->kind == TableMoment::Claim || choice->kind == TableMoment::RobKong);
        const TableMoment::Question* turn = moment->turn();
        if (!turn && choice && choice->kind == TableMoment::Declaration)
            turn = choice;
        active = turn && !onOffer;
        // A player in riichi may only discard what was drawn. After a rebuild
        // from a snapshot the drawn tile is not known, and an empty list would
        // allow any tile: no tile may be chosen then, the server discards.
        if (active && own->riichiDiscardIndex() != -1) {
            allowed = own->lastDrawn();
            if (allowed.empty()) {
                active = false;
                if (std::exchange(m_riichiWarned, turn->id) != turn->id)
                    qWarning() << "in riichi without a known drawn tile; nothing to choose";
            }
        }
    }
    if (active != m_hand->isActive() || allowed != m_hand->allowedTiles()) {
        if (!active || riichi)
            m_hand->clearHighlights();
        m_hand->setActive(active);
        m_hand->setAllowedTiles(allowed);
        if (riichi)
            for (tile t : allowed)
                m_hand->highlightTile(t);
    }

    m_washout->setReadyEnabled(moment && moment->ready());
}

void GameWindow::hideChooser()
{
    m_pendingClaim.reset();
    m_shownChoice = 0;
    m_auction->hide();
}

bool GameWindow::isRiichiMode() const
{
    const TableMoment::Question* choice = m_model ? m_model->moment().choice() : nullptr;
    return choice && choice->riichiChosen;
}
