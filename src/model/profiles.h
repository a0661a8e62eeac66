#pragma once
// Profiles of the household: who watches, with which limits, icons and track
// preferences; and what they watch: viewing time, previews, saved positions.

#include "tqglobal.h"

#include "model/abstractresponse.h"
#include "model/enums.h"
#include "model/fields.h"
#include "model/records.h"
#include "model/responsewithitems.h"

#include <QJsonValue>
#include <QList>
#include <QString>

namespace tq {

class TQ_EXPORT ProfileIcon : public DecodedObject<ProfileIcon>
{
    TQ_DECODED(ProfileIcon)
public:
    qint64 id = -1;
    QString image;

    static constexpr auto fields()
    {
        return std::make_tuple(idField("id", &ProfileIcon::id), field("image", &ProfileIcon::image));
    }
};

class TQ_EXPORT GetProfileIconsResponse : public ResponseWithItemsOf<GetProfileIconsResponse, ProfileIcon>
{
    TQ_DECODED(GetProfileIconsResponse)
};

// An icon a profile may take.
class TQ_EXPORT ProfileIconItem : public DecodedObject<ProfileIconItem, AbstractCborObject>
{
    TQ_DECODED(ProfileIconItem)
public:
    qint64 iconId = -1;
    QString image;

    static constexpr auto fields()
    {
        return std::make_tuple(idField("icon_id", &ProfileIconItem::iconId), field("image", &ProfileIconItem::image));
    }
};

class TQ_EXPORT PurchaseLimits : public DecodedObject<PurchaseLimits>
{
    TQ_DECODED(PurchaseLimits)
public:
    bool isPinRequired = false;

    static constexpr auto fields() { return std::make_tuple(field("is_pin_required", &PurchaseLimits::isPinRequired)); }
};

// When, and how long a day, the profile may watch.
class TQ_EXPORT ViewLimits : public DecodedObject<ViewLimits>
{
    TQ_DECODED(ViewLimits)
public:
    QString allowedFrom;
    QString allowedTo;
    qint64 curViewTime = 0;
    qint64 maxViewTime = 0;

    static constexpr auto fields()
    {
        using V = ViewLimits;
        return std::make_tuple(field("allowed_from", &V::allowedFrom), field("allowed_to", &V::allowedTo),
                               field("cur_view_time", &V::curViewTime), field("max_view_time", &V::maxViewTime));
    }
};

class TQ_EXPORT ProfileBrief : public DecodedObject<ProfileBrief, AbstractResponse>
{
    TQ_DECODED(ProfileBrief)
public:
    qint64 id = -1;
    QString name;
    ProfileType type = ProfileType::Unknown;
    ProfileIcon icon;
    qint64 defaultAgeLimitId = -1;
    qint64 maxAgeLimitId = -1;
    bool isEroticAllowed = false;
    bool isNotificationsAllowed = false;
    bool isGetshoptvEnabled = false;
    FilteredChannels filteredChannels;
    PurchaseLimits purchaseLimits;
    ViewLimits viewLimits;
    // The preferred tracks travel as texts holding their JSON.
    TrackInfo audioTrackLang;
    TrackInfo subtitleLang;

    static constexpr auto fields()
    {
        using P = ProfileBrief;
        return std::make_tuple(
            idField("id", &P::id), field("name", &P::name), field("type", &P::type), field("icon", &P::icon),
            idField("default_age_limit_id", &P::defaultAgeLimitId), idField("max_age_limit_id", &P::maxAgeLimitId),
            field("is_erotic_allowed", &P::isEroticAllowed),
            field("is_notifications_allowed", &P::isNotificationsAllowed),
            field("is_getshoptv_enabled", &P::isGetshoptvEnabled), field("filtered_channels", &P::filteredChannels),
            field("purchase_limits", &P::purchaseLimits), field("view_limits", &P::viewLimits),
            field("audio_track_lang", &P::audioTrackLang).asJsonText(),
            field("subtitle_lang", &P::subtitleLang).asJsonText());
    }
};

class TQ_EXPORT ListProfilesResponse : public ResponseWithItemsOf<ListProfilesResponse, ProfileBrief>
{
    TQ_DECODED(ListProfilesResponse)
public:
    qint64 currentProfileId = -1;

    static constexpr auto fields()
    {
        return std::tuple_cat(ResponseWithItemsOf::fields(),
                              std::make_tuple(idField("current_profile_id", &ListProfilesResponse::currentProfileId)));
    }
};

// How much of the profile's daily viewing time is used.
class TQ_EXPORT ContentViewResponse : public DecodedObject<ContentViewResponse, AbstractResponse>
{
    TQ_DECODED(ContentViewResponse)
public:
    qint64 curViewTime = 0;
    qint64 maxViewTime = 0;
    bool isViewTimeLeft = false;

    static constexpr auto fields()
    {
        using R = ContentViewResponse;
        return std::make_tuple(field("cur_view_time", &R::curViewTime), field("max_view_time", &R::maxViewTime),
                               field("is_view_time_left", &R::isViewTimeLeft));
    }
};

class TQ_EXPORT PostPreviewResponse : public DecodedObject<PostPreviewResponse, AbstractResponse>
{
    TQ_DECODED(PostPreviewResponse)
public:
    PreviewDurationBrief previewDuration;
    bool success = false;

    static constexpr auto fields()
    {
        return std::make_tuple(field("preview_duration", &PostPreviewResponse::previewDuration),
                               field("success", &PostPreviewResponse::success));
    }
};

// A saved position, and what the platform offers to watch instead.
class TQ_EXPORT MediaPositionIDResponse : public DecodedObject<MediaPositionIDResponse, AbstractResponse>
{
    TQ_DECODED(MediaPositionIDResponse)
public:
    qint64 contentId = -1;
    ContentItemType contentType = ContentItemType::Unknown;
    QJsonValue exchangeContent;
    QString mediaViewAlias;
    bool canExchange = false;
    MediaPositionBrief mediaPosition;

    static constexpr auto fields()
    {
        using R = MediaPositionIDResponse;
        return std::make_tuple(idField("content_id", &R::contentId), field("content_type", &R::contentType),
                               field("exchange_content", &R::exchangeContent).whenPresent(),
                               field("media_view_alias", &R::mediaViewAlias), field("can_exchange", &R::canExchange),
                               field("media_position", &R::mediaPosition));
    }
};

} // namespace tq
