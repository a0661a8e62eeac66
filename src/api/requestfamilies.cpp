#include "api/platformrequest.h"
#include "transport/requestkit.h"

#include <QVarLengthArray>

#include <iterator>
#include <type_traits>

namespace tq {

const QString offsetQueryKey = QStringLiteral("offset");
const QString limitQueryKey = QStringLiteral("limit");
const QString sortByQueryKey = QStringLiteral("sort_by");
const QString sortDirQueryKey = QStringLiteral("sort_dir");

QString queryItem(const QString& key, const QString& value)
{
    return kit::queryItem(key, value);
}

namespace {
// Texts for the items built on the stack: QString::fromRawData() wraps them without a copy.
using Digits = QVarLengthArray<char16_t, 256>;

template<class Number>
void appendDigits(Digits& text, Number value)
{
    char16_t digits[24];
    char16_t* end = digits + std::size(digits);
    char16_t* d = end;
    std::make_unsigned_t<Number> magnitude = value < 0 ? 0 - std::make_unsigned_t<Number>(value) : value;
    do {
        *--d = char16_t(u'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    if (value < 0)
        *--d = u'-';
    text.append(d, end - d);
}

template<class Number>
QString numberItem(const QString& key, Number value)
{
    Digits text;
    appendDigits(text, value);
    return queryItem(key, QString::fromRawData(reinterpret_cast<const QChar*>(text.constData()), text.size()));
}

template<class Number>
QString numbersItem(const QString& key, const QList<Number>& values)
{
    Digits text;
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (i)
            text.append(u',');
        appendDigits(text, qint64(values.at(i)));
    }
    return queryItem(key, QString::fromRawData(reinterpret_cast<const QChar*>(text.constData()), text.size()));
}
} // namespace

QString queryItem(const QString& key, int value)
{
    return numberItem(key, qint64(value));
}

QString queryItem(const QString& key, qint64 value)
{
    return numberItem(key, value);
}

QString queryItem(const QString& key, quint64 value)
{
    return numberItem(key, value);
}

QString queryItem(const QString& key, bool value)
{
    return queryItem(key, value ? QStringLiteral("true") : QStringLiteral("false"));
}

QString queryItem(const QString& key, const QList<int>& values)
{
    return numbersItem(key, values);
}

QString queryItem(const QString& key, const QList<qint64>& values)
{
    return numbersItem(key, values);
}

QString queryItem(const QString& key, const QStringList& values)
{
    if (values.size() == 1)
        return queryItem(key, values.first());
    Digits text;
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (i)
            text.append(u',');
        text.append(reinterpret_cast<const char16_t*>(values.at(i).utf16()), values.at(i).size());
    }
    return queryItem(key, QString::fromRawData(reinterpret_cast<const QChar*>(text.constData()), text.size()));
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
