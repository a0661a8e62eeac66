#pragma once
// The receiver's private part. The socket soak reads it to tell when the network has settled
// (no token request, opening or ping still on its way) before it moves the clock on.

#include "engine/clock.h"
#include "engine/requesterror.h"
#include "notifications/notificationsreceiver.h"

#include <QWebSocket>

namespace tq {

class TqClientFacade;

class NotificationsReceiverPrivate : public ITqRequestErrorHandler
{
public:
    explicit NotificationsReceiverPrivate(NotificationsReceiver* receiver);
    ~NotificationsReceiverPrivate() override;
    static NotificationsReceiverPrivate* get(NotificationsReceiver* receiver) { return receiver->d.get(); }

    NotificationsReceiver* q;
    QWebSocket socket{QString(), QWebSocketProtocol::Version13};
    std::unique_ptr<TqClientFacade> client;
    ClockTimer pingTimer;
    ClockTimer pongTimer;
    ClockTimer reconnectTimer;
    bool listening = false;
    qint64 reconnectDelay;
    IncrementalTimerParams reconnectParams; // as used: interval >= 1 s, multiplier >= 1, count >= 0
    platform::INotificationsPlatformFilter* filter = nullptr;
    QString pendingUrl; // where the host asked to listen; empty after stopListen()
    QString token;
    QDateTime tokenExpiresAt; // invalid while unknown (absent, or already past when it arrived)
    qint64 tokenReceivedAt = -1; // the clock's monotonic ms
    ClockTimer tokenRefreshTimer;
    qint64 tokenRequestId = -1;
    ClockTimer openTimer; // bounds an opening that never completes
    Clock* clock;

    // The connection attempt under way. Its end (an error, a close, a drop) is handled once,
    // and not at all when the receiver ended it itself (abandoned).
    bool attemptOpen = false;
    bool attemptAbandoned = false;
    QWebSocketProtocol::CloseCode closeCode = QWebSocketProtocol::CloseCodeAbnormalDisconnection; // the server's, this attempt
    QString closeReason;

    bool handleRequestError(qint64 requestId, const RequestError& error) override;

    bool hasUsableToken() const;
    void requestToken();
    void forgetToken();
    void onTokenAnswer(qint64 requestId, const QVariant& answer);
    void tokenFailed(const QString& text, bool report);
    void open(const QUrl& address);
    void abandonAttempt();
    void onConnected();
    void onPong(quint64 elapsed);
    void onPongTimeout();
    void onOpeningTimeout();
    void onRemoteClose();
    void onSocketError(QAbstractSocket::SocketError error);
    void onDisconnected();
    void attemptEnded();
    void scheduleReconnect();
    void onTextMessage(const QString& text);
    void deliver(const QSharedPointer<Notification>& notification);
    // Host-facing signals go out from the event loop: a host may delete the receiver in them.
    template<class Emit>
    void post(Emit emission)
    {
        QMetaObject::invokeMethod(q, std::move(emission), Qt::QueuedConnection);
    }
};

} // namespace tq
