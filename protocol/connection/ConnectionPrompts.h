#pragma once

#include <QString>

/// The questions and the exit that the connection manager needs from the
/// user interface. The protocol layer has no widgets: the application
/// installs an implementation with message boxes, tests install one that
/// answers by script.
class ConnectionPrompts
{
public:
    virtual ~ConnectionPrompts() = default;

    /// A modal "Error" box with the text and the buttons Retry and Abort.
    /// Returns true for Retry.
    virtual bool askRetry(const QString& text) = 0;
    /// A modal critical "Error" box with the text and an Ok button.
    virtual void showCritical(const QString& text) = 0;
    /// Ends the event loop with the code.
    virtual void exit(int code) = 0;
};

/// Used until the application installs its own: logs the question, answers
/// Abort, and ends the event loop through QCoreApplication::exit.
class HeadlessConnectionPrompts : public ConnectionPrompts
{
public:
    bool askRetry(const QString& text) override;
    void showCritical(const QString& text) override;
    void exit(int code) override;
};
