#pragma once
// The party-games client's private part. The socket soak reads it to tell when the network
// has settled (no opening or ping on its way) before it moves the clock on.

#include "engine/clock.h"
#include "partystation/partystationclient.h"

#include <QUrl>
#include <QWebSocket>

namespace pstv {

class PartyStationClientPrivate
{
public:
    explicit PartyStationClientPrivate(PartyStationClient* q);
    static PartyStationClientPrivate* get(PartyStationClient* client) { return client->d.get(); }

    QString context() const { return q->objectName(); }
    void open();
    void reconnectLater();
    QString shortened(const QByteArray& utf8) const;
    void receive(const QByteArray& utf8);
    void store(const QJsonObject& frame, const QString& type) const;

    PartyStationClient* q;
    int jsonLengthLimit = 0;
    bool jsonFormattingEnabled = false;
    bool storingIncomingMessageEnabled = false;
    QString incomingMessageStoragePath;
    tq::ClockTimer pingTimer;
    tq::ClockTimer pongTimer; // a ping's answer only
    tq::ClockTimer reconnectTimer;
    tq::ClockTimer openTimer; // an opening that never completes
    QUrl url;
    QWebSocket socket{QString(), QWebSocketProtocol::Version13};
};

} // namespace pstv
