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
// within 3 s counts as a dead connection), an opening that has not connected within 30 s is
// given up, and every lost or failed connection is retried once, after a delay that grows
// by the multiplier up to interval x multiplier^count seconds (a pong resets it; never less
// than 1 s; without parameters always 30 s). A token is renewed when its lifetime ends (never
// sooner than the current reconnect delay after it arrived) and when the server refuses it
// (close code 1008): at most one token request per refusal or expiry. A token whose
// "expire_at" is absent or already past by the box's clock is kept until the server
// refuses it. stopListen() ends all of it.
//
// Certificates are treated as the context's HTTP exchanges treat them ("Network"/
// "verifyCertificates", read at each opening): a refused handshake is reported with
// errorOccurred() naming the problem, and the opening is retried like any failed one.
//
// Waits are measured on the clock given to setClock() (the system clock by default). Signals
// are emitted from the event loop, so the host may stop, restart or delete the receiver from
// any of them. Lives on the thread that creates it.

#include "tqglobal.h"

#include "transport/configwrapper.h"

#include <QAbstractSocket>
#include <QDateTime>
#include <QObject>
#include <QSharedPointer>
#include <QWebSocketProtocol>

#include <memory>

namespace platform {

// The host's policy on which notifications are built at all.
class TQ_EXPORT INotificationsPlatformFilter
{
public:
    virtual ~INotificationsPlatformFilter() = default;
    // True when a notification with this "event_code" may be built and emitted.
    virtual bool isAllowed(const QString& eventCode) = 0;
};

} // namespace platform

namespace tq {

class Clock;
class Notification;
class TqContext;
class NotificationsReceiverPrivate;

class TQ_EXPORT NotificationsReceiver : public QObject
{
    Q_OBJECT
public:
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
    // Null: the system clock. Set it before startListen(); the clock must outlive the receiver.
    void setClock(Clock* clock);

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
