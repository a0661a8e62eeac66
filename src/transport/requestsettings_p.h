#pragma once
// What a backend composes for one request: where it goes and how it is sent.

#include <QMap>
#include <QNetworkRequest>
#include <QString>
#include <QStringList>

namespace tq {

struct RequestSettings
{
    QString cacheKey;   // non-empty: restore from / store into the response cache under it
    QString methodPath; // non-empty: reported as a requested platform method
    QStringList urls;   // the worker uses the first; empty means the request is refused
    QMap<QString, QString> headers; // sent in key order
    int sslProtocol = -1;           // a QSsl::SslProtocol to force; -1 = none
    int priority = QNetworkRequest::NormalPriority;
    bool image = false;    // HTTP/2 allowed, image size limit and image logging switch apply
    bool useProxy = false; // may go through the proxy connection
};

} // namespace tq
