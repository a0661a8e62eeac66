#pragma once
// Films and series family, with karaoke, collections and the catalogue's filters and sorts.

#include "tqglobal.h"

#include "model/abstractresponse.h"
#include "model/enums.h"
#include "model/fields.h"
#include "model/offers.h"
#include "model/playback.h"
#include "model/records.h"
#include "model/responsewithitems.h"

#include <QColor>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

namespace tq {

// A film, series, season or episode in lists.
class TQ_EXPORT MediaItemBrief
    : public DecodedObject<MediaItemBrief, stbcore::AbstractDataItem, AbstractResponse, AbstractCborObject>
{
    TQ_DECODED(MediaItemBrief)
public:
    using DecodedObject::DecodedObject;

    int dataItemType() const override { return 15; }
    bool hasTitles() const override { return !name.isEmpty(); }
    QJsonObject toAnalyticsJson() const;

    QString name;
    QString shortName;
    QString seriesName;
    MediaItemType type = MediaItemType::Unknown;
    UsageModel usageModel = UsageModel::Unknown;
    QString logo;
    QColor posterBgColor;
    QString summary;
    QString shortDescription;
    QString screenshots;
    QString visitCard;
    QString year;
    QStringList countries;
    qint64 duration = 0;
    qint64 childrenAmount = 0;
    qint64 orderNumber = 0;
    qint64 seasonOrderNumber = 0;
    qint64 seasonId = -1;
    qint64 seriesId = -1;
    QString copyrightHolderLogo1;
    QString copyrightHolderLogo2;
    qint64 startDate = 0;
    bool isFavorite = false;
    bool isComingSoon = false;
    bool isQrAdsEnabled = false;
    AgeLevel ageLevel;
    Ratings ratings;
    MediaPositionBrief mediaPosition;
    QList<PurchaseVariant> purchaseVariants;
    QList<Action> actions;
    PurchaseState purchaseState;
    QList<SkippableFragment> skippableFragments;

    static constexpr auto fields()
    {
        using M = MediaItemBrief;
        return std::make_tuple(
            itemId(), field("name", &M::name), field("short_name", &M::shortName).jsonOnly(),
            field("series_name", &M::seriesName), field("type", &M::type), field("usage_model", &M::usageModel),
            field("logo", &M::logo), field("poster_bg_color", &M::posterBgColor), field("summary", &M::summary),
            field("short_description", &M::shortDescription), field("screenshots", &M::screenshots),
            field("visit_card", &M::visitCard), field("year", &M::year), field("countries", &M::countries),
            field("duration", &M::duration), field("children_amount", &M::childrenAmount),
            field("order_number", &M::orderNumber), field("season_order_number", &M::seasonOrderNumber),
            idField("season_id", &M::seasonId), idField("series_id", &M::seriesId),
            field("copyright_holder_logo_1", &M::copyrightHolderLogo1),
            field("copyright_holder_logo_2", &M::copyrightHolderLogo2),
            field("start_date", &M::startDate).whenPresent(), field("is_favorite", &M::isFavorite),
            field("is_coming_soon", &M::isComingSoon), field("is_qr_ads_enabled", &M::isQrAdsEnabled),
            field("age_level", &M::ageLevel), field("ratings", &M::ratings),
            field("media_position", &M::mediaPosition), field("purchase_variants", &M::purchaseVariants),
            field("actions", &M::actions), field("purchase_state", &M::purchaseState),
            field("skippable_fragments", &M::skippableFragments));
    }
};

class TQ_EXPORT Genre : public DecodedObject<Genre>
{
    TQ_DECODED(Genre)
public:
    qint64 defaultCategoryId = -1;
    qint64 id = -1;
    QString name;

    static constexpr auto fields()
    {
        return std::make_tuple(idField("default_category_id", &Genre::defaultCategoryId), idField("id", &Genre::id),
                               field("name", &Genre::name));
    }
};

class TQ_EXPORT ContentFilterOption : public DecodedObject<ContentFilterOption>
{
    TQ_DECODED(ContentFilterOption)
public:
    QString alias;
    QString name;
    qint64 sortOrder = 0;
    QStringList values;

    static constexpr auto fields()
    {
        using O = ContentFilterOption;
        return std::make_tuple(field("alias", &O::alias), field("name", &O::name), field("sort_order", &O::sortOrder),
                               field("values", &O::values));
    }
};

class TQ_EXPORT ContentFilterUser : public DecodedObject<ContentFilterUser>
{
    TQ_DECODED(ContentFilterUser)
public:
    qint64 id = -1;
    QString alias;
    QString allOptionsTitle;
    QString name;
    QList<ContentFilterOption> options;
    QString type;

