// The program's web page: what a page may say (console, boxes) and where it
// may go, and the channel that publishes the program object to the pages it
// trusts.
#include "BridgedWebPage.h"

#include "JavascriptInterface.h"
#include "ModelessMsgBox.h"
#include "ProtocolValues.h"
#include "WebSchemes.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QHash>
#include <QLabel>
#include <QRandomGenerator>
#include <QUrlQuery>
#include <QWebChannel>
#include <QWebEngineLoadingInfo>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestJob>

#include <functional>
#include <utility>

static_assert(BridgedWebPage::maxMessageLength == 2 * JavascriptInterface::maxAddressLength + 1024);

namespace {

/// Run in the page's own script world at the start of every top document,
/// before any script of the document: waits for the word of the program's
/// script beside it (`bridgeScript`), which comes at once, and only in a
/// document the program trusts has the page's alert and confirm ask the
/// program and, with an object, defines window.client there and then: the
/// document's first script finds it, its calls held until the channel that
/// script carries is up and then made in the order they came. A call the
/// program refuses throws in the page's script: one past those held, or one
/// the program's script does not pass on (thrown a moment later for a call
/// that was held). The document event "clientready" follows once the
/// document is parsed, for a page that waits for it, whenever it began to.
QString pageScript(bool withObject)
{
    QString channelJs;
    if (withObject) {
        QFile f(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
        if (f.open(QIODevice::ReadOnly))
            channelJs = QString::fromUtf8(f.readAll());
        else
            qWarning().noquote() << "qwebchannel.js not found; pages cannot reach the program";
    }
    return QStringLiteral(R"js((function () {
  var withObject = %1, maxHeld = %3;
  if (withObject) window.__clientPending = true;
  document.addEventListener('clientbridge', function (e) {
    var said = typeof e.detail === 'string' ? e.detail : '';
    if (said.slice(0, 5) !== 'open:') return;
    function ask(kind, text) {
      return !document.dispatchEvent(new CustomEvent('clientbox', {cancelable: true,
        detail: kind + ':' + (text === undefined ? '' : String(text))}));
    }
    window.alert = function (text) { ask('alert', text); };
    window.confirm = function (text) { return ask('confirm', text); };
    if (!withObject) return;
    var real = null, held = [], client = {};
    function later(name, step) {
      if (real) return step();
      if (held.length < maxHeld) {
        held.push(step);
        return undefined;
      }
      document.dispatchEvent(new Event('clientbridgeheld'));
      throw new Error('client.' + name + ': refused, ' + maxHeld + ' calls already wait for the program');
    }
    ['displayTab', 'joinTable', 'launchBrowser', 'displayTournament', 'close'].forEach(function (name) {
      client[name] = function () {
        var args = arguments;
        return later(name, function () { return real[name].apply(real, args); });
      };
    });
    ['onDisplayTab', 'onJoinTable', 'onLaunchBrowser', 'onDisplayTournament', 'onClose', 'closeEvent']
      .forEach(function (name) {
        client[name] = {
          connect: function (f) { return later(name, function () { real[name].connect(f); }); },
          disconnect: function (f) { return later(name, function () { real[name].disconnect(f); }); }
        };
      });
    var host = said.slice(5);
    Object.defineProperty(client, 'isDebug', {enumerable: true, get: function () { return real ? real.isDebug : false; }});
    Object.defineProperty(client, 'mahjongHost', {enumerable: true, get: function () { return real ? real.mahjongHost : host; }});
    window.client = client;
    window.__clientPending = false;
    var announce = function () { setTimeout(function () { document.dispatchEvent(new Event('clientready')); }, 0); };
    if (document.readyState === 'loading') document.addEventListener('DOMContentLoaded', announce, {once: true});
    else announce();
    var transport = {onmessage: null, send: function (message) {
      if (!document.dispatchEvent(new CustomEvent('clientbridgeout', {cancelable: true, detail: String(message)})))
        throw new Error('client: the program refused the call');
    }};
    document.addEventListener('clientbridgein', function (e) {
      if (typeof e.detail === 'string' && transport.onmessage) transport.onmessage({data: e.detail});
    });
%2
    new QWebChannel(transport, function (channel) {
      real = channel.objects.client;
      held.splice(0).forEach(function (step) {
        try { step(); } catch (e) { setTimeout(function () { throw e; }, 0); }
      });
    });
  }, {once: true});
})();
)js")
        .arg(withObject ? QStringLiteral("true") : QStringLiteral("false"), channelJs,
            QString::number(BridgedWebPage::maxHeldCalls));
}

