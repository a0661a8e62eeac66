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
using tq::kit::param;
using tq::kit::Send;

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

class TQ_EXPORT QrRequest : public tq::kit::Request<QrRequest>
{
public:
    static constexpr tq::kit::Exchange exchange{tq::MethodType::SytApi, "GET", "/api/partners/v1/qr",
                                                &tq::kit::decodeJson<QrResponse>};
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
        return std::make_tuple(param("userId", &R::userId), param("channelId", &R::channelId, Send::Positive),
                               param("videoId", &R::videoId, Send::Positive),
                               param("timestamp", &R::timestamp, Send::Positive),
                               param("second", &R::second, Send::NotNegative),
                               param("size", &R::size, Send::Positive), param("platform", &R::platform));
    }
};

class TQ_EXPORT StatusRequest : public tq::kit::Request<StatusRequest>
{
public:
    static constexpr tq::kit::Exchange exchange{tq::MethodType::SytStatus, "POST", "/api/partners/v1/user_event",
                                                &StatusResponse::accept};
    QString userId;
    qint64 videoId = 0;
    qint64 channelId = 0;
    qint64 timestamp = 0;
    qint64 second = 0;
    EventStatus status = EventStatus::Unknown;
    QString platform;

    QJsonObject toJson() const;
    QByteArray body() const { return jsonToRaw(toJson()); }
};

} // namespace syt

Q_DECLARE_METATYPE(syt::QrResponse)
Q_DECLARE_METATYPE(syt::StatusResponse)