    static constexpr auto fields()
    {
        using F = ContentFilterUser;
        return std::make_tuple(idField("id", &F::id), field("alias", &F::alias),
                               field("all_options_title", &F::allOptionsTitle), field("name", &F::name),
                               field("options", &F::options), field("type", &F::type));
    }
};

class TQ_EXPORT ContentFilterUserBrief : public DecodedObject<ContentFilterUserBrief>
{
    TQ_DECODED(ContentFilterUserBrief)
public:
    qint64 id = -1;
    QString alias;
    QString name;
    QList<ContentFilterOption> options;
    QString theme;

    static constexpr auto fields()
    {
        using F = ContentFilterUserBrief;
        return std::make_tuple(idField("id", &F::id), field("alias", &F::alias), field("name", &F::name),
                               field("options", &F::options), field("theme", &F::theme));
    }
};

class TQ_EXPORT ContentFilterThemeUser : public DecodedObject<ContentFilterThemeUser>
{
    TQ_DECODED(ContentFilterThemeUser)
public:
    qint64 id = -1;
    QString alias;
    QString name;

    static constexpr auto fields()
    {
        return std::make_tuple(idField("id", &ContentFilterThemeUser::id),
                               field("alias", &ContentFilterThemeUser::alias),
                               field("name", &ContentFilterThemeUser::name));
    }
};

class TQ_EXPORT SortBrief : public DecodedObject<SortBrief>
{
    TQ_DECODED(SortBrief)
public:
    QString name;
    QString sortBy;
    QString sortDir;
    QString alias;
    bool isDefault = false;

    static constexpr auto fields()
    {
        return std::make_tuple(field("name", &SortBrief::name), field("sort_by", &SortBrief::sortBy),
                               field("sort_dir", &SortBrief::sortDir), field("alias", &SortBrief::alias),
                               field("is_default", &SortBrief::isDefault));
    }
};

// The full card of one media item: the list keys first, then the card's own.
class TQ_EXPORT GetMediaItemByIDResponse : public DecodedObject<GetMediaItemByIDResponse, MediaItemBrief>
{
    TQ_DECODED(GetMediaItemByIDResponse)
public:
    using DecodedObject::DecodedObject;

    Assets assets;
    qint64 availableUpTo = 0;
    qint64 contractorId = -1;
    QString background;
    QList<Genre> genres;
    bool isChild = false;
    SeriesMediaPosition nextSeriesPosition;
    SeriesMediaPosition previousSeriesPosition;
    QString originalName;
    SeriesMediaPosition seriesPosition;
    QList<ContentFilterUserBrief> filters;
    bool isJointViewing = false;
    QList<qint64> advertisingMidRolls;

    static constexpr auto fields()
    {
        using R = GetMediaItemByIDResponse;
        return std::tuple_cat(
            MediaItemBrief::fields(),
            std::make_tuple(field("assets", &R::assets), field("available_up_to", &R::availableUpTo),
                            idField("contractor_id", &R::contractorId), field("background", &R::background),
                            field("genres", &R::genres), field("is_child", &R::isChild),
                            field("next_series_position", &R::nextSeriesPosition),
                            field("previous_series_position", &R::previousSeriesPosition),
                            field("original_name", &R::originalName), field("series_position", &R::seriesPosition),
                            field("filters", &R::filters), field("is_joint_viewing", &R::isJointViewing),
                            field("advertising_mid_rolls", &R::advertisingMidRolls).whenPresent()));
    }
};

class TQ_EXPORT GetMediaItemsResponse : public ResponseWithItemsOf<GetMediaItemsResponse, MediaItemBrief>
{
    TQ_DECODED(GetMediaItemsResponse)
};

class TQ_EXPORT CollectionItemsResponse : public ResponseWithItemsOf<CollectionItemsResponse, MediaItemBrief>
{
    TQ_DECODED(CollectionItemsResponse)
};

class TQ_EXPORT CollectionBrief : public DecodedObject<CollectionBrief, stbcore::AbstractDataItem, AbstractCborObject>
{
    TQ_DECODED(CollectionBrief)
public:
    using DecodedObject::DecodedObject;

    int dataItemType() const override { return 4; }
    bool hasTitles() const override { return !name.isEmpty(); }

    QString copyrightHolderLogo1;
    QString description;
    QString logo;
    QString name;

