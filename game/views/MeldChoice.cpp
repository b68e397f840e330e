#include "MeldChoice.h"

#include "ClaimOffers.h"
#include "MeldView.h"
#include "TileGraphics.h"
#include "UPushButton.h"

#include <QEvent>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QPainter>
#include <QShortcut>
#include <QStyleOption>

#include <stdexcept>

MeldChoice::MeldChoice(const meld_offer& offer, QWidget* parent, tile lastDiscard)
    : QWidget(parent)
    , m_offer(offer)
    , m_scene(std::make_unique<QGraphicsScene>())
{
    QString error;
    m_kind = ClaimOffers::buttonKind(offer, lastDiscard, &error);
    if (m_kind < 0)
        throw std::runtime_error(error.toStdString());
    m_preview = std::make_unique<MeldView>(0, int(offer.type), offer.meld_tile, -1, -1, 0);
    m_preview->setPainter(TileGraphics::instance().basePainter());

    if (objectName().isEmpty())
        setObjectName(QStringLiteral("MeldChoice"));
    resize(225, 87);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    m_view = new QGraphicsView(this);
    m_view->setObjectName(QStringLiteral("meldChoiceView"));
    m_view->setGeometry(4, 4, 215, 45);
    m_view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_view->setFrameShape(QFrame::NoFrame);
    m_view->setStyleSheet(QStringLiteral("background: transparent"));
    // A picture only: the keys go from row button to row button.
    m_view->setFocusPolicy(Qt::NoFocus);
    m_button = new UPushButton(this);
    m_button->setObjectName(QStringLiteral("meldChoiceButton"));
    m_button->setGeometry(30, 53, 165, 32);
    m_button->setText(ClaimOffers::buttonText(m_kind));
    m_key = ClaimOffers::keyFor(m_button);

    m_preview->highlightTile(lastDiscard);
    m_scene->addItem(m_preview.get());
    m_view->setScene(m_scene.get());
    onTileGraphicsChanged();
    connect(m_button, &QPushButton::clicked, this, &MeldChoice::buttonClicked);
    connect(&TileGraphics::instance(), &TileGraphics::tileGraphicsChanged, this, &MeldChoice::onTileGraphicsChanged);
}

MeldChoice::~MeldChoice()
{
    // The preview is a member: take it out of the scene before either goes.
    m_scene->removeItem(m_preview.get());
}

QKeySequence MeldChoice::key() const
{
    return m_key->key();
}

void MeldChoice::setKey(const QKeySequence& key)
{
    m_key->setKey(key);
}

QSize MeldChoice::sizeHint() const
{
    return size();
}

void MeldChoice::buttonClicked()
{
    Q_EMIT selected(m_offer);
}

void MeldChoice::onTileGraphicsChanged()
{
    m_preview->relayout();
    const QRectF bounds = m_preview->childrenBoundingRect();
    m_scene->setSceneRect(bounds);
    m_view->centerOn(m_preview.get());
}

void MeldChoice::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        m_button->setText(ClaimOffers::buttonText(m_kind));
        m_preview->updateToolTips();
    }
    QWidget::changeEvent(event);
}

void MeldChoice::paintEvent(QPaintEvent*)
{
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
}
