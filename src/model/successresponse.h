#pragma once
// The answer of requests where only success matters: {"success": true}.

#include "model/abstractresponse.h"
#include "model/fields.h"

namespace tq {

class SuccessResponse : public DecodedObject<SuccessResponse, AbstractResponse>
{
    TQ_DECODED(SuccessResponse)
public:
    bool success = false;
    bool isValid() const override { return true; }
    static constexpr auto fields() { return std::make_tuple(field("success", &SuccessResponse::success)); }
};

} // namespace tq
