#pragma once
// Static-data image service: pictures under the configured static-data address.

#include "tqglobal.h"

#include "model/constantsdictionary.h"
#include "transport/requestkit.h"

#include <QString>

namespace static_data {

// Path segments the host builds its paths from: image types 0 "hd1080", 1 "hd720",
// 2 "sd576"; resource subsets 0 "qr".
TQ_EXPORT const tq::ConstantsDictionary<int, QString>& imageTypeDictionary();
TQ_EXPORT const tq::ConstantsDictionary<int, QString>& resourceSubsetDictionary();

// An image by its path below the service address; an empty path is refused unsent.
class TQ_EXPORT ImageRequest : public tq::Request<ImageRequest>
{
public:
    static constexpr tq::Route route = tq::get("").type(tq::MethodType::StaticDataImage);

    ImageRequest() = default;
    explicit ImageRequest(QString imagePath, bool cacheable = true) : path(std::move(imagePath)), isCacheable(cacheable) {}

    QString path;
    bool isCacheable = true;

    static constexpr int imageRequestType() { return 2; }
    void finish(tq::RequestRawData& raw) const
    {
        raw.path = path;
        raw.isValid = !path.isEmpty();
        raw.isCacheable = isCacheable;
    }
};

} // namespace static_data
