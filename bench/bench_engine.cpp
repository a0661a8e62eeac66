// Throughput and CPU cost of the whole engine against a bare QNetworkAccessManager, on the
// same in-process fake server running in a thread of its own, in one run.
//
//   bench_engine [requests=10000] [inFlight=100] [--no-memory|--only-bare|--only-engine]
//
// Prints requests per second, client-side CPU microseconds per request (process CPU minus
// the server thread's), their ratios, and peak RSS after 1k and after 100k engine requests.

#include "fakehttpserver.h"
#include "pathrequest.h"

#include "engine/clientfacade.h"
#include "engine/requestlistener.h"
#include "engine/tqcontext.h"
#include "platform/configurationmanager.h"
#include "platform/logging.h"
#include "platform/requestheaderpropertyprovider.h"
#include "transport/configwrapper.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSemaphore>
#include <QThread>
#include <QTimer>

#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

double cpuSeconds(clockid_t clock)
{
    timespec ts{};
    clock_gettime(clock, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

long peakRssKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// The fake server lives in its own thread so that client and server never share a loop.
class ServerThread : public QThread
{
public:
    explicit ServerThread(int headerPadding) : m_padding(headerPadding) {}

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
        const QByteArray padding(m_padding, 'x');
        server.route("GET", QStringLiteral("/api/v2/small"), [padding](const fake::HttpRequest&) {
            auto response = fake::HttpResponse::withBody(200, "application/json", "{\"id\":1,\"name\":\"n\"}");
            if (!padding.isEmpty()) // a realistic front end's header block
                response.header("X-Padding", padding);
            return response;
        });
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
    int m_padding;
    QString m_baseUrl;
    std::atomic<double> m_cpu{0};
    QSemaphore m_ready;
};

struct Result
{
    double seconds = 0;
    double clientCpu = 0;
};

// Keeps `inFlight` requests going until `total` are answered.
Result run(int total, int inFlight, ServerThread& server, const std::function<void(std::function<void()>)>& sendOne)
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
    QThread::msleep(20); // let the server's CPU probe catch up
    Result r;
    r.seconds = wall.nsecsElapsed() / 1e9;
    r.clientCpu = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - server.cpu() - cpu0;
    return r;
}

Result runBare(int total, int inFlight, ServerThread& server)
{
    QNetworkAccessManager manager;
    manager.setProxy(QNetworkProxy::NoProxy);
    const QUrl url(server.baseUrl() + QStringLiteral("/api/v2/small"));
    return run(total, inFlight, server, [&](std::function<void()> onDone) {
        QNetworkReply* reply = manager.get(QNetworkRequest(url));
        QObject::connect(reply, &QNetworkReply::finished, reply, [reply, onDone] {
            reply->readAll();
            reply->deleteLater();
            onDone();
        });
    });
}

Result runEngine(int total, int inFlight, ServerThread& server, tq::TqClientFacade* client)
{
    const fake::PathRequest request(tq::MethodType::TqApi, QStringLiteral("/small"));
    // Every answer completes one request; the completion callback is the same for all.
    std::function<void()> onAnswer;
    QMetaObject::Connection connection =
        QObject::connect(client, &tq::TqClientFacade::dataReceived, [&onAnswer] { onAnswer(); });
    Result r = run(total, inFlight, server, [&](const std::function<void()>& onDone) {
        if (!onAnswer)
            onAnswer = onDone;
        client->sendRequest(&request);
    });
    QObject::disconnect(connection);
    return r;
}

struct CountingListener : tq::ITqRequestListener
{
    void requestEvent(const tq::RequestEvent&) override { events.fetchAndAddRelaxed(1); }
    QAtomicInt events;
};

void report(const char* what, int total, const Result& bare, const Result& engine)
{
    const double bareRate = total / bare.seconds, engineRate = total / engine.seconds;
    const double bareCpu = bare.clientCpu / total * 1e6, engineCpu = engine.clientCpu / total * 1e6;
    std::printf("%-22s bare QNAM %8.0f req/s %7.1f us CPU/req | engine %8.0f req/s %7.1f us CPU/req | "
                "throughput ratio %.2f, CPU ratio %.2f\n",
                what, bareRate, bareCpu, engineRate, engineCpu, engineRate / bareRate, engineCpu / bareCpu);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    logging::setLogLevel(logging::Warning);
    const int total = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int inFlight = argc > 2 ? std::atoi(argv[2]) : 100;
    // Profiling runs (callgrind) look at one side at a time and skip the memory stage.
    const QByteArray mode = argc > 3 ? QByteArray(argv[3]) : QByteArray();
    const bool skipMemory = !mode.isEmpty();
    const bool bareOnly = mode == "--only-bare", engineOnly = mode == "--only-engine";

    for (int padding : {0, 480}) {
        ServerThread server(padding);
        server.startAndWait();
        stbconfig::ConfigurationManager store;
        tq::TqConfigWrapper(&store).setApiUrl(server.baseUrl());
        stbcore::FixedPropertyProvider provider;
        tq::TqContext context(&store);
        context.setPropertyProvider(&provider);
        std::unique_ptr<tq::TqClientFacade> client(context.createClient());

        runBare(500, inFlight, server); // warm both paths up
        runEngine(500, inFlight, server, client.get());
        const Result bare = engineOnly ? Result{1, 1} : runBare(total, inFlight, server);
        const Result engine = bareOnly ? Result{1, 1} : runEngine(total, inFlight, server, client.get());
        report(padding ? "~550-byte headers" : "small headers", total, bare, engine);

        if (padding == 0 && !skipMemory) {
            // The request listener's price: the same engine run with one that counts events,
            // alternated with runs without it; the median of five pairs (the machine may be shared).
            CountingListener counter;
            std::vector<double> throughput, cpu;
            for (int round = 0; round < 5; ++round) {
                context.setRequestListener(&counter);
                const Result listened = runEngine(total, inFlight, server, client.get());
                context.setRequestListener(nullptr);
                const Result plain = runEngine(total, inFlight, server, client.get());
                throughput.push_back(plain.seconds / listened.seconds);
                cpu.push_back(listened.clientCpu / plain.clientCpu);
            }
            const auto median = [](std::vector<double> v) {
                std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
                return v[v.size() / 2];
            };
            std::printf("request listener: %d events; with / without (median of 5): throughput ratio %.2f, "
                        "CPU ratio %.2f\n",
                        counter.events.loadRelaxed(), median(throughput), median(cpu));
        }

        if (padding == 0 && !skipMemory) {
            runEngine(1000, inFlight, server, client.get());
            const long after1k = peakRssKiB();
            runEngine(100000, inFlight, server, client.get());
            const long after100k = peakRssKiB();
            std::printf("peak RSS: %ld KiB after 1k engine requests, %ld KiB after 100k more (growth %ld KiB)\n",
                        after1k, after100k, after100k - after1k);
        }
        client.reset();
        server.quit();
        server.wait();
    }
    return 0;
}
