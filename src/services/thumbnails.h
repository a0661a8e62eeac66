#pragma once
// Thumbnails service: preview frames for seeking in recordings. A playlist names the
// sprite images and, per time stamp, the region of an image that shows that moment.

#include "tqglobal.h"

#include "model/fields.h"
#include "transport/requestkit.h"

#include <QList>
#include <QMetaType>
#include <QString>

namespace thumbnails {

using tq::field;

class TQ_EXPORT Size : public tq::DecodedObject<Size>
{
    TQ_DECODED(Size)
public:
    int width = 0;
    int height = 0;
    static constexpr auto fields()
    {
        return std::make_tuple(field("width", &Size::width), field("height", &Size::height));
    }
};

class TQ_EXPORT Image : public tq::DecodedObject<Image>
{
    TQ_DECODED(Image)
public:
    QString id;
    QString url;
    int width = 0;
    int height = 0;
    Size thumbSize;
    static constexpr auto fields()
    {
        return std::make_tuple(field("id", &Image::id), field("url", &Image::url), field("width", &Image::width),
                               field("height", &Image::height), field("thumb_size", &Image::thumbSize));
    }
};

class TQ_EXPORT Region : public tq::DecodedObject<Region>
{
    TQ_DECODED(Region)
public:
    int left = 0;
    int top = 0;
    static constexpr auto fields() { return std::make_tuple(field("left", &Region::left), field("top", &Region::top)); }
};

class TQ_EXPORT Thumb : public tq::DecodedObject<Thumb>
{
    TQ_DECODED(Thumb)
public:
    qint64 timestamp = 0;
    QString imageId;
    Region region;
    static constexpr auto fields()
    {
        return std::make_tuple(field("timestamp", &Thumb::timestamp), field("image_id", &Thumb::imageId),
                               field("region", &Thumb::region));
    }
};

class TQ_EXPORT PlaylistResponse : public tq::DecodedObject<PlaylistResponse>
{
    TQ_DECODED(PlaylistResponse)
public:
    QList<Image> images;
    QList<Thumb> thumbs;
    static constexpr auto fields()
    {
        return std::make_tuple(field("images", &PlaylistResponse::images), field("thumbs", &PlaylistResponse::thumbs));
    }
};

// "<base>/<id>/playlist.json"; profile 0 asks for full-HD frames, 1 for HD, any other
// value leaves the choice to the service.
class TQ_EXPORT PlaylistRequest : public tq::Request<PlaylistRequest>
{
public:
    using Answer = PlaylistResponse;
    static constexpr tq::Route route = tq::get("").type(tq::MethodType::ThumbnailsApi);
    QString id;
    int profile = 0;

    static constexpr auto query() { return std::make_tuple(tq::item("profile", &PlaylistRequest::profileName)); }
    void finish(tq::RequestRawData& raw) const;

private:
    QString profileName() const; // empty: not sent
};

// One sprite image: "<base>/<first>/<second>", the segments as the playlist names them.
class TQ_EXPORT ImageRequest : public tq::Request<ImageRequest>
{
public:
    static constexpr tq::Route route = tq::get("").type(tq::MethodType::ThumbnailsImage).noImageSizeCheck();
    QString first;
    QString second;

    void finish(tq::RequestRawData& raw) const;
};

} // namespace thumbnails

Q_DECLARE_METATYPE(thumbnails::PlaylistResponse)
