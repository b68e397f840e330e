#pragma once

#include <QString>

#include <functional>

class TestGameServer;

/// The stand-alone server's scenario: a successful login for any name
/// (player id 1001, fully registered, chat password "secret"), a lobby of
/// three tables for any table subscription, an empty tournament list, and
/// a close on logout; the clock's requests are answered. The handshake is the server's own.
namespace LobbyScenario {
constexpr quint32 playerId = 1001;
void install(TestGameServer& server, std::function<void(const QString&)> log = {});
}
