// Linked against the shared library alone, as a host is: every platform request is built and
// its answer decoders run on an empty body. A template in a public header that reaches a
// hidden symbol fails this link; a decoder that does not accept an empty body fails the run.

#include "api/catalogue.h"

#include <QCoreApplication>

#include <cstdio>
#include <tuple>

namespace {

template<class R>
int build()
{
    const R request{};
    const tq::RequestRawData raw = request.rawDataCreator()();
    int faults = 0;
    if (raw.httpMethod.isEmpty()) {
        std::fprintf(stderr, "%s: no method\n", QMetaType::fromType<R>().name());
        ++faults;
    }
    if (raw.responseExtractor && !raw.responseExtractor(QByteArray()).isValid()) {
        std::fprintf(stderr, "%s: empty JSON answer gives no value\n", QMetaType::fromType<R>().name());
        ++faults;
    }
    if (raw.responseCborExtractor && !raw.responseCborExtractor(QByteArray()).isValid()) {
        std::fprintf(stderr, "%s: empty CBOR answer gives no value\n", QMetaType::fromType<R>().name());
        ++faults;
    }
    return faults;
}

template<class... R>
int buildAll(std::tuple<R...>*)
{
    return (0 + ... + build<R>());
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int faults = buildAll(static_cast<tq::PlatformCatalogue*>(nullptr));
    std::printf("%d platform requests built against the shared library, %d faults\n",
                int(std::tuple_size_v<tq::PlatformCatalogue>), faults);
    return faults == 0 ? 0 : 1;
}
