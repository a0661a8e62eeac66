#include "model/response.h"

#include "platform/logging.h"

#include <QBuffer>

namespace tq {

AbstractResponse::~AbstractResponse() = default;

bool AbstractResponse::isValid() const
{
    TQ_LOG(logging::Warning, QStringLiteral("AbstractResponse"))
        << "implement this method for response before using";
    return true;
}

QByteArray AbstractResponse::toData() const
{
    return QByteArray();
}

bool AbstractResponse::fromData(const QByteArray&)
{
    return false;
}

QByteArray ImageResponse::toData() const
{
    if (!m_encoded.isEmpty() || m_image.isNull())
        return m_encoded;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    m_image.save(&buffer, "PNG");
    return png;
}

bool ImageResponse::fromData(const QByteArray& data)
{
    QImage image;
    if (!image.loadFromData(data))
        return false;
    m_image = image;
    m_encoded = data;
    return true;
}

} // namespace tq
