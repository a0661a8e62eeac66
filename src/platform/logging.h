#pragma once
// Stand-in for the box's logging library: the three operations the library calls.
// Records go through Qt's message handler (category "tqapi" on the record), so the
// host's own handler sees them and tests can expect them with QTest::ignoreMessage.

#include "tqglobal.h"

#include <QDebug>
#include <QLatin1String>
#include <QString>

namespace logging {

using Level = int;

// Faults that should not happen (1) ... most verbose tracing (5).
enum : Level { Fault = 1, Warning = 2, Notice = 3, Trace = 4, Verbose = 5 };

// Messages at or below the threshold are wanted. The threshold starts from the
// environment variable TQAPI_LOG_LEVEL (default 3) and can be changed by the host.
TQ_EXPORT bool checkLogLevel(Level level);
TQ_EXPORT void setLogLevel(Level level);
TQ_EXPORT Level logLevel();

// One record per returned stream: it is written when the last copy is destroyed.
TQ_EXPORT QDebug toLog(Level level, const QString& category, QLatin1String file, int line,
             QLatin1String function, const QString& context);

// A stream that discards everything written into it.
TQ_EXPORT QDebug fakeQDebug();

} // namespace logging

// The library's only logging pattern: category "tqapi", the emitting object's name as context.
#define TQ_LOG(level, context)                                                                     \
    for (bool tqLogWanted = ::logging::checkLogLevel(level); tqLogWanted; tqLogWanted = false)      \
        ::logging::toLog((level), QStringLiteral("tqapi"), QLatin1String(), 0, QLatin1String(),    \
                         (context))                                                                \
            .noquote()
