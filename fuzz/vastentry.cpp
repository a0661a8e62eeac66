#include "vastentry.h"

#include "ads/vast.h"

#include <QXmlStreamReader>

#include <cstdlib>

namespace ad::fuzzing {

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

void requireText(const QString& text)
{
    require(!text.isEmpty() && text == text.simplified());
}

void requireTracking(const QList<TrackingEvent>& events)
{
    for (const TrackingEvent& event : events) {
        require(event.event != EventType::Unknown && event.event != EventType::Impression);
        requireText(event.url);
    }
}

} // namespace

int vastRead(const uint8_t* data, size_t size)
{
    QXmlStreamReader reader(QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)));
    VastResponse response;
    response.fromXml(reader);
    for (const QString& error : response.errors)
        requireText(error);
    for (const Ad& ad : response.ads) {
        for (const QStringList* texts : {&ad.impressions, &ad.errors}) {
            for (const QString& text : *texts)
                requireText(text);
        }
        requireTracking(ad.customTracking);
        for (const Creative& creative : ad.creatives) {
            require(creative.duration >= 0 && creative.duration < 86400000);
            require(creative.id == creative.id.simplified());
            requireTracking(creative.trackingEvents);
            for (const MediaFile& file : creative.mediaFiles)
                requireText(file.url);
        }
    }
    if (reader.error() == QXmlStreamReader::CustomError)
        require(response.ads.isEmpty() && response.errors.isEmpty());
    return 0;
}

} // namespace ad::fuzzing
