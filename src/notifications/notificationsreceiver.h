#pragma once
// NotificationsReceiver: the platform's push notifications over one websocket.
//
//   tq::NotificationsReceiver receiver;
//   receiver.init(&context);                      // its token requests go through the engine
//   receiver.setReconnectParams(config.incrementalTimerParams());
//   QObject::connect(&receiver, &tq::NotificationsReceiver::notificationReceived, ...);
//   receiver.startListen(config.websocketsUrl()); // token, then "<url>?token=<token>"
//
// While listening the receiver keeps the connection: a ping every minute (a missing pong
// within 3 s counts as a dead connection), reconnection after a drop with a delay that grows
// by the multiplier up to interval x multiplier^count seconds (a pong resets it), a new
// token before the current one expires or when the server refuses it (close code 1008).
// stopListen() ends all of it. Lives on the thread that creates it.

#include "transport/configwrapper.h"

#include <QAbstractSocket>
#include <QDateTime>
#include <QObject>
#include <QSharedPointer>
#include <QWebSocketProtocol>

#include <functional>
#include <memory>

namespace platform {

// The host's policy on which notifications are built at all.
class INotificationsPlatformFilter
{
public:
    virtual ~INotificationsPlatformFilter() = default;
    // True when a notification with this "event_code" may be built and emitted.
    virtual bool isAllowed(const QString& eventCode) = 0;
};

} // namespace platform

namespace tq {

class Notification;
class TqContext;
class NotificationsReceiverPrivate;

// The reconnect delay after `delay` seconds: multiplied until it reaches
// interval x multiplier^multiplicationsCount, then kept (30, 60, ... 1920, 1920 with 30, 2, 6).
qint64 nextReconnectDelay(qint64 delay, const IncrementalTimerParams& params);

class NotificationsReceiver : public QObject
{
    Q_OBJECT
public:
    // The receiver's waits. Defaults are the service's; tests shrink them so that a whole
    // reconnect ladder runs in milliseconds.
    struct Timing
    {
        int pingIntervalMs = 60000;
        int pongTimeoutMs = 3000;
        int connectTimeoutMs = 30000;      // a handshake that takes longer is given up
        int msPerSecond = 1000;            // reconnect delays and token lifetimes are in seconds
        std::function<QDateTime()> clock;  // null: the system clock (UTC)
        qint64 maxMessageSize = 1 << 20;   // larger messages close the connection (then reconnect)
    };

    explicit NotificationsReceiver(QObject* parent = nullptr);
    ~NotificationsReceiver() override;

    void init(TqContext* context);
    void startListen(const QString& url);
    void stopListen();
    bool isListening() const; // connected
    void ping();
    void setReconnectParams(const IncrementalTimerParams& params);
    void setNotificationsFilter(platform::INotificationsPlatformFilter* filter);
    void clearToken();
    void setTiming(const Timing& timing);

    // Notifications made on the box, delivered like received ones.
    void postTestNotification(const QString& json);
    void postAssistNotification(const QString& command);
    void postTqNotification(QSharedPointer<Notification> notification);
    void postTargetNotification(const QString& json);

signals:
    void errorOccurred(const QString& errorString);
    void webSocketErrorOccurred(QAbstractSocket::SocketError socketError, const QString& errorString,
                                QWebSocketProtocol::CloseCode closeCode, const QString& closeReason);
    void connected();
    void disconnected();
    void notificationReceived(QSharedPointer<Notification> notification);
    void pong(quint64 elapsedTime);
    void pongTimeout();

private:
    friend class NotificationsReceiverPrivate;
    std::unique_ptr<NotificationsReceiverPrivate> d;
};

} // namespace tq
