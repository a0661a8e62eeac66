// Throughput and CPU cost of the whole engine against a bare QNetworkAccessManager, on the
// same in-process fake server running in a thread of its own, in one run.
//
//   bench_engine [requests per round=3000] [inFlight=100] [--no-memory|--only-bare|--only-engine]
//
// Prints requests per second, client-side CPU microseconds per request (process CPU minus
// the server thread's) and their ratios: medians of fifteen pairs of rounds, bare and engine
// back to back, with the spread of the pairs' ratios (one pair's ratio strays by a tenth or
// more on a shared machine, so many short pairs give a steadier median than a few long
// ones); then peak RSS after 1k and after 100k engine requests.

#include "benchkit.h"
#include "pathrequest.h"
#include "summary.h"

#include "engine/clientfacade.h"
#include "engine/requestlistener.h"
#include "engine/tqcontext.h"
#include "platform/configurationmanager.h"
#include "platform/logging.h"
#include "platform/requestheaderpropertyprovider.h"
#include "transport/configwrapper.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

using bench::Result;
using bench::ServerThread;

long peakRssKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

std::shared_ptr<void> smallRoute(fake::FakeHttpServer& server, int headerPadding)
{
    const QByteArray padding(headerPadding, 'x');
    server.route("GET", QStringLiteral("/api/v2/small"), [padding](const fake::HttpRequest&) {
        auto response = fake::HttpResponse::withBody(200, "application/json", "{\"id\":1,\"name\":\"n\"}");
        if (!padding.isEmpty()) // a realistic front end's header block
            response.header("X-Padding", padding);
        return response;
    });
    return nullptr;
}

Result runBare(int total, int inFlight, ServerThread& server)
{
    QNetworkAccessManager manager;
    manager.setProxy(QNetworkProxy::NoProxy);
    const QUrl url(server.baseUrl() + QStringLiteral("/api/v2/small"));
    return bench::run(total, inFlight, server, [&](std::function<void()> onDone) {
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
    Result r = bench::run(total, inFlight, server, [&](const std::function<void()>& onDone) {
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

// Pairs of rounds of the same size, bare and engine: the medians of the rates, of the CPU
// per request and of the pairs' ratios (the machine may be shared).
void report(const char* what, int total, const std::vector<Result>& bare, const std::vector<Result>& engine,
            bool summarise)
{
    std::vector<double> bareRate, engineRate, bareCpu, engineCpu, rateRatio, cpuRatio;
    for (size_t i = 0; i < bare.size(); ++i) {
        bareRate.push_back(total / bare[i].seconds);
        engineRate.push_back(total / engine[i].seconds);
        bareCpu.push_back(bare[i].clientCpu / total * 1e6);
        engineCpu.push_back(engine[i].clientCpu / total * 1e6);
        rateRatio.push_back(engineRate.back() / bareRate.back());
        cpuRatio.push_back(engineCpu.back() / bareCpu.back());
    }
    const auto [lowRate, highRate] = std::minmax_element(rateRatio.begin(), rateRatio.end());
    const auto [lowCpu, highCpu] = std::minmax_element(cpuRatio.begin(), cpuRatio.end());
    std::printf("%-22s bare QNAM %8.0f req/s %7.1f us CPU/req | engine %8.0f req/s %7.1f us CPU/req | "
                "throughput ratio %.2f (%.2f-%.2f), CPU ratio %.2f (%.2f-%.2f), median of %zu pairs\n",
                what, bench::median(bareRate), bench::median(bareCpu), bench::median(engineRate),
                bench::median(engineCpu), bench::median(rateRatio), *lowRate, *highRate, bench::median(cpuRatio),
                *lowCpu, *highCpu, bare.size());
    if (!summarise) // a profiling run of one side only
        return;
    const std::string name = std::string("engine / bare QNAM, ") + what;
    bench::summary((name + ": throughput").c_str(), bench::Goal::AtLeast, 0.90, bench::median(rateRatio));
    bench::summary((name + ": CPU per request").c_str(), bench::Goal::AtMost, 1.15, bench::median(cpuRatio));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    logging::setLogLevel(logging::Warning);
    const int total = argc > 1 ? std::atoi(argv[1]) : 3000;
    const int inFlight = argc > 2 ? std::atoi(argv[2]) : 100;
    // Profiling runs (callgrind) look at one side at a time and skip the memory stage.
    const QByteArray mode = argc > 3 ? QByteArray(argv[3]) : QByteArray();
    const bool skipMemory = !mode.isEmpty();
    const bool bareOnly = mode == "--only-bare", engineOnly = mode == "--only-engine";

    for (int padding : {0, 480}) {
        ServerThread server([padding](fake::FakeHttpServer& s) { return smallRoute(s, padding); });
        server.startAndWait();
        stbconfig::ConfigurationManager store;
        tq::TqConfigWrapper(&store).setApiUrl(server.baseUrl());
        stbcore::FixedPropertyProvider provider;
        tq::TqContext context(&store);
        context.setPropertyProvider(&provider);
        std::unique_ptr<tq::TqClientFacade> client(context.createClient());

        runBare(500, inFlight, server); // warm both paths up
        runEngine(500, inFlight, server, client.get());
        std::vector<Result> bare, engine;
        for (int pair = 0; pair < (bareOnly || engineOnly ? 1 : 15); ++pair) {
            // Which side goes first alternates: a drift of the machine's pace within a pair
            // then favours neither.
            const auto runOne = [&](bool engineSide) {
                if (engineSide)
                    engine.push_back(bareOnly ? Result{1, 1} : runEngine(total, inFlight, server, client.get()));
                else
                    bare.push_back(engineOnly ? Result{1, 1} : runBare(total, inFlight, server));
            };
            runOne(pair % 2 == 1);
            runOne(pair % 2 == 0);
        }
        report(padding ? "~550-byte headers" : "small headers", total, bare, engine, !bareOnly && !engineOnly);

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
            std::printf("request listener: %d events; with / without (median of 5): throughput ratio %.2f, "
                        "CPU ratio %.2f\n",
                        counter.events.loadRelaxed(), bench::median(throughput), bench::median(cpu));
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
