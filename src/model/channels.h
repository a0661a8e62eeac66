#pragma once
// Channels family: the channel list with streams, timeshift options and guide, the full
// channel card, themes, radio and the channel mosaic.

#include "tqglobal.h"

#include "model/abstractresponse.h"
#include "model/enums.h"
#include "model/epg.h"
#include "model/fields.h"
#include "model/offers.h"
#include "model/playback.h"
#include "model/records.h"
#include "model/responsewithitems.h"

#include <QColor>
#include <QJsonObject>
#include <QList>
#include <QSharedData>
#include <QSharedDataPointer>
#include <QString>
#include <QStringList>

namespace tq {

class TQ_EXPORT TimeshiftOptionsChannel : public DecodedObject<TimeshiftOptionsChannel, AbstractCborObject>
{
    TQ_DECODED(TimeshiftOptionsChannel)
public:
    bool isCatchupAllowed = false;
    bool isCatchupPurchased = false;
    bool isPltvAllowed = false;
    bool isPltvPurchased = false;
    qint64 tstvDepth = 0;
    qint64 tstvServiceId = -1;

    static constexpr auto fields()
    {
        using T = TimeshiftOptionsChannel;
        return std::make_tuple(field("is_catchup_allowed", &T::isCatchupAllowed),
                               field("is_catchup_purchased", &T::isCatchupPurchased),
                               field("is_pltv_allowed", &T::isPltvAllowed),
                               field("is_pltv_purchased", &T::isPltvPurchased), field("tstv_depth", &T::tstvDepth),
                               idField("tstv_service_id", &T::tstvServiceId));
    }
};

struct TQ_EXPORT ChannelBriefPrivate : QSharedData
{
    QString name;
    qint64 number = 0;
    qint64 tqChannelId = 0;
    QString logo;
    QString fullLogo;
    QString background;
    QColor posterBgColor;
    QString quality;
    QString teletext;
    AgeLevel ageLevel;
    QStringList advertisingPlaceTypes;
    bool isAdvertising = false;
    bool isBarker = false;
    bool isChild = false;
    bool isErotic = false;
    bool isFavorite = false;
    bool isHidden = false;
    bool isLastSeen = false;
    bool isNpvr = false;
    bool isPinRequired = false;
    bool isTstvAllowed = false;
    bool isGetShopTv = false;
    bool isQrAdsEnabled = false;
    MediaPositionBrief mediaPosition;
    QList<PurchaseVariant> purchaseVariants;
    QList<Action> actions;
    PurchaseState purchaseState;
    ChannelSource source;
    QList<qint64> themes;
    TimeshiftOptionsChannel tstvOptionsChannel;
    UsageModel usageModel = UsageModel::Unknown;
    QList<EPGItemBrief> epgs;
};

// A TV channel in lists; its members are shared between copies until one changes.
class TQ_EXPORT ChannelBrief
    : public DecodedObject<ChannelBrief, stbcore::AbstractDataItem, AbstractResponse, AbstractCborObject>
{
    TQ_DECODED(ChannelBrief)
public:
    explicit ChannelBrief(qint64 id = -1);

    int dataItemType() const override { return 3; }
    bool hasTitles() const override { return !d->name.isEmpty(); }
    QJsonObject toAnalyticsJson() const;

    QString name() const { return d->name; }
    qint64 number() const { return d->number; }
    qint64 tqChannelId() const { return d->tqChannelId; }
    QString logo() const { return d->logo; }
    QString fullLogo() const { return d->fullLogo; }
    void setFullLogo(const QString& logo) { d->fullLogo = logo; }
    QString background() const { return d->background; }
    QColor posterBgColor() const { return d->posterBgColor; }
    QString quality() const { return d->quality; }
    QString teletext() const { return d->teletext; }
    AgeLevel ageLevel() const { return d->ageLevel; }
    QStringList advertisingPlaceTypes() const { return d->advertisingPlaceTypes; }
    bool isAdvertising() const { return d->isAdvertising; }
    bool isBarker() const { return d->isBarker; }
    bool isChild() const { return d->isChild; }
    bool isErotic() const { return d->isErotic; }
    bool isFavorite() const { return d->isFavorite; }
    void setFavorite(bool favorite) { d->isFavorite = favorite; }
    bool isHidden() const { return d->isHidden; }
    bool isLastSeen() const { return d->isLastSeen; }
    void setLastSeen(bool lastSeen) { d->isLastSeen = lastSeen; }
    bool isNpvr() const { return d->isNpvr; }
    bool isPinRequired() const { return d->isPinRequired; }
    bool isTstvAllowed() const { return d->isTstvAllowed; }
    bool isGetShopTv() const { return d->isGetShopTv; }
    bool isQrAdsEnabled() const { return d->isQrAdsEnabled; }
    MediaPositionBrief mediaPosition() const { return d->mediaPosition; }
    void setMediaPosition(const MediaPositionBrief& position) { d->mediaPosition = position; }
    QList<PurchaseVariant> purchaseVariants() const { return d->purchaseVariants; }
    QList<Action> actions() const { return d->actions; }
    PurchaseState purchaseState() const { return d->purchaseState; }
    ChannelSource source() const { return d->source; }
    QList<qint64> themes() const { return d->themes; }
    TimeshiftOptionsChannel tstvOptionsChannel() const { return d->tstvOptionsChannel; }
    UsageModel usageModel() const { return d->usageModel; }

    // The guide items sent with the channel.
    QList<EPGItemBrief> epgs() const { return d->epgs; }
    void setEpgs(const QList<EPGItemBrief>& epgs) { d->epgs = epgs; }
    void clearEpgs() { d->epgs.clear(); }
    bool hasEpg() const { return !d->epgs.isEmpty(); }
    // The end of the first guide item; 0 without a guide.
    qint64 firstProgramEndTime() const { return d->epgs.isEmpty() ? 0 : d->epgs.constFirst().endTime(); }
    // Drops the first guide item; how many are left (0 when there was none).
    qsizetype removeFirstProgram();

    static constexpr auto fields()
    {
        using P = ChannelBriefPrivate;
        return std::make_tuple(
            itemId(), field("name", &P::name), field("number", &P::number), field("tq_channel_id", &P::tqChannelId),
            field("logo", &P::logo), field("full_logo", &P::fullLogo), field("background", &P::background),
            field("poster_bg_color", &P::posterBgColor), field("quality", &P::quality),
            field("teletext", &P::teletext), field("age_level", &P::ageLevel),
            field("advertising_place_type", &P::advertisingPlaceTypes), field("is_advertising", &P::isAdvertising),
            field("is_barker", &P::isBarker), field("is_child", &P::isChild), field("is_erotic", &P::isErotic),
            field("is_favorite", &P::isFavorite), field("is_hidden", &P::isHidden),
            field("is_last_seen", &P::isLastSeen), field("is_npvr", &P::isNpvr),
            field("is_pin_required", &P::isPinRequired), field("is_tstv_allowed", &P::isTstvAllowed),
            field("is_getshoptv", &P::isGetShopTv), field("is_qr_ads_enabled", &P::isQrAdsEnabled),
            field("media_position", &P::mediaPosition), field("purchase_variants", &P::purchaseVariants),
            field("actions", &P::actions), field("purchase_state", &P::purchaseState), field("source", &P::source),
            field("themes", &P::themes), field("tstv_options_channel", &P::tstvOptionsChannel),
            field("usage_model", &P::usageModel), field("epgs", &P::epgs).whenPresent());
    }

private:
    friend struct tq::FieldAccess;
    QSharedDataPointer<ChannelBriefPrivate> d;
};

// The full card of one channel.
class TQ_EXPORT Channel : public DecodedObject<Channel, ChannelBrief>
{
    TQ_DECODED(Channel)
public:
    using DecodedObject::DecodedObject;

