#pragma once
// Platform requests: content — films and series, search, persons, collections and their
// filters, karaoke, media views, menus, services, recommendations, availability and DRM.

#include "api/platformrequest.h"
#include "api/requestparams.h"
#include "model/account.h"
#include "model/payments.h"
#include "model/playback.h"

#include <optional>

namespace tq {

TQ_PLATFORM_REQUEST(MediaItemsCertificateActivateRequest, RequestById, post("/user/media_items/{id}/certificate"),
                    SuccessResponse)

// The film exchanged for one of the subscription's.
class PostMediaItemByIdForExchangeRequest : public PlatformRequest<PostMediaItemByIdForExchangeRequest, RequestById>
{
public:
    using PlatformRequest::PlatformRequest;
    using Answer = SuccessResponse;
    static constexpr Route route = post("/user/media_items/{id}/exchange");
    qint64 contentId = -1;
    QByteArray encodedBody() const { return jsonToRaw(QJsonObject{{QStringLiteral("content_id"), contentId}}); }
};

TQ_PLATFORM_REQUEST(PostColdStartContentRequest, RequestWithBody<ColdStartContentBody>,
                    post("/user/recommendations/cold_start"), PostColdStartContentResponse)

TQ_PLATFORM_REQUEST(PostMediaRatingsRequest, RequestWithBody<RateMediaItemBody>, post("/user/media_ratings"), SuccessResponse)

TQ_PLATFORM_REQUEST(DeleteMediaRatingByIdRequest, StringValueWithIdRequest,
                    del("/user/media_ratings/{content_type}/{content_id}"), SuccessResponse)

// Where the playback of a content item may start, and its DRM token.
struct ContentPlaybackArguments
{
    QString contentType;
    qint64 contentId = 0;
    qint64 mediaItem = 0;
    qint64 assetId = 0;
    QString drmProvider;
};

class ContentAvailabilityRequest : public PlatformRequest<ContentAvailabilityRequest, AbstractRequest>,
                                   public ContentPlaybackArguments
{
public:
    using Answer = ContentAvailabilityResponse;
    static constexpr Route route = get("/user/content_availability");
    static constexpr auto query()
    {
        using Q = ContentPlaybackArguments;
        return std::make_tuple(item("content_type", &Q::contentType), item("content_id", &Q::contentId),
                               item("media_item", &Q::mediaItem), item("asset_id", &Q::assetId));
    }
};

class GetContentDrmTokenRequest : public PlatformRequest<GetContentDrmTokenRequest, RequestById>,
                                  public ContentPlaybackArguments
{
public:
    using PlatformRequest::PlatformRequest;
    using Answer = GetContentDrmTokenResponse;
    static constexpr Route route = get("/user/content_drm_token");
    static constexpr auto query()
    {
        using Q = ContentPlaybackArguments;
        return std::make_tuple(item("content_type", &Q::contentType), item("content_id", &Q::contentId),
                               item("drm_provider", &Q::drmProvider), item("asset_id", &Q::assetId));
    }
};

TQ_PLATFORM_REQUEST(GetDrmSettingsRequest, AbstractRequest, get("/user/drm_settings", 3), GetDrmSettingsResponse)

using ContentRequests = std::tuple<MediaItemsCertificateActivateRequest, PostMediaItemByIdForExchangeRequest, PostColdStartContentRequest, PostMediaRatingsRequest, DeleteMediaRatingByIdRequest, ContentAvailabilityRequest, GetContentDrmTokenRequest, GetDrmSettingsRequest>;

} // namespace tq
