#pragma once
// Programme guide family: guide items with the channel they belong to, and the guide
// answers.

#include "tqglobal.h"

#include "model/abstractresponse.h"
#include "model/enums.h"
#include "model/fields.h"
#include "model/records.h"

#include <QColor>
#include <QJsonObject>
#include <QList>
#include <QSharedData>
#include <QSharedDataPointer>
#include <QString>

#include <memory>

namespace tq {

// The channel a guide item belongs to, as the guide shows it; number -1 when unknown.
class TQ_EXPORT ChannelInfo : public DecodedObject<ChannelInfo, AbstractCborObject>
{
    TQ_DECODED(ChannelInfo)
public:
    qint64 id = -1;
    QString logo;
    QString name;
    qint64 number = -1;
    QColor posterBgColor;

    static constexpr auto fields()
    {
        return std::make_tuple(idField("id", &ChannelInfo::id), field("logo", &ChannelInfo::logo),
                               field("name", &ChannelInfo::name), field("number", &ChannelInfo::number).byDefault(-1),
                               field("poster_bg_color", &ChannelInfo::posterBgColor));
    }
};

class TQ_EXPORT TimeshiftOptionsEpg : public DecodedObject<TimeshiftOptionsEpg, AbstractCborObject>
{
    TQ_DECODED(TimeshiftOptionsEpg)
public:
    bool isNpvrAllowed = false;
    bool isNpvrPurchased = false;
    NpvrItemStatus npvrItemStatus = NpvrItemStatus::Unknown;
    qint64 tstvServiceId = -1;
    qint64 tstvValidUntil = 0;

    static constexpr auto fields()
    {
        using T = TimeshiftOptionsEpg;
        return std::make_tuple(field("is_npvr_allowed", &T::isNpvrAllowed),
                               field("is_npvr_purchased", &T::isNpvrPurchased),
                               field("npvr_item_status", &T::npvrItemStatus),
                               idField("tstv_service_id", &T::tstvServiceId),
                               field("tstv_valid_until", &T::tstvValidUntil));
    }
};

struct TQ_EXPORT EPGItemBriefPrivate : QSharedData
{
    bool hasReminder = false; // beside the reference count: no padding
    bool isFavorite = false;
    bool isTstvAllowed = false;
    QString name;
    QString description;
    QString logo;
    qint64 startTime = 0;
    qint64 endTime = 0;
    qint64 genre = 0;
    qint64 originalId = -1;
    AgeLevel ageLevel;
    TimeshiftOptionsEpg tstvOptionsEpg;
    MediaPositionBrief mediaPosition;
    // Null while the item has the default channel info: guide items inside a channel carry
    // none, and a line-up holds thousands of them. Never changed in place, so copies of the
    // block may share it.
    std::shared_ptr<const ChannelInfo> channelInfo;
};

// One programme of the guide; its members are shared between copies until one changes.
class TQ_EXPORT EPGItemBrief : public DecodedObject<EPGItemBrief, AbstractResponse, stbcore::AbstractDataItem, AbstractCborObject>
{
    TQ_DECODED(EPGItemBrief)
public:
    explicit EPGItemBrief(qint64 id = -1);

    int dataItemType() const override { return 35; }
    bool hasTitles() const override { return !d->name.isEmpty(); }

    // Without a channel info of the caller's, the answer's own "channel_info" is read (an
    // absent or empty one resets it); with one, the item takes a copy of it instead.
    void fromJson(const QJsonObject& json) override { fromJsonWithChannelInfo(json, nullptr); }
    void fromJsonWithChannelInfo(const QJsonObject& json, const ChannelInfo* channelInfo);
    QJsonObject toAnalyticsJson() const;

    QString name() const { return d->name; }
    QString description() const { return d->description; }
    QString logo() const { return d->logo; }
    qint64 startTime() const { return d->startTime; }
    qint64 endTime() const { return d->endTime; }
    qint64 genre() const { return d->genre; }
    qint64 originalId() const { return d->originalId; }
    bool hasReminder() const { return d->hasReminder; }
    void setReminder(bool reminder) { d->hasReminder = reminder; }
    bool isFavorite() const { return d->isFavorite; }
    void setFavorite(bool favorite) { d->isFavorite = favorite; }
    bool isTstvAllowed() const { return d->isTstvAllowed; }
    AgeLevel ageLevel() const { return d->ageLevel; }
    TimeshiftOptionsEpg tstvOptionsEpg() const { return d->tstvOptionsEpg; }
    void setTstvOptionsEpg(const TimeshiftOptionsEpg& options) { d->tstvOptionsEpg = options; }
    MediaPositionBrief mediaPosition() const { return d->mediaPosition; }
    void setMediaPositionBrief(const MediaPositionBrief& position) { d->mediaPosition = position; }
    ChannelInfo channelInfo() const { return d->channelInfo ? *d->channelInfo : ChannelInfo(); }

    static constexpr auto fields()
    {
        using P = EPGItemBriefPrivate;
        return std::make_tuple(itemId(), field("name", &P::name), field("description", &P::description),
                               field("logo", &P::logo), field("start_time", &P::startTime),
                               field("end_time", &P::endTime), field("genre", &P::genre),
                               idField("original_id", &P::originalId), field("has_reminder", &P::hasReminder),
                               field("is_favorite", &P::isFavorite), field("is_tstv_allowed", &P::isTstvAllowed),
                               field("age_level", &P::ageLevel), field("tstv_options_epg", &P::tstvOptionsEpg),
                               field("media_position", &P::mediaPosition),
                               accessor("channel_info", &EPGItemBrief::channelInfo, &EPGItemBrief::setChannelInfo));
    }

private:
    friend struct tq::FieldAccess;
    void setChannelInfo(const ChannelInfo& info);
    QSharedDataPointer<EPGItemBriefPrivate> d;
};

// One programme answer, asked for by its id.
class TQ_EXPORT GetEPGByIDResponse : public EPGItemBrief
{
public:
    using EPGItemBrief::EPGItemBrief;
};

// The guide of one channel.
class TQ_EXPORT ChannelEpg : public DecodedObject<ChannelEpg>
{
    TQ_DECODED(ChannelEpg)
public:
    qint64 channelId = -1;
    QList<EPGItemBrief> channelPrograms;

    static constexpr auto fields()
    {
        return std::make_tuple(idField("channel_id", &ChannelEpg::channelId),
                               field("channel_programs", &ChannelEpg::channelPrograms));
    }
};

class TQ_EXPORT GetEPGResponse : public DecodedObject<GetEPGResponse, AbstractResponse>
{
    TQ_DECODED(GetEPGResponse)
public:
    QList<ChannelEpg> items;

    static constexpr auto fields() { return std::make_tuple(field("items", &GetEPGResponse::items)); }
};

// {"type": the item's kind, "id": its id}, the form analytics events carry.
TQ_EXPORT QJsonObject analyticsItem(ContentItemType type, qint64 id);

} // namespace tq
