#include "ClaimOffers.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QShortcut>

#include <sstream>

namespace ClaimOffers {

namespace {

struct SourceAndComment
{
    const char* source;
    const char* comment;
};

struct KindTexts
{
    const char* text;
    SourceAndComment shortcut;
};

// The shortcut of each button is translated with its button text as the
// comment, so that a language can move the keys to its own words.
constexpr KindTexts texts[] = {
    {QT_TRANSLATE_NOOP("MeldChoice", "Chow Low"), QT_TRANSLATE_NOOP3("MeldChoice", "Alt+1", "Chow Low")},
    {QT_TRANSLATE_NOOP("MeldChoice", "Chow Mid"), QT_TRANSLATE_NOOP3("MeldChoice", "Alt+2", "Chow Mid")},
    {QT_TRANSLATE_NOOP("MeldChoice", "Chow Hi"), QT_TRANSLATE_NOOP3("MeldChoice", "Alt+3", "Chow Hi")},
    {QT_TRANSLATE_NOOP("MeldChoice", "Kong"), QT_TRANSLATE_NOOP3("MeldChoice", "Alt+K", "Kong")},
    {QT_TRANSLATE_NOOP("MeldChoice", "Pong"), QT_TRANSLATE_NOOP3("MeldChoice", "Alt+P", "Pong")},
    {QT_TRANSLATE_NOOP("MeldChoice", "Pong to kong"), QT_TRANSLATE_NOOP3("MeldChoice", "Alt+K", "Pong to kong")},
    {QT_TRANSLATE_NOOP("MeldChoice", "Riichi"), QT_TRANSLATE_NOOP3("MeldChoice", "Alt+R", "Riichi")},
};

QString fail(QString* error, const QString& text)
{
    if (error != nullptr)
        *error = text;
    return text;
}

} // namespace

int buttonKind(const meld_offer& offer, tile lastDiscard, QString* error)
{
    using namespace game_protocol::meld_type;
    switch (int(offer.type)) {
    case CHOW: {
        const int base = offer.meld_tile.code();
        const int discard = lastDiscard.code();
        if (discard - base >= 0 && discard - base <= 2 && base + 2 <= tile::lastCode)
            return ChowLow + (discard - base);
        std::ostringstream text;
        text << "invalid tile " << offer.meld_tile << " sent in chow meld offer, last discard is " << lastDiscard;
        fail(error, QString::fromStdString(text.str()));
        return -1;
    }
    case KONG:
        return Kong;
    case PONG:
        return Pong;
    case PONG_TO_KONG:
        return PongToKong;
    case RIICHI:
        return Riichi;
    case PAIR:
        fail(error, QStringLiteral("invalid meld offer sent"));
        return -1;
    default:
        fail(error, QStringLiteral("can't create view for unhandled meld-type"));
        return -1;
    }
}

QString buttonText(int kind)
{
    if (kind >= 0 && kind < int(std::size(texts)))
        return QCoreApplication::translate("MeldChoice", texts[kind].text);
    return QCoreApplication::translate("MeldChoice", "Meld");
}

QString shortcutText(int kind)
{
    if (kind >= 0 && kind < int(std::size(texts)))
        return QCoreApplication::translate("MeldChoice", texts[kind].shortcut.source, texts[kind].shortcut.comment);
    return QString();
}

QShortcut* keyFor(QAbstractButton* button)
{
    auto* key = new QShortcut(button);
    key->setContext(Qt::WindowShortcut);
    QObject::connect(key, &QShortcut::activated, button, &QAbstractButton::click);
    return key;
}

} // namespace ClaimOffers
