#include "forwardproxy.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

namespace fake {
namespace {

QString executable()
{
    return QStandardPaths::findExecutable(QStringLiteral("tinyproxy"));
}

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

bool accepts(quint16 port)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    return socket.waitForConnected(200);
}

} // namespace

ForwardProxy::~ForwardProxy()
{
    stop();
}

QString ForwardProxy::unavailable()
{
    // qemu's user mode rejects the clone flags QProcess forks with; CTest names the emulator.
    const QString emulator = qEnvironmentVariable("TQ_EMULATOR");
    if (!emulator.isEmpty())
        return QStringLiteral("tinyproxy cannot be started under %1 (QProcess cannot fork there)").arg(emulator);
    if (executable().isEmpty())
        return QStringLiteral("tinyproxy is not installed");
    return QString();
}

bool ForwardProxy::start()
{
    if (!isAvailable() || !m_dir.isValid())
        return false;
    // A port taken between the probe and tinyproxy's bind only costs another attempt.
    for (int attempt = 0; attempt < 5; ++attempt) {
        m_port = freePort();
        QFile config(m_dir.filePath(QStringLiteral("tinyproxy.conf")));
        if (!config.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return false;
        config.write(QStringLiteral("Port %1\nListen 127.0.0.1\nAllow 127.0.0.1\nTimeout 30\n"
                                    "LogFile \"%2\"\nLogLevel Info\nMaxClients 20\n")
                         .arg(m_port)
                         .arg(m_dir.filePath(QStringLiteral("tinyproxy.log")))
                         .toUtf8());
        config.close();
        // -d keeps it in the foreground, so the process object owns it.
        m_process.start(executable(), {QStringLiteral("-d"), QStringLiteral("-c"), config.fileName()});
        if (!m_process.waitForStarted(5000))
            return false;
        const QDeadlineTimer deadline(5000);
        while (!deadline.hasExpired() && m_process.state() == QProcess::Running) {
            if (accepts(m_port))
                return true;
            QThread::msleep(20);
        }
        stop();
    }
    return false;
}

void ForwardProxy::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(3000)) {
        m_process.kill();
        m_process.waitForFinished(3000);
    }
}

QString ForwardProxy::log() const
{
    QFile file(m_dir.filePath(QStringLiteral("tinyproxy.log")));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace fake
