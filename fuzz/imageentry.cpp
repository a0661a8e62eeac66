#include "imageentry.h"

#include "model/response.h"
#include "transport/imagedecoder.h"

#include <cstdlib>

namespace tq::fuzzing {

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

int imageDecode(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const uint8_t options = data[0];
    ImageAnswer answer;
    answer.body = QByteArray(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    answer.contentType = "image/png";
    answer.url = QUrl(QStringLiteral("http://images.example/i.png"));
    const qsizetype length = answer.body.size();
    switch (options & 3) {
    case 0: break; // no header
    case 1: answer.contentLength = QByteArray::number(length); break;
    case 2: answer.contentLength = QByteArray::number(length + 1); break;
    default: answer.contentLength = "1" + QByteArray::number(length) + ", " + QByteArray::number(length); break;
    }
    answer.checkSize = options & 4;
    static const QSize limits[] = {QSize(-1, -1), QSize(4095, 4095), QSize(64, 64), QSize(0, 0)};
    answer.maxSize = limits[(options >> 3) & 3];

    const DecodedImage decoded = decodeImageAnswer(answer);
    require(decoded.failure.isEmpty() != decoded.image.isNull());
    if (decoded.image.isNull())
        return 0;
    require((options & 3) < 2);
    const QSize limit = answer.maxSize;
    if (answer.checkSize && limit.width() >= 0) {
        // The header's size was checked; the decoded image is what the header announced.
        require(decoded.image.width() < ImageDimensionLimit && decoded.image.height() < ImageDimensionLimit);
        require(qint64(decoded.image.width()) * decoded.image.height() <= qint64(limit.width()) * limit.height());
    }
    ImageResponse cached;
    require(cached.fromData(answer.body) && cached.toQImage() == decoded.image);
    return 0;
}

} // namespace tq::fuzzing
