#pragma once
// Small records the content objects embed: age levels, positions in a film, ratings,
// labels, media files, fragments to skip, tracks, languages and locations.

#include "tqglobal.h"

#include "model/abstractresponse.h"
#include "model/enums.h"
#include "model/fields.h"

#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>

namespace tq {

class TQ_EXPORT AgeLevel : public DecodedObject<AgeLevel, AbstractCborObject>
{
    TQ_DECODED(AgeLevel)
public:
    qint64 ageValue = 0;
    qint64 id = -1;
    QString name;

    static constexpr auto fields()
    {
        return std::make_tuple(field("age_value", &AgeLevel::ageValue), idField("id", &AgeLevel::id),
                               field("name", &AgeLevel::name));
    }
};

// The age limits a profile may choose from: the same record as an item's age level.
using AgeLimit = AgeLevel;

// An identifier with its name (themes, genres, roles).
class TQ_EXPORT NamedId : public DecodedObject<NamedId, AbstractCborObject>
{
    TQ_DECODED(NamedId)
public:
    qint64 id = -1;
    QString name;

    static constexpr auto fields()
    {
        return std::make_tuple(idField("id", &NamedId::id), field("name", &NamedId::name));
    }
};

using ChannelThemeBrief = NamedId;
using EpgGenre = NamedId;
using KaraokeGenre = NamedId;
using PersonRole = NamedId;

// Where the subscriber stopped watching, and on which device.
class TQ_EXPORT MediaPositionBrief : public DecodedObject<MediaPositionBrief, AbstractCborObject>
{
    TQ_DECODED(MediaPositionBrief)
public:
    MediaPositionAction action = MediaPositionAction::Unknown;
    qint64 deviceId = -1;
    bool isViewed = false;
    qint64 timepoint = 0;

    bool isValid() const { return deviceId != -1; }

    static constexpr auto fields()
    {
        using M = MediaPositionBrief;
        return std::make_tuple(field("action", &M::action), idField("device_id", &M::deviceId),
                               field("is_viewed", &M::isViewed), field("timepoint", &M::timepoint));
    }
};

// The episode to continue a series with; numbers are -1 when unknown.
class TQ_EXPORT SeriesMediaPosition : public DecodedObject<SeriesMediaPosition>
{
    TQ_DECODED(SeriesMediaPosition)
public:
    qint64 episodeId = -1;
    qint64 seasonId = -1;
    qint64 episodeNumber = -1;
    qint64 seasonNumber = -1;

    static constexpr auto fields()
    {
        using S = SeriesMediaPosition;
        return std::make_tuple(idField("episode_id", &S::episodeId), idField("season_id", &S::seasonId),
                               field("episode_number", &S::episodeNumber).byDefault(-1),
                               field("season_number", &S::seasonNumber).byDefault(-1));
    }
};

class TQ_EXPORT Ratings : public DecodedObject<Ratings, AbstractCborObject>
{
    TQ_DECODED(Ratings)
public:
    double imdb = 0.0;
    double kinopoisk = 0.0;
    double vemo = 0.0;
    int user = 0;

    static constexpr auto fields()
    {
        return std::make_tuple(field("imdb", &Ratings::imdb), field("kinopoisk", &Ratings::kinopoisk),
                               field("vemo", &Ratings::vemo), field("user", &Ratings::user));
    }
};

class TQ_EXPORT Label : public DecodedObject<Label, AbstractCborObject>
{
    TQ_DECODED(Label)
public:
    QColor color;
    QString text;

    static constexpr auto fields() { return std::make_tuple(field("color", &Label::color), field("text", &Label::text)); }
};

class TQ_EXPORT MediaFile : public DecodedObject<MediaFile, AbstractCborObject>
{
    TQ_DECODED(MediaFile)
public:
    QString format;
    QString url;
    qint64 duration = 0;

