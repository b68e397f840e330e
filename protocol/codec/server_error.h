#pragma once

#include <stdexcept>
#include <string>

/// Thrown when data received from the game server does not fit the protocol:
/// a frame that ends early, a value out of range, a state that contradicts
/// what the client knows. Caught at the connection's receive loop and turned
/// into ConnectionManager::exceptionCaught.
class server_error : public std::logic_error
{
public:
    explicit server_error(const std::string& message)
        : std::logic_error(message)
    {
    }
};
