#pragma once
// Representative decoded objects for the model tests, the decoding benchmark and the
// fuzzers: one with its members in a shared block, nested objects, lists of objects,
// optional values, enumerations, colours, ids and keys read only when present.

#include "model/enums.h"
#include "model/fields.h"
#include "model/records.h"
#include "model/responsewithitems.h"

#include <QColor>
#include <QSharedData>
#include <QSharedDataPointer>
#include <QStringList>

namespace tq::samples {

// The library's own age level: an id, a name and a number.
using AgeLevel = tq::AgeLevel;

// Its CBOR form spells one key differently from the JSON form.
class Price : public DecodedObject<Price, AbstractCborObject>
{
    TQ_DECODED(Price)
public:
    qint64 priceId = -1;
    int amount = 0;
    int originalAmount = 0;
    PriceType type = PriceType::Unknown;
    DurationUnit durationUnit = DurationUnit::Unknown;

    static constexpr auto fields()
    {
        return std::make_tuple(idField("price_id", &Price::priceId), field("amount", &Price::amount),
                               field("original_amount", &Price::originalAmount).cborKey("originalAmount"),
                               field("type", &Price::type), field("duration_unit", &Price::durationUnit));
    }
};

// A guide item with plain public members and the data item's id.
class Programme : public DecodedObject<Programme, stbcore::AbstractDataItem, AbstractCborObject>
{
    TQ_DECODED(Programme)
public:
    using DecodedObject::DecodedObject;

    int dataItemType() const override { return 35; }
    bool hasTitles() const override { return !name.isEmpty(); }

    QString name;
    qint64 startTime = 0;
    qint64 endTime = 0;
    qint64 originalId = -1;
    double rating = 0.0;
    std::optional<bool> hasReminder;
    std::optional<qint64> seasonNumber;
    QString shortName;       // JSON only
    qint64 startDate = 0;    // read only when present
    AgeLevel ageLevel;
    QList<Price> prices;

    static constexpr auto fields()
    {
        return std::make_tuple(itemId(), field("name", &Programme::name),
                               field("start_time", &Programme::startTime),
                               field("end_time", &Programme::endTime),
                               idField("original_id", &Programme::originalId),
                               field("rating", &Programme::rating),
                               field("has_reminder", &Programme::hasReminder),
                               field("season_number", &Programme::seasonNumber),
                               field("short_name", &Programme::shortName).jsonOnly(),
                               field("start_date", &Programme::startDate).whenPresent(),
                               field("age_level", &Programme::ageLevel), field("prices", &Programme::prices));
    }
};

struct ChannelPrivate : QSharedData
{
    QString name;
    qint64 number = 0;
    QColor posterBgColor;
    bool isFavorite = false;
    UsageModel usageModel = UsageModel::Unknown;
    SubscribeMode subscribeMode = SubscribeMode::Unknown;
    QualityType quality = QualityType::Unknown;
    AgeLevel ageLevel;
    QStringList advertisingPlaceTypes;
    QList<qint64> themes;
    QList<Programme> epgs;
};

// A channel whose members live in an implicitly shared block (cheap copies in lists).
class Channel : public DecodedObject<Channel, stbcore::AbstractDataItem, AbstractResponse, AbstractCborObject>
{
    TQ_DECODED(Channel)
public:
    explicit Channel(qint64 id = -1) : DecodedObject(id), d(new ChannelPrivate) {}

    int dataItemType() const override { return 3; }
    bool hasTitles() const override { return !d->name.isEmpty(); }

    QString name() const { return d->name; }
    qint64 number() const { return d->number; }
    QColor posterBgColor() const { return d->posterBgColor; }
    bool isFavorite() const { return d->isFavorite; }
    void setFavorite(bool favorite) { d->isFavorite = favorite; }
    UsageModel usageModel() const { return d->usageModel; }
    SubscribeMode subscribeMode() const { return d->subscribeMode; }
    QualityType quality() const { return d->quality; }
    AgeLevel ageLevel() const { return d->ageLevel; }
    QStringList advertisingPlaceTypes() const { return d->advertisingPlaceTypes; }
    QList<qint64> themes() const { return d->themes; }
    QList<Programme> epgs() const { return d->epgs; }

    static constexpr auto fields()
    {
        using P = ChannelPrivate;
        return std::make_tuple(itemId(), field("name", &P::name), field("number", &P::number),
                               field("poster_bg_color", &P::posterBgColor),
                               field("is_favorite", &P::isFavorite), field("usage_model", &P::usageModel),
                               field("subscribe_mode", &P::subscribeMode), field("quality", &P::quality),
                               field("age_level", &P::ageLevel),
                               field("advertising_place_type", &P::advertisingPlaceTypes),
                               field("themes", &P::themes), field("epgs", &P::epgs).whenPresent());
    }

private:
    friend struct tq::FieldAccess;
    QSharedDataPointer<ChannelPrivate> d;
};

class ChannelsResponse : public ResponseWithItemsOf<ChannelsResponse, Channel>
{
    TQ_DECODED(ChannelsResponse)
};

// A channel list answer of `count` channels, each with nested objects, lists, enumerations
// and colours; the same content as JSON text and as CBOR.
QJsonObject channelsAnswer(int count);
QByteArray channelsAnswerJson(int count);
QByteArray channelsAnswerCbor(int count);

} // namespace tq::samples
