#include "imageentry.h"

#include "model/response.h"
#include "transport/imagedecoder_p.h"

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
    // The last byte holds the options, so that an image file as it is makes a useful input:
    // a PNG ends with its IEND checksum, ...0x82, which picks a right "Content-Length" and a
    // checked 64x64 limit (the PNG decodes without the byte).
    const uint8_t options = data[size - 1];
    ImageAnswer answer;
    answer.body = QByteArray(reinterpret_cast<const char*>(data), qsizetype(size - 1));
    answer.contentType = "image/png";
    answer.url = QUrl(QStringLiteral("http://images.example/i.png"));
    const QByteArray length = QByteArray::number(answer.body.size());
    const int lengthCase = options & 3;
    switch (lengthCase) {
    case 0: break; // no header
    case 1: answer.contentLength = QByteArray::number(answer.body.size() + 1); break;
    case 2: answer.contentLength = length; break;
    default: answer.contentLength = length + ", 1" + length; break;
    }
    answer.checkSize = !(options & 4);
    static const QSize limits[] = {QSize(64, 64), QSize(-1, -1), QSize(4095, 4095), QSize(0, 0)};
    answer.maxSize = limits[(options >> 3) & 3];

    const DecodedImage decoded = decodeImageAnswer(answer);
    require(decoded.failure.isEmpty() != decoded.image.isNull());
    if (decoded.image.isNull())
        return 0;
    require(lengthCase == 0 || lengthCase == 2);
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
