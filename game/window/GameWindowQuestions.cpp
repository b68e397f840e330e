// What the table window lets the user answer: the chooser, the own hand and
// the wash-out notice's Ready are armed from the table's moment (what the
// server asks now) and from nothing else, whenever a question opens or ends
// or its span ends by the server's clock.

#include "GameWindow.h"

#include "HandView.h"
#include "MeldAuction.h"
#include "ServerTime.h"
#include "WashoutWindow.h"

#include <QApplication>
#include <QDebug>
#include <QGraphicsView>
#include <QTimer>

#include <algorithm>

#include <utility>

void GameWindow::armControls()
{
    const TableMoment* moment = m_model ? &m_model->moment() : nullptr;
    const TableMoment::Question* choice = moment ? moment->choice() : nullptr;

    // The chooser shows an open question only; one still to be built waits
    // for its own (see showMeldSuggestion).
    if (m_shownChoice != 0 && (!choice || choice->id != m_shownChoice)) {
        m_shownChoice = 0;
        m_auction->hide();
    }
    // A question whose time ran out by the server's clock waits for the
    // server's time-out with its controls off: an answer now would come late.
    const auto answerable = [](const TableMoment::Question* q) { return q && !TableMoment::hasExpired(q->span); };
    // Qt would hand the keys of a control turned off to the next one on the
    // page; they stay with the table.
    const QWidget* keys = QApplication::focusWidget();
    if (!answerable(choice) && keys && (keys == m_auction || m_auction->isAncestorOf(keys)))
        m_view->setFocus(Qt::OtherFocusReason);
    m_auction->setEnabled(answerable(choice));

    // The hand takes the own discard while one is asked; with riichi chosen,
    // one of the tiles riichi may be declared with.
    const PlayerData* own = m_model && m_model->isOwnPlayerSeated() ? m_model->ownPlayer() : nullptr;
    const TableMoment::Question* asked = own ? moment->discardAsked() : nullptr;
    const bool riichi = asked && asked->riichiChosen;
    bool active = answerable(asked);
    tile_vector allowed;
    if (riichi) {
        allowed = moment->riichiTiles();
    } else if (active && own->riichiDiscardIndex() != -1) {
        // A player in riichi may only discard what was drawn. After a rebuild
        // from a snapshot the drawn tile is not known, and an empty list would
        // allow any tile: no tile may be chosen then, the server discards.
        allowed = own->lastDrawn();
        if (allowed.empty()) {
            active = false;
            if (std::exchange(m_riichiWarned, asked->id) != asked->id)
                qWarning() << "in riichi without a known drawn tile; nothing to choose";
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

    m_washout->setReadyEnabled(moment && answerable(moment->ready()));

    // Qt's timers do not count a machine's sleep: the clock is looked at
    // again at least each turnLimit.
    const std::optional<qint64> left = moment ? moment->msecsToNextEnd() : std::nullopt;
    if (left)
        m_spanEndTimer->start(int(std::clamp<qint64>(*left + 1, 0, ServerTime::turnLimit)));
    else
        m_spanEndTimer->stop();
}

void GameWindow::hideChooser()
{
    m_pendingClaim = 0;
    m_shownChoice = 0;
    m_auction->hide();
}

bool GameWindow::isRiichiMode() const
{
    const TableMoment::Question* choice = m_model ? m_model->moment().choice() : nullptr;
    return choice && choice->riichiChosen;
}
