// What building a request's record costs, for every request of the platform catalogue:
// the creator taken from the request (a copy of it), run into its RequestRawData, and the
// path creator run when the path has placeholders, as the engine does for each send.
//
//   bench_catalogue [runs per round=50] [rounds=21] [only this request, for a profiler]
//
// Two forms of each request: "path only" (default-constructed but for the id, text and
// content kind its path needs) and "all arguments" (every query argument and filter set
// too). Prints the median and total over the catalogue and the worst ten by time and by
// heap allocations. Times are medians of the rounds; each is also given as a ratio to a
// baseline timed right before it (the channel list's URL and query built by hand with QUrl
// and QUrlQuery), the median of those ratios, which a shared machine disturbs less.

#include "benchkit.h"
#include "summary.h"

#include "api/catalogue.h"

#include <QUrl>
#include <QUrlQuery>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// Heap allocations are counted at malloc, not at operator new: Qt's containers and strings
// allocate with malloc, and libstdc++'s operator new ends there too.
extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* pointer, size_t size);
}

namespace {
// Relaxed atomics: only the measuring thread allocates while a count is taken.
std::atomic<unsigned long> allocations{0};
std::atomic<unsigned long> allocatedBytes{0};

inline void counted(size_t size)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    allocatedBytes.fetch_add(size, std::memory_order_relaxed);
}
} // namespace

extern "C" void* malloc(size_t size) noexcept
{
    counted(size);
    return __libc_malloc(size);
}
extern "C" void* calloc(size_t count, size_t size) noexcept
{
    counted(count * size);
    return __libc_calloc(count, size);
}
extern "C" void* realloc(void* pointer, size_t size) noexcept
{
    counted(size);
    return __libc_realloc(pointer, size);
}

namespace {

using namespace tq;

volatile qsizetype sink = 0; // keeps the optimiser from dropping the work

struct Cost
{
    double ns = 0;
    double ratio = 0; // to the baseline timed right before, so that a busy moment hits both
    unsigned long allocations = 0;
    unsigned long bytes = 0;
    unsigned long phase[3] = {}; // allocations: taking the creator, running it, the path creator
};

// Every query argument set to a value that is sent.
template<class R, class Owner, class Member>
void setArgument(R& request, const kit::QueryArgument<Owner, Member>& argument)
{
    Member& value = request.*argument.member;
    if constexpr (std::is_same_v<Member, QString>) {
        value = QStringLiteral("star wars");
    } else if constexpr (kit::isEnumList<Member>) {
        using Enum = typename Member::value_type;
        value = {Enum(1), Enum(2)};
    } else if constexpr (std::is_same_v<Member, QStringList>) {
        value = {QStringLiteral("drama"), QStringLiteral("sci fi")};
    } else if constexpr (kit::isList<Member>) {
        value = {5, 7};
    } else if constexpr (std::is_same_v<Member, bool> || std::is_same_v<Member, std::optional<bool>>) {
        value = true;
    } else if constexpr (std::is_enum_v<Member>) {
        value = Member(1);
    } else {
        value = argument.rule == Send::Year ? 2020 : 42;
    }
}

template<class R>
R prepared(bool allArguments)
{
    R request;
    if constexpr (kit::declares<R, kit::IdMember>)
        request.id = 42;
    if constexpr (std::is_same_v<R, DiscoveryRequest>)
        request.value = QStringLiteral("http://balancer.example/discovery");
    else if constexpr (kit::declares<R, kit::ValueMember>) // a path segment or a query text
        request.value = QStringLiteral("main");
    if constexpr (std::is_base_of_v<RequestByContentTypeAndId, R>)
        request.contentType = QStringLiteral("collections");
    if (!allArguments)
        return request;
    if constexpr (kit::declares<R, kit::QueryArguments>)
        std::apply([&](const auto&... argument) { (setArgument(request, argument), ...); }, R::query());
    if constexpr (std::is_base_of_v<FilterCollection, R>) {
        request.filterTheme = QStringLiteral("genres");
        request.filters.insert(QStringLiteral("genre"), {QStringLiteral("drama"), QStringLiteral("sci fi")});
        request.sorting = QStringLiteral("popular");
        request.customFilters = {QStringLiteral("4k")};
    }
    return request;
}

// One send's worth of record building; `phase` (when given) gets the allocations of each step.
void build(const AbstractRequest& request, unsigned long* phase = nullptr)
{
    unsigned long mark = allocations.load(std::memory_order_relaxed);
    const auto step = [&](int i) {
        if (phase) {
            const unsigned long now = allocations.load(std::memory_order_relaxed);
            phase[i] = now - mark;
            mark = now;
        }
    };
    const std::function<RequestRawData()> creator = request.rawDataCreator();
    step(0);
    const RequestRawData raw = creator();
    step(1);
    const QString path = raw.pathCreator ? raw.pathCreator(raw.path) : raw.path;
    step(2);
    sink = sink + path.size() + raw.queryItems.size() + raw.body.size();
}

// The channel list's address as a client without the catalogue would write it.
void handBuilt(const AbstractRequest&, unsigned long* = nullptr)
{
    QUrl url(QStringLiteral("http://127.0.0.1:8080/api/v3/user/channels"));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("themes"), QStringLiteral("5,7"));
    query.addQueryItem(QStringLiteral("epg_limit"), QString::number(42));
    query.addQueryItem(QStringLiteral("with_details"), QStringLiteral("true"));
    query.addQueryItem(QStringLiteral("with_epg"), QStringLiteral("true"));
    url.setQuery(query);
    sink = sink + url.toEncoded().size();
}

