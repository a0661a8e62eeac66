#pragma once
// Platform requests: content — films and series, search, persons, collections and their
// filters, karaoke, media views, menus, services, recommendations, availability and DRM.

#include "tqglobal.h"

#include "api/requestfamilies.h"
#include "api/requestparams.h"
#include "model/account.h"
#include "model/channels.h"
#include "model/items.h"
#include "model/media.h"
#include "model/menus.h"
#include "model/payments.h"
#include "model/playback.h"
#include "model/screens.h"
#include "model/services.h"

#include <optional>

namespace tq {

class TQ_EXPORT GetMediaItemsRequest : public Request<GetMediaItemsRequest, CollectionRequest>, public FilterCollection
{
public:
    using Answer = GetMediaItemsResponse;
    static constexpr Route route = get("/user/media_items", 3);
    int yearGe = 0;
    int yearLe = 0;
    QStringList types;
    QList<int> genres;
    QStringList countries;
    qint64 parentId = 0;
    QString sortBy;
    QString sortDir;
    QList<qint64> mediaItems;
    std::optional<bool> withPurchaseOptions;
    std::optional<bool> filterPurchased;
    std::optional<bool> filterNotPurchased;
    std::optional<bool> filterViewed;
    std::optional<bool> filterNotDownloadable;
    std::optional<bool> withMediaPosition;
    qint64 categoryId = 0;
    qint64 personId = 0;
    qint64 roleId = 0;
    static constexpr auto query()
    {
        using R = GetMediaItemsRequest;
        return std::tuple_cat(
            offsetLimit(),
            std::make_tuple(item("year_ge", &R::yearGe, Send::Year), item("year_le", &R::yearLe, Send::Year),
                            item("types", &R::types), item("genres", &R::genres), item("countries", &R::countries),
                            item("parent_id", &R::parentId),
                            item("sort_by", &R::sortBy), item("sort_dir", &R::sortDir),
                            item("media_items", &R::mediaItems), item("with_purchase_options", &R::withPurchaseOptions),
                            item("filter_purchased", &R::filterPurchased),
                            item("filter_not_purchased", &R::filterNotPurchased),
                            item("filter_viewed", &R::filterViewed),
                            item("filter_not_downloadable", &R::filterNotDownloadable),
                            item("with_media_position", &R::withMediaPosition), item("category_id", &R::categoryId),
                            item("person_id", &R::personId), item("role_id", &R::roleId)));
    }
};

// The season and the first position always go out, even 0.
class TQ_EXPORT GetEpisodesRequest : public Request<GetEpisodesRequest, CollectionRequest>
{
public:
    using Answer = GetMediaItemsResponse;
    static constexpr Route route = get("/user/episodes", 3);
    qint64 seasonId = -1;
    QList<qint64> mediaItems;
    std::optional<bool> withPurchaseOptions;
    std::optional<bool> withMediaPosition;
    QString sortBy;
    QString sortDir;
    static constexpr auto query()
    {
        using R = GetEpisodesRequest;
        return std::make_tuple(item("season_id", &R::seasonId, Send::Always), item("offset", &R::offset, Send::Always),
                               item("limit", &R::limit),
                               item("media_items", &R::mediaItems),
                               item("with_purchase_options", &R::withPurchaseOptions),
                               item("with_media_position", &R::withMediaPosition), item("sort_by", &R::sortBy),
                               item("sort_dir", &R::sortDir));
    }
};

class TQ_EXPORT GetSeasonsRequest : public Request<GetSeasonsRequest, AbstractRequest>
{
public:
    using Answer = GetMediaItemsResponse;
    static constexpr Route route = get("/user/seasons", 3);
    qint64 seriesId = 0;
    QList<qint64> mediaItems;
    QString sortBy;
    QString sortDir;
    static constexpr auto query()
    {
        using R = GetSeasonsRequest;
        return std::make_tuple(item("series_id", &R::seriesId), item("media_items", &R::mediaItems),
                               item("sort_by", &R::sortBy), item("sort_dir", &R::sortDir));
    }
};

TQ_REQUEST(GetMediaItemByIdRequest, RequestById, get("/user/media_items/{id}", 3), GetMediaItemByIDResponse)
TQ_REQUEST(GetPlaylistRequest, AbstractRequest, get("/user/playlist"), GetMediaItemsResponse)
TQ_REQUEST(MediaItemsCertificateActivateRequest, RequestById, post("/user/media_items/{id}/certificate"),
           SuccessResponse)

// The film exchanged for one of the subscription's.
class TQ_EXPORT PostMediaItemByIdForExchangeRequest : public Request<PostMediaItemByIdForExchangeRequest, RequestById>
{
public:
    using Request::Request;
    using Answer = SuccessResponse;
    static constexpr Route route = post("/user/media_items/{id}/exchange");
    qint64 contentId = -1;
    QByteArray encodedBody() const { return jsonToRaw(QJsonObject{{QStringLiteral("content_id"), contentId}}); }
};

class TQ_EXPORT GetMediaItemPersonsRequest : public Request<GetMediaItemPersonsRequest, CollectionWithIdRequest>
{
public:
    using Request::Request;
    using Answer = GetMediaItemPersonsResponse;
    static constexpr Route route = get("/user/media_items/{id}/persons", 3);
    static constexpr auto query() { return limitOffset(); }
};

class TQ_EXPORT GetSearchRequest : public Request<GetSearchRequest, CollectionRequest>
{
public:
    using Answer = GetSearchResponse;
    static constexpr Route route = get("/user/search", 3);
    QString searchQuery;
    QStringList contentTypes;
    QList<qint64> mediaItems;
    QStringList mediaItemTypes;
    std::optional<bool> isChild;
    static constexpr auto query()
    {
        using R = GetSearchRequest;
        return std::tuple_cat(offsetLimit(),
                              std::make_tuple(item("query", &R::searchQuery), item("content_types", &R::contentTypes),
                                              item("media_items", &R::mediaItems),
                                              item("media_item_types", &R::mediaItemTypes), item("is_child", &R::isChild)));
    }
};

class TQ_EXPORT GetGroupSearchRequest : public Request<GetGroupSearchRequest, AbstractRequest>
{
public:
    using Answer = GetGroupSearchResponse;
    static constexpr Route route = get("/user/group_search", 3);
    QString searchQuery;
    quint64 limit = 0;
    static constexpr auto query()
    {
        return std::make_tuple(item("query", &GetGroupSearchRequest::searchQuery), item("limit", &GetGroupSearchRequest::limit));
    }
};

TQ_REQUEST(GetPersonRequest, RequestById, get("/user/persons/{id}"), Person)
TQ_REQUEST(GetPersonRolesRequest, RequestById, get("/user/persons/{id}/roles"), GetPersonRolesResponse)

class TQ_EXPORT GetPersonContentItemsRequest : public Request<GetPersonContentItemsRequest, CollectionWithIdRequest>
{
public:
    using Request::Request;
    using Answer = GetPersonContentItemsResponse;
    static constexpr Route route = get("/user/persons/{id}/items");
    qint64 roleId = 0;
    static constexpr auto query()
    {
        return std::tuple_cat(std::make_tuple(item("role_id", &GetPersonContentItemsRequest::roleId)), limitOffset());
    }
};

class TQ_EXPORT GetCollectionsRequest : public Request<GetCollectionsRequest, CollectionRequest>
{
public:
    using Answer = CollectionsResponse;
    static constexpr Route route = get("/user/collections");
    static constexpr auto query() { return limitOffset(); }
};

TQ_REQUEST(GetCollectionRequest, CollectionWithIdRequest, get("/user/collections/{id}"), CollectionResponse)

class TQ_EXPORT GetCollectionItemsRequest : public Request<GetCollectionItemsRequest, CollectionWithIdRequest>,
                                  public FilterCollection
{
public:
    using Request::Request;
    using Answer = CollectionItemsResponse;
    static constexpr Route route = get("/user/collections/{id}/items");
    QString itemType;
    static constexpr auto query()
    {
        return std::tuple_cat(offsetLimit(), std::make_tuple(item("item_type", &GetCollectionItemsRequest::itemType)));
    }
};

class TQ_EXPORT ListMyCollectionRequest : public Request<ListMyCollectionRequest, CollectionWithValueRequest>,
                                public FilterCollection
{
public:
    using Request::Request;
    using Answer = ListMyCollectionResponse;
    static constexpr Route route = get("/user/my_collection");
    static constexpr auto query()
    {
        return std::tuple_cat(std::make_tuple(item("type", &CollectionWithValueRequest::value)), limitOffset());
    }
};

// The filters, sorts and filter themes of a kind of content ("%1"), optionally of one item.
class TQ_EXPORT RequestFilters : public Request<RequestFilters, RequestByContentTypeAndId>
{
public:
    using Request::Request;
    using Answer = FiltersResponse;
    static constexpr Route route = get("/user/%1/{id}/filters");
    QString theme;
    static constexpr auto query() { return std::make_tuple(item("theme", &RequestFilters::theme)); }
};

TQ_REQUEST(RequestSorts, RequestByContentTypeAndId, get("/user/%1/{id}/sorts"), SortsResponse)
TQ_REQUEST(RequestFilterThemes, RequestByContentTypeAndId, get("/user/%1/{id}/filter_themes"),
           ContentFilterThemesResponse)

class TQ_EXPORT GetKaraokeItemsRequest : public Request<GetKaraokeItemsRequest, CollectionRequest>, public FilterCollection
{
public:
    using Answer = GetKaraokeItemsResponse;
    static constexpr Route route = get("/user/karaoke_items", 3);
    static constexpr auto query() { return offsetLimit(); }
};

TQ_REQUEST(GetKaraokeItemByIdRequest, RequestById, get("/user/karaoke_items/{id}", 3), GetKaraokeItemByIDResponse)

class TQ_EXPORT GetMediaViewRenderedRequest : public Request<GetMediaViewRenderedRequest, CollectionWithIdRequest>
{
public:
    using Request::Request;
    using Answer = MediaViewRendered;
    static constexpr Route route = get("/user/media_views/{id}", 4);
    static constexpr auto query() { return limitOffset(); }
};

class TQ_EXPORT GetMediaViewAliasRequest : public Request<GetMediaViewAliasRequest, CollectionWithValueRequest>
{
public:
    using Request::Request;
    using Answer = MediaViewRendered;
    static constexpr Route route = get("/user/media_views/alias/{name}", 4);
    qint64 seriesId = 0;
    qint64 mediaItemId = 0;
    static constexpr auto query()
    {
        using R = GetMediaViewAliasRequest;
        return std::make_tuple(item("series_id", &R::seriesId), item("media_item_id", &R::mediaItemId),
                               item("limit", &CollectionRequest::limit));
    }
};

class TQ_EXPORT GetMenuRequest : public Request<GetMenuRequest, RequestById>
{
public:
    using Request::Request;
    using Answer = Menu;
    static constexpr Route route = get("/user/menu");
    static constexpr auto query() { return std::make_tuple(item("submenu_id", &RequestById::id)); }
};

class TQ_EXPORT CanvasRequest : public Request<CanvasRequest, StringValueRequest>
{
public:
    using Request::Request;
    using Answer = CanvasResponse;
    static constexpr Route route = get("/user/canvas/{content_type}");
    int width = 0;
    int height = 0;
    static constexpr auto query()
    {
        return std::make_tuple(item("width", &CanvasRequest::width), item("height", &CanvasRequest::height));
    }
};

TQ_REQUEST(ServiceByIdRequest, RequestById, get("/user/services/{id}", 3), ServiceBrief)
TQ_REQUEST(ServiceByAliasRequest, StringValueRequest, get("/user/services/alias/{name}", 3), ServiceBrief)
TQ_REQUEST(GetServiceTabsListRequest, AbstractRequest, get("/user/services/tabs"), GetServiceTabsListResponse)

class TQ_EXPORT GetServiceItemsRequest : public Request<GetServiceItemsRequest, CollectionWithIdRequest>,
                               public FilterCollection
{
public:
    using Request::Request;
    using Answer = GetServiceItemsResponse;
    static constexpr Route route = get("/user/services/{id}/items");
    QString itemType;
    static constexpr auto query()
    {
        return std::tuple_cat(offsetLimit(), std::make_tuple(item("item_type", &GetServiceItemsRequest::itemType)));
    }
};

class TQ_EXPORT GetColdStartContentRequest : public Request<GetColdStartContentRequest, AbstractRequest>
{
public:
    using Answer = GetColdStartContentResponse;
    static constexpr Route route = get("/user/recommendations/cold_start");
    QStringList genreAliases;
    static constexpr auto query()
    {
        return std::make_tuple(item("genre_aliases", &GetColdStartContentRequest::genreAliases));
    }
};

TQ_REQUEST(GetColdStartGenersRequest, AbstractRequest, get("/user/recommendations/cold_start/genres"),
           GetColdStartGenresResponse)
TQ_REQUEST(PostColdStartContentRequest, RequestWithBody<ColdStartContentBody>,
           post("/user/recommendations/cold_start"), PostColdStartContentResponse)
TQ_REQUEST(PostMediaRatingsRequest, RequestWithBody<RateMediaItemBody>, post("/user/media_ratings"), SuccessResponse)
TQ_REQUEST(DeleteMediaRatingByIdRequest, StringValueWithIdRequest,
           del("/user/media_ratings/{content_type}/{content_id}"), SuccessResponse)

// Where the playback of a content item may start, and its DRM token.
struct TQ_EXPORT ContentPlaybackArguments
{
    QString contentType;
    qint64 contentId = 0;
    qint64 mediaItem = 0;
    qint64 assetId = 0;
    QString drmProvider;
};

class TQ_EXPORT ContentAvailabilityRequest : public Request<ContentAvailabilityRequest, AbstractRequest>,
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

class TQ_EXPORT GetContentDrmTokenRequest : public Request<GetContentDrmTokenRequest, RequestById>,
                                  public ContentPlaybackArguments
{
public:
    using Request::Request;
    using Answer = GetContentDrmTokenResponse;
    static constexpr Route route = get("/user/content_drm_token");
    static constexpr auto query()
    {
        using Q = ContentPlaybackArguments;
        return std::make_tuple(item("content_type", &Q::contentType), item("content_id", &Q::contentId),
                               item("drm_provider", &Q::drmProvider), item("asset_id", &Q::assetId));
    }
};

TQ_REQUEST(GetDrmSettingsRequest, AbstractRequest, get("/user/drm_settings", 3), GetDrmSettingsResponse)

using ContentRequests =
    std::tuple<GetMediaItemsRequest, GetEpisodesRequest, GetSeasonsRequest, GetMediaItemByIdRequest, GetPlaylistRequest,
               MediaItemsCertificateActivateRequest, PostMediaItemByIdForExchangeRequest, GetMediaItemPersonsRequest,
               GetSearchRequest, GetGroupSearchRequest, GetPersonRequest, GetPersonRolesRequest,
               GetPersonContentItemsRequest, GetCollectionsRequest, GetCollectionRequest, GetCollectionItemsRequest,
               ListMyCollectionRequest, RequestFilters, RequestSorts, RequestFilterThemes, GetKaraokeItemsRequest,
               GetKaraokeItemByIdRequest, GetMediaViewRenderedRequest, GetMediaViewAliasRequest, GetMenuRequest,
               CanvasRequest, ServiceByIdRequest, ServiceByAliasRequest, GetServiceTabsListRequest,
               GetServiceItemsRequest, GetColdStartContentRequest, GetColdStartGenersRequest,
               PostColdStartContentRequest, PostMediaRatingsRequest, DeleteMediaRatingByIdRequest,
               ContentAvailabilityRequest, GetContentDrmTokenRequest, GetDrmSettingsRequest>;

} // namespace tq
