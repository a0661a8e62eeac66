#include "api/requestfamilies.h"

namespace tq {

const QString offsetQueryKey = QStringLiteral("offset");
const QString limitQueryKey = QStringLiteral("limit");
const QString sortByQueryKey = QStringLiteral("sort_by");
const QString sortDirQueryKey = QStringLiteral("sort_dir");

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

void ImageRequest::finish(RequestRawData& raw) const
{
    raw.isValid = !url.isEmpty();
    raw.path = url;
    raw.methodType = methodType;
    raw.isCacheable = isCacheable;
    raw.isAbsoluteUrl = isAbsoluteUrl;
    raw.checkImageSize = checkImageSize;
}

} // namespace tq
