#include "transport/tlspolicy.h"

#include "transport/configwrapper.h"

#include <QStringList>
#include <QtNetwork/qtnetworkglobal.h>
#if QT_CONFIG(ssl)
#include <QSslError>
#endif

#include <atomic>

namespace tq {

namespace {

std::atomic<bool> g_clockIsSet{false};

} // namespace

TlsPolicy::Mode TlsPolicy::mode(stbconfig::ConfigurationManager* store)
{
    return store && TqConfigWrapper(store).verifyCertificates() ? Mode::Verify : Mode::AcceptAll;
}

void TlsPolicy::setClockIsSet(bool set)
{
    g_clockIsSet.store(set, std::memory_order_relaxed);
}

bool TlsPolicy::clockIsSet()
{
    return g_clockIsSet.load(std::memory_order_relaxed);
}

std::optional<QString> TlsPolicy::refusal(const QList<QSslError>& errors, Mode mode)
{
    return refusal(errors, mode, clockIsSet());
}

std::optional<QString> TlsPolicy::refusal(const QList<QSslError>& errors, Mode mode, bool clockIsSet)
{
    if (mode == Mode::AcceptAll)
        return std::nullopt;
    QStringList refused;
#if QT_CONFIG(ssl)
    for (const QSslError& error : errors) {
        // A box whose clock is not set yet cannot judge a certificate's dates.
        const bool time = error.error() == QSslError::CertificateExpired
                          || error.error() == QSslError::CertificateNotYetValid;
        if ((!time || clockIsSet) && !refused.contains(error.errorString()))
            refused.append(error.errorString());
    }
#else
    Q_UNUSED(errors)
    Q_UNUSED(clockIsSet)
#endif
    if (refused.isEmpty())
        return std::nullopt;
    return QStringLiteral("TLS certificate refused: %1").arg(refused.join(QStringLiteral("; ")));
}

} // namespace tq
