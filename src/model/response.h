#pragma once
// The image answer (and, through abstractresponse.h, the base of every decoded answer).

#include "tqglobal.h"

#include "model/abstractresponse.h"

#include <QByteArray>
#include <QImage>
#include <QMetaType>

namespace tq {

// An image answer. It keeps the encoded bytes it was decoded from, so that the response
// cache can store them and restore the image without another exchange.
class TQ_EXPORT ImageResponse : public AbstractResponse
{
public:
    ImageResponse() = default;
    ImageResponse(const QImage& image, const QByteArray& encoded) : m_image(image), m_encoded(encoded) {}

    bool isValid() const override { return !m_image.isNull(); }
    // The bytes the image was decoded from; an image set by the host goes out as PNG.
    QByteArray toData() const override;
    bool fromData(const QByteArray& data) override; // decodes; false leaves the response unchanged
    QJsonObject toJson() const override { return {}; }
    void fromJson(const QJsonObject&) override {}

    QImage image() const { return m_image; }
    QImage toQImage() const { return m_image; }
    void setQImage(const QImage& image)
    {
        m_image = image;
        m_encoded.clear();
    }
    bool imageIsNull() const { return m_image.isNull(); }

private:
    QImage m_image;
    QByteArray m_encoded;
};

} // namespace tq

Q_DECLARE_METATYPE(tq::ImageResponse)
