#pragma once

#include "meld.h"

#include <QWidget>

#include <memory>

class MeldView;
class QGraphicsScene;
class QGraphicsView;
class QKeySequence;
class QShortcut;
class UPushButton;

/// One offered meld in the claim chooser: a preview of the meld (the claimed
/// tile highlighted) above a button that picks it.
class MeldChoice : public QWidget
{
    Q_OBJECT

public:
    /// Throws std::runtime_error for an offer no choice can show; the claim
    /// chooser checks offers with ClaimOffers::buttonKind first.
    MeldChoice(const meld_offer& offer, QWidget* parent, tile lastDiscard);
    ~MeldChoice() override;

    const meld_offer& offer() const { return m_offer; }
    /// 0-2 chow low/mid/high, 3 kong, 4 pong, 5 pong to kong, 6 riichi.
    int buttonKind() const { return m_kind; }
    UPushButton* button() const { return m_button; }
    /// The key that picks the choice (empty: none).
    QKeySequence key() const;
    void setKey(const QKeySequence& key);
    MeldView* preview() const { return m_preview.get(); }
    QGraphicsView* view() const { return m_view; }

    QSize sizeHint() const override;

Q_SIGNALS:
    /// The choice's button was pressed.
    void selected(meld_offer offer);

public Q_SLOTS:
    void buttonClicked();
    /// Lays the preview out again and centres it.
    void onTileGraphicsChanged();

protected:
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    meld_offer m_offer;
    int m_kind = -1;
    QGraphicsView* m_view = nullptr;
    UPushButton* m_button = nullptr;
    QShortcut* m_key = nullptr;
    std::unique_ptr<QGraphicsScene> m_scene;
    std::unique_ptr<MeldView> m_preview;
};
