#pragma once
// Platform requests: what the user keeps — favourites, reminders, viewing positions and
// views, messages.

#include "api/platformrequest.h"
#include "api/requestparams.h"
#include "model/account.h"

namespace tq {

TQ_PLATFORM_REQUEST(CreateFavoriteRequest, RequestWithBody<CreateFavoriteParams>, post("/user/favorites"), IdFavoriteResponse)

TQ_PLATFORM_REQUEST(DeleteFavoriteByIdRequest, StringValueWithIdRequest, del("/user/favorites/{content_type}/{content_id}"),
                    SuccessResponse)

TQ_PLATFORM_REQUEST(DeleteReminderByIDRequest, StringValueWithIdRequest, del("/user/reminders/{content_type}/{content_id}"),
                    SuccessResponse)

TQ_PLATFORM_REQUEST(DeleteMediaPositionsFromProfileRequest, AbstractRequest, del("/user/media_positions"), SuccessResponse)

TQ_PLATFORM_REQUEST(PostUserMessageReportRequest, RequestWithBodyAndId<PostUserMessageBody>, post("/user/messages/{id}/reports"),
                    SuccessResponse)

using UserDataRequests = std::tuple<CreateFavoriteRequest, DeleteFavoriteByIdRequest, DeleteReminderByIDRequest, DeleteMediaPositionsFromProfileRequest, PostUserMessageReportRequest>;

} // namespace tq
