#pragma once
// The account's devices, the box's video outputs and the voice assistants that can be
// paired with it.

#include "tqglobal.h"

#include "model/abstractresponse.h"
#include "model/fields.h"

#include <QList>
#include <QString>

namespace tq {

class TQ_EXPORT DeviceUserBrief : public DecodedObject<DeviceUserBrief>
{
    TQ_DECODED(DeviceUserBrief)
public:
    QString deviceType;
    QString deviceTypeIcon;
    qint64 id = -1;
    bool isDeletable = false;
    bool isCurrent = false;
    QString terminalName;
    QString title;
    QString uid;

    static constexpr auto fields()
    {
        using D = DeviceUserBrief;
        return std::make_tuple(field("device_type", &D::deviceType), field("device_type_icon", &D::deviceTypeIcon),
                               idField("id", &D::id), field("is_deletable", &D::isDeletable),
                               field("is_current", &D::isCurrent), field("terminal_name", &D::terminalName),
                               field("title", &D::title), field("uid", &D::uid));
    }
};

class TQ_EXPORT ListDevicesResponse : public DecodedObject<ListDevicesResponse, AbstractResponse>
{
    TQ_DECODED(ListDevicesResponse)
public:
    QList<DeviceUserBrief> devices;
    // How many devices the account may register; the answer nests it in "limit".
    int deviceLimit = 0;

    static constexpr auto fields()
    {
        return std::make_tuple(field("devices", &ListDevicesResponse::devices),
                               field("device_limit", &ListDevicesResponse::deviceLimit).under("limit"));
    }
};

class TQ_EXPORT VideoOutput : public DecodedObject<VideoOutput>
{
    TQ_DECODED(VideoOutput)
public:
    QString outputName;
    QString outputMode;

    static constexpr auto fields()
    {
        return std::make_tuple(field("output_name", &VideoOutput::outputName),
                               field("output_mode", &VideoOutput::outputMode));
    }
};

class TQ_EXPORT Assistant : public DecodedObject<Assistant>
{
    TQ_DECODED(Assistant)
public:
    QString icon;
    QString instruction;
    bool isActive = false;
    QString name;

    static constexpr auto fields()
    {
        return std::make_tuple(field("icon", &Assistant::icon), field("instruction", &Assistant::instruction),
                               field("is_active", &Assistant::isActive), field("name", &Assistant::name));
    }
};

class TQ_EXPORT AssistantConnectionResponse : public DecodedObject<AssistantConnectionResponse, AbstractResponse>
{
    TQ_DECODED(AssistantConnectionResponse)
public:
    QList<Assistant> assistants;
    bool isAvailable = false;

    static constexpr auto fields()
    {
        return std::make_tuple(field("assistants", &AssistantConnectionResponse::assistants),
                               field("is_available", &AssistantConnectionResponse::isAvailable));
    }
};

// The code the subscriber tells the assistant to pair it with the box.
class TQ_EXPORT NewAssistantCodeResponse : public DecodedObject<NewAssistantCodeResponse, AbstractResponse>
{
    TQ_DECODED(NewAssistantCodeResponse)
public:
    int code = 0;
    int expireAt = 0;

    static constexpr auto fields()
    {
        return std::make_tuple(field("code", &NewAssistantCodeResponse::code),
                               field("expire_at", &NewAssistantCodeResponse::expireAt));
    }
};

} // namespace tq
