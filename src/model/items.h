#pragma once
// Mixed lists: one element may be a channel, a guide item, a film, a karaoke item, ... as
// its "type" says (search results, reminders, the user's collection, viewing positions),
// and the persons with the content they appear in.

#include "tqglobal.h"

#include "model/channels.h"
#include "model/epg.h"
#include "model/fields.h"
#include "model/media.h"
#include "model/records.h"
#include "model/responsewithitems.h"
#include "model/services.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace tq {

// At most the member that "type" names is engaged (none for another type, or when its
// object is empty); asking for another one is an error (std::bad_optional_access).
class TQ_EXPORT ItemUnionBrief : public DecodedObject<ItemUnionBrief, AbstractCborObject>
{
    TQ_DECODED(ItemUnionBrief)
public:
    std::optional<ChannelBrief> channel;
    std::optional<EPGItemBrief> epg;
    std::optional<MediaItemBrief> mediaItem;
    std::optional<KaraokeItemBrief> karaokeItem;
    ContentItemType type = ContentItemType::Unknown;

    // The analytics form of the engaged member; empty when none is.
    QJsonObject toAnalyticsJson() const;

    static constexpr auto fields()
    {
        using U = ItemUnionBrief;
        return std::make_tuple(field("type", &U::type),
                               selectedBy("type", choice("channel", &U::channel), choice("epg", &U::epg),
                                          choice("media_item", &U::mediaItem),
                                          choice("karaoke_item", &U::karaokeItem)));
    }
};

// A search result: besides the union's kinds, a service or a collection, read whenever
// present.
class TQ_EXPORT SearchItemUnion : public DecodedObject<SearchItemUnion, ItemUnionBrief>
{
    TQ_DECODED(SearchItemUnion)
public:
    std::optional<Service> service;
    std::optional<CollectionBrief> collection;

    static constexpr auto fields()
    {
        return std::tuple_cat(ItemUnionBrief::fields(),
                              std::make_tuple(field("service", &SearchItemUnion::service),
                                              field("collection", &SearchItemUnion::collection)));
    }
};

// Search results of one kind.
class TQ_EXPORT SearchItemUnionGroup : public DecodedObject<SearchItemUnionGroup, AbstractCborObject>
{
    TQ_DECODED(SearchItemUnionGroup)
public:
    QList<SearchItemUnion> contentItems;
    QStringList contentTypes;
    bool hasNext = false;
    bool isChild = false;
    QJsonArray mediaItemTypes;
    QString title;

    static constexpr auto fields()
    {
        using G = SearchItemUnionGroup;
        return std::make_tuple(field("content_items", &G::contentItems), field("content_types", &G::contentTypes),
                               field("has_next", &G::hasNext), field("is_child", &G::isChild),
                               field("media_item_types", &G::mediaItemTypes), field("title", &G::title));
    }
};

// Where the subscriber stopped in a channel, film or programme. The type is kept as sent;
// the position is read whatever the type and also given to the chosen member.
class TQ_EXPORT MediaPositionItemUnion : public DecodedObject<MediaPositionItemUnion, AbstractCborObject>
{
    TQ_DECODED(MediaPositionItemUnion)
public:
    QString type;
    std::optional<MediaPositionBrief> mediaPosition;
    std::optional<ChannelBrief> channel;
    std::optional<MediaItemBrief> mediaItem;
    std::optional<EPGItemBrief> epg;

    void fromJson(const QJsonObject& json);
    int readCborField(CborReader& reader) override;

    static constexpr auto fields()
    {
        using U = MediaPositionItemUnion;
        return std::make_tuple(field("media_position", &U::mediaPosition), field("type", &U::type),
                               selectedBy("type", choice("channel", &U::channel), choice("media_item", &U::mediaItem),
                                          choice("epg", &U::epg)));
    }
};

class TQ_EXPORT GetSearchResponse : public ResponseWithItemsOf<GetSearchResponse, SearchItemUnion>
{
    TQ_DECODED(GetSearchResponse)
};

