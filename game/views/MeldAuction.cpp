#include "MeldAuction.h"

#include "ClaimOffers.h"
#include "MeldChoice.h"
#include "ModelessMsgBox.h"
#include "PictureFile.h"
#include "UPushButton.h"

#include <QDebug>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QSet>
#include <QShortcut>
#include <QVBoxLayout>

#include <algorithm>
#include <stdexcept>

MeldAuction::MeldAuction(QWidget* parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("MeldAuction"));
    resize(336, 66);
    auto* vbox = new QVBoxLayout(this);
    vbox->setObjectName(QStringLiteral("vboxLayout"));
    vbox->setSpacing(0);
    vbox->setContentsMargins(0, 0, 0, 0);
    title = new QLabel(this);
    title->setObjectName(QStringLiteral("MeldAuctionTitle"));
    vbox->addWidget(title);
    meldChoice = new QWidget(this);
    meldChoice->setObjectName(QStringLiteral("meldChoice"));
    auto* choices = new QVBoxLayout(meldChoice);
    choices->setObjectName(QStringLiteral("meldChoiceLayout"));
    choices->setSpacing(0);
    choices->setContentsMargins(0, 0, 0, 0);
    choices->setSizeConstraint(QLayout::SetFixedSize);
    vbox->addWidget(meldChoice);
    auto* buttonRow = new QFrame(this);
    buttonRow->setObjectName(QStringLiteral("MeldAuctionButtonRow"));
    auto* hbox = new QHBoxLayout(buttonRow);
    hbox->setObjectName(QStringLiteral("hboxLayout"));
    riichi = new UPushButton(buttonRow);
    riichi->setObjectName(QStringLiteral("riichiButton"));
    mahjong = new UPushButton(buttonRow);
    mahjong->setObjectName(QStringLiteral("mahjongButton"));
    pass = new UPushButton(buttonRow);
    pass->setObjectName(QStringLiteral("passButton"));
    close = new UPushButton(buttonRow);
    close->setObjectName(QStringLiteral("closeButton"));
    for (UPushButton* b : {riichi, mahjong, pass, close})
        hbox->addWidget(b);
    vbox->addWidget(buttonRow);
    mahjongShortcut = ClaimOffers::keyFor(mahjong);
    passShortcut = ClaimOffers::keyFor(pass);
    riichiShortcut = ClaimOffers::keyFor(riichi);
    retranslate();
    connect(mahjong, &QPushButton::clicked, this, &MeldAuction::mahjongClicked);
    connect(riichi, &QPushButton::clicked, this, &MeldAuction::riichiClicked);
    connect(pass, &QPushButton::clicked, this, &MeldAuction::passClicked);
    connect(close, &QPushButton::clicked, this, &MeldAuction::closeClicked);
    // Escape declines whatever the chooser asks: a pass where a pass is
    // offered, else it closes a declaration. A win on offer (on a discard,
    // on a robbed kong or on the own draw) is never thrown away by a key
    // pressed by mistake: then only the Pass or Close button declines it.
    // Keys go to what the player sees: while a box covers the chooser (a
    // question to leave or to quit) neither Escape nor a row's shortcut is
    // the chooser's, and while the chooser covers a box they are not the box's.
    ModelessMsgBox::answerKeysOnTop(this);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, [this] {
        if (mahjongOffered)
            return;
        if (passOffered && pass->isVisible())
            pass->click();
        else if (close->isVisible())
            close->click();
    });
    clear();
}

MeldAuction::~MeldAuction()
{
    rows.clear();
}

void MeldAuction::retranslate()
{
    riichi->setText(tr("Riichi"));
    riichiShortcut->setKey(QKeySequence(ClaimOffers::shortcutText(ClaimOffers::Riichi)));
    mahjong->setText(tr("Mahjong"));
    mahjongShortcut->setKey(QKeySequence(tr("Alt+M", "Mahjong")));
    pass->setText(tr("Pass"));
    passShortcut->setKey(QKeySequence(tr("Alt+Z", "Pass")));
    close->setText(tr("Close"));
    setMode(m_mode);
    assignShortcuts();
}

void MeldAuction::clear()
{
    rows.clear();
    mahjongOffered = false;
    passOffered = false;
    for (UPushButton* b : {mahjong, riichi, close, pass})
        b->hide();
    meldChoice->adjustSize();
}

void MeldAuction::showCloseButton()
{
    close->show();
}

void MeldAuction::showPassButton()
{
    passOffered = true;
    pass->show();
}

