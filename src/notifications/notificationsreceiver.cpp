#include "notifications/notificationsreceiver.h"

#include "engine/clientfacade.h"
#include "engine/requesterror.h"
#include "engine/tqcontext.h"
#include "notifications/notification.h"
#include "api/sessionrequests.h"
#include "model/account.h"
#include "platform/logging.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QMetaObject>
#include <QTimer>
#include <QUrl>
#include <QWebSocket>

#include <cmath>
#include <limits>

namespace tq {

namespace {

constexpr qint64 defaultReconnectDelay = 30;
constexpr qint64 tokenRefusalGraceSeconds = 30; // a refusal sooner than this means: forget the token

} // namespace

qint64 nextReconnectDelay(qint64 delay, const IncrementalTimerParams& params)
{
    const double ceiling =
        double(params.interval) * std::pow(double(params.multiplier), double(params.multiplicationsCount));
    if (params.multiplier > 1 && double(delay) < ceiling)
        return qint64(qMin(double(delay) * double(params.multiplier), ceiling));
    return delay;
}

class NotificationsReceiverPrivate : public ITqRequestErrorHandler
{
public:
    explicit NotificationsReceiverPrivate(NotificationsReceiver* receiver);

    NotificationsReceiver* q;
    QWebSocket socket{QString(), QWebSocketProtocol::Version13};
    std::unique_ptr<TqClientFacade> client;
    QTimer pingTimer;
    QTimer pongTimer;
    QTimer reconnectTimer;
    bool listening = false;
    qint64 reconnectDelay = defaultReconnectDelay;
    IncrementalTimerParams reconnectParams{0, 0, 0};
    platform::INotificationsPlatformFilter* filter = nullptr;
    QString pendingUrl;
    QString token;
    QDateTime tokenExpiresAt;
    QDateTime tokenReceivedAt;
    QTimer tokenRefreshTimer;
    qint64 tokenRequestId = -1;
    QTimer connectTimer; // a server that accepts but never completes the handshake
    NotificationsReceiver::Timing timing;
    QString listenUrl; // the address without its token, for reconnects

    bool handleRequestError(qint64 requestId, const RequestError& error) override;

