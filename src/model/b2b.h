#pragma once
// Hotel screens family: the media view a hotel box shows instead of the consumer one, made
// of menu tiles, sub-menu tiles and image banners.

#include "tqglobal.h"

#include "model/abstractresponse.h"
#include "model/fields.h"
#include "model/menus.h"

#include <QList>
#include <QString>

#include <optional>

namespace tq {

// A menu tile; its size counts grid cells (1 x 1 unless the answer says otherwise).
class TQ_EXPORT B2bMenuItem : public DecodedObject<B2bMenuItem>
{
    TQ_DECODED(B2bMenuItem)
public:
    class Size : public DecodedObject<Size>
    {
        TQ_DECODED(Size)
    public:
        int width = 1;
        int height = 1;

        static constexpr auto fields()
        {
            return std::make_tuple(field("width", &Size::width).byDefault(1),
                                   field("height", &Size::height).byDefault(1));
        }
    };

    QString id;
    QString name;
    QString description;
    Size size;
    QString image;
    TargetForMenu target;
    QString type;

    static constexpr auto fields()
    {
        using M = B2bMenuItem;
        return std::make_tuple(field("id", &M::id), field("name", &M::name), field("description", &M::description),
                               field("size", &M::size), field("image", &M::image), field("target", &M::target),
                               field("type", &M::type));
    }
};

class TQ_EXPORT B2bSubMenuItem : public DecodedObject<B2bSubMenuItem>
{
    TQ_DECODED(B2bSubMenuItem)
public:
    QString id;
    QString name;
    QString description;
    QString image;
    TargetForMenu target;
    QString type;

    static constexpr auto fields()
    {
        using M = B2bSubMenuItem;
        return std::make_tuple(field("id", &M::id), field("name", &M::name), field("description", &M::description),
                               field("image", &M::image), field("target", &M::target), field("type", &M::type));
    }
};

class TQ_EXPORT B2bImageBanner : public DecodedObject<B2bImageBanner>
{
    TQ_DECODED(B2bImageBanner)
public:
    class Content : public DecodedObject<Content>
    {
        TQ_DECODED(Content)
    public:
        QString url;
        QString type;

        static constexpr auto fields()
        {
            return std::make_tuple(field("url", &Content::url), field("type", &Content::type));
        }
    };

    QString id;
    QList<qint64> serviceIds;
    Content content;
    TargetForMenu target;

    static constexpr auto fields()
    {
        using B = B2bImageBanner;
        return std::make_tuple(field("id", &B::id), field("service_ids", &B::serviceIds),
                               field("content", &B::content), field("target", &B::target));
    }
};

// One tile of a hotel block: the tile's own object, read as the kind its type names.
class TQ_EXPORT B2bMediaViewItemUnion : public DecodedObject<B2bMediaViewItemUnion>
{
    TQ_DECODED(B2bMediaViewItemUnion)
public:
    QString type;
    std::optional<B2bMenuItem> menuItem;
    std::optional<B2bSubMenuItem> subMenuItem;
    std::optional<B2bImageBanner> imageBanner;

    static constexpr auto fields()
    {
        using U = B2bMediaViewItemUnion;
        return std::make_tuple(field("type", &U::type),
                               selectedBy("type", choice("main_menu", &U::menuItem).wholeObject(),
                                          choice("welcome_text", &U::menuItem).wholeObject(),
                                          choice("wifi", &U::menuItem).wholeObject(),
                                          choice("sub_menu", &U::subMenuItem).startsWith().wholeObject(),
                                          choice(nullptr, &U::imageBanner).wholeObject()));
    }
};

class TQ_EXPORT B2bMediaBlockRendered : public DecodedObject<B2bMediaBlockRendered>
{
    TQ_DECODED(B2bMediaBlockRendered)
public:
    QString id;
    QString name;
    QString description;
    QString type;
    QList<B2bMediaViewItemUnion> items;

    static constexpr auto fields()
    {
        using B = B2bMediaBlockRendered;
        return std::make_tuple(field("id", &B::id), field("name", &B::name), field("description", &B::description),
                               field("type", &B::type), field("items", &B::items));
    }
};

class TQ_EXPORT B2bMediaViewRendered : public DecodedObject<B2bMediaViewRendered, AbstractResponse>
{
    TQ_DECODED(B2bMediaViewRendered)
public:
    class Background : public DecodedObject<Background>
    {
        TQ_DECODED(Background)
    public:
        QString type;
        QString userFileUrl;

        static constexpr auto fields()
        {
            return std::make_tuple(field("type", &Background::type), field("user_file_url", &Background::userFileUrl));
        }
    };

    qint64 id = -1;
    QString alias;
    QString name;
    QString description;
    Background background;
    QList<B2bMediaBlockRendered> mediaBlocks;

    static constexpr auto fields()
    {
        using V = B2bMediaViewRendered;
        return std::make_tuple(idField("id", &V::id), field("alias", &V::alias), field("name", &V::name),
                               field("description", &V::description), field("background", &V::background),
                               field("media_blocks", &V::mediaBlocks));
    }
};

} // namespace tq
