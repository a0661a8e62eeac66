#include "partystation/partystationclient_p.h"

#include "platform/logging.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QMutex>

namespace pstv {

namespace {

constexpr qint64 pingIntervalMs = 10000;
constexpr qint64 pongTimeoutMs = 3000;
constexpr qint64 reconnectDelayMs = 5000;
constexpr qint64 openingTimeoutMs = 30000; // a slow network's handshake, not a ping's answer

// Process-wide: every client of the run writes into one folder with one numbering, whatever
// thread it lives on.
QMutex storedMessagesMutex;
int storedMessages = 0;

const QString& runFolderName()
{
    static const QString name = QDateTime::currentDateTime().toString(QStringLiteral("yyyy_MM_dd-hh_mm_ss"));
    return name;
}

} // namespace

PartyStationClientPrivate::PartyStationClientPrivate(PartyStationClient* q) : q(q)
{
    for (tq::ClockTimer* timer : {&pingTimer, &pongTimer, &reconnectTimer, &openTimer})
        timer->setSingleShot(true);
    pingTimer.setInterval(pingIntervalMs);
    pongTimer.setInterval(pongTimeoutMs);
    reconnectTimer.setInterval(reconnectDelayMs);
    openTimer.setInterval(openingTimeoutMs);
}

void PartyStationClientPrivate::open()
{
    if (socket.state() != QAbstractSocket::UnconnectedState)
        socket.abort(); // a stalled opening, or startListen() while connected
    reconnectTimer.stop();
    openTimer.start();
    socket.open(url);
}

void PartyStationClientPrivate::reconnectLater()
{
    pingTimer.stop();
    pongTimer.stop();
    openTimer.stop();
    if (!url.isEmpty() && !reconnectTimer.isActive())
        reconnectTimer.start();
}

QString PartyStationClientPrivate::shortened(const QByteArray& utf8) const
{
    if (jsonLengthLimit >= 0 && utf8.size() > jsonLengthLimit)
        return QString::fromUtf8(utf8.left(jsonLengthLimit)) + QLatin1String("...");
    return QString::fromUtf8(utf8);
}

void PartyStationClientPrivate::receive(const QByteArray& utf8)
{
    const DecodedFrame frame = decodeFrame(utf8);
    TQ_LOG(logging::Trace, context())
        << "textMessageReceived:\n"
               + shortened(jsonFormattingEnabled ? QJsonDocument(frame.envelope).toJson(QJsonDocument::Indented) : utf8);
    if (!frame.hasType) {
        TQ_LOG(logging::Trace, context()) << "message not contains `type` field";
        return;
    }
    if (frame.message) {
        QMetaObject::invokeMethod(
            q, [client = q, message = frame.message] { emit client->messageReceived(message); }, Qt::QueuedConnection);
    }
    if (storingIncomingMessageEnabled)
        store(frame.envelope, frame.typeName);
}

void PartyStationClientPrivate::store(const QJsonObject& frame, const QString& type) const
{
    const QString base = incomingMessageStoragePath.isEmpty() ? QStringLiteral("ps") : incomingMessageStoragePath;
    const QString folder = base + QStringLiteral("/%1").arg(runFolderName());
    QDir().mkpath(folder);
    if (!QDir(folder).exists()) {
        TQ_LOG(logging::Trace, context()) << "unable to create path" << folder << "for PartyStation incoming messages";
        return;
    }
    QMutexLocker lock(&storedMessagesMutex); // the number is taken only by a file that opened
    QFile file(folder + QStringLiteral("/%1_%2.json").arg(storedMessages, 4, 10, QLatin1Char('0')).arg(type));
    if (!file.open(QIODevice::WriteOnly))
        return;
    ++storedMessages;
    lock.unlock();
    file.write(QJsonDocument(frame).toJson(QJsonDocument::Indented));
}

PartyStationClient::PartyStationClient(QObject* parent) : QObject(parent), d(new PartyStationClientPrivate(this))
{
    setObjectName(QStringLiteral("PartyStationClient"));
    PartyStationClientPrivate* p = d.get();
    QWebSocket* socket = &p->socket;
    // Host-facing signals go out from the event loop: a host may delete the client in them.
    connect(socket, &QWebSocket::connected, this, [this, p] {
        TQ_LOG(logging::Trace, p->context()) << "connected";
        p->openTimer.stop();
        p->reconnectTimer.stop();
        p->pingTimer.start();
        QMetaObject::invokeMethod(this, &PartyStationClient::connected, Qt::QueuedConnection);
    });
    connect(socket, &QWebSocket::disconnected, this, [this, p] {
        TQ_LOG(logging::Trace, p->context()) << "disconnected";
        QMetaObject::invokeMethod(this, &PartyStationClient::disconnected, Qt::QueuedConnection);
        p->reconnectLater();
    });
    connect(socket, &QWebSocket::pong, this, [p] {
        if (!p->pongTimer.isActive())
            return; // not an answer to our ping
        p->pongTimer.stop();
        p->pingTimer.start();
    });
    connect(socket, qOverload<QAbstractSocket::SocketError>(&QWebSocket::error), this, [p](QAbstractSocket::SocketError error) {
        TQ_LOG(logging::Warning, p->context()) << "errorOccurred" << int(error) << p->socket.errorString();
    });
#ifndef QT_NO_SSL
    connect(socket, &QWebSocket::sslErrors, this, [p](const QList<QSslError>& errors) {
        TQ_LOG(logging::Trace, p->context()) << "ssl errors occurred:" << errors;
        p->socket.ignoreSslErrors();
    });
#endif
    connect(socket, &QWebSocket::textMessageReceived, this, [p](const QString& text) { p->receive(text.toUtf8()); });
    connect(&p->pingTimer, &tq::ClockTimer::timeout, this, [p] {
        p->pongTimer.start();
        p->socket.ping();
    });
    connect(&p->pongTimer, &tq::ClockTimer::timeout, this, [p] {
        TQ_LOG(logging::Warning, p->context()) << "pong timer timeout, try reconnect";
        if (p->socket.isValid())
            p->socket.close(QWebSocketProtocol::CloseCodeNormal); // its disconnection reconnects
        else
            p->reconnectLater();
    });
    connect(&p->openTimer, &tq::ClockTimer::timeout, this, [p] {
        TQ_LOG(logging::Trace, p->context()) << "no handshake within" << openingTimeoutMs / 1000 << "s, try reconnect";
        p->socket.abort();
        p->reconnectLater();
    });
    connect(&p->reconnectTimer, &tq::ClockTimer::timeout, this, [p] {
        TQ_LOG(logging::Trace, p->context()) << "reconnect";
        p->open();
    });
}

PartyStationClient::~PartyStationClient()
{
    // Nothing more goes out: the socket's closing must not reach the slots above.
    d->socket.disconnect();
    d->socket.abort();
}

void PartyStationClient::startListen(const QString& url)
{
    d->url = QUrl(url);
    const QNetworkProxy proxy = d->socket.proxy();
    const bool proxied = proxy.type() != QNetworkProxy::NoProxy && proxy.type() != QNetworkProxy::DefaultProxy;
    TQ_LOG(logging::Trace, d->context())
        << QStringLiteral("connect to %1, %2")
               .arg(url, proxied ? QStringLiteral("proxy used %1").arg(proxy.hostName())
                                 : QStringLiteral("proxy is not used"));
    d->open();
}

void PartyStationClient::stopListen()
{
    d->url.clear();
    d->reconnectTimer.stop();
    d->reconnectLater(); // stops the other timers; without a URL nothing restarts
    // A close frame only on an open connection: Qt warns when it writes to a closed one.
    if (d->socket.state() == QAbstractSocket::ConnectedState)
        d->socket.close(QWebSocketProtocol::CloseCodeNormal, QString());
    else if (d->socket.state() != QAbstractSocket::UnconnectedState)
        d->socket.abort();
}

bool PartyStationClient::sendMessage(const QSharedPointer<OutcomingMessage>& message)
{
    if (!message)
        return false;
    const QJsonDocument envelope(message->toJson());
    const QByteArray text = envelope.toJson(QJsonDocument::Indented);
    TQ_LOG(logging::Trace, d->context())
        << "sendMessage:\n"
               + d->shortened(d->jsonFormattingEnabled ? text : envelope.toJson(QJsonDocument::Compact));
    if (d->socket.state() != QAbstractSocket::ConnectedState) {
        TQ_LOG(logging::Trace, d->context()) << "sendMessage: not connected, dropped" << message->typeName();
        return false;
    }
    return d->socket.sendTextMessage(QString::fromUtf8(text)) > 0;
}

void PartyStationClient::readIncomingMessage(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        TQ_LOG(logging::Trace, d->context()) << "unable to open" << path;
        return;
    }
    const bool storing = d->storingIncomingMessageEnabled;
    d->storingIncomingMessageEnabled = false;
    d->receive(file.readAll());
    d->storingIncomingMessageEnabled = storing;
}

void PartyStationClient::setJsonLengthLimit(int limit)
{
    d->jsonLengthLimit = limit;
}

void PartyStationClient::setJsonFormattingEnabled(bool enabled)
{
    d->jsonFormattingEnabled = enabled;
}

void PartyStationClient::setStoringIncomingMessageEnabled(bool enabled)
{
    d->storingIncomingMessageEnabled = enabled;
}

void PartyStationClient::setIncomingMessageStoragePath(const QString& path)
{
    d->incomingMessageStoragePath = path;
}

void PartyStationClient::setProxy(const QNetworkProxy& proxy)
{
    d->socket.setProxy(proxy);
}

void PartyStationClient::setClock(tq::Clock* clock)
{
    for (tq::ClockTimer* timer : {&d->pingTimer, &d->pongTimer, &d->reconnectTimer, &d->openTimer})
        timer->setClock(clock);
}

} // namespace pstv
