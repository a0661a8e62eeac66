#include "fuzzentries.h"

#include "model/b2b.h"
#include "model/cborreader_p.h"
#include "model/channels.h"
#include "model/decode.h"
#include "model/items.h"
#include "model/playback.h"
#include "model/profiles.h"
#include "model/screens.h"
#include "modelprobe.h"
#include "modelsamples.h"

#include <QCborStreamReader>

#include <cstdlib>

namespace tq::fuzzing {

namespace {

QByteArray bytes(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// The raw bytes of the string at `reader`, its chunks joined; false on a stream error or a
// chunk announced longer than the whole body.
bool rawString(QCborStreamReader& reader, qsizetype bodySize, QByteArray* out)
{
    for (;;) {
        const qsizetype size = reader.currentStringChunkSize();
        if (size > bodySize)
            return false;
        QByteArray chunk(qMax<qsizetype>(size, 0), Qt::Uninitialized);
        const auto result = reader.readStringChunk(chunk.data(), chunk.size());
        if (result.status == QCborStreamReader::EndOfString)
            return true;
        if (result.status != QCborStreamReader::Ok)
            return false;
        out->append(chunk.constData(), result.data);
    }
}

// Every text of the body (keys too) read through the reader's shared texts, in step with a
// plain Qt reader that only collects the bytes: sharing must give exactly what Qt's UTF-8
// decoder makes of each text's own bytes. Structure is walked with Qt's own calls on both.
void compareTexts(const QByteArray& body)
{
    CborReader shared(body);
    QCborStreamReader plain(body);
    QCborStreamReader& walked = shared;
    int depth = 0;
    while (!shared.hasError() && plain.lastError() == QCborError::NoError
           && shared.currentOffset() == plain.currentOffset()) {
        if (depth > 0 && !plain.hasNext()) {
            if (walked.hasNext() || !plain.leaveContainer() || !walked.leaveContainer() || --depth == 0)
                return;
        } else if (plain.isString()) {
            QByteArray raw;
            QString text;
            if (!rawString(plain, body.size(), &raw) || !shared.readText(text))
                return;
            if (shared.currentOffset() == plain.currentOffset() && text != QString::fromUtf8(raw))
                abort(); // a shared text that is not this text
        } else if (plain.isContainer()) {
            if (!plain.enterContainer() || !walked.enterContainer())
                return;
            ++depth;
        } else if (!plain.isValid() || !plain.next() || !walked.next()) {
            return;
        } else if (depth == 0) {
            return;
        }
    }
}

} // namespace

int cborWalk(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks the structure, the rest is its CBOR answer: one decode per input.
    const QByteArray body = bytes(data + 1, size - 1);
    CborReader reader(body);
    switch (data[0] % 5) {
    case 0: samples::ChannelsResponse().fromCbor(reader); break; // nested objects, lists, enumerations
    case 1: samples::Channel().fromCbor(reader); break;          // one map: the shared-block fields
    case 2: GetChannelsResponse().fromCbor(reader); break;       // the platform's own channel list
    case 3: probe::ProbeObject().fromCbor(reader); break;        // maps, kept JSON, texts holding JSON
    default: probe::ProbeUnion().fromCbor(reader); break;        // a union
    }
    compareTexts(body);
    return 0;
}

int jsonDecode(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks the answer ('0' to '8', so that seeds stay readable), the rest is
    // its JSON: one decode per input, and the decoded object written back, which reads every
    // member the decode kept.
    const QByteArray body = bytes(data + 1, size - 1);
    switch (uint8_t(data[0] - '0') % 9) {
    case 0: decodeJson<samples::ChannelsResponse>(body).value<samples::ChannelsResponse>().toJson(); break;
    case 1: decodeJson<probe::ProbeObject>(body).value<probe::ProbeObject>().toJson(); break;
    // Answers made of unions: search results, viewing positions, rendered screens.
    case 2: decodeJson<GetSearchResponse>(body).value<GetSearchResponse>().toJson(); break;
    case 3: decodeJson<GetMediaPositionsResponse>(body).value<GetMediaPositionsResponse>().toJson(); break;
    case 4: {
        const QVariant view = decodeJson<MediaViewRendered>(body);
        for (const MediaBlockRendered& block : view.value<MediaViewRendered>().mediaBlocks) {
            block.isValid();
            block.toAnalyticsJson();
        }
        break;
    }
    // Account answers: maps of maps; profiles whose track preferences are JSON inside texts;
    // hotel screens, whose tiles are unions told apart by their "type".
    case 5: decodeJson<GetDrmSettingsResponse>(body).value<GetDrmSettingsResponse>().toJson(); break;
    case 6: decodeJson<ListProfilesResponse>(body).value<ListProfilesResponse>().toJson(); break;
    case 7: decodeJson<B2bMediaViewRendered>(body).value<B2bMediaViewRendered>().toJson(); break;
    default: { // the unions select their member by the top level "type"
        const QJsonObject json = QJsonDocument::fromJson(body).object();
        probe::ProbeUnion probeUnion;
        probeUnion.fromJson(json);
        probeUnion.toJson();
        probe::ProbeFallbackUnion fallback;
        fallback.fromJson(json);
        fallback.toJson();
    }
    }
    return 0;
}

} // namespace tq::fuzzing
