#pragma once
// Platform requests: what the user keeps — favourites, reminders, viewing positions and
// views, messages.

#include "tqglobal.h"

#include "api/requestfamilies.h"
#include "api/requestparams.h"
#include "model/account.h"
#include "model/items.h"
#include "model/media.h"
#include "model/messages.h"
#include "model/profiles.h"
#include "model/records.h"

namespace tq {

TQ_REQUEST(CreateFavoriteRequest, RequestWithBody<CreateFavoriteParams>, post("/user/favorites"), IdFavoriteResponse)

TQ_REQUEST(DeleteFavoriteByIdRequest, StringValueWithIdRequest, del("/user/favorites/{content_type}/{content_id}"),
           SuccessResponse)

TQ_REQUEST(CreateReminderRequest, RequestWithBody<ReminderBrief>, post("/user/reminders"), IdReminderResponse)

TQ_REQUEST(DeleteReminderByIDRequest, StringValueWithIdRequest, del("/user/reminders/{content_type}/{content_id}"),
           SuccessResponse)

TQ_REQUEST(GetReminderDictionariesRequest, AbstractRequest, get("/user/reminders/dictionaries"),
           GetContentTypesResponse)

class TQ_EXPORT GetRemindersRequest : public Request<GetRemindersRequest, CollectionWithValueRequest>
{
public:
    using Request::Request;
    using Answer = GetRemindersResponse;
    static constexpr Route route = get("/user/reminders");
    static constexpr auto query()
    {
        return std::tuple_cat(std::make_tuple(item("content_type", &CollectionWithValueRequest::value)), limitOffset());
    }
};

TQ_REQUEST(CreateMediaPositionRequest, RequestWithBody<MediaPositionReq>, post("/user/media_positions"),
           MediaPositionIDResponse)

TQ_REQUEST(DeleteMediaPositionsFromProfileRequest, AbstractRequest, del("/user/media_positions"), SuccessResponse)

TQ_REQUEST(GetMediaPositionsDictionariesRequest, AbstractRequest, get("/user/media_positions/dictionaries"),
           GetContentTypesResponse)

class TQ_EXPORT GetMediaPositionsRequest : public Request<GetMediaPositionsRequest, CollectionRequest>
{
public:
    using Answer = GetMediaPositionsResponse;
    static constexpr Route route = get("/user/media_positions");
    QString sortBy;
    QString sortDir;
    QString type;
    QList<qint64> deviceIds;
    static constexpr auto query()
    {
        using R = GetMediaPositionsRequest;
        return std::tuple_cat(offsetLimit(), std::make_tuple(item("sort_by", &R::sortBy), item("sort_dir", &R::sortDir),
                                                             item("type", &R::type), item("device_ids", &R::deviceIds)));
    }
};

TQ_REQUEST(CreateContentViewRequest, RequestWithBody<ContentViewParams>, post("/user/content_view"),
           ContentViewResponse)

class TQ_EXPORT GetMessagesRequest : public Request<GetMessagesRequest, CollectionRequest>
{
public:
    using Answer = GetMessagesResponse;
    static constexpr Route route = get("/user/messages");
    QList<MessageType> types;
    static constexpr auto query()
    {
        return std::tuple_cat(std::make_tuple(item("types", &GetMessagesRequest::types)), offsetLimit());
    }
};

TQ_REQUEST(GetMessageByIdRequest, StringValueRequest, get("/user/messages/{message_id}"), GetMessageByIdResponse)

TQ_REQUEST(PostUserMessageReportRequest, RequestWithBodyAndId<PostUserMessageBody>, post("/user/messages/{id}/reports"),
           SuccessResponse)

using UserDataRequests = std::tuple<CreateFavoriteRequest, DeleteFavoriteByIdRequest, CreateReminderRequest, DeleteReminderByIDRequest, GetReminderDictionariesRequest, GetRemindersRequest, CreateMediaPositionRequest, DeleteMediaPositionsFromProfileRequest, GetMediaPositionsDictionariesRequest, GetMediaPositionsRequest, CreateContentViewRequest, GetMessagesRequest, GetMessageByIdRequest, PostUserMessageReportRequest>;

} // namespace tq
