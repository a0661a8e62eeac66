#include "platform/logging.h"

#include <QMessageLogger>
#include <QMutex>
#include <QSet>
#include <atomic>
#include <cstdlib>

namespace logging {
namespace {

Level levelFromEnvironment()
{
    bool ok = false;
    const int v = qEnvironmentVariableIntValue("TQAPI_LOG_LEVEL", &ok);
    return ok ? v : Notice;
}

std::atomic<Level>& threshold()
{
    static std::atomic<Level> value{levelFromEnvironment()};
    return value;
}

// Qt keeps only a pointer to the category name until the record is written, so names
// are interned for the life of the process (there are only a handful).
const char* categoryName(const QString& category)
{
    if (category == QLatin1String("tqapi"))
        return "tqapi";
    static QMutex mutex;
    static QSet<QByteArray> names;
    const QMutexLocker lock(&mutex);
    return names.insert(category.toUtf8())->constData();
}

} // namespace

bool checkLogLevel(Level level)
{
    return level <= threshold().load(std::memory_order_relaxed);
}

void setLogLevel(Level level)
{
    threshold().store(level, std::memory_order_relaxed);
}

Level logLevel()
{
    return threshold().load(std::memory_order_relaxed);
}

QDebug toLog(Level level, const QString& category, QLatin1String file, int line,
             QLatin1String function, const QString& context)
{
    QMessageLogger logger(nullptr, 0, nullptr, categoryName(category));
    QDebug stream = level <= Fault     ? logger.critical()
                    : level == Warning ? logger.warning()
                    : level == Notice  ? logger.info()
                                       : logger.debug();
    stream.noquote().nospace() << '[' << level << "] " << context << ':';
    // The record outlives this call, so the source position travels in the text.
    if (file.size() > 0)
        stream << file << ':' << line << ' ';
    if (function.size() > 0)
        stream << function << ' ';
    stream.space();
    return stream;
}

QDebug fakeQDebug()
{
    static thread_local QString sink;
    sink.clear();
    return QDebug(&sink);
}

} // namespace logging
