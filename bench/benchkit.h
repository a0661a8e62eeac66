#pragma once
// What the engine benchmarks share: a fake server in a thread of its own, a loop that keeps
// a number of requests in flight, CPU clocks and the median.

#include "fakehttpserver.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QSemaphore>
#include <QThread>
#include <QTimer>

#include <time.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

namespace bench {

inline double cpuSeconds(clockid_t clock)
{
    timespec ts{};
    clock_gettime(clock, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

inline double median(std::vector<double> values)
{
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

// The fake server lives in its own thread so that client and server never share a loop.
// `setup` installs the routes on that thread; what it returns lives as long as the server.
class ServerThread : public QThread
{
public:
    using Setup = std::function<std::shared_ptr<void>(fake::FakeHttpServer&)>;
    explicit ServerThread(Setup setup) : m_setup(std::move(setup)) {}

    QString baseUrl() const { return m_baseUrl; }
    double cpu() const { return m_cpu.load(); } // the server thread's CPU seconds so far

    void startAndWait()
    {
        start();
        m_ready.acquire();
    }

protected:
    void run() override
    {
        fake::FakeHttpServer server;
        const std::shared_ptr<void> routes = m_setup(server);
        QTimer cpuProbe;
        // The probe also empties the server's request record, which would otherwise grow
        // with every request and hide the engine's own memory use.
        QObject::connect(&cpuProbe, &QTimer::timeout, [this, &server] {
            m_cpu = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
            server.clearRequests();
        });
        cpuProbe.start(5);
        m_baseUrl = server.baseUrl();
        m_ready.release();
        exec();
    }

private:
    Setup m_setup;
    QString m_baseUrl;
    std::atomic<double> m_cpu{0};
    QSemaphore m_ready;
};

struct Result
{
    double seconds = 0;
    double clientCpu = 0; // process CPU minus the server thread's
};

// Keeps `inFlight` requests going until `total` are answered; sendOne sends one and calls
// its argument when that one is answered.
inline Result run(int total, int inFlight, ServerThread& server,
                  const std::function<void(std::function<void()>)>& sendOne)
{
    int sent = 0;
    int done = 0;
    QEventLoop loop;
    std::function<void()> onDone = [&] {
        ++done;
        if (sent < total) {
            ++sent;
            sendOne(onDone);
        }
        if (done == total)
            loop.quit();
    };
    const double cpu0 = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - server.cpu();
    QElapsedTimer wall;
    wall.start();
    for (; sent < std::min(inFlight, total); ++sent)
        sendOne(onDone);
    loop.exec();
    Result r;
    r.seconds = wall.nsecsElapsed() / 1e9;
    QThread::msleep(20); // let the server's CPU probe catch up
    r.clientCpu = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - server.cpu() - cpu0;
    return r;
}

} // namespace bench
