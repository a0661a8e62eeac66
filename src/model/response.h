#pragma once
// Base of every decoded answer, and the image answer.

#include <QByteArray>
#include <QImage>
#include <QJsonObject>
#include <QMetaType>
#include <QSharedPointer>

namespace tq {

class Notification;

class AbstractResponse
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

// An image answer. It keeps the encoded bytes it was decoded from, so that the response
// cache can store them and restore the image without another exchange.
class ImageResponse : public AbstractResponse
{
public:
    ImageResponse() = default;
    ImageResponse(const QImage& image, const QByteArray& encoded) : m_image(image), m_encoded(encoded) {}

    bool isValid() const override { return !m_image.isNull(); }
    QByteArray toData() const override { return m_encoded; }
    bool fromData(const QByteArray& data) override; // decodes; false leaves the response unchanged
    QJsonObject toJson() const override { return {}; }
    void fromJson(const QJsonObject&) override {}

    QImage image() const { return m_image; }

private:
    QImage m_image;
    QByteArray m_encoded;
};

} // namespace tq

Q_DECLARE_METATYPE(tq::ImageResponse)