    QDateTime now() const { return timing.clock ? timing.clock() : QDateTime::currentDateTimeUtc(); }
    int secondsToMs(qint64 seconds) const;
    void requestToken();
    void forgetToken();
    void onTokenAnswer(qint64 requestId, const QVariant& answer);
    void tokenFailed(const QString& text);
    void onConnected();
    void onPong(quint64 elapsed);
    void onPongTimeout();
    void onSocketError(QAbstractSocket::SocketError error);
    void onConnectionLost();
    void scheduleReconnect(bool closeSocket);
    void onTextMessage(const QString& text);
    void emitNotification(const QSharedPointer<Notification>& notification);
    void log(logging::Level level, const QString& text) const;
};

NotificationsReceiverPrivate::NotificationsReceiverPrivate(NotificationsReceiver* receiver) : q(receiver)
{
    for (QTimer* timer : {&pingTimer, &pongTimer, &reconnectTimer, &tokenRefreshTimer, &connectTimer})
        timer->setSingleShot(true);
    pingTimer.setInterval(timing.pingIntervalMs);
    pongTimer.setInterval(timing.pongTimeoutMs);
    socket.setMaxAllowedIncomingMessageSize(quint64(timing.maxMessageSize));
}

void NotificationsReceiverPrivate::log(logging::Level level, const QString& text) const
{
    TQ_LOG(level, q->objectName()) << text;
}

int NotificationsReceiverPrivate::secondsToMs(qint64 seconds) const
{
    const double ms = double(seconds) * timing.msPerSecond;
    return int(qBound(0.0, ms, double(std::numeric_limits<int>::max())));
}

void NotificationsReceiverPrivate::forgetToken()
{
    token.clear();
    tokenExpiresAt = QDateTime();
    tokenReceivedAt = QDateTime();
    tokenRefreshTimer.stop();
}

void NotificationsReceiverPrivate::requestToken()
{
    if (!client) {
        log(logging::Warning, QStringLiteral("ws-token cannot be requested: the receiver has no context"));
        return;
    }
    if (tokenRequestId != -1)
        client->dropRequest(tokenRequestId);
    forgetToken();
    const WsTokenRequest request;
    tokenRequestId = client->sendRequest(&request);
}

void NotificationsReceiverPrivate::onTokenAnswer(qint64 requestId, const QVariant& answer)
{
    if (requestId != tokenRequestId)
        return;
    tokenRequestId = -1;
    if (!answer.canConvert<WsTokenResponse>()) {
        tokenFailed(QStringLiteral("unexpected response was received, application will be started without websocket"));
        return;
    }
    const WsTokenResponse response = answer.value<WsTokenResponse>();
    if (response.token.isEmpty()) {
        tokenFailed(QStringLiteral("empty token was received, application will be started without websocket"));
        return;
    }
    token = response.token;
    tokenExpiresAt = QDateTime::fromSecsSinceEpoch(response.expireAt, Qt::UTC);
    tokenReceivedAt = now();
    log(logging::Notice, QStringLiteral("token received, expire at (UTC) ") + tokenExpiresAt.toString(Qt::ISODate));
    const qint64 lifetime = tokenReceivedAt.secsTo(tokenExpiresAt);
    if (lifetime > 0)
        tokenRefreshTimer.start(secondsToMs(lifetime));
    if (!pendingUrl.isEmpty()) {
        log(logging::Notice, QStringLiteral("listening will be started with the received token"));
        q->startListen(pendingUrl);
    }
}

bool NotificationsReceiverPrivate::handleRequestError(qint64 requestId, const RequestError& error)
{
    if (requestId == tokenRequestId)
        tokenRequestId = -1;
    if (error.tqReason == RequestError::TqReason::UnauthorizedRequest) {
        scheduleReconnect(false); // the session is the host's business; try again later
        return false;
    }
    tokenFailed(QStringLiteral("request error received, application will be started without websocket"));
    return true;
}

// Before the first connection the receiver then stays idle until the host starts it again;
// a reconnect that cannot get a token tries again later.
void NotificationsReceiverPrivate::tokenFailed(const QString& text)
{
    log(logging::Warning, text);
    emit q->errorOccurred(text);
    scheduleReconnect(false);
}

void NotificationsReceiverPrivate::onConnected()
{
    log(logging::Trace, QStringLiteral("connected"));
    reconnectTimer.stop();
    connectTimer.stop();
    pingTimer.start(timing.pingIntervalMs);
    emit q->connected();
}

void NotificationsReceiverPrivate::onPong(quint64 elapsed)
{
    pongTimer.stop();
    pingTimer.start(timing.pingIntervalMs);
    reconnectDelay = reconnectParams.interval > 0 ? reconnectParams.interval : defaultReconnectDelay;
    emit q->pong(elapsed);
}

void NotificationsReceiverPrivate::onPongTimeout()
{
    log(logging::Warning, QStringLiteral("pong timeout"));
    emit q->pongTimeout();
    emit q->webSocketErrorOccurred(QAbstractSocket::SocketTimeoutError,
                                   QStringLiteral("pong timeout: server did not respond in %1 seconds - %2")
                                       .arg(timing.pongTimeoutMs / 1000.0)
                                       .arg(socket.requestUrl().toString()),
                                   QWebSocketProtocol::CloseCodeNormal, QString());
    scheduleReconnect(true);
}

void NotificationsReceiverPrivate::onSocketError(QAbstractSocket::SocketError error)
{
    const QString text = socket.errorString() + QStringLiteral(" - %1").arg(socket.requestUrl().toString());
    TQ_LOG(logging::Warning, q->objectName()) << "error (" << error << "):" << socket.errorString() << ", close ("
                                              << socket.closeCode() << ") reason:" << socket.closeReason();
    emit q->webSocketErrorOccurred(error, text, socket.closeCode(), socket.closeReason());
    // A refused or failed connection never becomes "disconnected": reconnect from here.
    if (socket.state() == QAbstractSocket::UnconnectedState)
        onConnectionLost();
}

// The connection ended (or never came up). The server's close code says whether the token
// was refused.
void NotificationsReceiverPrivate::onConnectionLost()
{
    if (socket.state() != QAbstractSocket::UnconnectedState)
        return; // a newer connection is already under way
    if (socket.closeCode() == QWebSocketProtocol::CloseCodePolicyViolated && !token.isEmpty()) {
        if (tokenReceivedAt.isValid() && tokenReceivedAt.secsTo(now()) > tokenRefusalGraceSeconds) {
            log(logging::Notice, QStringLiteral("token has expired, it will be requested"));
            if (listening)
                requestToken();
        } else {
            forgetToken();
        }
    }
    scheduleReconnect(false);
}

void NotificationsReceiverPrivate::scheduleReconnect(bool closeSocket)
{
    if (!listening || reconnectTimer.isActive())
        return; // one pending reconnect at a time; none after stopListen
    log(logging::Notice, QStringLiteral("the socket is disconnected. try reconnect"));
    pingTimer.stop();
    pongTimer.stop();
    connectTimer.stop();
    if (closeSocket)
        socket.close(QWebSocketProtocol::CloseCodeNormal);
    reconnectTimer.start(secondsToMs(qMax<qint64>(1, reconnectDelay)));
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
    emitNotification(Notification::createNotificationFromJson(message));
}

void NotificationsReceiverPrivate::emitNotification(const QSharedPointer<Notification>& notification)
{
    if (notification)
        emit q->notificationReceived(notification);
}

NotificationsReceiver::NotificationsReceiver(QObject* parent)
    : QObject(parent), d(std::make_unique<NotificationsReceiverPrivate>(this))
{
    setObjectName(QStringLiteral("NotificationsReceiver"));
    NotificationsReceiverPrivate* p = d.get();
    connect(&p->socket, &QWebSocket::connected, this, [p] { p->onConnected(); });
    connect(&p->socket, &QWebSocket::disconnected, this, [this, p] {
        p->onConnectionLost();
        emit disconnected();
    });
    connect(&p->socket, &QWebSocket::pong, this, [p](quint64 elapsed, const QByteArray&) { p->onPong(elapsed); });
    // Qt 6.4 names the signal error(); errorOccurred() came later.
    connect(&p->socket, QOverload<QAbstractSocket::SocketError>::of(&QWebSocket::error), this,
            [p](QAbstractSocket::SocketError error) { p->onSocketError(error); });
    connect(&p->socket, &QWebSocket::sslErrors, this, [this, p](const QList<QSslError>& errors) {
        TQ_LOG(logging::Warning, objectName()) << "ssl errors occurred:" << errors;
        p->socket.ignoreSslErrors();
    });
    connect(&p->socket, &QWebSocket::textMessageReceived, this, [p](const QString& text) { p->onTextMessage(text); });
    connect(&p->socket, &QWebSocket::binaryMessageReceived, this, [this](const QByteArray& data) {
        TQ_LOG(logging::Warning, objectName()) << "binary message of" << data.size() << "bytes skipped";
    });
    connect(&p->pingTimer, &QTimer::timeout, this, [p] {
        p->pongTimer.start(p->timing.pongTimeoutMs);
        p->socket.ping();
    });
    connect(&p->pongTimer, &QTimer::timeout, this, [p] { p->onPongTimeout(); });
    connect(&p->reconnectTimer, &QTimer::timeout, this, [this, p] {
        if (p->listening)
            startListen(p->listenUrl);
    });
    connect(&p->tokenRefreshTimer, &QTimer::timeout, this, [p] { p->requestToken(); });
    connect(&p->connectTimer, &QTimer::timeout, this, [this, p] {
        const QString text = QStringLiteral("no handshake within %1 ms - %2")
                                 .arg(p->timing.connectTimeoutMs)
                                 .arg(p->socket.requestUrl().toString());
        p->log(logging::Warning, text);
        emit webSocketErrorOccurred(QAbstractSocket::SocketTimeoutError, text, QWebSocketProtocol::CloseCodeNormal,
                                    QString());
        p->socket.abort();
        p->scheduleReconnect(false);
    });
}

NotificationsReceiver::~NotificationsReceiver()
{
    d->listening = false;
    d->socket.disconnect(this);
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
    d->listenUrl = url;
    if (d->token.isEmpty() || (d->tokenExpiresAt.isValid() && d->tokenExpiresAt <= d->now())) {
        TQ_LOG(logging::Trace, objectName()) << "ws-token will be requested because it is invalid";
        d->pendingUrl = url;
        if (d->tokenRequestId == -1) // else the answer on its way starts the connection
            d->requestToken();
        return;
    }
    const QUrl address(url + QStringLiteral("?token=%1").arg(d->token));
    if (d->socket.state() == QAbstractSocket::ConnectedState) {
        if (d->socket.requestUrl() == address) {
            TQ_LOG(logging::Trace, objectName()) << "listening already on" << address.toString();
            QMetaObject::invokeMethod(this, &NotificationsReceiver::connected, Qt::QueuedConnection);
            return;
        }
        d->socket.close(QWebSocketProtocol::CloseCodeNormal);
    }
    TQ_LOG(logging::Trace, objectName()) << "connect to" << address.toString();
    d->reconnectTimer.stop();
    d->socket.open(address);
    d->connectTimer.start(d->timing.connectTimeoutMs);
    d->listening = true;
}

void NotificationsReceiver::stopListen()
{
    if (d->client)
        d->client->dropAllRequests();
    d->tokenRequestId = -1;
    d->forgetToken();
    d->pendingUrl.clear();
    d->listening = false;
    d->pingTimer.stop();
    d->pongTimer.stop();
    d->reconnectTimer.stop();
    d->connectTimer.stop();
    d->socket.close(QWebSocketProtocol::CloseCodeNormal);
}

bool NotificationsReceiver::isListening() const
{
    return d->socket.isValid();
}

void NotificationsReceiver::ping()
{
    if (!isListening()) {
        emit pongTimeout();
        return;
    }
    d->socket.ping();
}

void NotificationsReceiver::setReconnectParams(const IncrementalTimerParams& params)
{
    d->reconnectParams = params;
    d->reconnectDelay = params.interval;
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

void NotificationsReceiver::setTiming(const Timing& timing)
{
    d->timing = timing;
    d->socket.setMaxAllowedIncomingMessageSize(quint64(qMax<qint64>(1, timing.maxMessageSize)));
}

void NotificationsReceiver::postTestNotification(const QString& json)
{
    d->emitNotification(Notification::createNotificationFromJson(QJsonDocument::fromJson(json.toUtf8()).object()));
    TQ_LOG(logging::Notice, objectName()) << "posted test notification";
}

void NotificationsReceiver::postAssistNotification(const QString& command)
{
    d->emitNotification(AssistCommandNotification::fromCommand(command));
    TQ_LOG(logging::Notice, objectName()) << "posted assist notification with command:" << command;
}

void NotificationsReceiver::postTqNotification(QSharedPointer<Notification> notification)
{
    d->emitNotification(notification);
    TQ_LOG(logging::Notice, objectName()) << "posted TQ notification";
}

void NotificationsReceiver::postTargetNotification(const QString& json)
{
    postTqNotification(RemoteTargetNotification::fromStringJsonTarget(json));
}

} // namespace tq
