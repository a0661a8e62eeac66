#include "vastentry.h"

#include "ads/vast.h"

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
    QString error;
    const VastResponse response =
        readVast(QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)), &error);
    for (const QString& url : response.errors)
        requireText(url);
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
    // Refused before reading, or a root that is not VAST 3.0: nothing was read.
    const bool refused = !error.isEmpty() && !error.startsWith(QLatin1String("line "));
    const bool notVast3 = error.endsWith(QLatin1String("no VAST format"))
                          || error.endsWith(QLatin1String("supported only VAST 3.0 format"));
    if (refused || notVast3)
        require(response.ads.isEmpty() && response.errors.isEmpty());
    return 0;
}

} // namespace ad::fuzzing
