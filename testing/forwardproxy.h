#pragma once
// A real forward HTTP proxy for tests: Debian's tinyproxy, started on 127.0.0.1 with a
// throw-away configuration and stopped with the object. Tests skip when it is not installed,
// and under a user-mode emulator (the cross-built suite under qemu), which cannot start it.

#include <QProcess>
#include <QTemporaryDir>

namespace fake {

class ForwardProxy
{
public:
    ForwardProxy() = default;
    ~ForwardProxy();
    ForwardProxy(const ForwardProxy&) = delete;
    ForwardProxy& operator=(const ForwardProxy&) = delete;

    // Why the proxy cannot run here ("tinyproxy is not installed", ...); empty when it can.
    static QString unavailable();
    static bool isAvailable() { return unavailable().isEmpty(); }
    // Starts the proxy and waits until it accepts connections. False when it did not come up.
    bool start();
    void stop();
    quint16 port() const { return m_port; }
    // Everything the proxy logged so far (one line per forwarded request, among others).
    QString log() const;

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
};

} // namespace fake
