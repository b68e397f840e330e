#pragma once

#include <QWebEngineUrlSchemeHandler>

/// Answers "localwww:" requests with the files that the "localwww" search
/// path finds (language folder first, then the common pages).
class LocalPageSchemeHandler : public QWebEngineUrlSchemeHandler
{
    Q_OBJECT

public:
    explicit LocalPageSchemeHandler(QObject* parent = nullptr);
    void requestStarted(QWebEngineUrlRequestJob* job) override;

    /// The MIME type the pages are served with, by file suffix.
    static QByteArray mimeType(const QString& path);
};

/// Refuses every "client://" load: such links are requests to the program,
/// handled before any navigation, never addresses to fetch.
class ClientLinkSchemeHandler : public QWebEngineUrlSchemeHandler
{
    Q_OBJECT

public:
    explicit ClientLinkSchemeHandler(QObject* parent = nullptr);
    void requestStarted(QWebEngineUrlRequestJob* job) override;
};

/// Hands the requests of the program's script beside a top document (its
/// new document, a box it asks for, a message it refused) to what answers
/// them for the page they name (`WebSchemes::BridgeAnswer`); refuses them
/// when nothing does.
class PageBridgeSchemeHandler : public QWebEngineUrlSchemeHandler
{
    Q_OBJECT

public:
    using Answer = void (*)(QWebEngineUrlRequestJob* job);

    explicit PageBridgeSchemeHandler(Answer answer, QObject* parent = nullptr);
    void requestStarted(QWebEngineUrlRequestJob* job) override;

private:
    Answer answer;
};
