#pragma once
// The short-lived token that opens the push-notification websocket: POST "/user/ws_token".

#include "engine/request.h"
#include "model/abstractresponse.h"
#include "model/fields.h"

namespace tq {

class WsTokenResponse : public DecodedObject<WsTokenResponse, AbstractResponse>
{
    TQ_DECODED(WsTokenResponse)
public:
    qint64 expireAt = 0; // seconds since the epoch
    QString token;
    bool isValid() const override { return !token.isEmpty(); }
    static constexpr auto fields()
    {
        return std::make_tuple(field("expire_at", &WsTokenResponse::expireAt), field("token", &WsTokenResponse::token));
    }
};

class WsTokenRequest : public AbstractRequest
{
public:
    std::function<RequestRawData()> rawDataCreator() const override;
};

} // namespace tq