/// Run in a script world of the program's own at the start of every top
/// document, right after `pageScript`: tells the program where the document
/// is from and waits for its answer, then tells the page's script whether
/// it is trusted. In a trusted document it asks the program for the boxes
/// the page asks for, each until the player has answered, and carries the
/// messages of the page's channel to and from the program, none longer than
/// the program reads: the channel's transport is only ever here.
QString bridgeScript(const QString& key, bool withChannel)
{
    return QStringLiteral(R"js((function () {
  var key = '%1', maxMessage = %2, maxText = %3, withChannel = %6, perSecond = %7;
  var base = (location.protocol === 'localwww:' ? '%4' : '%5') + ':/';
  function encoded(text) {
    try { return encodeURIComponent(text); }
    catch (e) { return encodeURIComponent(text.replace(/[\ud800-\udfff]/g, '\ufffd')); }
  }
  function ask(what, query, wait) {
    try {
      var request = new XMLHttpRequest();
      request.open('GET', base + what + '?key=' + key + '&at=' + encoded(location.href) + query, !wait);
      request.send();
      return wait ? request.responseText : '';
    } catch (e) {
      return '';
    }
  }
  var said = ask('hello', '', true), open = said.slice(0, 5) === 'open:';
  // A document brought back from the history is shown anew.
  window.addEventListener('pageshow', function (e) { if (e.persisted) ask('hello', '', true); });
  if (open) {
    // Only the document's own navigations are told: the engine tells no
    // document of those another origin (a partner's frame) starts.
    if (window.navigation) navigation.addEventListener('navigate', function (e) {
      if (/^client:/i.test(e.destination.url)) ask('link', '&url=' + encoded(e.destination.url), true);
    });
    document.addEventListener('clientbox', function (e) {
      var asked = e.detail, colon = typeof asked === 'string' ? asked.indexOf(':') : -1;
      var kind = colon > 0 ? asked.slice(0, colon) : '';
      if ((kind === 'alert' || kind === 'confirm')
          && ask(kind, '&text=' + encoded(asked.slice(colon + 1, colon + 2 + maxText)), true) === 'yes')
        e.preventDefault();
    });
    if (withChannel) {
      // The engine hands this world the transport as it begins, or a moment later.
      var transport = null, waiting = [], tries = 0, told = 0, telling = false;
      var tooLong = 0, longest = 0, malformed = 0, over = 0, held = 0, second = 0, sent = 0, members = null;
      // The channel's first answer names the object's members: no other reaches the program.
      var learn = function (data) {
        try {
          var found = JSON.parse(data), object = found && found.data && found.data.client;
          if (!object || typeof object !== 'object') return;
          members = {6: {}, 7: {}, 8: {}, 9: {}};
          (object.methods || []).forEach(function (m) { members[6][m[0]] = members[6][m[1]] = true; });
          (object.signals || []).forEach(function (m) { members[7][m[0]] = members[7][m[1]] = members[8][m[1]] = true; });
          (object.properties || []).forEach(function (m) { members[9][m[0]] = true; });
        } catch (e) {}
      };
      var connect = function () {
        if (typeof qt === 'undefined' || !qt.webChannelTransport) {
          if (++tries < 200) setTimeout(connect, 10);
          return;
        }
        transport = qt.webChannelTransport;
        transport.onmessage = function (message) {
          if (!members) learn(String(message.data));
          document.dispatchEvent(new CustomEvent('clientbridgein', {detail: String(message.data)}));
        };
        waiting.splice(0).forEach(function (message) { transport.send(message); });
      };
      connect();
      var tell = function () {
        ask('refused', '&long=' + tooLong + '&length=' + longest + '&malformed=' + malformed + '&over=' + over
            + '&held=' + held, false);
        tooLong = longest = malformed = over = held = 0;
        told = Date.now();
        telling = false;
      };
      var refused = function (now) {
        if (!telling) {
          telling = true;
          setTimeout(tell, Math.max(0, told + 1000 - now));
        }
      };
      // The page's script says so of each call past those it holds.
      document.addEventListener('clientbridgeheld', function () {
        ++held;
        refused(Date.now());
      });
      var wellFormed = function (text) {
        var m;
        try { m = JSON.parse(text); } catch (e) { return false; }
        if (!m || typeof m !== 'object' || typeof m.type !== 'number') return false;
        if (m.type === 3 || m.type === 4) return true;
        var member = m.type === 6 ? m.method : m.type === 9 ? m.property : m.signal;
        if (!members || !members[m.type] || m.object !== 'client' || !members[m.type].hasOwnProperty(member))
          return false;
        return m.type !== 6 || (typeof m.id === 'number' && Array.isArray(m.args));
      };
      document.addEventListener('clientbridgeout', function (e) {
        var message = e.detail, now = Date.now();
        if (typeof message !== 'string') return;
        if (now - second >= 1000) {
          second = now;
          sent = 0;
        }
        if (message.length > maxMessage) {
          ++tooLong;
          longest = Math.max(longest, message.length);
        } else if (sent >= perSecond || (!transport && waiting.length >= perSecond)) {
          ++over;
        } else if (!wellFormed(message)) {
          ++malformed;
        } else {
          ++sent;
          if (transport) transport.send(message);
          else waiting.push(message);
          return;
        }
        // The page's call throws.
        e.preventDefault();
        refused(now);
      });
    }
  }
  document.dispatchEvent(new CustomEvent('clientbridge', {detail: open ? said : 'closed'}));
})();
)js")
        .arg(key)
        .arg(BridgedWebPage::maxMessageLength)
        .arg(BridgedWebPage::maxBoxText)
        .arg(QLatin1String(WebSchemes::localBridgeScheme), QLatin1String(WebSchemes::bridgeScheme),
            withChannel ? QStringLiteral("true") : QStringLiteral("false"))
        .arg(BridgedWebPage::maxMessagesASecond);
}

