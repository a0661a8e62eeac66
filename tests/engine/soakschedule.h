#pragma once
// What a soak run does, decided by its seed alone: the host's actions are drawn once, before the
// run, from their own generator; the servers' faults and the host's reactions are drawn from a
// stateless hash of the seed and what they concern (a request's number and attempt, the k-th
// rebalance), so the order in which things happen at run time changes none of them. A failing
// seed therefore replays the same schedule.

#include "transport/request.h"

#include <QList>
#include <QRandomGenerator>
#include <QString>

namespace soak {

inline quint64 mix(quint64 z)
{
    z += 0x9e3779b97f4a7c15ull;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    return z ^ (z >> 31);
}

// A number in [0, bound) for (seed, what, which); the same arguments always give the same one.
inline quint32 draw(quint32 seed, quint64 what, quint64 which, quint32 bound)
{
    return quint32(mix(mix(mix(seed) ^ what) ^ which) % bound);
}

// Tags of the stateless draws.
enum Topic : quint64 { Fault = 1, Delay, Deferrable, Rebalance, RebalanceOutcome, Renewal, Release, FrontEnd, Resend };

// The requests a host sends, and where each must arrive.
enum class Kind {
    Platform,     // GET <front end>/api/v2/p
    PlatformPost, // POST <front end>/api/v2/post with a body
    NewSession,   // POST <front end>/api/v3/ulp/sessions, keeps the session it was built with
    Analytics,    // POST <front end>/spy
    Image,        // <front end>/img/<k>.png, cached
    Poster,       // <poster host>/poster/<k>.png: a complete address, never moved
    Discover,     // <first front end>/discover, the only one sent during a rebalance
    Static,       // <first front end>/static/s
    StaticBusy,   // <first front end>/static/busy: 429 on the first attempt
    Shop,         // <first front end>/shop/x, through the proxy when one is set
    General,      // <first front end>/g
    Firmware,     // no backend: refused
};

inline bool isPlatform(Kind kind)
{
    return kind == Kind::Platform || kind == Kind::PlatformPost || kind == Kind::NewSession || kind == Kind::Analytics;
}

// The path a kind arrives at, "" for the ones that never reach a server or carry no number.
inline QString arrivalPath(Kind kind)
{
    switch (kind) {
    case Kind::Platform: return QStringLiteral("/api/v2/p");
    case Kind::PlatformPost: return QStringLiteral("/api/v2/post");
    case Kind::NewSession: return QStringLiteral("/api/v3/ulp/sessions");
    case Kind::Analytics: return QStringLiteral("/spy");
    case Kind::Discover: return QStringLiteral("/discover");
    case Kind::Static: return QStringLiteral("/static/s");
    case Kind::StaticBusy: return QStringLiteral("/static/busy");
    case Kind::Shop: return QStringLiteral("/shop/x");
    case Kind::General: return QStringLiteral("/g");
    case Kind::Image:
    case Kind::Poster:
    case Kind::Firmware: return QString();
    }
    return QString();
}

struct Action
{
    enum Type {
        Send,           // param: kind
        Burst,          // twelve sends of mixed kinds
        Flood,          // pause, then 110 sends: the queue goes over its limit
        DeferredFlood,  // 1010 sends that are told to wait: the deferred queue fills up
        Drop,           // one open request of the slot's client
        DropAll,
        NewClient,
        DestroyClient,  // the slot's client (never the host's own)
        Pause,
        Resume,
        DoubleResume,
        RebalanceRequested,
        RebalanceCompleted,
        RebalanceFailed,
        RenewSession,
        ProxyOn,
        ProxyOff,
        Storm,          // the platform answers 502/504 for a while
        ArmHandler,     // param: what the slot's error handler does at its next error
        Rename,
        ImageLimit,
        NullRequest,
        EmptyCreator,
        Settle,         // param: ms to let things run
    };
    enum Mutation { DeleteClient, EditChain, Throw, DestroyContext };

    Type type = Settle;
    int slot = 0; // client slot; 0 is the host's own client
    int param = 0;
    int delayMs = 0; // before it
    quint32 salt = 0; // for the choices made when it runs (a burst's kinds, which request to drop)
};

struct Schedule
{
    QList<Action> actions;
    bool endInFlight = false; // end by destroying the context with requests everywhere
};

inline Schedule makeSchedule(quint32 seed)
{
    QRandomGenerator rng(seed);
    Schedule schedule;
    const int count = 40 + int(rng.bounded(80));
    schedule.endInFlight = rng.bounded(10) == 0;
    static const Kind sendable[] = {Kind::Platform, Kind::Platform,   Kind::Platform, Kind::PlatformPost,
                                    Kind::NewSession, Kind::Analytics, Kind::Image,   Kind::Poster,
                                    Kind::Static,   Kind::Shop,       Kind::General,  Kind::Firmware};
    for (int i = 0; i < count; ++i) {
        Action a;
        a.delayMs = int(rng.bounded(25));
        a.slot = int(rng.bounded(6));
        const int roll = int(rng.bounded(1000));
        a.salt = rng.generate();
        const auto pick = [&](int limit, Action::Type type) {
            if (roll >= limit)
                return false;
            a.type = type;
            return true;
        };
        if (pick(430, Action::Send))
            a.param = int(sendable[rng.bounded(int(std::size(sendable)))]);
        else if (pick(470, Action::Burst)) {}
        else if (pick(478, Action::Flood)) {}
        else if (pick(479, Action::DeferredFlood)) {}
        else if (pick(549, Action::Drop)) {}
        else if (pick(569, Action::DropAll)) {}
        else if (pick(594, Action::NewClient)) {}
        else if (pick(619, Action::DestroyClient)) {}
        else if (pick(659, Action::Pause)) {}
        else if (pick(709, Action::Resume)) {}
        else if (pick(729, Action::DoubleResume)) {}
        else if (pick(749, Action::RebalanceRequested)) {}
        else if (pick(759, Action::RebalanceCompleted)) {}
        else if (pick(769, Action::RebalanceFailed)) {}
        else if (pick(789, Action::RenewSession)) {}
        else if (pick(809, Action::ProxyOn)) {}
        else if (pick(829, Action::ProxyOff)) {}
        else if (pick(849, Action::Storm)) {}
        else if (pick(899, Action::ArmHandler)) {
            const int m = int(rng.bounded(100));
            a.param = m < 40 ? Action::DeleteClient : m < 75 ? Action::EditChain : m < 98 ? Action::Throw
                                                                                     : Action::DestroyContext;
        } else if (pick(919, Action::Rename)) {}
        else if (pick(929, Action::ImageLimit)) {}
        else if (pick(934, Action::NullRequest)) {}
        else if (pick(939, Action::EmptyCreator)) {}
        else
            a.param = int(rng.bounded(200));
        schedule.actions.append(a);
    }
    return schedule;
}

} // namespace soak
