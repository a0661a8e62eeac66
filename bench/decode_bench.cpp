// Decodes the platform's channel list (300 channels with every member filled, 10 guide
// items each) three ways and prints how they compare: the streaming CBOR reader, the JSON
// routine, and a CBOR document (QCborValue) walked through its JSON form; then the heap a
// decoded channel holds and what copying the decoded list allocates.

#include "model/cborreader_p.h"
#include "model/channels.h"
#include "model/decode.h"
#include "objectsamples.h"
#include "summary.h"

#include <QCborMap>
#include <QCborValue>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

#include <malloc.h>

// Bytes live on the heap (Qt's containers allocate with malloc, so count at malloc's level).
long long heapLive()
{
    return static_cast<long long>(mallinfo2().uordblks);
}

using ChannelsResponse = tq::GetChannelsResponse;

namespace {

constexpr int ChannelCount = 300;
constexpr int GuideItems = 10;

const QByteArray& cborAnswer()
{
    static const QByteArray bytes = tq::samples::channelListCbor(ChannelCount, GuideItems);
    return bytes;
}

const QByteArray& jsonAnswer()
{
    static const QByteArray bytes = tq::samples::channelListJson(ChannelCount, GuideItems);
    return bytes;
}

void checkItems(benchmark::State& state, const ChannelsResponse& response)
{
    if (response.items.size() != ChannelCount)
        state.SkipWithError("decoded the wrong number of channels");
}

void streamingCbor(benchmark::State& state)
{
    for (auto _ : state) {
        ChannelsResponse response;
        tq::CborReader reader(cborAnswer());
        response.fromCbor(reader);
        benchmark::DoNotOptimize(response.items.data());
        checkItems(state, response);
    }
    state.SetBytesProcessed(state.iterations() * cborAnswer().size());
}

void json(benchmark::State& state)
{
    for (auto _ : state) {
        const QVariant decoded = tq::decodeJson<ChannelsResponse>(jsonAnswer());
        const auto* response = static_cast<const ChannelsResponse*>(decoded.constData());
        benchmark::DoNotOptimize(response);
        checkItems(state, *response);
    }
    state.SetBytesProcessed(state.iterations() * jsonAnswer().size());
}

void cborDocument(benchmark::State& state)
{
    for (auto _ : state) {
        QCborParserError error;
        const QCborValue document = QCborValue::fromCbor(cborAnswer(), &error);
        // A document whose parse reported an error must not be used at all.
        if (error.error != QCborError::NoError) {
            state.SkipWithError("document did not parse");
            break;
        }
        ChannelsResponse response;
        response.fromJson(document.toMap().toJsonObject());
        benchmark::DoNotOptimize(response.items.data());
        checkItems(state, response);
    }
    state.SetBytesProcessed(state.iterations() * cborAnswer().size());
}

// Calibration: the reader alone, every key read and hashed, every value skipped. No
// decoder over QCborStreamReader can be faster than this.
int walkOnly(tq::CborReader& reader)
{
    int keys = 0;
    if (!reader.isContainer() || !reader.enterContainer())
        return keys;
    while (reader.hasNext() && reader.readKey()) {
        ++keys;
        if (reader.isContainer()) {
            if (reader.isMap()) {
                keys += walkOnly(reader);
                continue;
            }
            reader.enterContainer();
            while (reader.hasNext())
                reader.isMap() ? void(keys += walkOnly(reader)) : void(reader.next());
            reader.leaveContainer();
        } else if (reader.next() != 0) {
            return keys;
        }
    }
    reader.leaveContainer();
    return keys;
}

void readerOnly(benchmark::State& state)
{
    for (auto _ : state) {
        tq::CborReader reader(cborAnswer());
        benchmark::DoNotOptimize(walkOnly(reader));
    }
    state.SetBytesProcessed(state.iterations() * cborAnswer().size());
}

BENCHMARK(readerOnly)->Name("decode/cbor_reader_only");
BENCHMARK(streamingCbor)->Name("decode/cbor_streaming");
BENCHMARK(json)->Name("decode/json");
BENCHMARK(cborDocument)->Name("decode/cbor_document");

// Keeps the CPU time per iteration of each benchmark for the ratios: the median when
// repetitions are asked for (the machine is shared, single runs are noisy).
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    std::map<std::string, double> times;

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.error_occurred)
                continue;
            const std::string& name = run.run_name.function_name;
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                times[name] = run.GetAdjustedCPUTime();
            else if (run.run_type == Run::RT_Iteration && run.repetitions <= 1)
                times[name] = run.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

// What a decoded list holds on the heap, and what copying it costs: the list, the answer
// and every channel copied one by one must share their members instead of copying them.
void reportHeap()
{
    using bench::Goal;
    const long long before = heapLive();
    auto* response = new ChannelsResponse;
    tq::CborReader reader(cborAnswer());
    response->fromCbor(reader);
    const long long held = heapLive() - before;
    std::printf("\nheap held by the decoded list: %lld bytes, %lld per channel with its %d guide items\n", held,
                held / ChannelCount, GuideItems);
    bench::summary("heap per ChannelBrief (10 guide items) / its CBOR bytes", Goal::AtMost, 1.8,
                   double(held) / double(cborAnswer().size()));

    const long long beforeCopy = heapLive();
    {
        const ChannelsResponse copy = *response;                  // the answer
        QList<tq::ChannelBrief> oneByOne;
        oneByOne.reserve(copy.items.size());                      // one block for the list itself
        for (const tq::ChannelBrief& channel : copy.items)
            oneByOne.append(channel);                             // each channel
        const tq::ChannelBrief& last = oneByOne.constLast();
        const bool shared = last.name().constData() == response->items.constLast().name().constData()
                            && last.epgs().constData() == response->items.constLast().epgs().constData();
        std::printf("copying the answer and each of its %lld channels: %lld bytes more on the heap "
                    "(the new list's own array: %zu bytes); members shared: %s\n",
                    static_cast<long long>(copy.items.size()), heapLive() - beforeCopy,
                    sizeof(tq::ChannelBrief) * size_t(ChannelCount), shared ? "yes" : "NO");
    }
    delete response;
}

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const auto& t = reporter.times;
    const auto streaming = t.find("decode/cbor_streaming");
    if (streaming == t.end() || streaming->second <= 0)
        return 0;
    std::printf("\n%d channels, %d guide items each: CBOR %lld bytes, JSON %lld bytes\n", ChannelCount, GuideItems,
                static_cast<long long>(cborAnswer().size()), static_cast<long long>(jsonAnswer().size()));
    for (const char* other : {"decode/json", "decode/cbor_document", "decode/cbor_reader_only"}) {
        const auto found = t.find(other);
        if (found != t.end())
            std::printf("%-24s takes %.2fx the time of decode/cbor_streaming\n", other,
                        found->second / streaming->second);
    }
    const auto reader = t.find("decode/cbor_reader_only");
    const auto json = t.find("decode/json");
    if (reader != t.end() && reader->second > 0)
        bench::summary("CBOR decode / reader-only walk (time)", bench::Goal::AtMost, 1.30,
                       streaming->second / reader->second);
    if (json != t.end())
        bench::summary("JSON decode / CBOR decode (time)", bench::Goal::AtLeast, 2.5, json->second / streaming->second);
    reportHeap();
    return 0;
}