    static constexpr auto fields()
    {
        using C = CollectionBrief;
        return std::make_tuple(itemId(), field("copyright_holder_logo_1", &C::copyrightHolderLogo1),
                               field("description", &C::description), field("logo", &C::logo),
                               field("name", &C::name));
    }
};

// One collection, asked for by its id.
class TQ_EXPORT CollectionResponse : public DecodedObject<CollectionResponse, CollectionBrief, AbstractResponse>
{
    TQ_DECODED(CollectionResponse)
public:
    static constexpr auto fields() { return CollectionBrief::fields(); }
};

class TQ_EXPORT CollectionsResponse : public ResponseWithItemsOf<CollectionsResponse, CollectionBrief>
{
    TQ_DECODED(CollectionsResponse)
};

class TQ_EXPORT KaraokeArtist : public DecodedObject<KaraokeArtist, AbstractCborObject>
{
    TQ_DECODED(KaraokeArtist)
public:
    QString name;

    static constexpr auto fields() { return std::make_tuple(field("name", &KaraokeArtist::name)); }
};

class TQ_EXPORT KaraokeItemBrief : public DecodedObject<KaraokeItemBrief, stbcore::AbstractDataItem, AbstractCborObject>
{
    TQ_DECODED(KaraokeItemBrief)
public:
    using DecodedObject::DecodedObject;

    int dataItemType() const override { return 8; }
    bool hasTitles() const override { return !name.isEmpty(); }
    QJsonObject toAnalyticsJson() const;

    KaraokeArtist artist;
    QString logo;
    QString name;
    QColor posterBgColor;
    QList<PurchaseVariant> purchaseVariants;
    QString screenshots;
    UsageModel usageModel = UsageModel::Unknown;
    bool isFavorite = false;

    static constexpr auto fields()
    {
        using K = KaraokeItemBrief;
        return std::make_tuple(field("artist", &K::artist), itemId(), field("logo", &K::logo), field("name", &K::name),
                               field("poster_bg_color", &K::posterBgColor),
                               field("purchase_variants", &K::purchaseVariants),
                               field("screenshots", &K::screenshots), field("usage_model", &K::usageModel),
                               field("is_favorite", &K::isFavorite));
    }
};

class TQ_EXPORT GetKaraokeItemsResponse : public ResponseWithItemsOf<GetKaraokeItemsResponse, KaraokeItemBrief>
{
    TQ_DECODED(GetKaraokeItemsResponse)
};

class TQ_EXPORT GetKaraokeItemByIDResponse : public DecodedObject<GetKaraokeItemByIDResponse, AbstractResponse>
{
    TQ_DECODED(GetKaraokeItemByIDResponse)
public:
    KaraokeArtist artist;
    Assets assets;
    QList<KaraokeGenre> genres;
    qint64 id = -1;
    QString name;
    QList<Action> actions;
    PurchaseState purchaseState;
    QString screenshots;
    UsageModel usageModel = UsageModel::Unknown;

    static constexpr auto fields()
    {
        using K = GetKaraokeItemByIDResponse;
        return std::make_tuple(field("artist", &K::artist), field("assets", &K::assets), field("genres", &K::genres),
                               idField("id", &K::id), field("name", &K::name), field("actions", &K::actions),
                               field("purchase_state", &K::purchaseState), field("screenshots", &K::screenshots),
                               field("usage_model", &K::usageModel));
    }
};

class TQ_EXPORT SortsResponse : public DecodedObject<SortsResponse, AbstractResponse>
{
    TQ_DECODED(SortsResponse)
public:
    QList<SortBrief> sorts;

    static constexpr auto fields() { return std::make_tuple(field("sorts", &SortsResponse::sorts)); }
};

class TQ_EXPORT FiltersResponse : public DecodedObject<FiltersResponse, AbstractResponse>
{
    TQ_DECODED(FiltersResponse)
public:
    QList<ContentFilterUser> custom;
    QList<ContentFilterUserBrief> multiple;

    static constexpr auto fields()
    {
        return std::make_tuple(field("custom", &FiltersResponse::custom), field("multiple", &FiltersResponse::multiple));
    }
};

class TQ_EXPORT ContentFilterThemesResponse : public DecodedObject<ContentFilterThemesResponse, AbstractResponse>
{
    TQ_DECODED(ContentFilterThemesResponse)
public:
    QList<ContentFilterThemeUser> filterThemes;

    static constexpr auto fields()
    {
        return std::make_tuple(field("filter_themes", &ContentFilterThemesResponse::filterThemes));
    }
};

class TQ_EXPORT GetContentTypesResponse : public ResponseWithItemsOf<GetContentTypesResponse, ContentType>
{
    TQ_DECODED(GetContentTypesResponse)
};

class TQ_EXPORT GetAgeLimitsResponse : public ResponseWithItemsOf<GetAgeLimitsResponse, AgeLimit>
{
    TQ_DECODED(GetAgeLimitsResponse)
};

} // namespace tq
