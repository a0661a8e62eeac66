#include "transport/imagedecoder_p.h"

#include <QBuffer>
#include <QImageReader>
#include <QList>
#include <QMetaEnum>

#include <algorithm>

namespace tq {

namespace {

// The length a "Content-Length" header announces: decimal digits, the same value when the
// header came more than once. Anything else (a sign, garbage, a value past 64 bits,
// disagreeing repeats) announces no length any body could have.
std::optional<qint64> announcedLength(const QByteArray& header)
{
    std::optional<qint64> length;
    for (const QByteArray& part : header.split(',')) {
        const QByteArray digits = part.trimmed();
        const bool decimal = !digits.isEmpty() && std::all_of(digits.cbegin(), digits.cend(), [](char c) {
            return c >= '0' && c <= '9';
        });
        bool ok = false;
        const qint64 value = decimal ? digits.toLongLong(&ok, 10) : -1;
        if (!ok || (length && *length != value))
            return std::nullopt;
        length = value;
    }
    return length;
}

bool isAcceptedPixelFormat(QImage::Format format)
{
    static const QImage::Format accepted[] = {QImage::Format_Mono, QImage::Format_Indexed8, QImage::Format_RGB32,
                                              QImage::Format_ARGB32, QImage::Format_ARGB32_Premultiplied};
    return std::find(std::begin(accepted), std::end(accepted), format) != std::end(accepted);
}

DecodedImage failed(QString why)
{
    return DecodedImage{QImage(), std::move(why)};
}

} // namespace

DecodedImage decodeImageAnswer(const ImageAnswer& answer)
{
    const QByteArray& body = answer.body;
    if (body.isEmpty())
        return failed(QStringLiteral("image response body is empty"));
    if (answer.contentLength && announcedLength(*answer.contentLength) != body.size()) {
        // A header worth showing is short; a hostile one is cut.
        return failed(QStringLiteral("image response body is incomplete, %1 (body size) != %2 (Content-Length)")
                          .arg(QString::number(body.size()),
                               QString::fromLatin1(answer.contentLength->left(32)).simplified()));
    }

    QBuffer buffer;
    buffer.setData(body);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    if (!reader.canRead()) {
        if (reader.error() != QImageReader::UnsupportedFormatError)
            return failed(QStringLiteral("prereading image failed: %1").arg(reader.errorString()));
        QStringList formats;
        for (const QByteArray& format : QImageReader::supportedImageFormats())
            formats.append(QString::fromLatin1(format));
        return failed(QStringLiteral("unsupported image format: %1, supported image formats: (%2)")
                          .arg(QString::fromLatin1(answer.contentType), formats.join(QStringLiteral(", "))));
    }
    // A header the reader cannot make out (cut short, or declaring 0x0, which the PNG
    // library refuses) gives no size, and no error either.
    const QSize size = reader.size();
    if (reader.error() != QImageReader::UnknownError)
        return failed(QStringLiteral("prereading image failed: %1").arg(reader.errorString()));
    if (size.isEmpty())
        return failed(QStringLiteral("image size is empty"));

    const QSize& limit = answer.maxSize;
    if (answer.checkSize && limit.width() >= 0 && limit.height() >= 0
        && (size.width() >= ImageDimensionLimit || size.height() >= ImageDimensionLimit
            || qint64(size.width()) * size.height() > qint64(limit.width()) * limit.height()))
        return failed(QStringLiteral("image %1 with size (%2, %3) is larger than maximum size (%4, %5)")
                          .arg(answer.url.toString())
                          .arg(size.width())
                          .arg(size.height())
                          .arg(limit.width())
                          .arg(limit.height()));

    const QImage::Format format = reader.imageFormat();
    if (!isAcceptedPixelFormat(format))
        return failed(QStringLiteral("unsupported pixel format: %1")
                          .arg(QString::fromLatin1(QMetaEnum::fromType<QImage::Format>().valueToKey(format))));

    DecodedImage decoded;
    if (!reader.read(&decoded.image))
        return failed(QStringLiteral("reading image failed: %1").arg(reader.errorString()));
    if (decoded.image.isNull())
        return failed(QStringLiteral("reading the image failed for an unknown reason"));
    return decoded;
}

} // namespace tq
