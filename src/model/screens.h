#pragma once
// Screens family: pages the platform renders for the box (media views made of blocks of
// mixed items), the splash screen, the screensaver and the cold-start recommendations.

#include "tqglobal.h"

#include "model/abstractresponse.h"
#include "model/channels.h"
#include "model/enums.h"
#include "model/epg.h"
#include "model/fields.h"
#include "model/media.h"
#include "model/menus.h"
#include "model/records.h"
#include "model/services.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>

#include <optional>

namespace tq {

// The A/B test a block belongs to.
class TQ_EXPORT AbTestTemplate : public DecodedObject<AbTestTemplate>
{
    TQ_DECODED(AbTestTemplate)
public:
    qint64 id = -1;
    qint64 groupId = -1;

    QJsonObject toAnalyticsJson() const { return toJson(); }

    static constexpr auto fields()
    {
        return std::make_tuple(idField("id", &AbTestTemplate::id), idField("group_id", &AbTestTemplate::groupId));
    }
};

// One item of a rendered block; the type is kept as sent and the position is given to the
// chosen channel, guide item or film.
class TQ_EXPORT MediaViewItemUnion : public DecodedObject<MediaViewItemUnion>
{
    TQ_DECODED(MediaViewItemUnion)
public:
    QString type;
    std::optional<MediaPositionBrief> mediaPosition;
    std::optional<BannerBrief> banner;
    std::optional<ChannelBrief> channel;
    std::optional<CollectionBrief> collection;
    std::optional<EPGItemBrief> epg;
    std::optional<KaraokeItemBrief> karaokeItem;
    std::optional<MediaItemBrief> mediaItem;
    std::optional<ServiceBrief> service;

    void fromJson(const QJsonObject& json);
    // The engaged member as a displayable item; null when none is.
    const stbcore::AbstractDataItem* dataItem() const;
    // {"type", "id"} of the engaged member; empty when none is.
    QJsonObject toAnalyticsJson() const;

    static constexpr auto fields()
    {
        using U = MediaViewItemUnion;
        return std::make_tuple(field("media_position", &U::mediaPosition), field("type", &U::type),
                               selectedBy("type", choice("banner", &U::banner), choice("channel", &U::channel),
                                          choice("collection", &U::collection), choice("epg", &U::epg),
                                          choice("karaoke_item", &U::karaokeItem),
                                          choice("media_item", &U::mediaItem), choice("service", &U::service)));
    }
};

class TQ_EXPORT MediaBlockRendered : public DecodedObject<MediaBlockRendered>
{
    TQ_DECODED(MediaBlockRendered)
public:
    QString type;
    QJsonValue noContent;
    QList<MediaViewItemUnion> items;
    QString image;
    QString name;
    QString subName;
    TargetForMenu target;
    DisplayType displayType = DisplayType::Unknown;
    AbTestTemplate abTest;
    QString tag;
    QJsonValue recomAux;

    // The displayable member of each item, in order (items without one are left out).
    QList<const stbcore::AbstractDataItem*> extractMediaViewItemUnion() const;
    // At least one item, and every item with an id above 0.
    bool isValid() const;
    QJsonObject toAnalyticsJson() const;

    static constexpr auto fields()
    {
        using B = MediaBlockRendered;
        return std::make_tuple(field("type", &B::type), field("no_content", &B::noContent),
                               field("items", &B::items), field("image", &B::image), field("name", &B::name),
                               field("sub_name", &B::subName), field("target", &B::target),
                               field("display_type", &B::displayType), field("ab_test", &B::abTest),
                               field("tag", &B::tag), field("recom_aux", &B::recomAux));
    }
};

class TQ_EXPORT MediaViewRendered : public DecodedObject<MediaViewRendered, AbstractResponse>
{
    TQ_DECODED(MediaViewRendered)
public:
    QList<MediaBlockRendered> mediaBlocks;
    QString name;
    qint64 totalBlocks = 0;

    static constexpr auto fields()
    {
        return std::make_tuple(field("media_blocks", &MediaViewRendered::mediaBlocks),
                               field("name", &MediaViewRendered::name),
                               field("total_blocks", &MediaViewRendered::totalBlocks));
    }
};

class TQ_EXPORT ScreensaverMediaFile : public DecodedObject<ScreensaverMediaFile>
{
    TQ_DECODED(ScreensaverMediaFile)
public:
    QString type;
    QString url;

    static constexpr auto fields()
    {
        return std::make_tuple(field("type", &ScreensaverMediaFile::type), field("url", &ScreensaverMediaFile::url));
    }
};

class TQ_EXPORT GetSplashScreenResponse : public DecodedObject<GetSplashScreenResponse, AbstractResponse>
{
    TQ_DECODED(GetSplashScreenResponse)
public:
    QList<MediaFile> mediaFiles;
    MediaFileType type = MediaFileType::Unknown;

    static constexpr auto fields()
    {
        return std::make_tuple(field("media_files", &GetSplashScreenResponse::mediaFiles),
                               field("type", &GetSplashScreenResponse::type));
    }
};

class TQ_EXPORT RecomColdStartContent : public DecodedObject<RecomColdStartContent>
{
    TQ_DECODED(RecomColdStartContent)
public:
    qint64 id = -1;
    QString name;
    QString image;

    static constexpr auto fields()
    {
        return std::make_tuple(idField("id", &RecomColdStartContent::id), field("name", &RecomColdStartContent::name),
                               field("image", &RecomColdStartContent::image));
    }
};

class TQ_EXPORT RecomColdStartGenreBrief : public DecodedObject<RecomColdStartGenreBrief>
{
    TQ_DECODED(RecomColdStartGenreBrief)
public:
    qint64 id = -1;
    QString name;
    QString alias;
    QString image;

    static constexpr auto fields()
    {
        using G = RecomColdStartGenreBrief;
        return std::make_tuple(idField("id", &G::id), field("name", &G::name), field("alias", &G::alias),
                               field("image", &G::image));
    }
};

// The first choices a new subscriber makes: at least `minForChoosing` of `items`.
template<class Self, class Item>
class ColdStartChoice : public DecodedObject<Self, AbstractResponse>
{
public:
    int minForChoosing = 0;
    QList<Item> items;

    static constexpr auto fields()
    {
        return std::make_tuple(field("min_for_choosing", &ColdStartChoice::minForChoosing),
                               field("items", &ColdStartChoice::items));
    }
};

class TQ_EXPORT GetColdStartGenresResponse : public ColdStartChoice<GetColdStartGenresResponse, RecomColdStartGenreBrief>
{
    TQ_DECODED(GetColdStartGenresResponse)
};

class TQ_EXPORT GetColdStartContentResponse : public ColdStartChoice<GetColdStartContentResponse, RecomColdStartContent>
{
    TQ_DECODED(GetColdStartContentResponse)
};

} // namespace tq