/// The pages by the key their scripts name them with.
QHash<QString, BridgedWebPage*>& pagesByKey()
{
    static QHash<QString, BridgedWebPage*> pages;
    return pages;
}

void reply(QWebEngineUrlRequestJob* job, const QByteArray& answer)
{
    auto* body = new QBuffer(job);
    body->setData(answer);
    body->open(QIODevice::ReadOnly);
    job->reply("text/plain", body);
}

/// A box's text as shown: so many lines of so many characters at most.
QString boxText(const QString& text)
{
    QStringList lines = text.left(BridgedWebPage::maxBoxText + 1).split(QLatin1Char('\n'));
    const bool cut = text.size() > BridgedWebPage::maxBoxText || lines.size() > BridgedWebPage::maxBoxLines;
    lines = lines.mid(0, BridgedWebPage::maxBoxLines);
    QString shown = lines.join(QLatin1Char('\n')).left(BridgedWebPage::maxBoxText);
    if (!shown.isEmpty() && shown.back().isHighSurrogate())
        shown.chop(1);
    return cut ? shown + QStringLiteral("...") : shown;
}

/// Says a box's title anew in the language the player switches to.
class BoxTitle : public QObject
{
public:
    BoxTitle(QWidget* box, std::function<QString()> title_)
        : QObject(box)
        , title(std::move(title_))
    {
        box->setWindowTitle(title());
        box->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::LanguageChange)
            static_cast<QWidget*>(watched)->setWindowTitle(title());
        return false;
    }

private:
    std::function<QString()> title;
};

/// What of a page's console text goes into one log line.
constexpr qsizetype consoleTextChars = 300;
constexpr qsizetype consoleSourceChars = 120;

/// The page's text on one line, cut short: a page's line feed must not
/// start a line of its own that looks like the program's.
QString oneLine(const QString& text, qsizetype chars)
{
    QString line = text.left(chars + 1);
    if (line.size() > chars) {
        line.truncate(line.at(chars - 1).isHighSurrogate() ? chars - 1 : chars);
        line += QStringLiteral("...");
    }
    return singleLine(std::move(line));
}

