#include "notifications/notificationsreceiver_p.h"

#include "api/sessionrequests.h"
#include "engine/clientfacade.h"
#include "engine/tqcontext.h"
#include "model/account.h"
#include "notifications/notification.h"
#include "platform/logging.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>

#include <cmath>

namespace tq {

namespace {

constexpr qint64 defaultReconnectDelay = 30;    // seconds, without reconnect parameters
constexpr qint64 maxReconnectDelay = 24 * 3600; // keeps absurd parameters finite
constexpr qint64 tokenRefusalGraceSeconds = 30; // a refusal sooner than this means: forget the token
constexpr qint64 pingIntervalMs = 60000;
constexpr qint64 pongTimeoutMs = 3000;
constexpr qint64 openingTimeoutMs = 30000;
constexpr qint64 maxMessageSize = 1 << 20; // a larger message closes the connection

// Multiplied until it reaches interval x multiplier^count, then kept.
qint64 nextReconnectDelay(qint64 delay, const IncrementalTimerParams& params)
{
    const double ceiling = std::min(double(maxReconnectDelay),
                                    double(params.interval) * std::pow(double(params.multiplier),
                                                                       double(params.multiplicationsCount)));
    if (double(delay) < ceiling)
        return qint64(std::min(double(delay) * double(params.multiplier), ceiling));
    return delay;
}

} // namespace

NotificationsReceiverPrivate::NotificationsReceiverPrivate(NotificationsReceiver* receiver)
    : q(receiver), reconnectDelay(defaultReconnectDelay), reconnectParams{1, defaultReconnectDelay, 0},
      clock(Clock::system())
{
    for (ClockTimer* timer : {&pingTimer, &pongTimer, &reconnectTimer, &tokenRefreshTimer, &openTimer})
        timer->setSingleShot(true);
    socket.setMaxAllowedIncomingMessageSize(quint64(maxMessageSize));
}

NotificationsReceiverPrivate::~NotificationsReceiverPrivate() = default;

bool NotificationsReceiverPrivate::hasUsableToken() const
{
    return !token.isEmpty() && (!tokenExpiresAt.isValid() || tokenExpiresAt > clock->currentUtc());
}

void NotificationsReceiverPrivate::forgetToken()
{
    token.clear();
    tokenExpiresAt = QDateTime();
    tokenReceivedAt = -1;
    tokenRefreshTimer.stop();
}

void NotificationsReceiverPrivate::requestToken()
{
    if (!client) {
        TQ_LOG(logging::Warning, q->objectName()) << "ws-token cannot be requested: the receiver has no context";
        return;
    }
    if (tokenRequestId != -1)
        return; // its answer serves this caller too
    forgetToken();
    const WsTokenRequest request;
    tokenRequestId = client->sendRequest(&request);
}

void NotificationsReceiverPrivate::onTokenAnswer(qint64 requestId, const QVariant& answer)
{
    if (requestId != tokenRequestId || requestId == -1)
        return;
    tokenRequestId = -1;
    if (!answer.canConvert<WsTokenResponse>()) {
        tokenFailed(QStringLiteral("unexpected response was received, application will be started without websocket"),
                    true);
        return;
    }
    const WsTokenResponse response = answer.value<WsTokenResponse>();
    if (response.token.isEmpty()) {
        tokenFailed(QStringLiteral("empty token was received, application will be started without websocket"), true);
        return;
    }
    token = response.token;
    tokenReceivedAt = clock->monotonicMs();
    const QDateTime now = clock->currentUtc();
    const QDateTime expiry = QDateTime::fromSecsSinceEpoch(response.expireAt, Qt::UTC);
    TQ_LOG(logging::Notice, q->objectName()) << "token received, expire at (UTC)" << expiry.toString(Qt::ISODate);
    if (expiry > now) {
        tokenExpiresAt = expiry;
        // Renewal is never sooner than a reconnect would be: a short lifetime must not
        // become a stream of token requests.
        tokenRefreshTimer.start(std::max(now.msecsTo(expiry), reconnectDelay * 1000));
    } else {
        TQ_LOG(logging::Notice, q->objectName()) << "ws-token expiry unknown by the box's clock: kept until refused";
    }
    // While a reconnect waits (the token ran out meanwhile), its timer uses the token: the
    // delay stands.
    if (!pendingUrl.isEmpty() && !reconnectTimer.isActive()) {
        TQ_LOG(logging::Notice, q->objectName()) << "listening will be started with the received token";
        q->startListen(pendingUrl);
    }
}

bool NotificationsReceiverPrivate::handleRequestError(qint64 requestId, const RequestError& error)
{
    const bool unauthorized = error.tqReason == RequestError::TqReason::UnauthorizedRequest;
    if (requestId != tokenRequestId || requestId == -1)
        return !unauthorized; // a request dropped earlier; the session is the context's concern
    tokenRequestId = -1;
    if (unauthorized) {
        tokenFailed(QStringLiteral("ws-token request unauthorized"), false);
        return false;
    }
    tokenFailed(QStringLiteral("request error received, application will be started without websocket"), true);
    return true;
}

// Before the first connection the receiver then stays idle until the host starts it again.
// Later, a connection under way goes on (keep-alive included) and one that is down is tried
// again after the reconnect delay, with a new token request.
void NotificationsReceiverPrivate::tokenFailed(const QString& text, bool report)
{
    TQ_LOG(logging::Warning, q->objectName()) << text;
    if (report)
        post([receiver = q, text] { emit receiver->errorOccurred(text); });
    if (!attemptOpen)
        scheduleReconnect();
}

void NotificationsReceiverPrivate::open(const QUrl& address)
{
    TQ_LOG(logging::Trace, q->objectName()) << "connect to" << address.toString();
    listening = true;
    attemptOpen = true;
    attemptAbandoned = false;
    closeCode = QWebSocketProtocol::CloseCodeAbnormalDisconnection;
    closeReason.clear();
    openTimer.start(openingTimeoutMs);
    socket.open(address); // may fail at once, ending the attempt in here
}

void NotificationsReceiverPrivate::abandonAttempt()
{
    pingTimer.stop();
    pongTimer.stop();
    openTimer.stop();
    if (attemptOpen) {
        attemptOpen = false;
        attemptAbandoned = true;
    }
    if (socket.state() == QAbstractSocket::ConnectedState)
        socket.close(QWebSocketProtocol::CloseCodeNormal);
    else if (socket.state() != QAbstractSocket::UnconnectedState)
        socket.abort();
}

void NotificationsReceiverPrivate::onConnected()
{
    if (!attemptOpen)
        return;
    TQ_LOG(logging::Trace, q->objectName()) << "connected";
    openTimer.stop();
    reconnectTimer.stop();
    pingTimer.start(pingIntervalMs);
    post([receiver = q] { emit receiver->connected(); });
}

void NotificationsReceiverPrivate::onPong(quint64 elapsed)
{
    if (socket.state() != QAbstractSocket::ConnectedState)
        return;
    pongTimer.stop();
    pingTimer.start(pingIntervalMs);
    reconnectDelay = reconnectParams.interval;
    post([receiver = q, elapsed] { emit receiver->pong(elapsed); });
}

void NotificationsReceiverPrivate::onPongTimeout()
{
    TQ_LOG(logging::Warning, q->objectName()) << "pong timeout";
    const QString text = QStringLiteral("pong timeout: server did not respond in %1 seconds - %2")
                             .arg(pongTimeoutMs / 1000)
                             .arg(socket.requestUrl().toString());
    // Two events: a host that deletes the receiver on the first gets no second.
    post([receiver = q] { emit receiver->pongTimeout(); });
    post([receiver = q, text] {
        emit receiver->webSocketErrorOccurred(QAbstractSocket::SocketTimeoutError, text,
                                              QWebSocketProtocol::CloseCodeNormal, QString());
    });
    abandonAttempt(); // its disconnection is this one: one rung of the ladder
    scheduleReconnect();
}

void NotificationsReceiverPrivate::onOpeningTimeout()
{
    const QString text = QStringLiteral("no handshake within %1 seconds - %2")
                             .arg(openingTimeoutMs / 1000)
                             .arg(socket.requestUrl().toString());
    TQ_LOG(logging::Warning, q->objectName()) << text;
    post([receiver = q, text] {
        emit receiver->webSocketErrorOccurred(QAbstractSocket::SocketTimeoutError, text,
                                              QWebSocketProtocol::CloseCodeAbnormalDisconnection, QString());
    });
    abandonAttempt();
    scheduleReconnect();
}

// Qt keeps the close code of an earlier connection across open(): the code that counts is
// the one the server sent in this attempt, taken when its close frame arrives.
void NotificationsReceiverPrivate::onRemoteClose()
{
    if (!attemptOpen)
        return; // our own close
    closeCode = socket.closeCode();
    closeReason = socket.closeReason();
}

void NotificationsReceiverPrivate::onSocketError(QAbstractSocket::SocketError error)
{
    if (attemptAbandoned)
        return;
    const QString text = socket.errorString() + QStringLiteral(" - %1").arg(socket.requestUrl().toString());
    TQ_LOG(logging::Warning, q->objectName()) << "error (" << error << "):" << socket.errorString() << ", close ("
                                              << closeCode << ") reason:" << closeReason;
    post([receiver = q, error, text, code = closeCode, reason = closeReason] {
        emit receiver->webSocketErrorOccurred(error, text, code, reason);
    });
    // Qt reports some failed openings without a disconnection.
    if (attemptOpen && socket.state() == QAbstractSocket::UnconnectedState)
        attemptEnded();
}

void NotificationsReceiverPrivate::onDisconnected()
{
    post([receiver = q] { emit receiver->disconnected(); });
    if (attemptOpen)
        attemptEnded();
}

void NotificationsReceiverPrivate::attemptEnded()
{
    attemptOpen = false;
    pingTimer.stop();
    pongTimer.stop();
    openTimer.stop();
    if (closeCode == QWebSocketProtocol::CloseCodePolicyViolated && !token.isEmpty()) {
        // The server is up and refused the token. An old one is replaced at once and the
        // connection made with the new one when it arrives. One it gave a moment ago is not
        // worth asking again at once: the next connection asks for a new one.
        if (listening && tokenReceivedAt >= 0
            && clock->monotonicMs() - tokenReceivedAt > tokenRefusalGraceSeconds * 1000) {
            TQ_LOG(logging::Notice, q->objectName()) << "token has expired, it will be requested";
            requestToken();
            return;
        }
        forgetToken();
    }
    scheduleReconnect();
}

void NotificationsReceiverPrivate::scheduleReconnect()
{
    if (!listening || reconnectTimer.isActive())
        return;
    TQ_LOG(logging::Notice, q->objectName()) << "the socket is disconnected. try reconnect";
    pingTimer.stop();
    pongTimer.stop();
    reconnectTimer.start(reconnectDelay * 1000);
    reconnectDelay = nextReconnectDelay(reconnectDelay, reconnectParams);
}

void NotificationsReceiverPrivate::onTextMessage(const QString& text)
{
    TQ_LOG(logging::Trace, q->objectName()) << "message:" << text.left(512);
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8(), &error);
    if (!document.isObject()) {
        TQ_LOG(logging::Warning, q->objectName())
            << "message skipped, not a JSON object:" << error.errorString() << text.left(128);
        return;
    }
    const QJsonObject message = document.object();
    const QString code = message.value(QLatin1String("event_code")).toString();
    if (filter && !filter->isAllowed(code)) {
        TQ_LOG(logging::Notice, q->objectName()) << "notification" << code << "disallow by notifications platform filter";
        return;
    }
    deliver(Notification::createNotificationFromJson(message));
}

