#pragma once
// How the library's TLS connections (the HTTP exchanges and the websockets) treat the
// certificate problems of a handshake.
//
// Boxes boot with a wrong clock, so by default every problem is accepted (and logged). With
// the configuration key "Network"/"verifyCertificates" set to true, certificate time errors
// (expired, not yet valid) pass only until the host reports that the clock is set, and any
// other problem (untrusted chain, self-signed, wrong host name, ...) refuses the connection:
//
//   connect(socket, &QWebSocket::sslErrors, [=](const QList<QSslError>& errors) {
//       const std::optional<QString> refusal = TlsPolicy::refusal(errors, TlsPolicy::mode(store));
//       if (!refusal)
//           socket->ignoreSslErrors();   // otherwise Qt ends the handshake; log *refusal
//   });
//
// The host reports the clock with TlsPolicy::setClockIsSet(true) once its time source has
// answered (and false should it lose it again): the clock is the machine's, so the state is
// the process's, readable from any thread.

#include "tqglobal.h"

#include <QList>
#include <QString>

#include <optional>

class QSslError;

namespace stbconfig {
class ConfigurationManager;
}

namespace tq {

class TQ_EXPORT TlsPolicy
{
public:
    enum class Mode { AcceptAll, Verify };

    // "Network"/"verifyCertificates" of the store: Verify when true.
    static Mode mode(stbconfig::ConfigurationManager* store);

    static void setClockIsSet(bool set);
    static bool clockIsSet();

    // Nothing when the errors may be ignored; otherwise why the connection is refused
    // ("TLS certificate refused: " and the problems that are not accepted, as Qt names them).
    static std::optional<QString> refusal(const QList<QSslError>& errors, Mode mode);
    static std::optional<QString> refusal(const QList<QSslError>& errors, Mode mode, bool clockIsSet);
};

} // namespace tq
