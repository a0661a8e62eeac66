#pragma once
// Partner QR / event service: QR codes for the moment being watched, and viewer events
// (play, status) reported back to the partner.

#include "tqglobal.h"

#include "model/constantsdictionary.h"
#include "model/fields.h"
#include "transport/requestkit.h"

#include <QList>
#include <QMetaType>
#include <QString>

namespace syt {

enum class EventStatus : int { Unknown = 0, Play = 1, Status = 2 };

} // namespace syt

TQ_WIRE_STRINGS_IN(syt, EventStatus, eventStatusDictionary, Unknown,
                 {"unknown", E::Unknown}, {"play", E::Play}, {"status", E::Status})

namespace syt {

using tq::field;
using tq::item;
using tq::Send;

class TQ_EXPORT Qr : public tq::DecodedObject<Qr>
{
    TQ_DECODED(Qr)
public:
    QString base64; // the QR picture
    QString url;
    static constexpr auto fields() { return std::make_tuple(field("base64", &Qr::base64), field("url", &Qr::url)); }
};

class TQ_EXPORT QrResponse : public tq::DecodedObject<QrResponse>
{
    TQ_DECODED(QrResponse)
public:
    QList<Qr> items;
    int totalItemsCount = 0;
    static constexpr auto fields()
    {
        return std::make_tuple(field("items", &QrResponse::items).under("data"),
                               field("totalItemsCount", &QrResponse::totalItemsCount).under("data"));
    }
};

// Carries nothing: the event was taken.
class TQ_EXPORT StatusResponse
{
public:
    static QVariant accept(const QByteArray&) { return QVariant::fromValue(StatusResponse()); }
};

class TQ_EXPORT QrRequest : public tq::Request<QrRequest>
{
public:
    using Answer = QrResponse;
    static constexpr tq::Route route = tq::get("/api/partners/v1/qr").type(tq::MethodType::SytApi);
    QString userId;
    qint64 channelId = 0;
    qint64 videoId = 0;
    qint64 timestamp = 0;
    qint64 second = -1;
    int size = 0;
    QString platform;

    static constexpr auto query()
    {
        using R = QrRequest;
        return std::make_tuple(item("userId", &R::userId), item("channelId", &R::channelId),
                               item("videoId", &R::videoId), item("timestamp", &R::timestamp),
                               item("second", &R::second, Send::NotNegative), item("size", &R::size),
                               item("platform", &R::platform));
    }
};

class TQ_EXPORT StatusRequest : public tq::Request<StatusRequest>
{
public:
    static constexpr tq::Route route =
        tq::post("/api/partners/v1/user_event").type(tq::MethodType::SytStatus).decodedBy(&StatusResponse::accept);
    QString userId;
    qint64 videoId = 0;
    qint64 channelId = 0;
    qint64 timestamp = 0;
    qint64 second = 0;
    EventStatus status = EventStatus::Unknown;
    QString platform;

    QJsonObject toJson() const;
    QByteArray encodedBody() const { return jsonToRaw(toJson()); }
};

} // namespace syt

Q_DECLARE_METATYPE(syt::QrResponse)
Q_DECLARE_METATYPE(syt::StatusResponse)
