#pragma once

#include <functional>
#include <tuple>
#include <utility>

/// One step of a table's action queue: an immediate change of the table or
/// one half of an animation.
class GameWindowAction
{
public:
    virtual ~GameWindowAction() = default;

    /// Performs the step. True when it is complete and the queue may go on;
    /// false when it started something that runs on (an animation) and the
    /// queue must wait until it is told to go on.
    virtual bool execute(bool instant) = 0;
};

/// An immediate step: a call bound with copies of its arguments, taken when
/// the step is made, so the call sees the values of that moment.
template <typename F, typename... Args>
class CallbackGameWindowAction : public GameWindowAction
{
public:
    explicit CallbackGameWindowAction(F f, Args... args)
        : function(std::move(f))
        , arguments(std::move(args)...)
    {
    }

    bool execute(bool) override
    {
        std::apply([this](auto&... a) { std::invoke(function, a...); }, arguments);
        return true;
    }

private:
    F function;
    std::tuple<Args...> arguments;
};

/// Makes an immediate step of a callable (a free function, a lambda, or a
/// member function followed by its object) and its arguments, copied now.
template <typename F, typename... Args>
GameWindowAction* makeAction(F f, Args... args)
{
    return new CallbackGameWindowAction<F, Args...>(std::move(f), std::move(args)...);
}
