// Linked against the shared library alone, as a host is: every platform request and every
// request of the other services is built and its answer decoders run on an empty body. A template in a public header that reaches a
// hidden symbol fails this link; a decoder that does not accept an empty body fails the run.

#include "ads/adrequests.h"
#include "ads/getshoprequests.h"
#include "ads/mediascope.h"
#include "ads/scte35requests.h"
#include "api/catalogue.h"
#include "partystation/partystationrequests.h"
#include "rdm/commands.h"
#include "services/hotelplaylist.h"
#include "services/payment.h"
#include "services/releasenotes.h"
#include "services/staticdata.h"
#include "services/syt.h"
#include "services/thumbnails.h"

#include <QCoreApplication>

#include <cstdio>
#include <tuple>

namespace {

template<class R>
int build()
{
    const R request{};
    const tq::RequestRawData raw = request.rawDataCreator()();
    int faults = 0;
    if (raw.httpMethod.isEmpty()) { // the method comes from the request's declaration
        std::fprintf(stderr, "%s: no method\n", QMetaType::fromType<R>().name());
        ++faults;
    }
    if (raw.responseExtractor && !raw.responseExtractor(QByteArray()).isValid()) {
        std::fprintf(stderr, "%s: empty JSON answer gives no value\n", QMetaType::fromType<R>().name());
        ++faults;
    }
    if (raw.responseCborExtractor && !raw.responseCborExtractor(QByteArray()).isValid()) {
        std::fprintf(stderr, "%s: empty CBOR answer gives no value\n", QMetaType::fromType<R>().name());
        ++faults;
    }
    return faults;
}

template<class... R>
int buildAll(std::tuple<R...>*)
{
    return (0 + ... + build<R>());
}

// Every request of the other services, each with its answer.
using ServiceRequests =
    std::tuple<ad::GetShopAvodRequest, ad::GetShopAliveRequest, ad::AdStreamAliveRequest, gs::PlaylistRequest,
               gs::BannerRequest, gs::MicrositeRequest, gs::MicrositeScreenRequest, gs::ClientInfoRequest,
               gs::ClientCodeRequest, gs::ClientSendRequest, gs::LogEventsRequest, scte35ad::NscVastRequest,
               scte35ad::PostMediaVastRequest, mediascope::EventRequest, tq::b2b::playlist::GetPlaylistRequest,
               ps::BindRequest, ps::BuyRequest, rn::ReleaseNotesRequest, rn::ReleaseNotesImageRequest,
               static_data::ImageRequest, syt::QrRequest, syt::StatusRequest, thumbnails::PlaylistRequest,
               thumbnails::ImageRequest, pstv::SettingsRequest, pstv::CreateRoomRequest, rdm::CommandsPoll,
               rdm::CommandsAckRequest, rdm::CommandsReportRequest, rdm::SettingsRequest, rdm::UpdateFirmwareRequest>;

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int faults = buildAll(static_cast<tq::PlatformCatalogue*>(nullptr))
                       + buildAll(static_cast<ServiceRequests*>(nullptr));
    std::printf("%d platform and %d service requests built against the shared library, %d faults\n",
                int(std::tuple_size_v<tq::PlatformCatalogue>), int(std::tuple_size_v<ServiceRequests>), faults);
    return faults == 0 ? 0 : 1;
}