    static constexpr auto fields()
    {
        return std::make_tuple(field("format", &MediaFile::format), field("url", &MediaFile::url),
                               field("duration", &MediaFile::duration));
    }
};

// A stretch of a film the player offers to skip (intro, credits, ...).
class TQ_EXPORT SkippableFragment : public DecodedObject<SkippableFragment, AbstractCborObject>
{
    TQ_DECODED(SkippableFragment)
public:
    qint64 start = 0;
    qint64 end = 0;
    SkippableFramentType type = SkippableFramentType::Unknown;
    SkippableFramentAction action = SkippableFramentAction::Unknown;
    qint64 duration = 0;
    bool isFinal = false;
    QString mediaViewAlias;

    static constexpr auto fields()
    {
        using S = SkippableFragment;
        return std::make_tuple(field("start", &S::start), field("end", &S::end), field("type", &S::type),
                               field("action", &S::action), field("duration", &S::duration),
                               field("is_final", &S::isFinal), field("media_view_alias", &S::mediaViewAlias));
    }
};

class TQ_EXPORT PreviewDurationBrief : public DecodedObject<PreviewDurationBrief, AbstractResponse>
{
    TQ_DECODED(PreviewDurationBrief)
public:
    qint64 left = 0;
    qint64 total = 0;

    static constexpr auto fields()
    {
        return std::make_tuple(field("left", &PreviewDurationBrief::left), field("total", &PreviewDurationBrief::total));
    }
};

class TQ_EXPORT ContentType : public DecodedObject<ContentType, AbstractCborObject>
{
    TQ_DECODED(ContentType)
public:
    QString name;
    qint64 totalCount = 0;
    QString type;

    static constexpr auto fields()
    {
        return std::make_tuple(field("name", &ContentType::name), field("total_count", &ContentType::totalCount),
                               field("type", &ContentType::type));
    }
};

class TQ_EXPORT LanguageBrief : public DecodedObject<LanguageBrief, AbstractCborObject>
{
    TQ_DECODED(LanguageBrief)
public:
    QString code;
    QString image;
    QString name;

    static constexpr auto fields()
    {
        return std::make_tuple(field("code", &LanguageBrief::code), field("image", &LanguageBrief::image),
                               field("name", &LanguageBrief::name));
    }
};

// An audio or subtitle track a profile prefers.
class TQ_EXPORT TrackInfo : public DecodedObject<TrackInfo>
{
    TQ_DECODED(TrackInfo)
public:
    int codec = 0;
    int channelsLayout = 0;
    QString description;
    QString language;

    static constexpr auto fields()
    {
        return std::make_tuple(field("codec", &TrackInfo::codec), field("channels_layout", &TrackInfo::channelsLayout),
                               field("description", &TrackInfo::description), field("language", &TrackInfo::language));
    }
};

class TQ_EXPORT ReminderBrief : public DecodedObject<ReminderBrief>
{
    TQ_DECODED(ReminderBrief)
public:
    qint64 contentId = -1;
    QString contentType;

    static constexpr auto fields()
    {
        return std::make_tuple(idField("content_id", &ReminderBrief::contentId),
                               field("content_type", &ReminderBrief::contentType));
    }
};

class TQ_EXPORT LocationBrief : public DecodedObject<LocationBrief, stbcore::AbstractDataItem, AbstractCborObject>
{
    TQ_DECODED(LocationBrief)
public:
    using DecodedObject::DecodedObject;

    int dataItemType() const override { return 14; }
    bool hasTitles() const override { return !name.isEmpty(); }

    QString name;
    bool isParent = false;
    QString timezone;

    static constexpr auto fields()
    {
        return std::make_tuple(itemId(), field("name", &LocationBrief::name),
                               field("is_parent", &LocationBrief::isParent),
                               field("timezone", &LocationBrief::timezone));
    }
};

// The channels a profile hides or locks behind the PIN.
class TQ_EXPORT FilteredChannels : public DecodedObject<FilteredChannels>
{
    TQ_DECODED(FilteredChannels)
public:
    QList<qint64> hidden;
    QList<qint64> pinRequired;

    static constexpr auto fields()
    {
        return std::make_tuple(field("hidden", &FilteredChannels::hidden),
                               field("pin_required", &FilteredChannels::pinRequired));
    }
};

} // namespace tq
