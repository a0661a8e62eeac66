// The channel list through the whole engine (context, client, worker thread, decoding), as
// the host asks for it, against the fake platform in a thread of its own: answered in JSON
// and in CBOR, alternated round by round in one run.
//
//   bench_channels [channels=200] [requests per round=16] [inFlight=4] [rounds=15]
//
// Prints requests per second, client-side CPU microseconds per request (process CPU minus
// the server thread's) and the CBOR/JSON ratios (medians of the rounds), then the answer's
// size and the worker's decoding time of each form.

#include "benchkit.h"
#include "fakeplatform.h"
#include "summary.h"

#include "api/catalogue.h"
#include "engine/clientfacade.h"
#include "engine/requestlistener.h"
#include "engine/tqcontext.h"
#include "platform/configurationmanager.h"
#include "platform/logging.h"
#include "platform/requestheaderpropertyprovider.h"
#include "transport/configwrapper.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

using bench::Result;

// The same request without the CBOR decoder: the backend then asks for JSON only.
class JsonChannelsRequest : public tq::GetChannelsRequest
{
public:
    std::function<tq::RequestRawData()> rawDataCreator() const override
    {
        return [creator = GetChannelsRequest::rawDataCreator()] {
            tq::RequestRawData raw = creator();
            raw.responseCborExtractor = nullptr;
            return raw;
        };
    }
};

// What the worker saw of the answers: their size and its decoding time.
struct AnswerProbe : tq::ITqRequestListener
{
    void requestEvent(const tq::RequestEvent& event) override
    {
        if (event.kind != tq::RequestEvent::Answered)
            return;
        answers.fetchAndAddRelaxed(1);
        bytes.storeRelaxed(event.bytes);
        decodeNs.fetch_add(event.decodeNs, std::memory_order_relaxed);
    }
    QAtomicInt answers;
    QAtomicInteger<qint64> bytes;
    std::atomic<qint64> decodeNs{0};
};

// A failure ends a request too, and spoils the run.
struct FailureCatcher : tq::ITqRequestErrorHandler
{
    bool handleRequestError(qint64, const tq::RequestError&) override
    {
        failed = true;
        onEnd();
        return true;
    }
    bool failed = false;
    std::function<void()> onEnd;
};

// Sends `total` requests, `inFlight` at a time; returns what they cost, or nothing when an
// answer failed or was not the whole line-up.
std::optional<Result> runChannels(int total, int inFlight, int channels, bench::ServerThread& server,
                                  tq::TqClientFacade* client, const tq::AbstractRequest& request)
{
    bool complete = true;
    FailureCatcher catcher;
    client->appendErrorHandler(&catcher);
    const auto answered = QObject::connect(client, &tq::TqClientFacade::dataReceived, [&](qint64, const QVariant& answer) {
        complete = complete && answer.value<tq::GetChannelsResponse>().items.size() == channels;
        catcher.onEnd();
    });
    const Result r = bench::run(total, inFlight, server, [&](const std::function<void()>& onDone) {
        if (!catcher.onEnd) // every answer completes one request: the same callback for all
            catcher.onEnd = onDone;
        client->sendRequest(&request);
    });
    QObject::disconnect(answered);
    client->removeErrorHandler(&catcher);
    if (!complete || catcher.failed)
        return std::nullopt;
    return r;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    logging::setLogLevel(logging::Warning);
    const int channels = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    const int total = argc > 2 ? std::max(1, std::atoi(argv[2])) : 16;
    const int inFlight = argc > 3 ? std::max(1, std::atoi(argv[3])) : 4;
    // Many short rounds: one round's ratio strays by a tenth on a shared machine, and the
    // median of many is steadier than that of a few long ones.
    const int rounds = argc > 4 ? std::max(1, std::atoi(argv[4])) : 15;

    const QString session = QStringLiteral("bench");
    bench::ServerThread server([channels, session](fake::FakeHttpServer& s) {
        auto platform = std::make_shared<fake::FakePlatform>(s);
        platform->setChannelCount(channels);
        platform->addSession(session);
        return platform;
    });
    server.startAndWait();
    stbconfig::ConfigurationManager store;
    tq::TqConfigWrapper(&store).setApiUrl(server.baseUrl());
    tq::TqConfigWrapper(&store).setSessionId(session);
    stbcore::FixedPropertyProvider provider;
    provider.session = session;
    tq::TqContext context(&store);
    context.setPropertyProvider(&provider);
    std::unique_ptr<tq::TqClientFacade> client(context.createClient());

    const tq::GetChannelsRequest cbor;
    const JsonChannelsRequest json;
    const tq::AbstractRequest* forms[2] = {&json, &cbor};
    const char* names[2] = {"JSON", "CBOR"};
    std::vector<double> rate[2], cpu[2], rateRatio, cpuRatio;
    for (int round = -1; round < rounds; ++round) { // round -1 warms both up
        for (int turn = 0; turn < 2; ++turn) {
            // Which form goes first alternates: a drift of the machine's pace within a
            // round then favours neither.
            const int form = (turn + round + 2) % 2;
            const std::optional<Result> r = runChannels(total, inFlight, channels, server, client.get(), *forms[form]);
            if (!r) {
                std::fprintf(stderr, "the %s line-up did not arrive whole\n", names[form]);
                return 1;
            }
            if (round >= 0) {
                rate[form].push_back(total / r->seconds);
                cpu[form].push_back(r->clientCpu / total * 1e6);
            }
        }
        if (round >= 0) {
            rateRatio.push_back(rate[1].back() / rate[0].back());
            cpuRatio.push_back(cpu[1].back() / cpu[0].back());
        }
    }

    std::printf("channel list of %d channels through the engine, %d requests x %d rounds, %d in flight (medians)\n",
                channels, total, rounds, inFlight);
    for (int form = 0; form < 2; ++form) {
        AnswerProbe probe;
        context.setRequestListener(&probe);
        runChannels(10, 1, channels, server, client.get(), *forms[form]);
        context.setRequestListener(nullptr);
        const int answers = std::max(1, probe.answers.loadRelaxed());
        std::printf("%s: %7.1f req/s %8.1f us CPU/req | answer %lld bytes, decoded in %.1f us on the worker\n",
                    names[form], bench::median(rate[form]), bench::median(cpu[form]),
                    qint64(probe.bytes.loadRelaxed()), double(probe.decodeNs.load()) / answers / 1e3);
    }
    std::printf("CBOR/JSON (median of the rounds' ratios): throughput ratio %.2f, CPU ratio %.2f\n",
                bench::median(rateRatio), bench::median(cpuRatio));
    bench::summary("channel list through the engine, CBOR / JSON CPU per request", bench::Goal::AtMost, 0.40,
                   bench::median(cpuRatio));
    client.reset();
    server.quit();
    server.wait();
    return 0;
}
