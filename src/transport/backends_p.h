#pragma once
// The backends of the services other than the platform API. Their composition rules are
// regular, so they live in one table (backends.cpp) with a row per MethodType; each class
// here only names the types it serves and its own overrides.

#include "transport/abstractbackend_p.h"

#include <QHash>
#include <QList>

#include <memory>
#include <vector>

namespace tq {

// Composes, times and expires requests from the row of the request's MethodType.
class TableBackend : public AbstractBackend
{
public:
    RequestSettings composeRequest(const RequestRawData& data, stbconfig::ConfigurationManager* store,
                                   const stbcore::IRequestHeaderPropertyProvider* provider) const override;
    qint64 requestTimeout(const RequestRawData& data, stbconfig::ConfigurationManager* store) const override;
    std::chrono::seconds connectionCacheExpiryTimeout(const RequestRawData& data,
                                                      stbconfig::ConfigurationManager* store) const override;

    const QList<MethodType>& types() const { return m_types; }

protected:
    explicit TableBackend(QList<MethodType> types) : m_types(std::move(types)) {}

private:
    QList<MethodType> m_types;
};

class AdBackend : public TableBackend
{
public:
    AdBackend();
    int failureAction(const RequestError& error) const override; // ads are never retried
};

class StaticDataBackend : public TableBackend { public: StaticDataBackend(); };
class GeneralRequestBackend : public TableBackend { public: GeneralRequestBackend(); };
class GetShopBackend : public TableBackend { public: GetShopBackend(); };
class MediascopeBackend : public TableBackend { public: MediascopeBackend(); };
class PartyStationBackend : public TableBackend { public: PartyStationBackend(); };
class RdmBackend : public TableBackend { public: RdmBackend(); };
class ReleaseNotesBackend : public TableBackend { public: ReleaseNotesBackend(); };
class Scte35AdBackend : public TableBackend { public: Scte35AdBackend(); };
class SytBackend : public TableBackend { public: SytBackend(); };
class ThumbnailsBackend : public TableBackend { public: ThumbnailsBackend(); };

class PaymentServiceBackend : public TableBackend
{
public:
    PaymentServiceBackend();
    // The body's "reqStatus", or -1000 when it has none: only "reqStatus" 0 is a success.
    int responseErrorStatus(const QByteArray& body) const override;
};

// All thirteen backends and the table from MethodType to backend (31 entries;
// FirmwareFile and VemoServicesAvailability have none).
struct BackendSet
{
    std::vector<std::unique_ptr<AbstractBackend>> owned;
    QHash<MethodType, AbstractBackend*> byType;
};
BackendSet createBackends();

} // namespace tq
