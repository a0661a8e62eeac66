#pragma once
// The hotel playlist of the platform: timed blocks of channels, films and pictures that
// a hotel's boxes play, with running tickers.

#include "tqglobal.h"

#include "model/constantsdictionary.h"
#include "model/fields.h"
#include "transport/requestkit.h"

#include <QList>
#include <QMetaType>
#include <QString>

namespace tq::b2b::playlist {

enum class Type : int { Unknown = 0, Content = 1 };
enum class ContentType : int { Unknown = 0, MediaItem = 1, Channel = 2, UserMediaItem = 3, Image = 4 };
enum class QualityType : int { Unknown = 0, SD = 1, HD = 2, UltraHD = 3 };

} // namespace tq::b2b::playlist

TQ_WIRE_STRINGS_IN(tq::b2b::playlist, Type, typeDictionary, Unknown, {"content", E::Content})
TQ_WIRE_STRINGS_IN(tq::b2b::playlist, ContentType, contentTypeDictionary, Unknown, {"media_item", E::MediaItem},
                 {"channel", E::Channel}, {"user_media_item", E::UserMediaItem}, {"image", E::Image})
// "HD" first: it is the name written back.
TQ_WIRE_STRINGS_IN(tq::b2b::playlist, QualityType, qualityTypeDictionary, Unknown, {"SD", E::SD}, {"HD", E::HD},
                 {"Full HD", E::HD}, {"4K", E::UltraHD})

namespace tq::b2b::playlist {

class TQ_EXPORT StartTime : public DecodedObject<StartTime>
{
    TQ_DECODED(StartTime)
public:
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
    static constexpr auto fields()
    {
        return std::make_tuple(field("hours", &StartTime::hours), field("minutes", &StartTime::minutes),
                               field("seconds", &StartTime::seconds));
    }
};

class TQ_EXPORT Ticker : public DecodedObject<Ticker>
{
    TQ_DECODED(Ticker)
public:
    QString text;
    bool isRepeated = false;
    int repeatCount = 0;
    static constexpr auto fields()
    {
        return std::make_tuple(field("text", &Ticker::text), field("is_repeated", &Ticker::isRepeated),
                               field("repeat_count", &Ticker::repeatCount));
    }
};

class TQ_EXPORT ContentItem : public DecodedObject<ContentItem>
{
    TQ_DECODED(ContentItem)
public:
    ContentType contentType = ContentType::Unknown;
    QString url;
    QualityType quality = QualityType::Unknown;
    qint64 contentId = 0;
    int duration = 0;
    Ticker ticker;
    static constexpr auto fields()
    {
        using C = ContentItem;
        return std::make_tuple(field("content_type", &C::contentType), field("url", &C::url),
                               field("quality", &C::quality), field("content_id", &C::contentId),
                               field("duration", &C::duration), field("ticker", &C::ticker));
    }
};

class TQ_EXPORT Item : public DecodedObject<Item>
{
    TQ_DECODED(Item)
public:
    int order = 0;
    int duration = 0;
    Type type = Type::Unknown;
    ContentItem contentItem;
    int startOffset = 0; // read, never written back
    static constexpr auto fields()
    {
        return std::make_tuple(field("order", &Item::order), field("duration", &Item::duration),
                               field("type", &Item::type), field("content_item", &Item::contentItem),
                               field("start_offset", &Item::startOffset));
    }
    QJsonObject toJson() const;
};

class TQ_EXPORT Block : public DecodedObject<Block>
{
    TQ_DECODED(Block)
public:
    QString title;
    int order = 0;
    StartTime startTime;
    bool isCycled = false;
    QList<Item> items;
    Ticker ticker;
    static constexpr auto fields()
    {
        return std::make_tuple(field("title", &Block::title), field("order", &Block::order),
                               field("start_time", &Block::startTime), field("is_cycled", &Block::isCycled),
                               field("items", &Block::items), field("ticker", &Block::ticker));
    }
};

class TQ_EXPORT PlaylistResponse : public DecodedObject<PlaylistResponse>
{
    TQ_DECODED(PlaylistResponse)
public:
    qint64 id = 0;
    QString name;
    QString description;
    QList<Block> blocks;
    static constexpr auto fields()
    {
        using P = PlaylistResponse;
        return std::make_tuple(field("id", &P::id), field("name", &P::name), field("description", &P::description),
                               field("blocks", &P::blocks));
    }
};

// A platform route whose answer is a plain object: an embedded notification is not looked for.
class TQ_EXPORT GetPlaylistRequest : public Request<GetPlaylistRequest>
{
public:
    using Answer = PlaylistResponse;
    static constexpr Route route = get("/user/b2b_hotel/playlist");
};

} // namespace tq::b2b::playlist

Q_DECLARE_METATYPE(tq::b2b::playlist::PlaylistResponse)