/// The engine asks this of the page before it leaves a document that wants
/// to keep the player.
QString leaveQuestion()
{
    return QCoreApplication::translate("QWebEnginePage",
        "Are you sure you want to leave this page? Changes that you made may not be saved.");
}

}

bool BridgedWebPage::LineBudget::take(const char* what)
{
    if (!window.isValid() || window.hasExpired(windowMs)) {
        if (leftOut > 0 && what != nullptr)
            qDebug().noquote() << "js:" << leftOut << what << "of the page left out";
        window.start();
        used = 0;
        leftOut = 0;
    }
    if (used >= lines) {
        ++leftOut;
        return false;
    }
    ++used;
    return true;
}

BridgedWebPage::BridgedWebPage(JavascriptInterface* object_, QObject* parent)
    : QWebEnginePage(parent)
    , object(object_)
    , key(QString::number(QRandomGenerator::system()->generate64(), 16)
          + QString::number(QRandomGenerator::system()->generate64(), 16))
{
    pagesByKey().insert(key, this);
    WebSchemes::installHandlers(profile(), &BridgedWebPage::answerBridgeRequest);
    // Never hand unknown schemes to the desktop.
    settings()->setUnknownUrlSchemePolicy(QWebEngineSettings::DisallowUnknownUrlSchemes);
    connect(this, &QWebEnginePage::loadingChanged, this, &BridgedWebPage::onLoadingChanged);
    // A redirect or a script navigation may change the address without
    // asking: a document at another address may be there.
    connect(this, &QWebEnginePage::urlChanged, this, [this](const QUrl& address) {
        if (!WebSchemes::isTrustedPage(address))
            trustedDocument = false;
        announceBridge();
    });
    if (object)
        object->setGate([this] { return isBridgeOpen(); });

    // Both scripts run at the start of each top document, the page's first:
    // it listens before the program's script speaks.
    const auto insert = [this](const char* name, QWebEngineScript::ScriptWorldId world, const QString& source) {
        QWebEngineScript script;
        script.setName(QLatin1String(name));
        script.setInjectionPoint(QWebEngineScript::DocumentCreation);
        script.setWorldId(world);
        script.setRunsOnSubFrames(false);
        script.setSourceCode(source);
        scripts().insert(script);
    };
    insert("client-page", QWebEngineScript::MainWorld, pageScript(object != nullptr));
    insert("client-bridge", QWebEngineScript::ApplicationWorld, bridgeScript(key, object != nullptr));
    if (!object)
        return;
    // The channel's transport stays in the program's script world, which
    // the page's script cannot reach: what the page sends passes the
    // program's script there, which lets through only the messages of a
    // trusted document, none too long to read.
    channel = new QWebChannel(this);
    channel->registerObject(QStringLiteral("client"), object);
    setWebChannel(channel, QWebEngineScript::ApplicationWorld);
}

BridgedWebPage::~BridgedWebPage()
{
    *alive = false;
    pagesByKey().remove(key);
    if (object)
        object->setGate([] { return false; });
}

void BridgedWebPage::onLoadingChanged(const QWebEngineLoadingInfo& info)
{
    if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus)
        return;
    leaving = false;
    // A load that succeeded brought the document of its address, an error
    // page took the place of the one before; a load that brought no
    // document (a 204 answer, a download, a stop) leaves the one before.
    if (info.isErrorPage()
        || (info.status() == QWebEngineLoadingInfo::LoadSucceededStatus && !WebSchemes::isTrustedPage(info.url())))
        trustedDocument = false;
    announceBridge();
    if (info.status() == QWebEngineLoadingInfo::LoadSucceededStatus)
        Q_EMIT loadEnded(true);
    else if (info.status() == QWebEngineLoadingInfo::LoadFailedStatus)
        Q_EMIT loadEnded(false);
    else
        Q_EMIT loadEnded(!url().isEmpty() && url() != QUrl(QStringLiteral("about:blank")));
}

bool BridgedWebPage::showsTrustedDocument() const
{
    return trustedDocument && WebSchemes::isTrustedPage(url());
}

