#pragma once
// The VAST model of the ad servers' answers and its reader.
//
// Only VAST 3.0 in-line ads are read, with two extensions of our ad servers (a custom
// tracking list and an "AdTune" JSON block). Wrapper ads and every element not named
// here are skipped whole. The reader is one forward pass over a QXmlStreamReader: each
// fromXml() is called on its element's start tag and returns after its end tag; a
// reader error (bad XML, or a document that is not VAST 3.0) stops the pass and leaves
// what was read so far.

#include "tqglobal.h"

#include "model/constantsdictionary.h"

#include <QList>
#include <QMetaType>
#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

class QXmlStreamReader;

namespace ad {
Q_NAMESPACE_EXPORT(TQ_EXPORT)

enum class AvodRollType : int { Preroll = 0, Midroll = 1, Pauseroll = 2, Postroll = 3 };
Q_ENUM_NS(AvodRollType)

enum class AliveRollType : int { Unknown = 0, Startroll = 1, Switchroll = 2 };
Q_ENUM_NS(AliveRollType)

enum class EventType : int {
    Unknown = 0,
    CreativeView = 1,
    Start = 2,
    FirstQuartile = 3,
    Midpoint = 4,
    ThirdQuartile = 5,
    Complete = 6,
    Mute = 7,
    Unmute = 8,
    Pause = 9,
    Rewind = 10,
    Resume = 11,
    Skip = 12,
    Progress = 13,
    OnVastLoad = 14,
    Impression = 15, // no wire name: impressions are kept as a plain URL list
};
Q_ENUM_NS(EventType)

struct TQ_EXPORT TrackingEvent
{
    EventType event = EventType::Unknown;
    QString url;

    bool isValid() const { return event != EventType::Unknown && !url.isEmpty(); }
    void fromXml(QXmlStreamReader& reader);
};

struct TQ_EXPORT MediaFile
{
    QString type; // MIME type
    qint64 bitrate = 0;
    qint64 width = 0;
    qint64 height = 0;
    QString url;

    bool isValid() const { return !url.isEmpty(); }
    void fromXml(QXmlStreamReader& reader);
};

struct TQ_EXPORT Creative
{
    QString id;
    qint64 duration = 0;              // milliseconds
    std::optional<qint64> skipOffset; // milliseconds; absent when the ad cannot be skipped
    QList<MediaFile> mediaFiles;
    QList<TrackingEvent> trackingEvents;

    void fromXml(QXmlStreamReader& reader);
    // "hh:mm:ss" or "hh:mm:ss.fff" (a time of day) as milliseconds; 0 when it does not parse.
    static qint64 stringToMilliseconds(QStringView text);
};

struct TQ_EXPORT AdTune
{
    bool show = false;
    QString token;
    QString advertiserInfo;

    void fromXml(QXmlStreamReader& reader);
};

struct TQ_EXPORT Ad
{
    QStringList impressions;
    QStringList errors;
    QList<Creative> creatives;
    QList<TrackingEvent> customTracking;
    AdTune adTune;

    void fromXml(QXmlStreamReader& reader);
    void readExtensions(QXmlStreamReader& reader);
};

struct TQ_EXPORT VastResponse
{
    QList<Ad> ads;
    QStringList errors; // top-level Error URLs

    // Reads one document from the reader's start. Not VAST 3.0: the reader carries the
    // error "no VAST format" or "supported only VAST 3.0 format" and nothing is read.
    // What would make the reader slow or greedy stops the reading with a reader error:
    // a DTD declaring entities or attribute defaults, more than 64 attributes in a tag,
    // more than 256 namespace declarations in scope, elements nested 64 deep.
    void fromXml(QXmlStreamReader& reader);
};

// A whole answer, in any encoding the XML reader knows (UTF-8, UTF-16, a declared one).
// The reader gets the text a chunk at a time, so that a start tag or DOCTYPE longer than
// 8192 characters is refused before the reader has compared its attributes.
// `error` gets why the document was not read to its end (empty when it was).
TQ_EXPORT VastResponse readVast(const QByteArray& body, QString* error = nullptr);

// The answer decoder of the ad requests: readVast's result, delivered even when the
// reading stopped early (logged, never a request error).
TQ_EXPORT QVariant decodeVast(const QByteArray& body);

} // namespace ad

TQ_WIRE_STRINGS_IN(ad, AvodRollType, rollTypeDictionary, Preroll, // no Unknown: a miss reads as 0
                 {"preroll", E::Preroll}, {"midroll", E::Midroll}, {"pauseroll", E::Pauseroll},
                 {"postroll", E::Postroll})
TQ_WIRE_STRINGS_IN(ad, AliveRollType, aliveRollTypeDictionary, Unknown,
                 {"startroll", E::Startroll}, {"switchroll", E::Switchroll})
TQ_WIRE_STRINGS_IN(ad, EventType, eventTypeDictionary, Unknown,
                 {"creativeView", E::CreativeView}, {"start", E::Start}, {"firstQuartile", E::FirstQuartile},
                 {"midpoint", E::Midpoint}, {"thirdQuartile", E::ThirdQuartile}, {"complete", E::Complete},
                 {"mute", E::Mute}, {"unmute", E::Unmute}, {"pause", E::Pause}, {"rewind", E::Rewind},
                 {"resume", E::Resume}, {"skip", E::Skip}, {"skipAd", E::Skip}, {"progress", E::Progress},
                 {"onVastLoad", E::OnVastLoad})

Q_DECLARE_METATYPE(ad::VastResponse)
