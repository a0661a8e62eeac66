#include "model/decode.h"

#include "model/cborreader_p.h"

#include "platform/logging.h"

#include <QCoreApplication>

namespace tq {

namespace {

EmbeddedNotificationFactory& embeddedNotificationFactory()
{
    static EmbeddedNotificationFactory factory;
    return factory;
}

} // namespace

TqNotificationEvent::~TqNotificationEvent() = default;

void setEmbeddedNotificationFactory(EmbeddedNotificationFactory factory)
{
    embeddedNotificationFactory() = std::move(factory);
}

void applyEmbeddedNotification(AbstractResponse& response, const QJsonObject& answer)
{
    const auto found = answer.constFind(QLatin1String("notification"));
    // As on the push socket: an object is a notification (an unknown code included), nothing
    // else is.
    if (found == answer.constEnd() || !found->isObject())
        return;
    const EmbeddedNotificationFactory& factory = embeddedNotificationFactory();
    if (!factory) {
        TQ_LOG(logging::Notice, QStringLiteral("AbstractResponse"))
            << "embedded notification ignored: no notification factory";
        return;
    }
    const QSharedPointer<Notification> notification = factory(found->toObject());
    if (!notification)
        return;
    response.setNotification(notification);
    if (QCoreApplication* application = QCoreApplication::instance())
        QCoreApplication::postEvent(application, new TqNotificationEvent(notification));
}

void readCborBody(AbstractCborObject& object, const QByteArray& body)
{
    CborReader reader(body);
    object.fromCbor(reader);
}

} // namespace tq
