#include "adbreak.h"
#include "demohost.h"

#include "fakeadserver.h"

#include "ads/adrequests.h"
#include "engine/tqcontext.h"
#include "transport/configwrapper.h"

#include <QMetaEnum>
#include <QStringList>

using demo::say;

namespace {

QString eventName(ad::EventType event)
{
    return QString::fromLatin1(QMetaEnum::fromType<ad::EventType>().valueToKey(int(event)));
}

} // namespace

bool playAdBreak(tq::TqContext& context, fake::FakeHttpServer& host)
{
    fake::FakeAdServer adServer(&host, QStringLiteral("/ads"));
    tq::TqConfigWrapper(context.configurationManager()).setAdUrl(adServer.baseUrl());
    demo::Screen player(context, QStringLiteral("AdPlayer"));

    ad::GetShopAvodRequest preroll;
    preroll.rollType = ad::AvodRollType::Preroll;
    preroll.deviceType = QStringLiteral("stb");
    preroll.contentId = 42;
    const qint64 asked = player.send(preroll);
    say(QStringLiteral("player -> #%1: pre-roll for content 42 from %2").arg(asked).arg(adServer.baseUrl()));
    if (!player.wait({asked}) || !player.answers.contains(asked))
        return false;
    const ad::VastResponse vast = player.answers.value(asked).value<ad::VastResponse>();
    if (vast.ads.isEmpty() || vast.ads[0].creatives.isEmpty()) {
        say(QStringLiteral("player <- VAST answer without an ad: nothing to play"));
        return true;
    }
    const ad::Ad& ad = vast.ads[0];
    const ad::Creative& creative = ad.creatives[0];
    say(QStringLiteral("player <- VAST: %1 ad(s); creative %2, %3 ms, skippable after %4 ms, %5 media file(s)")
            .arg(vast.ads.size())
            .arg(creative.id)
            .arg(creative.duration)
            .arg(creative.skipOffset ? QString::number(*creative.skipOffset) : QStringLiteral("never"))
            .arg(creative.mediaFiles.size()));
    for (const ad::MediaFile& file : creative.mediaFiles)
        say(QStringLiteral("    %1 %2x%3 at %4 kbit/s: %5").arg(file.type).arg(file.width).arg(file.height).arg(file.bitrate).arg(file.url));
    if (ad.adTune.show)
        say(QStringLiteral("    advertiser label: %1").arg(ad.adTune.advertiserInfo));

    // What a player fires while the creative plays: the impression with the first frame,
    // then start and the quartiles, then complete, and the custom tracking of each event.
    QList<qint64> pixels;
    QStringList fired;
    const auto fire = [&](const QString& what, const QString& url) {
        pixels.append(player.send(ad::GetShopPixelRequest(url)));
        fired.append(what);
    };
    for (const QString& url : ad.impressions)
        fire(QStringLiteral("impression"), url);
    for (ad::EventType event : {ad::EventType::Start, ad::EventType::FirstQuartile, ad::EventType::Midpoint,
                                ad::EventType::ThirdQuartile, ad::EventType::Complete}) {
        for (const QList<ad::TrackingEvent>* list : {&creative.trackingEvents, &ad.customTracking}) {
            for (const ad::TrackingEvent& tracking : *list) {
                if (tracking.event == event)
                    fire(eventName(event) + (list == &ad.customTracking ? QStringLiteral(" (custom)") : QString()), tracking.url);
            }
        }
    }
    say(QStringLiteral("player -> %1 pixels: %2").arg(fired.size()).arg(fired.join(QStringLiteral(", "))));
    const bool allFinished = player.wait(pixels);
    say(QStringLiteral("ad server recorded %1 pixel hit(s): %2; %3 pixel(s) failed")
            .arg(adServer.pixelHits().size())
            .arg(adServer.pixelHits().join(QStringLiteral(", ")))
            .arg(player.errors.size()));
    return allFinished && player.errors.isEmpty();
}
