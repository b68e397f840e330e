// Answers of the backend services (envelope 101) and of the server's local
// services (envelope 103): each is matched to its outstanding request by
// sequence number and becomes one signal.

#include "ConnectionManager.h"

#include "ConnectionManager_p.h"
#include "ProtocolValues.h"
#include "any_t.h"
#include "message_reader.h"
#include "platform_packets.h"
#include "reason_texts.h"
#include "request_frames.h"
#include "request_handler.h"
#include "server_error.h"
#include "wire_codec.h"

#include <QDebug>

namespace {

/// Sequence number of answers that the server sends without being asked.
constexpr quint32 unsolicitedSeq = 0xFFFFFFFFu;

namespace svc {
constexpr int ok_response = 71;
constexpr int error_response = 72;
constexpr int account_balance = 73;
constexpr int highscore_list = 74;
constexpr int new_player_registered = 75;
constexpr int current_time = 76;
constexpr int client_config = 77;
constexpr int web_page = 78;
}

template<int Tag>
any_value_t<Tag> decode(message_reader& r)
{
    game_wire::decode_context ctx;
    return game_wire::read<any_value_t<Tag>>(r, ctx);
}

} // namespace

void ConnectionManager::reportServiceFailure(int requestClass, qint32 seq, const QString& reason)
{
    // Callers that wait for these answers (the balance label, the server
    // clock, the chat start, the web pages) learn that none will come.
    switch (requestClass) {
    case request_frames::cls::account_balance:
        Q_EMIT accountBalanceFailed(reason);
        break;
    case request_frames::cls::current_time:
        Q_EMIT timeFromServerFailed(seq, reason);
        break;
    case request_frames::cls::client_config:
        Q_EMIT clientConfigFailed(reason);
        break;
    case request_frames::cls::web_page:
        Q_EMIT webPageFailed(reason);
        break;
    default:
        break;
    }
}

void ConnectionManager::onServiceResponse(message_reader& reader)
{
    reader.get_u32();
    const quint32 seq = reader.get_u32();
    reader.get_string();
    reader.get_u8();
    message_reader inner(reader.get_nested());
    const int cls = inner.class_id();
    qDebug() << "cm:service response" << cls << "seq:" << seq;

    auto take = [seq] { return service_requests().takeOutstandingRequest(static_cast<int>(seq)); };

    switch (cls) {
    case svc::ok_response: {
        const int requestClass = take();
        if (requestClass == request_frames::cls::change_password) {
            Q_EMIT changePasswordOk(static_cast<qint32>(seq));
        } else {
            qWarning() << "unhandled ok_response! class:" << requestClass;
            reportServiceFailure(requestClass, static_cast<qint32>(seq), QString());
        }
        break;
    }
    case svc::error_response: {
        const any_error error = decode<svc::error_response>(inner);
        const int requestClass = take();
        const QString text = reason_texts::accountFailure(error.code);
        if (requestClass == request_frames::cls::change_password) {
            Q_EMIT changePasswordFailed(static_cast<qint32>(seq), text);
        } else {
            qWarning() << "unhandled error_response! class:" << requestClass;
            reportServiceFailure(requestClass, static_cast<qint32>(seq), text);
        }
        break;
    }
    case svc::account_balance: {
        const qint64 balance = static_cast<qint64>(decode<svc::account_balance>(inner));
        if (seq != unsolicitedSeq)
            take();
        d->accountBalance = balance;
        Q_EMIT currentAccountBalance(balance);
        break;
    }
    case svc::highscore_list: {
        const auto rows = decode<svc::highscore_list>(inner);
        take();
        std::vector<wire::highscore_row> wireRows;
        wireRows.reserve(rows.size());
        for (const auto& [number, name, value] : rows)
            wireRows.push_back({number, name, static_cast<std::int64_t>(value)});
        Q_EMIT highscoreList(highscoreListFromWire(wireRows));
        break;
    }
    case svc::current_time: {
        const qint64 time = static_cast<qint64>(decode<svc::current_time>(inner));
        take();
        Q_EMIT timeFromServer(static_cast<qint32>(seq), serverTimeToDateTime(time));
        break;
    }
    case svc::client_config: {
        const auto [xmppHost, conference, lobbyRoom, search] = decode<svc::client_config>(inner);
        take();
        Q_EMIT clientConfig(clientConfigFromWire({xmppHost, conference, lobbyRoom, search}));
        break;
    }
    case svc::web_page: {
        const auto [type, address] = decode<svc::web_page>(inner);
        take();
        Q_EMIT webPage(webPageRequestFromWire(type), platform_packets::wireText(address));
        break;
    }
    default: {
        int requestClass = -1;
        if (seq != unsolicitedSeq)
            requestClass = take();
        qWarning() << "   Service packet" << cls << "was not handled";
        if (requestClass >= 0)
            reportServiceFailure(requestClass, static_cast<qint32>(seq), QString());
        break;
    }
    }
}

void ConnectionManager::onLocalServiceResponse(message_reader& reader)
{
    const quint32 seq = reader.get_u32();
    message_reader inner(reader.get_nested());
    const int cls = inner.class_id();
    qDebug() << "cm:local service response" << cls << "seq:" << seq;

    auto take = [seq] { return local_service_requests().takeOutstandingRequest(static_cast<int>(seq)); };

    switch (cls) {
    case svc::ok_response: {
        const int requestClass = take();
        qWarning() << "got ok response (seq " << seq << ") for unhandled class_id " << requestClass;
        reportServiceFailure(requestClass, static_cast<qint32>(seq), QString());
        break;
    }
    case svc::error_response: {
        const any_error error = decode<svc::error_response>(inner);
        const int requestClass = take();
        const QString text = reason_texts::accountFailure(error.code);
        if (requestClass == request_frames::cls::register_user) {
            Q_EMIT registerUserFailed(text);
        } else {
            qWarning() << "got error response (seq " << seq << ") for unhandled class_id " << requestClass;
            reportServiceFailure(requestClass, static_cast<qint32>(seq), text);
        }
        break;
    }
    case svc::new_player_registered: {
        const auto active = decode<svc::new_player_registered>(inner);
        const int requestClass = take();
        if (requestClass != request_frames::cls::register_user) {
            throw server_error("server sent new_player_registered for request with class id "
                               + std::to_string(requestClass));
        }
        Q_EMIT registerUserOk(active != 0);
        break;
    }
    case svc::web_page: {
        const auto [type, address] = decode<svc::web_page>(inner);
        const int requestClass = take();
        if (requestClass != request_frames::cls::web_page)
            throw server_error("server sent web_page for request with class id " + std::to_string(requestClass));
        Q_EMIT webPage(webPageRequestFromWire(type), platform_packets::wireText(address));
        break;
    }
    default:
        qWarning() << "   Local service packet" << cls << "was not handled";
        break;
    }
}
