#pragma once
// The decode routines of JSON and CBOR answers, registered by the requests (transport/
// requestkit.h) and called by the HTTP worker, and the notification the platform may embed
// in any JSON answer.

#include "tqglobal.h"

#include "model/abstractresponse.h"
#include "model/cborobject.h"

#include <QByteArray>
#include <QEvent>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSharedPointer>
#include <QVariant>

#include <functional>
#include <type_traits>

namespace tq {

// Carries a notification to the application object, to be delivered like a pushed one.
class TQ_EXPORT TqNotificationEvent : public QEvent
{
public:
    static constexpr QEvent::Type EventType = QEvent::Type(1200);

    explicit TqNotificationEvent(const QSharedPointer<Notification>& notification)
        : QEvent(EventType), m_notification(notification) {}
    ~TqNotificationEvent() override;

    QSharedPointer<Notification> notification() const { return m_notification; }

private:
    QSharedPointer<Notification> m_notification;
};

// Builds a notification from the object under "notification" and gives it priority High;
// null when it cannot. The notification model installs it at start-up (before requests
// run); until then embedded notifications are ignored.
using EmbeddedNotificationFactory = std::function<QSharedPointer<Notification>(const QJsonObject&)>;
TQ_EXPORT void setEmbeddedNotificationFactory(EmbeddedNotificationFactory factory);

// When `answer` holds an object under "notification": builds it with the factory, stores it
// in the response and posts a TqNotificationEvent to the application object.
TQ_EXPORT void applyEmbeddedNotification(AbstractResponse& response, const QJsonObject& answer);

// A JSON answer of type T: a body that does not parse or whose top level is not a
// non-empty object gives a default T (fromJson is not called). An answer that can hold a
// notification (an AbstractResponse: the platform's) also gets the embedded one; the other
// services' answers are plain objects and never look for it.
template<class T>
QVariant decodeJson(const QByteArray& body)
{
    T response;
    const QJsonObject answer = QJsonDocument::fromJson(body).object();
    if (!answer.isEmpty()) {
        response.fromJson(answer);
        if constexpr (std::is_base_of_v<AbstractResponse, T>)
            applyEmbeddedNotification(response, answer);
    }
    return QVariant::fromValue(response);
}

// Fills `object` from a whole CBOR body; whatever was read before an error stays set. The
// reader itself stays inside the library.
TQ_EXPORT void readCborBody(AbstractCborObject& object, const QByteArray& body);

// A CBOR answer of type T: whatever was read before an error stays set.
template<class T>
QVariant decodeCbor(const QByteArray& body)
{
    T response;
    readCborBody(response, body);
    return QVariant::fromValue(response);
}

} // namespace tq
