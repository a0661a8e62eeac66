#pragma once
// Release notes: an HTML page per firmware version and the images it shows, both below
// "<release notes address>/<version>/".

#include "tqglobal.h"

#include "transport/requestkit.h"

#include <QString>

namespace rn {

// The page arrives as a QString (text answers are delivered as text).
class TQ_EXPORT ReleaseNotesRequest : public tq::Request<ReleaseNotesRequest>
{
public:
    static constexpr tq::Route route = tq::get("").type(tq::MethodType::ReleaseNotesHtml);
    QString path;
    void finish(tq::RequestRawData& raw) const { raw.path = path; }
};

class TQ_EXPORT ReleaseNotesImageRequest : public tq::Request<ReleaseNotesImageRequest>
{
public:
    static constexpr tq::Route route = tq::get("").type(tq::MethodType::ReleaseNotesImage).noImageSizeCheck();
    QString path;
    void finish(tq::RequestRawData& raw) const { raw.path = path; }
};

} // namespace rn
