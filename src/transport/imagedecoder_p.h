#pragma once
// The body of an image answer turned into an image, step by step; each way of failing has
// its own text, which the HTTP worker reports as the request's error (and a fuzz target
// drives directly).

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <QUrl>

#include <optional>

namespace tq {

struct ImageAnswer
{
    QByteArray body;
    std::optional<QByteArray> contentLength; // the "Content-Length" header as received (repeats joined by ", ")
    QByteArray contentType;                  // named when the format is not readable
    QUrl url;                                // named when the image is too large
    bool checkSize = true;
    QSize maxSize{-1, -1}; // a negative dimension: no limit
};

// The image, or why there is none (`failure` is empty exactly when the image is not null).
struct DecodedImage
{
    QImage image;
    QString failure;
};

DecodedImage decodeImageAnswer(const ImageAnswer& answer);

// No image reaches this many pixels in either dimension when a size limit applies.
constexpr int ImageDimensionLimit = 4096;

} // namespace tq
