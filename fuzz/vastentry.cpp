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

void requireTexts(const QStringList& texts)
{
    for (const QString& text : texts)
        require(!text.isEmpty() && text == text.simplified());
}

void requireTracking(const QList<TrackingEvent>& events)
{
    for (const TrackingEvent& event : events) {
        require(event.event != EventType::Unknown && event.event != EventType::Impression);
        requireTexts({event.url});
    }
}

} // namespace

int vastRead(const uint8_t* data, size_t size)
{
    QString error;
    const VastResponse response =
        readVast(QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)), &error);
    requireTexts(response.errors);
    for (const Ad& ad : response.ads) {
        requireTexts(ad.impressions);
        requireTexts(ad.errors);
        requireTracking(ad.customTracking);
        for (const Creative& creative : ad.creatives) {
            require(creative.duration >= 0 && creative.duration < 86400000 && creative.id == creative.id.simplified());
            requireTracking(creative.trackingEvents);
            for (const MediaFile& file : creative.mediaFiles)
                requireTexts({file.url});
        }
    }
    // Refused before reading (an encoding it cannot decode), a DTD that declares entities,
    // or a root that is not VAST 3.0: nothing was read.
    const bool refused = !error.isEmpty() && !error.startsWith(QLatin1String("line "));
    if (refused || error.endsWith(QLatin1String("no VAST format"))
        || error.endsWith(QLatin1String("supported only VAST 3.0 format"))
        || error.endsWith(QLatin1String("a DTD declaring entities or attribute defaults is not accepted")))
        require(response.ads.isEmpty() && response.errors.isEmpty());
    return 0;
}

} // namespace ad::fuzzing
