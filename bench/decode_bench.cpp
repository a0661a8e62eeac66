// Decodes one synthetic channel list answer three ways and prints how they compare:
// the streaming CBOR reader, the JSON routine, and a CBOR document (QCborValue) walked
// through its JSON form.

#include "model/decode.h"
#include "modelsamples.h"

#include <QCborMap>
#include <QCborValue>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

using tq::samples::ChannelsResponse;

namespace {

constexpr int ChannelCount = 300;

const QByteArray& cborAnswer()
{
    static const QByteArray bytes = tq::samples::channelsAnswerCbor(ChannelCount);
    return bytes;
}

const QByteArray& jsonAnswer()
{
    static const QByteArray bytes = tq::samples::channelsAnswerJson(ChannelCount);
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
    std::printf("\n%d channels: CBOR %lld bytes, JSON %lld bytes\n", ChannelCount,
                static_cast<long long>(cborAnswer().size()), static_cast<long long>(jsonAnswer().size()));
    for (const char* other : {"decode/json", "decode/cbor_document", "decode/cbor_reader_only"}) {
        const auto found = t.find(other);
        if (found != t.end())
            std::printf("%-24s takes %.2fx the time of decode/cbor_streaming\n", other,
                        found->second / streaming->second);
    }
    return 0;
}