    PreviewDurationBrief previewDuration;

    bool operator==(const Channel& other) const;
    bool operator!=(const Channel& other) const { return !(*this == other); }

    static constexpr auto fields()
    {
        return std::tuple_cat(ChannelBrief::fields(),
                              std::make_tuple(field("preview_duration", &Channel::previewDuration)));
    }
};

class TQ_EXPORT GetChannelsResponse : public ResponseWithItemsOf<GetChannelsResponse, ChannelBrief>
{
    TQ_DECODED(GetChannelsResponse)
};

class TQ_EXPORT GetProfileChannelsResponse : public ResponseWithItemsOf<GetProfileChannelsResponse, ChannelBrief>
{
    TQ_DECODED(GetProfileChannelsResponse)
};

class TQ_EXPORT GetTvDictionariesResponse : public DecodedObject<GetTvDictionariesResponse, AbstractResponse>
{
    TQ_DECODED(GetTvDictionariesResponse)
public:
    QList<ChannelThemeBrief> channelsThemes;
    QList<EpgGenre> epgGenres;

    static constexpr auto fields()
    {
        return std::make_tuple(field("channels_themes", &GetTvDictionariesResponse::channelsThemes),
                               field("epg_genres", &GetTvDictionariesResponse::epgGenres));
    }
};

class TQ_EXPORT RadioChannelSourceUser : public DecodedObject<RadioChannelSourceUser>
{
    TQ_DECODED(RadioChannelSourceUser)
public:
    QString url;

    static constexpr auto fields() { return std::make_tuple(field("url", &RadioChannelSourceUser::url)); }
};

class TQ_EXPORT RadioChannel : public DecodedObject<RadioChannel, stbcore::AbstractDataItem, AbstractResponse>
{
    TQ_DECODED(RadioChannel)
public:
    using DecodedObject::DecodedObject;

    int dataItemType() const override { return 28; }
    bool hasTitles() const override { return !name.isEmpty(); }

    QString frequency;
    QString logo;
    QString name;
    QList<RadioChannelSourceUser> sources;

    static constexpr auto fields()
    {
        return std::make_tuple(itemId(), field("frequency", &RadioChannel::frequency),
                               field("logo", &RadioChannel::logo), field("name", &RadioChannel::name),
                               field("sources", &RadioChannel::sources));
    }
};

class TQ_EXPORT GetRadioChannelsResponse : public ResponseWithItemsOf<GetRadioChannelsResponse, RadioChannel>
{
    TQ_DECODED(GetRadioChannelsResponse)
};

// The channel mosaic: one picture with the place of each channel in it.
class TQ_EXPORT CanvasResponse : public DecodedObject<CanvasResponse, AbstractResponse>
{
    TQ_DECODED(CanvasResponse)
public:
    class Item : public DecodedObject<Item>
    {
        TQ_DECODED(Item)
    public:
        int x = 0;
        int y = 0;
        qint64 tqChannelId = -1;

        static constexpr auto fields()
        {
            return std::make_tuple(field("x", &Item::x), field("y", &Item::y),
                                   idField("tq_channel_id", &Item::tqChannelId));
        }
    };

    QString fileName;
    int width = 0;
    int height = 0;
    QList<Item> items;

    static constexpr auto fields()
    {
        return std::make_tuple(field("file_name", &CanvasResponse::fileName), field("width", &CanvasResponse::width),
                               field("height", &CanvasResponse::height), field("items", &CanvasResponse::items));
    }
};

} // namespace tq
