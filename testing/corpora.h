#pragma once
// The public corpora some tests read in place (IAB VAST samples, RFC 8949 CBOR vectors,
// JSONTestSuite, PngSuite): the folder TQ_CORPORA names (the build sets it; README, "Testing
// here"). A group whose corpus is not on this machine skips, saying what it did not read:
//
//     const QString root = fake::corpus(QStringLiteral("vast"));
//     if (root.isEmpty())
//         QSKIP(fake::corpusSkipped("the IAB VAST samples", QStringLiteral("vast")).constData());

#include <QByteArray>
#include <QDir>
#include <QString>

namespace fake {

// The corpus folder below TQ_CORPORA; empty when it is not there.
inline QString corpus(const QString& name)
{
    const QString root = qEnvironmentVariable("TQ_CORPORA");
    const QString folder = root + QLatin1Char('/') + name;
    return !root.isEmpty() && QDir(folder).exists() ? folder : QString();
}

// The skip message: what was not read and where it was looked for.
inline QByteArray corpusSkipped(const char* what, const QString& name)
{
    const QString root = qEnvironmentVariable("TQ_CORPORA");
    const QString where = root.isEmpty() ? QStringLiteral("TQ_CORPORA is not set")
                                         : root + QLatin1Char('/') + name + QStringLiteral(" is not a folder");
    return QStringLiteral("%1 not read: %2 (README, \"Testing here\", says where the corpora come from)")
        .arg(QLatin1String(what), where)
        .toUtf8();
}

} // namespace fake
