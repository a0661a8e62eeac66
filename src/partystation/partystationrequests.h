#pragma once
// The HTTP side of the party-games service: its settings (icons, texts and pictures the
// TV shows), room creation (the code and QR data players join with) and its images.

#include "tqglobal.h"

#include "model/fields.h"
#include "transport/requestkit.h"

#include <QMap>
#include <QMetaType>
#include <QString>

namespace pstv {

// One picture in three resolutions.
class TQ_EXPORT Pictures : public tq::DecodedObject<Pictures>
{
    TQ_DECODED(Pictures)
public:
    QString fhd;
    QString hd;
    QString sd;
    static constexpr auto fields()
    {
        return std::make_tuple(tq::field("fhd", &Pictures::fhd), tq::field("hd", &Pictures::hd),
                               tq::field("sd", &Pictures::sd));
    }
};

// Read from "response" -> "vemo".
class TQ_EXPORT SettingsResponse
{
public:
    QMap<QString, QString> icons;
    QMap<QString, QString> places; // also "host-crown", "connection-error", "star-active", "star-off"
    Pictures loader;
    Pictures onboarding;
    Pictures qrCode;
    Pictures emptyRoom;
    Pictures pause;

    void fromJson(const QJsonObject& json);
};

// Read from "response".
class TQ_EXPORT CreateRoomResponse : public tq::DecodedObject<CreateRoomResponse>
{
    TQ_DECODED(CreateRoomResponse)
public:
    QString code;
    QString url;
    QString qrCode;
    qint64 client = 0;
    static constexpr auto fields()
    {
        using R = CreateRoomResponse;
        return std::make_tuple(tq::field("code", &R::code).under("response"),
                               tq::field("url", &R::url).under("response"),
                               tq::field("qrCode", &R::qrCode).under("response"),
                               tq::field("client", &R::client).under("response"));
    }
};

class TQ_EXPORT SettingsRequest : public tq::Request<SettingsRequest>
{
public:
    using Answer = SettingsResponse;
    static constexpr tq::Route route = tq::get("/settings").type(tq::MethodType::PartyStationApi);
};

class TQ_EXPORT CreateRoomRequest : public tq::Request<CreateRoomRequest>
{
public:
    using Answer = CreateRoomResponse;
    static constexpr tq::Route route = tq::get("/room/tv").type(tq::MethodType::PartyStationApi);
    qint64 client = 0; // the id a previous room gave this TV; sent when greater than 0
    static constexpr auto query() { return std::make_tuple(tq::item("client", &CreateRoomRequest::client)); }
};

// An image of the service by its complete address; the answer is an ImageResponse.
class TQ_EXPORT ImageRequest : public tq::AddressRequest<tq::MethodType::PartyStationImage>
{
public:
    using AddressRequest::AddressRequest;
    static constexpr int imageRequestType() { return 3; }
};

} // namespace pstv

Q_DECLARE_METATYPE(pstv::SettingsResponse)
Q_DECLARE_METATYPE(pstv::CreateRoomResponse)
