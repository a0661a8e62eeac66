#include "model/messages.h"

#include "model/fieldcodec_p.h"

namespace tq {

void MessagesListUser::setMessageId(const QString& messageId)
{
    m_messageId = messageId;
    setValid(!messageId.isEmpty());
}

TQ_DEFINE_OBJECT(PollItem)
TQ_DEFINE_OBJECT(MessagesListUser)
TQ_DEFINE_ANSWER(GetMessageByIdResponse)
TQ_DEFINE_ANSWER(GetMessagesResponse)
TQ_DEFINE_ANSWER(FaqItem)
TQ_DEFINE_OBJECT(FaqSectionItem)
TQ_DEFINE_ANSWER(GetFaqListResponse)
TQ_DEFINE_ANSWER(GetScreensaverResponse)

} // namespace tq
