#include "partystation/partystationclient.h"

#include "platform/logging.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QTimer>
#include <QWebSocket>

#include <atomic>

namespace pstv {

class PartyStationClientPrivate
{
public:
    explicit PartyStationClientPrivate(PartyStationClient* q) : q(q)
    {
        for (QTimer* timer : {&pingTimer, &pongTimer, &reconnectTimer})
            timer->setSingleShot(true);
        pingTimer.setInterval(10000);
        pongTimer.setInterval(3000);
        reconnectTimer.setInterval(5000);
    }

    QString context() const { return q->objectName(); }
    // An opening whose handshake never ends (a black-holed network, a refused connection
    // that reports no disconnection) would stall the cycle: the pong wait bounds it too.
    void open()
    {
        socket.open(url);
        pongTimer.start();
    }
    QString shortened(const QByteArray& utf8) const;
    void receive(const QByteArray& utf8);
    void store(const QJsonObject& frame, const QString& type) const;

    PartyStationClient* q;
    int jsonLengthLimit = 0;
    bool jsonFormattingEnabled = false;
    bool storingIncomingMessageEnabled = false;
    QString incomingMessageStoragePath;
    QTimer pingTimer;
    QTimer pongTimer;
    QTimer reconnectTimer;
    QUrl url;
    QWebSocket socket{QString(), QWebSocketProtocol::Version13};
};

namespace {

// Process-wide: every client of the run writes into one folder with one numbering.
std::atomic<int> storedMessages{0};

const QString& runFolderName()
{
    static const QString name = QDateTime::currentDateTime().toString(QStringLiteral("yyyy_MM_dd-hh_mm_ss"));
    return name;
}

} // namespace

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
    if (frame.message)
        emit q->messageReceived(frame.message);
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
    QFile file(folder + QStringLiteral("/%1_%2.json").arg(storedMessages.load(), 4, 10, QLatin1Char('0')).arg(type));
    if (!file.open(QIODevice::WriteOnly))
        return;
    ++storedMessages;
    file.write(QJsonDocument(frame).toJson(QJsonDocument::Indented));
}

PartyStationClient::PartyStationClient(QObject* parent) : QObject(parent), d(new PartyStationClientPrivate(this))
{
    setObjectName(QStringLiteral("PartyStationClient"));
    QWebSocket* socket = &d->socket;
    connect(socket, &QWebSocket::connected, this, [this] {
        TQ_LOG(logging::Trace, d->context()) << "connected";
        d->reconnectTimer.stop();
        d->pongTimer.stop(); // it guarded the opening
        d->pingTimer.start();
        emit connected();
    });
    connect(socket, &QWebSocket::disconnected, this, [this] {
        TQ_LOG(logging::Trace, d->context()) << "disconnected";
        d->pingTimer.stop();
        d->pongTimer.stop();
        emit disconnected();
        if (!d->url.isEmpty())
            d->reconnectTimer.start();
    });
    connect(socket, &QWebSocket::pong, this, [this] {
        d->pongTimer.stop();
        d->pingTimer.start();
    });
    connect(socket, qOverload<QAbstractSocket::SocketError>(&QWebSocket::error), this, [this](QAbstractSocket::SocketError error) {
        TQ_LOG(logging::Warning, d->context()) << "errorOccurred" << int(error) << d->socket.errorString();
    });
#ifndef QT_NO_SSL
    connect(socket, &QWebSocket::sslErrors, this, [this](const QList<QSslError>& errors) {
        TQ_LOG(logging::Trace, d->context()) << "ssl errors occurred:" << errors;
        d->socket.ignoreSslErrors();
    });
#endif
    connect(socket, &QWebSocket::textMessageReceived, this,
            [this](const QString& text) { d->receive(text.toUtf8()); });
    connect(&d->pingTimer, &QTimer::timeout, this, [this] {
        d->pongTimer.start();
        d->socket.ping();
    });
    connect(&d->pongTimer, &QTimer::timeout, this, [this] {
        TQ_LOG(logging::Warning, d->context()) << "pong timer timeout, try reconnect";
        if (d->socket.isValid()) {
            d->socket.close(QWebSocketProtocol::CloseCodeNormal);
        } else {
            d->socket.abort(); // an opening that never finished
            d->reconnectTimer.start();
        }
    });
    connect(&d->reconnectTimer, &QTimer::timeout, this, [this] {
        TQ_LOG(logging::Trace, d->context()) << "reconnect";
        d->open();
    });
}

PartyStationClient::~PartyStationClient()
{
    // Nothing more goes out: the socket's closing must not reach the slots above.
    d->socket.disconnect(this);
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
    d->pingTimer.stop();
    d->pongTimer.stop();
    d->reconnectTimer.stop();
    d->url.clear();
    d->socket.close(QWebSocketProtocol::CloseCodeNormal, QString());
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
        TQ_LOG(logging::Warning, d->context()) << "sendMessage: not connected, dropped" << message->typeName();
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

void PartyStationClient::setTimerIntervals(std::chrono::milliseconds ping, std::chrono::milliseconds pong,
                                           std::chrono::milliseconds reconnect)
{
    d->pingTimer.setInterval(ping);
    d->pongTimer.setInterval(pong);
    d->reconnectTimer.setInterval(reconnect);
}

} // namespace pstv
