#pragma once
// Messages and polls sent to the subscriber, the help pages and the screensaver.

#include "tqglobal.h"

#include "model/abstractresponse.h"
#include "model/fields.h"
#include "model/menus.h"
#include "model/responsewithitems.h"
#include "model/screens.h"

#include <QList>
#include <QString>

namespace tq {

class TQ_EXPORT PollItem : public DecodedObject<PollItem, AbstractCborObject>
{
    TQ_DECODED(PollItem)
public:
    QList<QString> answers;
    QString question;

    static constexpr auto fields()
    {
        return std::make_tuple(field("answers", &PollItem::answers), field("question", &PollItem::question));
    }
};

// One message of the subscriber's inbox. Its id is a text, so the data item counts as
// valid when that text is set.
class TQ_EXPORT MessagesListUser : public DecodedObject<MessagesListUser, stbcore::AbstractDataItem, AbstractCborObject>
{
    TQ_DECODED(MessagesListUser)
public:
    using DecodedObject::DecodedObject;

    int dataItemType() const override { return 16; }
    bool hasTitles() const override { return !title.isEmpty(); }

    QString messageId() const { return m_messageId; }
    void setMessageId(const QString& messageId);

    qint64 createdAt = 0;
    QString image;
    bool isRead = false;
    TargetForMenu target;
    QList<PollItem> poll;
    QString text;
    QString title;

    static constexpr auto fields()
    {
        using M = MessagesListUser;
        return std::make_tuple(field("created_at", &M::createdAt), field("image", &M::image),
                               field("is_read", &M::isRead), accessor("id", &M::messageId, &M::setMessageId),
                               field("target", &M::target), field("poll", &M::poll), field("text", &M::text),
                               field("title", &M::title));
    }

private:
    QString m_messageId;
};

// One message asked for by its id.
class TQ_EXPORT GetMessageByIdResponse : public DecodedObject<GetMessageByIdResponse, MessagesListUser, AbstractResponse>
{
    TQ_DECODED(GetMessageByIdResponse)
public:
    using DecodedObject::DecodedObject;
};

class TQ_EXPORT GetMessagesResponse : public ResponseWithItemsOf<GetMessagesResponse, MessagesListUser>
{
    TQ_DECODED(GetMessagesResponse)
public:
    qint64 unreadCount = 0;

    static constexpr auto fields()
    {
        return std::tuple_cat(ResponseWithItemsOf::fields(),
                              std::make_tuple(field("unread_count", &GetMessagesResponse::unreadCount)));
    }
};

class TQ_EXPORT FaqItem : public DecodedObject<FaqItem, AbstractResponse, AbstractCborObject>
{
    TQ_DECODED(FaqItem)
public:
    qint64 id = -1;
    QString answer;
    QString question;

    static constexpr auto fields()
    {
        return std::make_tuple(idField("id", &FaqItem::id), field("answer", &FaqItem::answer),
                               field("question", &FaqItem::question));
    }
};

class TQ_EXPORT FaqSectionItem : public DecodedObject<FaqSectionItem, AbstractCborObject>
{
    TQ_DECODED(FaqSectionItem)
public:
    qint64 id = -1;
    QList<FaqItem> faqs;
    QString name;

    static constexpr auto fields()
    {
        return std::make_tuple(idField("id", &FaqSectionItem::id), field("faqs", &FaqSectionItem::faqs),
                               field("name", &FaqSectionItem::name));
    }
};

class TQ_EXPORT GetFaqListResponse : public ResponseWithItemsOf<GetFaqListResponse, FaqSectionItem>
{
    TQ_DECODED(GetFaqListResponse)
};

class TQ_EXPORT GetScreensaverResponse : public DecodedObject<GetScreensaverResponse, AbstractResponse>
{
    TQ_DECODED(GetScreensaverResponse)
public:
    qint64 imageDuration = 0;
    QList<ScreensaverMediaFile> items;

    static constexpr auto fields()
    {
        return std::make_tuple(field("image_duration", &GetScreensaverResponse::imageDuration),
                               field("items", &GetScreensaverResponse::items));
    }
};

} // namespace tq
