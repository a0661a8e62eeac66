#pragma once
// Menus family: navigation targets (what opens when an item is chosen), menu items and
// banners, with the check whether the box can open a target.

#include "tqglobal.h"

#include "model/enums.h"
#include "model/fields.h"
#include "model/records.h"
#include "model/responsewithitems.h"

#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>

namespace tq {

class TQ_EXPORT TargetLinkFilter : public DecodedObject<TargetLinkFilter, AbstractCborObject>
{
    TQ_DECODED(TargetLinkFilter)
public:
    QString alias;
    QStringList options;

    static constexpr auto fields()
    {
        return std::make_tuple(field("alias", &TargetLinkFilter::alias), field("options", &TargetLinkFilter::options));
    }
};

// Where a target points: whichever of these the target's type needs.
class TQ_EXPORT TargetLink : public DecodedObject<TargetLink, AbstractCborObject>
{
    TQ_DECODED(TargetLink)
public:
    qint64 id = -1;
    qint64 categoryId = -1;
    qint64 collectionId = -1;
    qint64 genreId = -1;
    qint64 channelId = -1;
    qint64 tqChannelId = -1;
    qint64 programId = -1;
    qint64 epgId = -1;
    qint64 originalId = -1;
    qint64 startTime = 0;
    QString screenName;
    QString contentType;
    QString mediaItemType;
    QString name;
    qint64 typeId = -1;
    qint64 tabId = -1;
    qint64 themeId = -1;
    QString url;
    QString alias;
    QString filterTheme;
    QList<TargetLinkFilter> filters;
    QString packageName;
    QString activityName;

    static constexpr auto fields()
    {
        using L = TargetLink;
        return std::make_tuple(
            idField("id", &L::id), idField("category_id", &L::categoryId), idField("collection_id", &L::collectionId),
            idField("genre_id", &L::genreId), idField("channel_id", &L::channelId),
            idField("tq_channel_id", &L::tqChannelId), idField("program_id", &L::programId),
            idField("epg_id", &L::epgId), idField("original_id", &L::originalId), field("start_time", &L::startTime),
            field("screen_name", &L::screenName), field("content_type", &L::contentType),
            field("media_item_type", &L::mediaItemType), field("name", &L::name), idField("type_id", &L::typeId),
            idField("tab_id", &L::tabId), idField("theme_id", &L::themeId), field("url", &L::url),
            field("alias", &L::alias), field("filter_theme", &L::filterTheme), field("filters", &L::filters),
            field("package_name", &L::packageName), field("activity_name", &L::activityName));
    }
};

// What opens when a menu item, banner or block is chosen. Read from JSON it is valid when it
// names a type; the CBOR form carries the validity itself ("is_valid").
class TQ_EXPORT TargetForMenu : public DecodedObject<TargetForMenu, stbcore::AbstractDataItem, AbstractCborObject>
{
    TQ_DECODED(TargetForMenu)
public:
    using DecodedObject::DecodedObject;

    int dataItemType() const override { return 34; }
    bool hasTitles() const override { return !title.isEmpty(); }

    void fromJson(const QJsonObject& json);

    TargetLink link;
    QString title;
    QString type;

    static constexpr auto fields()
    {
        using T = TargetForMenu;
        return std::make_tuple(field("link", &T::link), field("title", &T::title), field("type", &T::type),
                               accessor("is_valid", &T::isValid, &T::setValid).cborOnly());
    }
};

// Whether the box can open `target` (its type, then the link's screen name, content type or
// media item type, looked up in the table of supported paths); an unsupported one is logged.
TQ_EXPORT bool isTargetSupported(const TargetForMenu& target);

class TQ_EXPORT MenuItemUserBrief : public DecodedObject<MenuItemUserBrief, AbstractCborObject>
{
    TQ_DECODED(MenuItemUserBrief)
public:
    QString icon;
    qint64 id = -1;
    TargetForMenu target;
    QString title;

    static constexpr auto fields()
    {
        using M = MenuItemUserBrief;
        return std::make_tuple(field("icon", &M::icon), idField("id", &M::id), field("target", &M::target),
                               field("title", &M::title));
    }
};

// The main menu; "default" is the item opened first.
class TQ_EXPORT Menu : public ResponseWithItemsOf<Menu, MenuItemUserBrief>
{
    TQ_DECODED(Menu)
public:
    qint64 defaultItem = 0;

    static constexpr auto fields()
    {
        return std::tuple_cat(ResponseWithItemsOf::fields(), std::make_tuple(field("default", &Menu::defaultItem)));
    }
};

// The impression and click pixels of an advertising banner.
class TQ_EXPORT AdPixel : public DecodedObject<AdPixel, AbstractCborObject>
{
    TQ_DECODED(AdPixel)
public:
    QString clickUrl;
    QString showUrl;

    static constexpr auto fields()
    {
        return std::make_tuple(field("click_url", &AdPixel::clickUrl).under("links").whenPresent(),
                               field("show_url", &AdPixel::showUrl).under("links").whenPresent());
    }
};

class TQ_EXPORT AdvertiserInfo : public DecodedObject<AdvertiserInfo>
{
    TQ_DECODED(AdvertiserInfo)
public:
    QString owner;
    QString token;
    QColor fontColor;

    static constexpr auto fields()
    {
        return std::make_tuple(field("owner", &AdvertiserInfo::owner), field("token", &AdvertiserInfo::token),
                               field("font_color", &AdvertiserInfo::fontColor));
    }
};

class TQ_EXPORT BannerBrief : public DecodedObject<BannerBrief, stbcore::AbstractDataItem, AbstractCborObject>
{
    TQ_DECODED(BannerBrief)
public:
    using DecodedObject::DecodedObject;

    int dataItemType() const override { return 1; }
    bool hasTitles() const override { return !title.isEmpty() || !subtitle.isEmpty(); }

    AdPixel adPixel;
    AgeLevel ageLevel;
    QColor color;
    QString logo;
    LogoSize logoSize = LogoSize::Unknown;
    QString icon;
    QString smallIcon;
    QStringList images;
    QList<Label> labels;
    QList<MediaFile> mediaFiles;
    Ratings ratings;
    BannerSize size = BannerSize::Unknown;
    QString subtitle;
    TargetForMenu target;
    AdvertiserInfo advertiserInfo;
    QString title;

    static constexpr auto fields()
    {
        using B = BannerBrief;
        return std::make_tuple(field("ad_pixel", &B::adPixel), field("age_level", &B::ageLevel),
                               field("color", &B::color), field("logo", &B::logo), field("logo_size", &B::logoSize),
                               field("icon", &B::icon), field("small_icon", &B::smallIcon), itemId(),
                               field("images", &B::images), field("labels", &B::labels),
                               field("media_files", &B::mediaFiles), field("ratings", &B::ratings),
                               field("size", &B::size), field("subtitle", &B::subtitle), field("target", &B::target),
                               field("advertiser_info", &B::advertiserInfo), field("title", &B::title));
    }
};

class TQ_EXPORT ContentInfo : public DecodedObject<ContentInfo>
{
    TQ_DECODED(ContentInfo)
public:
    TargetForMenu target;
    QString logo;

    static constexpr auto fields()
    {
        return std::make_tuple(field("target", &ContentInfo::target), field("logo", &ContentInfo::logo));
    }
};

} // namespace tq