void NotificationsReceiverPrivate::deliver(const QSharedPointer<Notification>& notification)
{
    if (notification)
        post([receiver = q, notification] { emit receiver->notificationReceived(notification); });
}

NotificationsReceiver::NotificationsReceiver(QObject* parent)
    : QObject(parent), d(std::make_unique<NotificationsReceiverPrivate>(this))
{
    setObjectName(QStringLiteral("NotificationsReceiver"));
    NotificationsReceiverPrivate* p = d.get();
    QWebSocket* socket = &p->socket;
    connect(socket, &QWebSocket::connected, this, [p] { p->onConnected(); });
    connect(socket, &QWebSocket::aboutToClose, this, [p] { p->onRemoteClose(); });
    connect(socket, &QWebSocket::disconnected, this, [p] { p->onDisconnected(); });
    connect(socket, &QWebSocket::pong, this, [p](quint64 elapsed, const QByteArray&) { p->onPong(elapsed); });
    // Qt 6.4 names the signal error(); errorOccurred() came later.
    connect(socket, QOverload<QAbstractSocket::SocketError>::of(&QWebSocket::error), this,
            [p](QAbstractSocket::SocketError error) { p->onSocketError(error); });
    connect(socket, &QWebSocket::sslErrors, this, [this, p](const QList<QSslError>& errors) {
        TQ_LOG(logging::Warning, objectName()) << "ssl errors occurred:" << errors;
        p->socket.ignoreSslErrors();
    });
    connect(socket, &QWebSocket::textMessageReceived, this, [p](const QString& text) { p->onTextMessage(text); });
    connect(socket, &QWebSocket::binaryMessageReceived, this, [this](const QByteArray& data) {
        TQ_LOG(logging::Warning, objectName()) << "binary message of" << data.size() << "bytes skipped";
    });
    connect(&p->pingTimer, &ClockTimer::timeout, this, [p] {
        p->pongTimer.start(pongTimeoutMs);
        p->socket.ping();
    });
    connect(&p->pongTimer, &ClockTimer::timeout, this, [p] { p->onPongTimeout(); });
    connect(&p->openTimer, &ClockTimer::timeout, this, [p] { p->onOpeningTimeout(); });
    connect(&p->reconnectTimer, &ClockTimer::timeout, this, [this, p] {
        if (p->listening && !p->pendingUrl.isEmpty())
            startListen(p->pendingUrl);
    });
    connect(&p->tokenRefreshTimer, &ClockTimer::timeout, this, [p] { p->requestToken(); });
}

