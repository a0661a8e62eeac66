#pragma once
// Base of every decoded answer.

#include "tqglobal.h"

#include <QJsonObject>
#include <QSharedPointer>

class QByteArray;

namespace tq {

class Notification;

class TQ_EXPORT AbstractResponse
{
public:
    AbstractResponse() = default;
    AbstractResponse(const AbstractResponse&) = default; // shares the notification
    AbstractResponse& operator=(const AbstractResponse&) = default;
    virtual ~AbstractResponse();

    // Default: logs that the response type should say what valid means, and answers true.
    virtual bool isValid() const;
    // Bytes for the response cache; only image answers have them.
    virtual QByteArray toData() const;
    virtual bool fromData(const QByteArray& data);
    virtual QJsonObject toJson() const = 0;
    virtual void fromJson(const QJsonObject& object) = 0;

    // A notification the platform embedded in the answer (null when none).
    QSharedPointer<Notification> notification() const { return m_notification; }
    void setNotification(const QSharedPointer<Notification>& notification) { m_notification = notification; }

private:
    QSharedPointer<Notification> m_notification;
};

} // namespace tq
