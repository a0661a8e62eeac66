#include "api/platformrequest.h"
#include "transport/requestkit.h"

namespace tq {

const QString offsetQueryKey = QStringLiteral("offset");
const QString limitQueryKey = QStringLiteral("limit");
const QString sortByQueryKey = QStringLiteral("sort_by");
const QString sortDirQueryKey = QStringLiteral("sort_dir");

QString queryItem(const QString& key, const QString& value)
{
    return kit::queryItem(key, value);
}

QString queryItem(const QString& key, int value)
{
    return queryItem(key, QString::number(value));
}

QString queryItem(const QString& key, qint64 value)
{
    return queryItem(key, QString::number(value));
}

QString queryItem(const QString& key, quint64 value)
{
    return queryItem(key, QString::number(value));
}

QString queryItem(const QString& key, bool value)
{
    return queryItem(key, value ? QStringLiteral("true") : QStringLiteral("false"));
}

namespace {
template<class Number>
QString joined(const QList<Number>& values)
{
    QString text;
    for (const Number value : values) {
        if (!text.isEmpty())
            text += QLatin1Char(',');
        text += QString::number(value);
    }
    return text;
}
} // namespace

QString queryItem(const QString& key, const QList<int>& values)
{
    return queryItem(key, joined(values));
}

QString queryItem(const QString& key, const QList<qint64>& values)
{
    return queryItem(key, joined(values));
}

QString queryItem(const QString& key, const QStringList& values)
{
    return queryItem(key, values.join(QLatin1Char(',')));
}

void FilterCollection::setupFilterArguments(RequestRawData& raw) const
{
    if (!filterTheme.isEmpty())
        raw.queryItems.append(queryItem(QStringLiteral("filter_theme"), filterTheme));
    for (auto it = filters.cbegin(); it != filters.cend(); ++it) {
        if (!it.value().isEmpty())
            raw.queryItems.append(queryItem(it.key(), it.value()));
    }
    if (!sorting.isEmpty())
        raw.queryItems.append(queryItem(QStringLiteral("sorting"), sorting));
    if (!customFilters.isEmpty())
        raw.queryItems.append(queryItem(QStringLiteral("custom_filters"), customFilters));
}

ImageRequest::ImageRequest(const QString& imageUrl, const QSize& imageSize, int blur, bool keepAspect, bool cropped,
                           MethodType type)
    : url(imageUrl), width(imageSize.width()), height(imageSize.height()), blurRadius(blur), keepRatio(keepAspect),
      crop(cropped), methodType(type)
{
}

std::function<RequestRawData()> ImageRequest::rawDataCreator() const
{
    // The worker decodes image answers itself: no extractor.
    return [request = *this] {
        RequestRawData raw;
        raw.isValid = !request.url.isEmpty();
        raw.httpMethod = httpGetMethod();
        raw.path = request.url;
        raw.methodType = request.methodType;
        raw.isCacheable = request.isCacheable;
        raw.isAbsoluteUrl = request.isAbsoluteUrl;
        raw.checkImageSize = request.checkImageSize;
        const std::pair<const char*, int> numbers[] = {
            {"width", request.width}, {"height", request.height}, {"size", request.size}, {"blur_radius", request.blurRadius}};
        for (const auto& [key, value] : numbers) {
            if (value > 0)
                raw.queryItems.append(queryItem(QLatin1String(key), value));
        }
        const std::pair<const char*, bool> flags[] = {{"keep_ratio", request.keepRatio},
                                                      {"borderless", request.borderless},
                                                      {"crop", request.crop},
                                                      {"best_size", request.bestSize}};
        for (const auto& [key, value] : flags) {
            if (value)
                raw.queryItems.append(queryItem(QLatin1String(key), true));
        }
        return raw;
    };
}

namespace rowkit {

std::function<QString(const QString&)> pathFiller(qint64 id, const QString& value, bool collectionKind)
{
    return [id, value, collectionKind](const QString& pattern) {
        QString path = pattern;
        if (collectionKind && id == -1)
            path.replace(QLatin1String("/{id}/"), QLatin1String("/"));
        const QString idText = QString::number(id);
        path.replace(QLatin1String("{id}"), idText);
        path.replace(QLatin1String("{content_id}"), idText);
        // The one named text placeholder, if any.
        const qsizetype open = path.indexOf(QLatin1Char('{'));
        if (open >= 0) {
            const qsizetype close = path.indexOf(QLatin1Char('}'), open);
            if (close > open)
                path.replace(open, close - open + 1, value);
        }
        return path;
    };
}

} // namespace rowkit

} // namespace tq