NotificationsReceiver::~NotificationsReceiver()
{
    // Nothing of the closing may reach the private part while it goes.
    d->socket.disconnect();
    d->socket.abort();
}

void NotificationsReceiver::init(TqContext* context)
{
    if (d->client || !context)
        return;
    d->client.reset(context->createClient(d.get()));
    NotificationsReceiverPrivate* p = d.get();
    connect(d->client.get(), &TqClientFacade::dataReceived, this,
            [p](qint64 id, const QVariant& answer) { p->onTokenAnswer(id, answer); });
}

void NotificationsReceiver::startListen(const QString& url)
{
    d->pendingUrl = url;
    d->reconnectTimer.stop(); // now, not after the wait (a token first, when there is none)
    if (!d->hasUsableToken()) {
        TQ_LOG(logging::Trace, objectName()) << "ws-token will be requested because it is invalid";
        d->requestToken();
        return;
    }
    const QUrl address(url + QStringLiteral("?token=%1").arg(d->token));
    if (d->attemptOpen && d->socket.state() == QAbstractSocket::ConnectedState && d->socket.requestUrl() == address) {
        TQ_LOG(logging::Trace, objectName()) << "listening already on" << address.toString();
        d->post([this] { emit connected(); });
        return;
    }
    d->abandonAttempt(); // a new address (a new token) or a stalled opening: not a lost connection
    d->open(address);
}

