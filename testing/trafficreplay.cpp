#include "trafficreplay.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrlQuery>

#include <algorithm>

namespace fake {

namespace {

// Headers that describe the recorded transfer rather than the answer: the server makes its own.
bool isTransferHeader(const QString& name)
{
    static const char* const names[] = {"content-length", "transfer-encoding", "connection", "keep-alive",
                                        "content-encoding"};
    return std::any_of(std::begin(names), std::end(names),
                       [&name](const char* n) { return name.compare(QLatin1String(n), Qt::CaseInsensitive) == 0; });
}

QList<QPair<QString, QString>> sortedWithout(QList<QPair<QString, QString>> items, const QSet<QString>& names)
{
    items.erase(std::remove_if(items.begin(), items.end(), [&names](const auto& item) { return names.contains(item.first); }),
                items.end());
    std::sort(items.begin(), items.end());
    return items;
}

} // namespace

bool TrafficReplay::load(const QString& fileName, QString* error)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(fileName, file.errorString());
        return false;
    }
    QJsonParseError parse;
    const QJsonObject log = QJsonDocument::fromJson(file.readAll(), &parse).object().value("log").toObject();
    if (parse.error != QJsonParseError::NoError || !log.value("entries").isArray()) {
        *error = QStringLiteral("%1 is not an HTTP Archive: %2").arg(fileName, parse.errorString());
        return false;
    }
    // The archive says what stands for a redacted value.
    const QString redacted = log.value("_redacted").toString();
    QSet<QString> authorities;
    for (const QJsonValue& item : log.value("entries").toArray()) {
        const QJsonObject entry = item.toObject();
        const QJsonObject request = entry.value("request").toObject();
        const QJsonObject response = entry.value("response").toObject();
        const QJsonObject content = response.value("content").toObject();
        const QUrl url(request.value("url").toString());
        authorities.insert(url.authority());
        const int status = response.value("status").toInt();
        if (status <= 0 || content.value("_truncated").toBool() || (!content.contains("text") && content.value("size").toInt() > 0))
            continue;

        HttpResponse answer;
        answer.status = status;
        for (const QJsonValue& header : response.value("headers").toArray()) {
            const QString name = header.toObject().value("name").toString();
            if (!isTransferHeader(name))
                answer.header(name.toLatin1(), header.toObject().value("value").toString().toLatin1());
        }
        const bool base64 = content.value("encoding").toString() == QLatin1String("base64");
        const QString text = content.value("text").toString();
        answer.body = base64 ? QByteArray::fromBase64(text.toLatin1()) : text.toUtf8();

        QSet<QString> anyValue;
        const Query items = QUrlQuery(url).queryItems(QUrl::FullyDecoded);
        for (const auto& [name, value] : items) {
            if (!redacted.isEmpty() && value == redacted)
                anyValue.insert(name);
        }
        const Query query = sortedWithout(items, anyValue);
        QList<Recorded>& candidates = m_routes[request.value("method").toString() + QLatin1Char(' ') + url.path()];
        auto same = std::find_if(candidates.begin(), candidates.end(), [&](const Recorded& r) {
            return r.query == query && r.anyValue == anyValue;
        });
        if (same == candidates.end())
            same = candidates.insert(candidates.end(), Recorded{query, anyValue, {}, {}, 0});
        same->answers.append(answer);
        same->text.append(!base64);
        ++m_answerCount;
    }
    authorities.remove(QString());
    QStringList alternatives;
    for (const QString& authority : std::as_const(authorities))
        alternatives.append(QRegularExpression::escape(authority));
    std::sort(alternatives.begin(), alternatives.end(), [](const QString& a, const QString& b) { return a.size() > b.size(); });
    m_origins = QRegularExpression(alternatives.isEmpty() ? QStringLiteral("(?!)")
                                                          : QStringLiteral(R"re((https?|wss?)://(%1)(?=[/"'?#\\\s]|$))re")
                                                                .arg(alternatives.join(QLatin1Char('|'))));
    return true;
}

std::optional<HttpResponse> TrafficReplay::answer(const HttpRequest& request, const QString& baseUrl)
{
    const auto route = m_routes.find(QString::fromLatin1(request.method) + QLatin1Char(' ') + request.path);
    if (route == m_routes.end())
        return std::nullopt;
    const Query items = request.query.queryItems(QUrl::FullyDecoded);
    for (Recorded& recorded : *route) {
        if (sortedWithout(items, recorded.anyValue) != recorded.query)
            continue;
        const qsizetype index = std::min<qsizetype>(recorded.given++, recorded.answers.size() - 1);
        HttpResponse answer = recorded.answers.at(index);
        if (recorded.text.at(index)) {
            // Plain HTTP and websockets here, whatever the recorded servers spoke.
            const QString host = QUrl(baseUrl).authority();
            const QString text = QString::fromUtf8(answer.body);
            QString turned;
            qsizetype done = 0;
            for (auto it = m_origins.globalMatch(text); it.hasNext();) {
                const QRegularExpressionMatch match = it.next();
                turned += QStringView(text).mid(done, match.capturedStart() - done);
                turned += (match.captured(1).startsWith(QLatin1String("ws")) ? QStringLiteral("ws://") : QStringLiteral("http://")) + host;
                done = match.capturedEnd();
            }
            turned += QStringView(text).mid(done);
            answer.body = turned.toUtf8();
        }
        return answer;
    }
    return std::nullopt;
}

} // namespace fake
