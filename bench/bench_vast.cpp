// The VAST reader over the IAB's public samples against a bare QXmlStreamReader pass that
// only reads the tokens of the same bytes (the ceiling any reader on it can reach), in
// one run: over the samples the reader reads to their end (most of the folder is refused
// at the root, which says nothing of the reader's pace), then over the whole folder; then
// a ten-megabyte answer, with the peak memory it costs.
//
//   bench_vast [corpus folder]   (default: $TQ_CORPORA/vast)
//
// Prints documents per second of both passes and their ratio (1.0 = as fast as the bare
// pass). Skips with a message when the samples are not on the machine.

#include "ads/vast.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QXmlStreamReader>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

long peakRssKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Documents per second of `pass` over all documents: the best of several rounds of about
// a quarter second each (the machine may be shared; the best round is the least disturbed).
double documentsPerSecond(const QList<QByteArray>& documents, const std::function<qint64(const QByteArray&)>& pass)
{
    volatile qint64 sink = 0;
    std::vector<double> rates;
    for (int round = 0; round < 7; ++round) {
        QElapsedTimer timer;
        timer.start();
        qint64 done = 0;
        while (timer.nsecsElapsed() < 250000000) {
            for (const QByteArray& document : documents)
                sink = sink + pass(document);
            done += documents.size();
        }
        rates.push_back(double(done) * 1e9 / double(timer.nsecsElapsed()));
    }
    return *std::max_element(rates.begin(), rates.end());
}

qint64 tokenPass(const QByteArray& document)
{
    QXmlStreamReader reader(document);
    qint64 tokens = 0;
    while (!reader.atEnd()) {
        reader.readNext();
        ++tokens;
    }
    return tokens;
}

qint64 vastPass(const QByteArray& document)
{
    return ad::readVast(document).ads.size();
}

void compare(const char* what, const QList<QByteArray>& documents)
{
    const double bare = documentsPerSecond(documents, tokenPass);
    const double vast = documentsPerSecond(documents, vastPass);
    std::printf("%-28s bare token pass %10.0f docs/s   VAST reader %10.0f docs/s   ratio %.2f\n", what, bare, vast,
                vast / bare);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString root = argc > 1 ? QString::fromLocal8Bit(argv[1]) : qEnvironmentVariable("TQ_CORPORA") + "/vast";
    QList<QByteArray> all;
    QList<QByteArray> readWhole; // the documents the reader reads to their end
    qint64 bytes = 0;
    QDirIterator it(root, {"*.xml"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        all.append(file.readAll());
        bytes += all.last().size();
        QString error;
        ad::readVast(all.last(), &error);
        if (error.isEmpty())
            readWhole.append(all.last());
    }
    if (all.isEmpty()) {
        std::printf("bench_vast: no VAST samples under %s (set TQ_CORPORA or give the folder): skipped\n",
                    qPrintable(root));
        return 0;
    }
    std::printf("%lld IAB samples, %lld bytes; %lld of them read to their end\n", qint64(all.size()), bytes,
                qint64(readWhole.size()));
    compare("samples read to their end", readWhole);
    compare("whole IAB folder", all);

    // Ten megabytes: an in-line ad behind 10 MB of elements the reader skips.
    QByteArray big = "<VAST version=\"3.0\"><Ad><InLine><Impression>http://ads.example/imp</Impression>";
    while (big.size() < (10 << 20))
        big += "<Pricing model=\"cpm\"><Value>25.00</Value></Pricing><Tracking event=\"start\">http://x/t</Tracking>";
    big += "</InLine></Ad></VAST>";
    const long before = peakRssKiB();
    compare("one 10 MB answer", {big});
    std::printf("peak RSS grew by %ld KiB while reading the 10 MB answer (%lld KiB of bytes)\n",
                peakRssKiB() - before, qint64(big.size() / 1024));
    return 0;
}