void NotificationsReceiver::stopListen()
{
    if (d->client)
        d->client->dropAllRequests();
    d->tokenRequestId = -1;
    d->forgetToken();
    d->pendingUrl.clear();
    d->listening = false;
    d->reconnectTimer.stop();
    d->abandonAttempt();
}

bool NotificationsReceiver::isListening() const
{
    return d->socket.isValid();
}

void NotificationsReceiver::ping()
{
    if (!isListening()) {
        d->post([this] { emit pongTimeout(); });
        return;
    }
    d->socket.ping();
}

void NotificationsReceiver::setReconnectParams(const IncrementalTimerParams& params)
{
    IncrementalTimerParams used = params;
    used.interval = std::clamp<qint64>(params.interval, 1, maxReconnectDelay);
    used.multiplier = std::max<qint64>(params.multiplier, 1);
    used.multiplicationsCount = std::max<qint64>(params.multiplicationsCount, 0);
    if (used.interval != params.interval || used.multiplier != params.multiplier
        || used.multiplicationsCount != params.multiplicationsCount) {
        TQ_LOG(logging::Warning, objectName())
            << QStringLiteral("reconnect parameters (multiplier %1, interval %2 s, count %3) used as (%4, %5 s, %6)")
                   .arg(params.multiplier)
                   .arg(params.interval)
                   .arg(params.multiplicationsCount)
                   .arg(used.multiplier)
                   .arg(used.interval)
                   .arg(used.multiplicationsCount);
    }
    d->reconnectParams = used;
    d->reconnectDelay = used.interval;
}

void NotificationsReceiver::setNotificationsFilter(platform::INotificationsPlatformFilter* filter)
{
    d->filter = filter;
}

void NotificationsReceiver::clearToken()
{
    TQ_LOG(logging::Notice, objectName()) << "clear ws-token";
    d->forgetToken();
}

void NotificationsReceiver::setClock(Clock* clock)
{
    d->clock = clock ? clock : Clock::system();
    for (ClockTimer* timer : {&d->pingTimer, &d->pongTimer, &d->reconnectTimer, &d->tokenRefreshTimer, &d->openTimer})
        timer->setClock(clock);
}

void NotificationsReceiver::postTestNotification(const QString& json)
{
    d->deliver(Notification::createNotificationFromJson(QJsonDocument::fromJson(json.toUtf8()).object()));
    TQ_LOG(logging::Notice, objectName()) << "posted test notification";
}

void NotificationsReceiver::postAssistNotification(const QString& command)
{
    d->deliver(AssistCommandNotification::fromCommand(command));
    TQ_LOG(logging::Notice, objectName()) << "posted assist notification with command:" << command;
}

void NotificationsReceiver::postTqNotification(QSharedPointer<Notification> notification)
{
    d->deliver(notification);
    TQ_LOG(logging::Notice, objectName()) << "posted TQ notification";
}

void NotificationsReceiver::postTargetNotification(const QString& json)
{
    postTqNotification(RemoteTargetNotification::fromStringJsonTarget(json));
}

} // namespace tq