struct Subject
{
    QString name;
    std::unique_ptr<AbstractRequest> (*make)(bool allArguments);
    Cost cost[2]; // path only, all arguments
    std::vector<double> rounds[2], ratios[2];
};

template<class R>
Subject subject()
{
    const QString name = QString::fromLatin1(QMetaType::fromType<R>().name());
    return {name.mid(name.lastIndexOf(QLatin1Char(':')) + 1),
            [](bool all) -> std::unique_ptr<AbstractRequest> { return std::make_unique<R>(prepared<R>(all)); },
            {}, {}, {}};
}

template<std::size_t... I>
std::vector<Subject> catalogue(std::index_sequence<I...>)
{
    return {subject<std::tuple_element_t<I, PlatformCatalogue>>()...};
}

using Builder = void (*)(const AbstractRequest&, unsigned long*);

double timed(Builder builder, const AbstractRequest& request, int runs)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < runs; ++i)
        builder(request, nullptr);
    return double(timer.nsecsElapsed()) / runs;
}

void count(Builder builder, const AbstractRequest& request, Cost& cost)
{
    builder(request, nullptr); // first-use initialisation (dictionaries) stays out
    const unsigned long a0 = allocations.load(), b0 = allocatedBytes.load();
    builder(request, cost.phase);
    cost.allocations = allocations.load() - a0;
    cost.bytes = allocatedBytes.load() - b0;
}

