#include "engine/trafficrecorder_p.h"

#include "transport/request.h"
#include "engine/requestlistener.h"
#include "transport/httprequestworker_p.h"

#include <QCborArray>
#include <QCborMap>
#include <QCborValue>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMetaEnum>
#include <QMutexLocker>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QUrlQuery>

namespace tq {
namespace {

const QString& redacted()
{
    static const QString text = QStringLiteral("[redacted]");
    return text;
}

// Session ids, tokens, passwords, PINs and cookies, by the ending of their name with case and
// separators dropped: "session_id", "sessionId", "ws_token", "new_password", "pin_code",
// "old_pin", "Set-Cookie", "Authorization". ("is_pin_required" is a flag and keeps its value:
// only texts and numbers are replaced.)
bool isSecretName(QStringView name)
{
    QString folded;
    for (const QChar c : name) {
        if (c.isLetterOrNumber())
            folded += c.toLower();
    }
    static const char* const endings[] = {"sessionid", "session", "token",  "tokens", "password", "passwd",
                                          "pin",       "pincode", "secret", "cookie", "authorization"};
    return std::any_of(std::begin(endings), std::end(endings),
                       [&folded](const char* ending) { return folded.endsWith(QLatin1String(ending)); });
}

// Replaces, in `text`, the `valueGroup` of every match whose `nameGroup` is a secret's name.
QString replaceSecrets(const QString& text, const QRegularExpression& pattern, int nameGroup, int valueGroup,
                       const QString& replacement)
{
    QString result;
    qsizetype done = 0;
    for (auto it = pattern.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        if (!isSecretName(match.capturedView(nameGroup)))
            continue;
        result += QStringView(text).mid(done, match.capturedStart(valueGroup) - done);
        result += replacement;
        done = match.capturedEnd(valueGroup);
    }
    if (done == 0)
        return text;
    result += QStringView(text).mid(done);
    return result;
}

// JSON members ("pin_code": "1234", "session_id": "s-1", a number too, also when the text
// was cut inside the value) and name=value pairs (forms, cookies, queries of addresses inside
// a text).
QString redactText(const QString& text)
{
    static const QRegularExpression member(
        QStringLiteral(R"re("((?:[^"\\]|\\.){1,100})"\s*:\s*("(?:[^"\\]|\\.)*(?:"|$)|-?\d[\d.eE+-]*))re"));
    static const QRegularExpression pair(QStringLiteral(R"re((?:^|(?<=[?&;\s]))([\w.\-]+)=([^&;\s"]*))re"));
    const QString quoted = QLatin1Char('"') + redacted() + QLatin1Char('"');
    return replaceSecrets(replaceSecrets(text, member, 1, 2, quoted), pair, 1, 2, redacted());
}

// As in a JSON text: a secret's text or number replaced, containers walked, and the
// name=value pairs of every text.
QCborValue redactCbor(const QCborValue& value, bool* changed)
{
    if (value.isMap()) {
        QCborMap map = value.toMap();
        for (auto it = map.begin(); it != map.end(); ++it) {
            const QCborValue member = it.value();
            if (it.key().isString() && isSecretName(it.key().toString()) && (member.isString() || member.isInteger()
                                                                             || member.isDouble() || member.isByteArray())) {
                it.value() = redacted();
                *changed = true;
            } else {
                it.value() = redactCbor(member, changed);
            }
        }
        return map;
    }
    if (value.isArray()) {
        QCborArray array = value.toArray();
        for (qsizetype i = 0; i < array.size(); ++i)
            array[i] = redactCbor(array.at(i), changed);
        return array;
    }
    if (value.isString()) {
        const QString text = value.toString();
        const QString clean = redactText(text);
        if (clean != text) {
            *changed = true;
            return clean;
        }
    }
    return value;
}

bool isTextType(const QString& type)
{
    return type.startsWith(QLatin1String("text/")) || type.contains(QLatin1String("json"))
           || type.contains(QLatin1String("xml")) || type.contains(QLatin1String("x-www-form-urlencoded"))
           || type.contains(QLatin1String("javascript"));
}

// What is kept of a body: text redacted (after the cut, at a whole character), CBOR redacted
// (or left out when it cannot be read, as it might hide a secret), other binary bodies as
// they came; nothing of a binary body over the limit.
TrafficRecorder::Body keptBody(const QByteArray& body, const QByteArray& contentType, qint64 limit)
{
    TrafficRecorder::Body kept;
    kept.size = body.size();
    kept.mimeType = QString::fromLatin1(contentType).trimmed().toLower();
    if (body.isEmpty())
        return kept;
    if (isTextType(kept.mimeType)) {
        qsizetype cut = qsizetype(std::min<qint64>(body.size(), std::max<qint64>(limit, 0)));
        while (cut > 0 && cut < body.size() && (uchar(body.at(cut)) & 0xC0) == 0x80)
            --cut;
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString text = utf8.decode(QByteArrayView(body).first(cut));
        if (!utf8.hasError()) {
            kept.text = true;
            kept.whole = cut == body.size();
            kept.kept = redactText(text).toUtf8();
            return kept;
        }
    }
    kept.whole = body.size() <= limit;
    if (!kept.whole)
        return kept;
    if (kept.mimeType.contains(QLatin1String("cbor"))) {
        QCborParserError error;
        const QCborValue value = QCborValue::fromCbor(body, &error);
        bool changed = false;
        const QCborValue clean = error.error == QCborError::NoError ? redactCbor(value, &changed) : QCborValue();
        kept.whole = error.error == QCborError::NoError;
        kept.kept = !kept.whole ? QByteArray() : changed ? clean.toCbor() : body;
        return kept;
    }
    kept.kept = body;
    return kept;
}

TrafficRecorder::Headers redactedHeaders(const TrafficRecorder::Headers& headers)
{
    TrafficRecorder::Headers result;
    for (const auto& [name, value] : headers) {
        const QString text = QString::fromLatin1(name);
        result.append({name, isSecretName(text) ? redacted().toLatin1() : redactText(QString::fromLatin1(value)).toLatin1()});
    }
    return result;
}

// The address without its password and with the values of secret query items replaced;
// every other byte of it stays as it was sent.
QUrl redactedUrl(QUrl url)
{
    url.setPassword(QString());
    if (!url.hasQuery())
        return url;
    QStringList items = url.query(QUrl::FullyEncoded).split(QLatin1Char('&'));
    for (QString& item : items) {
        const qsizetype equals = item.indexOf(QLatin1Char('='));
        if (equals > 0 && isSecretName(QUrl::fromPercentEncoding(item.left(equals).toLatin1())))
            item = item.left(equals + 1) + QString::fromLatin1(QUrl::toPercentEncoding(redacted()));
    }
    url.setQuery(items.join(QLatin1Char('&')), QUrl::StrictMode);
    return url;
}

qint64 costOf(const TrafficRecorder::Exchange& e)
{
    qint64 bytes = 256 + e.url.toEncoded().size() + e.requestBody.kept.size() + e.replyBody.kept.size()
                   + e.failure.size() * 2;
    for (const auto* headers : {&e.requestHeaders, &e.replyHeaders}) {
        for (const auto& [name, value] : *headers)
            bytes += name.size() + value.size() + 16;
    }
    return bytes;
}

// ---- the archive ----

double milliseconds(qint64 ns)
{
    return double(ns) / 1e6;
}

QJsonArray namesAndValues(const QList<QPair<QString, QString>>& pairs)
{
    QJsonArray array;
    for (const auto& [name, value] : pairs)
        array.append(QJsonObject{{"name", name}, {"value", value}});
    return array;
}

QJsonArray headersJson(const TrafficRecorder::Headers& headers)
{
    QList<QPair<QString, QString>> pairs;
    for (const auto& [name, value] : headers)
        pairs.append({QString::fromLatin1(name), QString::fromLatin1(value)});
    return namesAndValues(pairs);
}

// The body as a HAR content (answers) or postData (requests; HAR has no encoding there, the
// same field is used for a binary one).
QJsonObject bodyJson(const TrafficRecorder::Body& body)
{
    QJsonObject json{{"mimeType", body.mimeType}};
    if (!body.kept.isEmpty() || body.size == 0) {
        json.insert(QStringLiteral("text"), body.text || body.kept.isEmpty() ? QString::fromUtf8(body.kept)
                                                                             : QString::fromLatin1(body.kept.toBase64()));
        if (!body.text && !body.kept.isEmpty())
            json.insert(QStringLiteral("encoding"), QStringLiteral("base64"));
    }
    if (!body.whole) {
        json.insert(QStringLiteral("comment"), body.kept.isEmpty() ? QStringLiteral("not kept: over the body limit")
                                                                   : QStringLiteral("cut at the body limit"));
        json.insert(QStringLiteral("_truncated"), true);
    }
    return json;
}

QJsonObject entryJson(const TrafficRecorder::Exchange& e)
{
    const double blocked = milliseconds(e.queueWaitNs);
    const double wait = milliseconds(e.exchangeNs);
    const QDateTime started = e.ended.addMSecs(-qint64(blocked + wait));
    QJsonObject request{{"method", e.method},
                        {"url", QString::fromUtf8(e.url.toEncoded())},
                        {"httpVersion", QStringLiteral("HTTP/1.1")},
                        {"cookies", QJsonArray()},
                        {"headers", headersJson(e.requestHeaders)},
                        {"queryString", namesAndValues(QUrlQuery(e.url).queryItems(QUrl::FullyDecoded))},
                        {"headersSize", -1},
                        {"bodySize", e.requestBody.size}};
    if (e.requestBody.size > 0)
        request.insert(QStringLiteral("postData"), bodyJson(e.requestBody));
    QJsonObject content = bodyJson(e.replyBody);
    content.insert(QStringLiteral("size"), e.replyBody.size);
    QJsonObject response{{"status", e.status},
                         {"statusText", e.status ? httpReasonPhrase(e.status) : QString()},
                         {"httpVersion", e.http2 ? QStringLiteral("HTTP/2") : QStringLiteral("HTTP/1.1")},
                         {"cookies", QJsonArray()},
                         {"headers", headersJson(e.replyHeaders)},
                         {"content", content},
                         {"redirectURL", QString()},
                         {"headersSize", -1},
                         {"bodySize", e.status ? e.replyBody.size : -1}};
    if (!e.failure.isEmpty())
        response.insert(QStringLiteral("_error"), e.failure);
    QJsonObject entry{{"startedDateTime", started.toString(Qt::ISODateWithMs)},
                      {"time", blocked + wait},
                      {"request", request},
                      {"response", response},
                      {"cache", QJsonObject()},
                      {"timings", QJsonObject{{"blocked", blocked}, {"dns", -1}, {"connect", -1}, {"send", 0},
                                              {"wait", wait}, {"receive", 0}, {"ssl", -1}}},
                      {"_requestId", e.requestId},
                      {"_methodType", QLatin1String(QMetaEnum::fromType<MethodType>().valueToKey(e.methodType))},
                      {"_decodeMs", milliseconds(e.decodeNs)}};
    if (!e.redirects.isEmpty()) {
        QJsonArray redirects;
        for (const QUrl& url : e.redirects)
            redirects.append(QString::fromUtf8(url.toEncoded()));
        entry.insert(QStringLiteral("_redirects"), redirects);
    }
    return entry;
}

} // namespace

void TrafficRecorder::setLimits(const TrafficRecording& limits)
{
    const QMutexLocker lock(&m_mutex);
    m_limits = limits;
    trim();
}

void TrafficRecorder::trim()
{
    while (!m_kept.empty() && (qsizetype(m_kept.size()) > m_limits.exchanges || m_bytes > m_limits.maxBytes)) {
        m_bytes -= m_kept.front().bytes;
        m_kept.pop_front();
    }
}

void TrafficRecorder::record(const HttpRequestWorker& worker, const RequestEvent& timings, const QString& failure)
{
    TrafficRecording limits;
    {
        const QMutexLocker lock(&m_mutex);
        limits = m_limits;
    }
    if (limits.exchanges <= 0)
        return;
    const QNetworkRequest& request = worker.networkRequest();
    const HttpRequestWorker::ExchangeFacts facts = worker.exchangeFacts();
    Exchange e;
    e.ended = QDateTime::currentDateTimeUtc();
    e.requestId = timings.requestId;
    e.methodType = int(timings.methodType);
    e.method = worker.rawData().httpMethod;
    e.url = redactedUrl(request.url());
    for (const QByteArray& name : request.rawHeaderList())
        e.requestHeaders.append({name, request.rawHeader(name)});
    e.requestHeaders = redactedHeaders(e.requestHeaders);
    e.requestBody = keptBody(worker.rawData().body, request.rawHeader("Content-Type"), limits.maxBodyBytes);
    e.status = facts.httpStatus;
    e.http2 = facts.http2;
    e.replyHeaders = redactedHeaders(facts.headers);
    const auto type = std::find_if(facts.headers.cbegin(), facts.headers.cend(), [](const auto& header) {
        return header.first.compare("Content-Type", Qt::CaseInsensitive) == 0;
    });
    e.replyBody = keptBody(facts.body, type == facts.headers.cend() ? QByteArray() : type->second, limits.maxBodyBytes);
    e.failure = redactText(failure);
    for (const QUrl& url : worker.redirects())
        e.redirects.append(redactedUrl(url));
    e.queueWaitNs = timings.queueWaitNs;
    e.exchangeNs = timings.exchangeNs;
    e.decodeNs = timings.decodeNs;
    e.bytes = costOf(e);
    if (e.bytes > limits.maxBytes) { // alone over the bound: what it was, without its bodies
        for (Body* body : {&e.requestBody, &e.replyBody}) {
            body->whole = body->kept.isEmpty() && body->whole;
            body->kept.clear();
        }
        e.bytes = costOf(e);
    }

    const QMutexLocker lock(&m_mutex);
    if (m_limits.exchanges <= 0)
        return;
    m_bytes += e.bytes;
    m_kept.push_back(std::move(e));
    trim();
}

QByteArray TrafficRecorder::archive() const
{
    std::deque<Exchange> kept;
    {
        const QMutexLocker lock(&m_mutex);
        kept = m_kept;
    }
    QJsonArray entries;
    for (const Exchange& e : kept)
        entries.append(entryJson(e));
    const QJsonObject log{{"version", QStringLiteral("1.2")},
                          {"creator", QJsonObject{{"name", QStringLiteral("libtqapi")}, {"version", QStringLiteral(TQ_VERSION)}}},
                          {"entries", entries},
                          {"_redacted", redacted()}}; // what stands for a secret's value
    return QJsonDocument(QJsonObject{{"log", log}}).toJson(QJsonDocument::Indented);
}

} // namespace tq