bool BridgedWebPage::isBridgeOpen() const
{
    return object && showsTrustedDocument();
}

void BridgedWebPage::announceBridge()
{
    const bool open = isBridgeOpen();
    if (open && !bridgeAnnounced)
        Q_EMIT javaScriptWindowObjectCleared();
    bridgeAnnounced = open;
}

void BridgedWebPage::startDocument(const QUrl& address, bool trusted)
{
    trustedDocument = trusted;
    bridgeAnnounced = false;
    ++documents;
    leaving = false;
    const QString scheme = address.scheme();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https")
        || scheme == QLatin1String(WebSchemes::localScheme))
        Q_EMIT documentStarted(address);
    announceBridge();
}

void BridgedWebPage::answerBridgeRequest(QWebEngineUrlRequestJob* job)
{
    const QUrlQuery query(job->requestUrl());
    BridgedWebPage* page = pagesByKey().value(query.queryItemValue(QStringLiteral("key")));
    if (page == nullptr) {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    // The program's script says the address of its document, the engine
    // the origin of whoever asked: a frame or another page that found the
    // key is of another origin, or its own document is not trusted.
    const QUrl address(query.queryItemValue(QStringLiteral("at"), QUrl::FullyDecoded));
    const bool trusted = WebSchemes::isTrustedPage(address) && WebSchemes::isTrustedPage(job->initiator());
    const QString what = job->requestUrl().path();
    if (what == QLatin1String("/hello")) {
        page->startDocument(address, trusted);
        // The object's one property the page may read before the channel is up.
        const QString host = page->object ? page->object->getMahjongHost() : QString();
        reply(job, trusted ? "open:" + host.toUtf8() : QByteArray("closed"));
    } else if (what == QLatin1String("/link")) {
        if (trusted && page->showsTrustedDocument())
            page->ownLinks.append(
                {QUrl(query.queryItemValue(QStringLiteral("url"), QUrl::FullyDecoded)).adjusted(QUrl::StripTrailingSlash),
                    page->documents});
        if (page->ownLinks.size() > maxOwnLinks)
            page->ownLinks.removeFirst();
        reply(job, QByteArray());
    } else if (what == QLatin1String("/alert") || what == QLatin1String("/confirm")) {
        page->askBox(what == QLatin1String("/confirm"), address, trusted,
            query.queryItemValue(QStringLiteral("text"), QUrl::FullyDecoded), job);
    } else if (what == QLatin1String("/refused")) {
        // Said by the program's script at most once a second, and logged so.
        const auto count = [&query](const char* name) { return query.queryItemValue(QLatin1String(name)).toLongLong(); };
        if (trusted && page->showsTrustedDocument() && page->refusals.take(nullptr))
            qWarning().noquote() << "refused messages of the page of" << oneLine(address.toString(), consoleSourceChars)
                                 << "to the program in a second:" << count("long") << "too long, the longest of"
                                 << count("length") << "characters (at most" << maxMessageLength << ")," << count("malformed")
                                 << "malformed," << count("over") << "past the" << maxMessagesASecond << "a second,"
                                 << count("held") << "past the" << maxHeldCalls << "held before the channel was up";
        reply(job, QByteArray());
    } else {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
    }
}

void BridgedWebPage::askBox(bool confirm, const QUrl& address, bool trusted, const QString& text,
    QWebEngineUrlRequestJob* job)
{
    // The box belongs to the page's part of the window, beside the view:
    // the player's click on it is no gesture in the page.
    QWidget* view = qobject_cast<QWidget*>(parent());
    QWidget* host = view != nullptr && view->parentWidget() != nullptr ? view->parentWidget() : view;
    if (!trusted || !showsTrustedDocument() || leaving || host == nullptr || !boxes.take(nullptr)) {
        noteDialog(confirm ? "a confirm" : "an alert", address, text);
        reply(job, "no");
        return;
    }
    const auto title = [host = address.host()] {
        return host.isEmpty() ? tr("The page says") : tr("The page at %1 says").arg(host);
    };
    // Made without a text and given it as plain text: the page's text is
    // never read as markup.
    ModelessMsgBox::MsgBox* box = confirm
        ? ModelessMsgBox::question(host, title(), QString(), QDialogButtonBox::Ok | QDialogButtonBox::Cancel,
              QDialogButtonBox::Ok)
        : ModelessMsgBox::information(host, title(), QString());
    if (box == nullptr) {
        reply(job, "no");
        return;
    }
    new BoxTitle(box, title);
    openBoxes.removeIf([](const QPointer<ModelessMsgBox::MsgBox>& shown) { return !shown || shown->isAnswered(); });
    openBoxes.append(box);
    if (auto* label = ModelessMsgBox::plainText(box)->findChild<QLabel*>(QStringLiteral("msgBoxText"))) {
        label->setWordWrap(true);
        label->setText(boxText(text));
    }
    box->adjustSize();
    box->centerOnParent();
    // The page waits for the answer: the player answers the box first.
    view->setEnabled(false);
    QPointer<QWidget> waiting = view;
    QPointer<QWebEngineUrlRequestJob> asked = job;
    ModelessMsgBox::connectFinished(box, [waiting, asked, alive = alive](int result) {
        // A page that goes takes the request along, its view already going.
        if (*alive && waiting)
            waiting->setEnabled(true);
        if (asked)
            reply(asked, result == QDialogButtonBox::Ok ? "yes" : "no");
    });
    // A page that goes (or a document that does) takes its box along.
    connect(job, &QObject::destroyed, box, [box] { box->onFinished(0); });
}

void BridgedWebPage::open(const QUrl& url)
{
    // A document waiting for the player's answer to its box holds up its
    // engine, and so the document that is to follow it: the program going
    // elsewhere is the answer, and the document gets no other box on its
    // way out.
    leaving = true;
    for (const QPointer<ModelessMsgBox::MsgBox>& box : std::exchange(openBoxes, {}))
        if (box && !box->isAnswered())
            box->onFinished(0);
    // The document shown keeps the object until another takes its place.
    load(url);
}

bool BridgedWebPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame)
{
    if (url.scheme().compare(QLatin1String(WebSchemes::clientScheme), Qt::CaseInsensitive) == 0) {
        // A request to the program, from the document of a page it trusts;
        // a frame inside it is not that document, even when it makes the
        // document go to the request: only the navigations the document
        // started itself were told (each once, by the program's script
        // beside it, before the engine asks here).
        const QUrl asked = url.adjusted(QUrl::StripTrailingSlash);
        const qsizetype told = ownLinks.indexOf(OwnLink{asked, documents});
        if (told >= 0)
            ownLinks.remove(told);
        if (isMainFrame && showsTrustedDocument() && told >= 0)
            Q_EMIT clientLinkClicked(url.toString());
        return false;
    }
    return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
}

void BridgedWebPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
    int lineNumber, const QString& sourceID)
{
    // Any page decides how much it says: its messages are for debugging
    // only, each on one short line, and only so many of them in a while.
    Q_UNUSED(level)
    if (console.take("console messages"))
        qDebug().noquote() << "js:" << oneLine(sourceID, consoleSourceChars) << lineNumber
                           << oneLine(message, consoleTextChars);
}

void BridgedWebPage::noteDialog(const char* kind, const QUrl& origin, const QString& text)
{
    // The engine's own boxes would hold the whole program (it shows them
    // application modal) and could pass for the program's; those of a
    // trusted document come as the page's own (askBox).
    if (dialogs.take("boxes"))
        qDebug().noquote() << "js:" << kind << "box of" << oneLine(origin.toString(), consoleSourceChars)
                           << "not shown:" << oneLine(text, consoleTextChars);
}

void BridgedWebPage::javaScriptAlert(const QUrl& securityOrigin, const QString& msg)
{
    noteDialog("an alert", securityOrigin, msg);
}

bool BridgedWebPage::javaScriptConfirm(const QUrl& securityOrigin, const QString& msg)
{
    // Leaving is what the player or the program asked for.
    if (msg == leaveQuestion())
        return true;
    noteDialog("a confirm", securityOrigin, msg);
    return false;
}

bool BridgedWebPage::javaScriptPrompt(const QUrl& securityOrigin, const QString& msg, const QString&, QString*)
{
    noteDialog("a prompt", securityOrigin, msg);
    return false;
}