bool MeldAuction::addOffer(const meld_offer& offer, tile lastDiscard)
{
    passOffered = true;
    if (offer.type == game_protocol::meld_type::RIICHI) {
        riichi->show();
        return true;
    }
    if (offer.type == game_protocol::meld_type::MAHJONG) {
        mahjongOffered = true;
        mahjong->show();
        return true;
    }
    QString error;
    const int kind = ClaimOffers::buttonKind(offer, lastDiscard, &error);
    if (kind < 0) {
        qWarning().noquote() << "claim offer left out:" << error;
        return false;
    }
    const std::vector<MeldChoice*> shown = choices();
    if (std::any_of(shown.begin(), shown.end(),
                    [&](const MeldChoice* c) { return c->offer() == offer && c->buttonKind() == kind; }))
        return true; // the row is there already
    if (shown.size() >= std::size_t(maxRows)) {
        // More rows would push the Pass button off the table.
        qWarning().noquote() << "claim offer left out: the chooser holds its" << maxRows << "rows";
        return false;
    }
    std::shared_ptr<QWidget> choice;
    try {
        choice = std::make_shared<MeldChoice>(offer, meldChoice, lastDiscard);
    } catch (const std::exception& e) {
        qWarning() << "claim offer left out:" << e.what();
        return false;
    }
    connect(static_cast<MeldChoice*>(choice.get()), &MeldChoice::selected, this, &MeldAuction::answerWith);
    meldChoice->layout()->addWidget(choice.get());
    rows.push_back(choice);
    auto separator = std::make_shared<QLabel>(meldChoice);
    separator->setPixmap(PictureFile::pixmap(QStringLiteral("resources:/meld_auction_separator.png")));
    meldChoice->layout()->addWidget(separator.get());
    rows.push_back(separator);
    // Shown explicitly, so that they count in the size hint that the table
    // window reads while the chooser itself is still hidden.
    choice->show();
    separator->show();
    assignShortcuts();
    meldChoice->layout()->activate();
    meldChoice->resize(meldChoice->layout()->sizeHint());
    layout()->invalidate();
    return true;
}

std::vector<MeldChoice*> MeldAuction::choices() const
{
    std::vector<MeldChoice*> out;
    for (const auto& row : rows)
        if (auto* choice = qobject_cast<MeldChoice*>(row.get()))
            out.push_back(choice);
    return out;
}

void MeldAuction::assignShortcuts()
{
    // Two buttons with one shortcut make Qt fire neither. Each kind keeps its
    // own key whatever the server's order: the kinds claim their keys in a
    // fixed order (a kong before a pong to kong, which shares its key), and a
    // row whose key is taken gets the next free digit.
    QSet<QKeySequence> used{mahjongKey(), passKey(), riichiShortcut->key()};
    std::vector<MeldChoice*> rows = choices();
    const auto rank = [](const MeldChoice* c) {
        static constexpr int order[] = {0, 1, 2, 4, 3, 5, 6}; // chows, pong, kong, pong to kong, riichi
        const int kind = c->buttonKind();
        return kind >= 0 && kind < int(std::size(order)) ? order[kind] : int(std::size(order));
    };
    std::stable_sort(rows.begin(), rows.end(),
                     [&rank](const MeldChoice* a, const MeldChoice* b) { return rank(a) < rank(b); });
    for (MeldChoice* choice : rows) {
        QKeySequence key(ClaimOffers::shortcutText(choice->buttonKind()));
        for (int digit = 4; used.contains(key) && digit <= 10; ++digit)
            key = digit <= 9 ? QKeySequence(QStringLiteral("Alt+%1").arg(digit)) : QKeySequence();
        if (!key.isEmpty())
            used.insert(key);
        choice->setKey(key);
    }
}

QKeySequence MeldAuction::passKey() const
{
    return passShortcut->key();
}

QKeySequence MeldAuction::mahjongKey() const
{
    return mahjongShortcut->key();
}

void MeldAuction::setMode(int mode)
{
    m_mode = mode;
    QString text;
    if (mode == Claim || mode == Concealed)
        text = tr("Choose Meld");
    else if (mode == RobKong)
        text = tr("Rob the Kong");
    title->setText(text);
    setWindowTitle(text);
}

void MeldAuction::answerWith(const meld_offer& offer)
{
    if (!isHidden())
        Q_EMIT meldSelected(offer);
}

void MeldAuction::mahjongClicked()
{
    if (mahjongOffered)
        answerWith(meld_offer{game_protocol::meld_type::MAHJONG, tile(0)});
}

void MeldAuction::riichiClicked()
{
    answerWith(meld_offer{game_protocol::meld_type::RIICHI, tile(0)});
}

void MeldAuction::passClicked()
{
    if (passOffered && !isHidden())
        Q_EMIT passSelected();
}

void MeldAuction::closeClicked()
{
    if (isHidden())
        return;
    hide();
    Q_EMIT closeSelected();
}

void MeldAuction::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QFrame::changeEvent(event);
}

void MeldAuction::mousePressEvent(QMouseEvent* event)
{
    drag.press(this, title, event);
}

void MeldAuction::mouseMoveEvent(QMouseEvent* event)
{
    drag.move(this, event);
}

void MeldAuction::mouseReleaseEvent(QMouseEvent*)
{
    drag.release();
}
