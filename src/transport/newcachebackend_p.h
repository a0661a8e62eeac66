#pragma once
// The backend of the TV platform's own API: the main API, its analytics endpoint,
// service discovery and the image server.

#include "transport/abstractbackend_p.h"

#include <QList>
#include <QLocale>

namespace tq {

class NewCacheBackend : public AbstractBackend
{
public:
    static QList<MethodType> types(); // TqAnalytics, TqApi, TqDiscover, TqImage

    RequestSettings composeRequest(const RequestRawData& data, stbconfig::ConfigurationManager* store,
                                   const stbcore::IRequestHeaderPropertyProvider* provider) const override;
    int failureAction(const RequestError& error) const override;
    // A request goes out again with the current session; after a rebalance it also moves to the
    // configured server, unless its address is complete (a poster on another host).
    void prepareResend(HttpRequestWorker* worker, stbconfig::ConfigurationManager* store,
                       const stbcore::IRequestHeaderPropertyProvider* provider, Resend reason) const override;
    qint64 requestTimeout(const RequestRawData& data, stbconfig::ConfigurationManager* store) const override;
    std::chrono::seconds connectionCacheExpiryTimeout(const RequestRawData& data,
                                                      stbconfig::ConfigurationManager* store) const override;

private:
    QString languageCode() const;

    // The ISO 639-3 code is looked up only when the default locale's language changes.
    mutable QLocale::Language m_language = QLocale::AnyLanguage;
    mutable QString m_languageCode;
};

} // namespace tq
