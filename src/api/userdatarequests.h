#pragma once
// Platform requests: what the user keeps — favourites, reminders, viewing positions and
// views, messages.

#include "tqglobal.h"

#include "api/platformrequest.h"
#include "api/requestparams.h"
#include "model/account.h"
#include "model/items.h"
#include "model/media.h"
#include "model/messages.h"
#include "model/profiles.h"
#include "model/records.h"

namespace tq {

TQ_PLATFORM_REQUEST(CreateFavoriteRequest, RequestWithBody<CreateFavoriteParams>, post("/user/favorites"), IdFavoriteResponse)

TQ_PLATFORM_REQUEST(DeleteFavoriteByIdRequest, StringValueWithIdRequest, del("/user/favorites/{content_type}/{content_id}"),
                    SuccessResponse)

TQ_PLATFORM_REQUEST(CreateReminderRequest, RequestWithBody<ReminderBrief>, post("/user/reminders"), IdReminderResponse)

TQ_PLATFORM_REQUEST(DeleteReminderByIDRequest, StringValueWithIdRequest, del("/user/reminders/{content_type}/{content_id}"),
                    SuccessResponse)

TQ_PLATFORM_REQUEST(GetReminderDictionariesRequest, AbstractRequest, get("/user/reminders/dictionaries"),
                    GetContentTypesResponse)

class TQ_EXPORT GetRemindersRequest : public PlatformRequest<GetRemindersRequest, CollectionWithValueRequest>
{
public:
    using PlatformRequest::PlatformRequest;
    using Answer = GetRemindersResponse;
    static constexpr Route route = get("/user/reminders");
    static constexpr auto query()
    {
        return std::tuple_cat(std::make_tuple(item("content_type", &CollectionWithValueRequest::value)), limitOffset());
    }
};

TQ_PLATFORM_REQUEST(CreateMediaPositionRequest, RequestWithBody<MediaPositionReq>, post("/user/media_positions"),
                    MediaPositionIDResponse)

TQ_PLATFORM_REQUEST(DeleteMediaPositionsFromProfileRequest, AbstractRequest, del("/user/media_positions"), SuccessResponse)

TQ_PLATFORM_REQUEST(GetMediaPositionsDictionariesRequest, AbstractRequest, get("/user/media_positions/dictionaries"),
                    GetContentTypesResponse)

class TQ_EXPORT GetMediaPositionsRequest : public PlatformRequest<GetMediaPositionsRequest, CollectionRequest>
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

TQ_PLATFORM_REQUEST(CreateContentViewRequest, RequestWithBody<ContentViewParams>, post("/user/content_view"),
                    ContentViewResponse)

class TQ_EXPORT GetMessagesRequest : public PlatformRequest<GetMessagesRequest, CollectionRequest>
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

TQ_PLATFORM_REQUEST(GetMessageByIdRequest, StringValueRequest, get("/user/messages/{message_id}"), GetMessageByIdResponse)

TQ_PLATFORM_REQUEST(PostUserMessageReportRequest, RequestWithBodyAndId<PostUserMessageBody>, post("/user/messages/{id}/reports"),
                    SuccessResponse)

using UserDataRequests = std::tuple<CreateFavoriteRequest, DeleteFavoriteByIdRequest, CreateReminderRequest, DeleteReminderByIDRequest, GetReminderDictionariesRequest, GetRemindersRequest, CreateMediaPositionRequest, DeleteMediaPositionsFromProfileRequest, GetMediaPositionsDictionariesRequest, GetMediaPositionsRequest, CreateContentViewRequest, GetMessagesRequest, GetMessageByIdRequest, PostUserMessageReportRequest>;

} // namespace tq