void printWorst(std::vector<Subject*> rows, bool byTime)
{
    std::printf("worst ten by %s (all arguments):\n", byTime ? "time" : "allocations");
    const size_t shown = std::min<size_t>(10, rows.size());
    std::partial_sort(rows.begin(), rows.begin() + shown, rows.end(), [byTime](const Subject* a, const Subject* b) {
        return byTime ? a->cost[1].ratio > b->cost[1].ratio : a->cost[1].allocations > b->cost[1].allocations;
    });
    for (size_t i = 0; i < shown; ++i) {
        const Cost& c = rows[i]->cost[1];
        std::printf("  %-38s %6.0f ns (%4.2fx) %3lu allocations (creator %lu + run %lu + path %lu) %5lu bytes\n",
                    qPrintable(rows[i]->name), c.ns, c.ratio, c.allocations, c.phase[0], c.phase[1], c.phase[2],
                    c.bytes);
    }
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50; // short: a time slice rarely cuts one
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 21;

    { // The counter must see both kinds of allocation, or every number below is wrong.
        const unsigned long before = allocations.load();
        auto* text = new std::string(100, 'x');
        const QString qtText(100, QLatin1Char('x'));
        sink = sink + qsizetype(text->size()) + qtText.size();
        delete text;
        if (allocations.load() - before < 2) {
            std::fprintf(stderr, "the allocation counter does not see operator new and Qt's malloc\n");
            return 1;
        }
    }

    std::vector<Subject> rows = catalogue(std::make_index_sequence<std::tuple_size_v<PlatformCatalogue>>());
    if (argc > 3) {
        const QString only = QString::fromLocal8Bit(argv[3]);
        rows.erase(std::remove_if(rows.begin(), rows.end(), [&](const Subject& s) { return s.name != only; }),
                   rows.end());
        if (rows.empty()) {
            std::fprintf(stderr, "no such request in the catalogue\n");
            return 1;
        }
    }
    const AbstractRequest none;
    Cost baseline;
    count(&handBuilt, none, baseline);
    std::vector<double> baselineRounds;
    for (int round = 0; round < rounds; ++round) {
        for (Subject& s : rows) {
            for (int form = 0; form < 2; ++form) {
                const std::unique_ptr<AbstractRequest> request = s.make(form == 1);
                if (round == 0)
                    count(&build, *request, s.cost[form]);
                baselineRounds.push_back(timed(&handBuilt, none, runs));
                s.rounds[form].push_back(timed(&build, *request, runs));
                s.ratios[form].push_back(s.rounds[form].back() / baselineRounds.back());
            }
        }
    }
    baseline.ns = bench::median(baselineRounds);
    for (Subject& s : rows) {
        for (int form = 0; form < 2; ++form) {
            s.cost[form].ns = bench::median(s.rounds[form]);
            s.cost[form].ratio = bench::median(s.ratios[form]);
        }
    }

    std::printf("record building, %zu catalogue requests, median of %d rounds of %d runs\n", rows.size(), rounds, runs);
    std::printf("baseline (hand-built QUrl + QUrlQuery of the channel list): %.0f ns, %lu allocations, %lu bytes\n",
                baseline.ns, baseline.allocations, baseline.bytes);
    const char* forms[2] = {"path only", "all arguments"};
    for (int form = 0; form < 2; ++form) {
        std::vector<double> ns, ratios, allocs;
        double totalNs = 0, totalAllocs = 0;
        for (const Subject& s : rows) {
            ns.push_back(s.cost[form].ns);
            ratios.push_back(s.cost[form].ratio);
            allocs.push_back(double(s.cost[form].allocations));
            totalNs += s.cost[form].ns;
            totalAllocs += double(s.cost[form].allocations);
        }
        std::printf("%-13s median %5.0f ns (%4.2fx baseline) %4.1f allocations | whole catalogue %7.0f ns, %5.0f "
                    "allocations\n",
                    forms[form], bench::median(ns), bench::median(ratios), bench::median(allocs), totalNs, totalAllocs);
    }
    std::vector<Subject*> pointers;
    for (Subject& s : rows) {
        pointers.push_back(&s);
        if (s.name == QLatin1String("GetChannelsRequest")) // the baseline's own request
            std::printf("GetChannelsRequest (all arguments): %.0f ns (%4.2fx baseline), %lu allocations, %lu bytes\n",
                        s.cost[1].ns, s.cost[1].ratio, s.cost[1].allocations, s.cost[1].bytes);
    }
    printWorst(pointers, true);
    const Subject* worst = *std::max_element(pointers.begin(), pointers.end(), [](const Subject* a, const Subject* b) {
        return a->cost[1].ratio < b->cost[1].ratio;
    });
    const std::string figure = "worst request record / hand-built QUrl + QUrlQuery (" + worst->name.toStdString() + ")";
    bench::summary(figure.c_str(), bench::Goal::AtMost, 1.5, worst->cost[1].ratio);
    printWorst(pointers, false);
    return 0;
}
