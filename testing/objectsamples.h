#pragma once
// Realistic answers of the platform, one JSON file per family of objects under
// testing/objectsamples/: {"ObjectName": sample, ...}. The object tests round-trip them and
// the fake platform serves them.

#include <QJsonObject>
#include <QStringList>

namespace tq::samples {

// The families that have samples (the file names without ".json").
QStringList objectSampleFamilies();
// The samples of one family by object name; empty when the family has no file.
QJsonObject objectSamples(const QString& family);

} // namespace tq::samples
