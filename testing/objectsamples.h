#pragma once
// Realistic answers of the platform, one JSON file per family of objects under
// testing/objectsamples/: {"ObjectName": sample, ...}. The object tests round-trip them and
// the fake platform serves them.

#include <QByteArray>
#include <QJsonObject>
#include <QStringList>

namespace tq::samples {

// The families that have samples (the file names without ".json").
QStringList objectSampleFamilies();
// The samples of one family by object name; empty when the family has no file.
QJsonObject objectSamples(const QString& family);

// The channel list answer as the platform sends it: `channels` copies of the channel sample
// (every member filled), each with its own id, number, name and stream addresses and
// `guideItems` guide items following each other from the guide item sample. The CBOR form
// is the same answer with the CBOR keys.
QJsonObject channelList(int channels, int guideItems);
QByteArray channelListJson(int channels, int guideItems);
QByteArray channelListCbor(int channels, int guideItems);

} // namespace tq::samples
