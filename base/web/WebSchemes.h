#pragma once

#include <QString>

class QUrl;
class QWebEngineProfile;
class QWebEngineUrlRequestJob;

/// The program's own URL schemes for its web views: "localwww:" for the
/// local pages compiled into the program (resolved through the "localwww"
/// search path), "client://" for requests from a page to the program, and
/// "pagebridge:" and "localbridge:" for the requests of the script the
/// program puts beside each top document, from a network
/// page and from a local page (which may reach no network scheme).
namespace WebSchemes {

inline constexpr char localScheme[] = "localwww";
inline constexpr char clientScheme[] = "client";
inline constexpr char bridgeScheme[] = "pagebridge";
inline constexpr char localBridgeScheme[] = "localbridge";

/// Must run before the application object is created.
void registerSchemes();
/// Answers a request of the program's script beside a top document for the
/// page it names (the web page type of the views gives it).
using BridgeAnswer = void (*)(QWebEngineUrlRequestJob* job);

/// Serves the local pages in the views of this profile once the schemes are
/// registered, the bridge requests through `answer`. Idempotent: the first
/// answer given for a profile stays.
void installHandlers(QWebEngineProfile* profile, BridgeAnswer answer);

/// The service's web host, whose pages may talk to the program like its own local pages.
void setServiceWebHost(const QString& host);
QString serviceWebHost();

/// Whether a page at this address gets the program object "client": only the
/// local pages and the pages of the service's web host do, over http or
/// https, on the port the host names (else on the scheme's own port).
bool isTrustedPage(const QUrl& url);

/// Why the web views cannot start, or an empty text when they can: run as
/// root, the browser engine ends the whole program at its first page unless
/// its sandbox is turned off (QTWEBENGINE_DISABLE_SANDBOX set to any value,
/// an empty one included, or the flag "--no-sandbox" in
/// QTWEBENGINE_CHROMIUM_FLAGS). The text is in the installed language.
QString sandboxProblem(bool runAsRoot, bool disableSandboxSet, const QByteArray& chromiumFlags);

}