class TQ_EXPORT GetGroupSearchResponse : public ResponseWithItemsOf<GetGroupSearchResponse, SearchItemUnionGroup>
{
    TQ_DECODED(GetGroupSearchResponse)
};

class TQ_EXPORT GetRemindersResponse : public ResponseWithItemsOf<GetRemindersResponse, ItemUnionBrief>
{
    TQ_DECODED(GetRemindersResponse)
};

class TQ_EXPORT GetServiceItemsResponse : public ResponseWithItemsOf<GetServiceItemsResponse, ItemUnionBrief>
{
    TQ_DECODED(GetServiceItemsResponse)
};

class TQ_EXPORT ListMyCollectionResponse : public ResponseWithItemsOf<ListMyCollectionResponse, ItemUnionBrief>
{
    TQ_DECODED(ListMyCollectionResponse)
};

class TQ_EXPORT GetMediaPositionsResponse : public ResponseWithItemsOf<GetMediaPositionsResponse, MediaPositionItemUnion>
{
    TQ_DECODED(GetMediaPositionsResponse)
};

class TQ_EXPORT Person : public DecodedObject<Person, stbcore::AbstractDataItem, AbstractResponse>
{
    TQ_DECODED(Person)
public:
    using DecodedObject::DecodedObject;

    int dataItemType() const override { return 22; }
    bool hasTitles() const override { return !name.isEmpty(); }

    QString name;
    QString nativeName;
    QString photoAvatar;
    QString roleName;
    qint64 birthDate = 0;
    qint64 deathDate = 0;
    qint64 age = 0;
    qint64 height = 0;

    static constexpr auto fields()
    {
        using P = Person;
        return std::make_tuple(itemId(), field("name", &P::name), field("native_name", &P::nativeName),
                               field("photo_avatar", &P::photoAvatar), field("role_name", &P::roleName),
                               field("birth_date", &P::birthDate).whenPresent(),
                               field("death_date", &P::deathDate).whenPresent(), field("age", &P::age),
                               field("height", &P::height));
    }
};

// What one person did in one role.
class TQ_EXPORT PersonContentItems : public DecodedObject<PersonContentItems>
{
    TQ_DECODED(PersonContentItems)
public:
    qint64 roleId = -1;
    QString roleName;
    QList<ItemUnionBrief> contentItems;
    qint64 totalContentItems = 0;
    bool hasNext = false;

    static constexpr auto fields()
    {
        using P = PersonContentItems;
        return std::make_tuple(idField("role_id", &P::roleId), field("role_name", &P::roleName),
                               field("content_items", &P::contentItems),
                               field("total_content_items", &P::totalContentItems), field("has_next", &P::hasNext));
    }
};

class TQ_EXPORT GetMediaItemPersonsResponse : public ResponseWithItemsOf<GetMediaItemPersonsResponse, Person>
{
    TQ_DECODED(GetMediaItemPersonsResponse)
};

class TQ_EXPORT GetPersonRolesResponse : public ResponseWithItemsOf<GetPersonRolesResponse, PersonRole>
{
    TQ_DECODED(GetPersonRolesResponse)
};

class TQ_EXPORT GetPersonContentItemsResponse : public ResponseWithItemsOf<GetPersonContentItemsResponse, PersonContentItems>
{
    TQ_DECODED(GetPersonContentItemsResponse)
};

// Gives a union's position to the member it chose (a channel, a guide item or a film).
template<class Union>
void shareMediaPosition(Union& item)
{
    if (!item.mediaPosition)
        return;
    if (item.channel)
        item.channel->setMediaPosition(*item.mediaPosition);
    if (item.epg)
        item.epg->setMediaPositionBrief(*item.mediaPosition);
    if (item.mediaItem)
        item.mediaItem->mediaPosition = *item.mediaPosition;
}

} // namespace tq
