#pragma once
// TrafficReplay: the answers of an HTTP Archive that a context wrote
// (TqContext::writeTrafficArchive), given again to the same requests; what
// `fakeplatform --replay file.har` serves before its ordinary routes.
//
//   fake::TrafficReplay replay;
//   if (!replay.load(path, &error)) ...
//   server.answerFirst([&](const fake::HttpRequest& r) { return replay.answer(r, server.baseUrl()); });
//
// A request is matched by method, path and query; a query item whose recorded value was
// redacted (a session id, a token) matches any value, and headers (the session's) play no
// part. A request recorded several times gets the recorded answers in their order, then the
// last one again. In text answers the addresses of the recording's servers (discovery's
// "api_url", "ws_url", ...) become this server's own, so that a host stays here. Exchanges
// that got no answer, or whose answer was not kept whole, are not replayed.

#include "fakehttpserver.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>

namespace fake {

class TrafficReplay
{
public:
    bool load(const QString& fileName, QString* error);
    int answerCount() const { return m_answerCount; }
    // The recorded answer for this request, with the recording's addresses turned into
    // `baseUrl` ("http://127.0.0.1:<port>"); nothing when none was recorded.
    std::optional<HttpResponse> answer(const HttpRequest& request, const QString& baseUrl);

private:
    using Query = QList<QPair<QString, QString>>;
    struct Recorded
    {
        Query query;          // sorted, without the redacted items
        QSet<QString> anyValue; // the names of the redacted items
        QList<HttpResponse> answers;
        QList<bool> text;     // per answer: a text body, whose addresses are turned
        int given = 0;
    };

    QHash<QString, QList<Recorded>> m_routes; // "METHOD path"
    QRegularExpression m_origins;             // the recording's servers, in a text
    int m_answerCount = 0;
};

} // namespace fake
