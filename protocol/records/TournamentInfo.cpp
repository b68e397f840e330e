#include "TournamentInfo.h"

#include "ProtocolValues.h"
#include "server_error.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDebug>
#include <QList>

#include <algorithm>

namespace {

qint32 intValue(const std::string& key, const ParamValue& value)
{
    if (const auto* number = std::get_if<qint32>(&value))
        return *number;
    throw server_error("tournament key " + key + " needs an integer, got " + paramValueDebugText(value));
}

std::string textValue(const std::string& key, const ParamValue& value)
{
    if (const auto* text = std::get_if<std::string>(&value))
        return *text;
    throw server_error("tournament key " + key + " needs a text, got " + paramValueDebugText(value));
}

TournamentInfoUpdate change(const std::string& key, std::function<void(TournamentInfo&)> apply)
{
    return TournamentInfoUpdate {key, false, std::move(apply)};
}

TournamentInfoUpdate reset(const std::string& key, std::function<void(TournamentInfo&)> apply)
{
    return TournamentInfoUpdate {key, true, std::move(apply)};
}

bool isIgnoredKey(const std::string& key)
{
    return key == "TOURNAMENT_ID" || key == "PERSISTENT_ID";
}

QString fromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

/// The parts of a comma-separated list, empty parts kept, each read as a
/// decimal 64-bit number (0 when it is not one).
std::vector<qint64> numberList(const std::string& text)
{
    std::vector<qint64> numbers;
    const QList<QByteArray> parts = QByteArray::fromStdString(text).split(',');
    numbers.reserve(static_cast<std::size_t>(parts.size()));
    for (const QByteArray& part : parts) {
        bool ok = false;
        const qint64 number = part.toLongLong(&ok);
        numbers.push_back(ok ? number : 0);
    }
    return numbers;
}

// Fields set by an integer key without conversion.
using IntField = qint32 TournamentInfo::*;

std::optional<IntField> plainIntField(const std::string& key)
{
    if (key == "REGISTERED")
        return &TournamentInfo::registered;
    if (key == "ACTIVE_PLAYERS")
        return &TournamentInfo::activePlayers;
    if (key == "CAPACITY")
        return &TournamentInfo::capacity;
    if (key == "MIN_PLAYERS")
        return &TournamentInfo::minPlayers;
    if (key == "MAX_PLAYERS")
        return &TournamentInfo::maxPlayers;
    if (key == "NUMBER_OF_ROUNDS")
        return &TournamentInfo::numberOfRounds;
    if (key == "BET")
        return &TournamentInfo::bet;
    if (key == "CURRENT_ROUND")
        return &TournamentInfo::currentRound;
    return std::nullopt;
}

using TimeField = QDateTime TournamentInfo::*;

std::optional<TimeField> timeField(const std::string& key)
{
    if (key == "START")
        return &TournamentInfo::start;
    if (key == "END")
        return &TournamentInfo::end;
    if (key == "CLOSE_REGISTER")
        return &TournamentInfo::closeRegister;
    return std::nullopt;
}

} // namespace

TournamentInfo::TournamentInfo()
    : name(QCoreApplication::translate("Utils", "N/A"))
{
}

const TournamentInfo& TournamentInfo::defaults()
{
    static const TournamentInfo record;
    return record;
}

void TournamentInfo::applyUpdates(const TournamentInfoUpdates& updates)
{
    for (const TournamentInfoUpdate& update : updates)
        update.apply(*this);
}

QDateTime tournamentTimeFromSeconds(qint64 seconds)
{
    return QDateTime::fromSecsSinceEpoch(static_cast<quint32>(seconds)).toLocalTime();
}

QUrl infoUrlFromText(const QString& text)
{
    if (text.isEmpty())
        return QUrl();
    // A scheme is a letter, then letters, digits, "+", "-" or ".", before
    // "://"; a host's port ("host:8080/x") is none.
    const qsizetype colon = text.indexOf(QLatin1String("://"));
    const auto schemeChar = [](QChar c) {
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'+'
            || c == u'-' || c == u'.';
    };
    const bool hasScheme = colon > 0 && text.at(0).isLetter() && text.at(0).unicode() < 128
        && std::all_of(text.begin(), text.begin() + colon, schemeChar);
    if (hasScheme)
        return QUrl(text, QUrl::TolerantMode);
    return QUrl(QLatin1String("http://") + text, QUrl::TolerantMode);
}

