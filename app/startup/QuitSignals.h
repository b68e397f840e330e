#pragma once

/// The system's requests to end the program: SIGTERM (a desktop's log-out, a
/// `kill`) and SIGINT (Ctrl+C in a terminal). Each ends the event loop with
/// 0, as the Quit answer does, so that the server is told of the logout and
/// the settings are written on the way out. A second signal ends the
/// process at once, and so does a way out that takes longer than the bound.
class QuitSignals
{
public:
    /// The longest the way out may take after the first signal.
    static constexpr unsigned boundSeconds = 10;

    /// Installs the handlers once the application object exists; again, it
    /// does nothing. False when the system refused them (a warning says so).
    static bool install();
    /// The way out is over: the bound no longer runs.
    static void finished();
};
