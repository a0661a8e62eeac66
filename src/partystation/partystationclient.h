#pragma once
// PartyStationClient: the TV side of a party-games room over a websocket.
//
//   pstv::PartyStationClient client;
//   connect(&client, &pstv::PartyStationClient::messageReceived, ...); // PlayerIdMessage, ...
//   client.startListen(wsUrl);           // reconnects by itself until stopListen()
//   client.sendMessage(QSharedPointer<pstv::OpenRoomMessage>::create(...));
//
// While connected it pings every 10 s and closes the socket when no pong comes within 3 s;
// after any disconnection it reconnects 5 s later as long as a URL is set. An opening that
// has not connected within 30 s is abandoned and retried the same way.
//
// Waits are measured on the clock given to setClock() (the system clock by default). Signals
// are emitted from the event loop, so the host may stop, restart or delete the client from
// any of them. It lives on the thread that created it.

#include "tqglobal.h"

#include "partystation/messages.h"
#include "transport/tlspolicy.h"

#include <QNetworkProxy>
#include <QObject>
#include <QScopedPointer>

namespace tq {
class Clock;
}

namespace pstv {

class PartyStationClientPrivate;

class TQ_EXPORT PartyStationClient : public QObject
{
    Q_OBJECT
public:
    explicit PartyStationClient(QObject* parent = nullptr);
    ~PartyStationClient() override;

    void startListen(const QString& url);
    void stopListen();
    // False when the socket is not connected: the message was not sent (and is logged as
    // dropped); send it again after connected().
    bool sendMessage(const QSharedPointer<OutcomingMessage>& message);
    // Replays a stored frame as if it had just been received.
    void readIncomingMessage(const QString& path);

    // Bytes of JSON shown per logged message: negative for all (initially 0: "..." only).
    void setJsonLengthLimit(int limit);
    void setJsonFormattingEnabled(bool enabled);
    // Received frames written to "<path or 'ps'>/<run time>/<nnnn>_<type>.json".
    void setStoringIncomingMessageEnabled(bool enabled);
    void setIncomingMessageStoragePath(const QString& path);
    void setProxy(const QNetworkProxy& proxy);
    // Verify: certificate problems refuse the handshake as the context's exchanges do with
    // "Network"/"verifyCertificates" set (the client has no context to read it from).
    void setTlsMode(tq::TlsPolicy::Mode mode);
    // Null: the system clock. Set it before startListen(); the clock must outlive the client.
    void setClock(tq::Clock* clock);

signals:
    void connected();
    void disconnected();
    void messageReceived(pstv::IncomingMessageSharedPtr message);

private:
    friend class PartyStationClientPrivate;
    QScopedPointer<PartyStationClientPrivate> d;
};

} // namespace pstv