std::optional<TournamentInfoUpdate> makeTournamentInfoChange(const std::string& key, const ParamValue& value)
{
    if (const auto field = plainIntField(key)) {
        const qint32 number = intValue(key, value);
        return change(key, [field = *field, number](TournamentInfo& info) { info.*field = number; });
    }
    if (const auto field = timeField(key)) {
        const QDateTime time = tournamentTimeFromSeconds(static_cast<quint32>(intValue(key, value)));
        return change(key, [field = *field, time](TournamentInfo& info) { info.*field = time; });
    }
    if (key == "NAME") {
        const QString name = nameFromWire(fromUtf8(textValue(key, value)));
        return change(key, [name](TournamentInfo& info) { info.name = name; });
    }
    if (key == "SHORT_INFO_URL" || key == "INFO_URL") {
        const QUrl url = infoUrlFromText(fromUtf8(textValue(key, value)));
        if (key == "INFO_URL")
            return change(key, [url](TournamentInfo& info) { info.infoUrl = url; });
        return change(key, [url](TournamentInfo& info) { info.shortInfoUrl = url; });
    }
    if (key == "STATUS") {
        const qint32 status = tournamentStatusFromWire(intValue(key, value));
        return change(key, [status](TournamentInfo& info) { info.status = status; });
    }
    if (key == "ROUNDS_START") {
        std::vector<QDateTime> starts;
        for (qint64 seconds : numberList(textValue(key, value)))
            starts.push_back(tournamentTimeFromSeconds(seconds));
        return change(key, [starts = std::move(starts)](TournamentInfo& info) { info.roundsStart = starts; });
    }
    if (key == "ROUNDS_LENGTH") {
        std::vector<qint32> lengths;
        for (qint64 length : numberList(textValue(key, value)))
            lengths.push_back(static_cast<qint32>(length));
        return change(key, [lengths = std::move(lengths)](TournamentInfo& info) { info.roundsLength = lengths; });
    }
    if (key == "RULESET") {
        const qint32 ruleset = rulesetFromWire(intValue(key, value));
        return change(key, [ruleset](TournamentInfo& info) { info.ruleset = ruleset; });
    }
    if (isIgnoredKey(key))
        return std::nullopt;
    qDebug().nospace() << "unhandled key: '" << key.c_str() << "' => " << paramValueDebugText(value).c_str();
    return std::nullopt;
}

std::optional<TournamentInfoUpdate> makeTournamentInfoReset(const std::string& key, const TournamentInfo& defaults)
{
    if (const auto field = plainIntField(key)) {
        const qint32 number = defaults.*(*field);
        return reset(key, [field = *field, number](TournamentInfo& info) { info.*field = number; });
    }
    if (const auto field = timeField(key)) {
        const QDateTime time = defaults.*(*field);
        return reset(key, [field = *field, time](TournamentInfo& info) { info.*field = time; });
    }
    if (key == "NAME") {
        const QString name = defaults.name;
        return reset(key, [name](TournamentInfo& info) { info.name = name; });
    }
    if (key == "SHORT_INFO_URL") {
        const QUrl url = defaults.shortInfoUrl;
        return reset(key, [url](TournamentInfo& info) { info.shortInfoUrl = url; });
    }
    if (key == "INFO_URL") {
        const QUrl url = defaults.infoUrl;
        return reset(key, [url](TournamentInfo& info) { info.infoUrl = url; });
    }
    if (key == "STATUS") {
        const qint32 status = defaults.status;
        return reset(key, [status](TournamentInfo& info) { info.status = status; });
    }
    if (key == "ROUNDS_START") {
        const auto starts = defaults.roundsStart;
        return reset(key, [starts](TournamentInfo& info) { info.roundsStart = starts; });
    }
    if (key == "ROUNDS_LENGTH") {
        const auto lengths = defaults.roundsLength;
        return reset(key, [lengths](TournamentInfo& info) { info.roundsLength = lengths; });
    }
    if (key == "RULESET") {
        // A tournament whose ruleset the server withdraws goes back to the
        // default, as every other removed key does.
        const qint32 ruleset = defaults.ruleset;
        return reset(key, [ruleset](TournamentInfo& info) { info.ruleset = ruleset; });
    }
    if (isIgnoredKey(key))
        return std::nullopt;
    qDebug().nospace() << "unhandled key: '" << key.c_str();
    return std::nullopt;
}

void applyTournamentInfoParam(TournamentInfo& info, const std::string& key, const ParamValue& value)
{
    if (auto update = makeTournamentInfoChange(key, value))
        update->apply(info);
}

void resetTournamentInfoKey(TournamentInfo& info, const std::string& key, const TournamentInfo& defaults)
{
    if (auto update = makeTournamentInfoReset(key, defaults))
        update->apply(info);
}

TournamentInfoUpdates tournamentInfoUpdatesFromParams(const ParamList& params,
                                                      const std::vector<std::string>& removedKeys)
{
    TournamentInfo::defaults();
    TournamentInfoUpdates updates;
    updates.reserve(params.size() + removedKeys.size());
    for (const Param& param : params) {
        if (auto update = makeTournamentInfoChange(param.name, decodeParamValue(param.type, param.value)))
            updates.push_back(std::move(*update));
    }
    for (const std::string& key : removedKeys) {
        if (auto update = makeTournamentInfoReset(key, TournamentInfo::defaults()))
            updates.push_back(std::move(*update));
    }
    return updates;
}

QString debugText(const TournamentInfo& info)
{
    // One multi-argument arg() call: a tournament name holding "%1" must come out as it is.
    const auto n = [](auto value) { return QString::number(value); };
    return QStringLiteral("TournamentInfo(id %1 \"%2\" status %3 own %4 cap %5 reg %6 active %7 min %8 max %9 "
                          "rounds %10/%11 ruleset %12 bet %13 start %14 info %15)")
        .arg(n(info.tournamentId), info.name, n(info.status), n(info.ownRegistered), n(info.capacity),
             n(info.registered), n(info.activePlayers), n(info.minPlayers), n(info.maxPlayers),
             n(info.currentRound), n(info.numberOfRounds), n(info.ruleset), n(info.bet),
             info.start.toString(Qt::ISODate), info.infoUrl.toString());
}
