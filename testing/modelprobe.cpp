#include "modelprobe.h"

#include "model/fieldcodec_p.h"

namespace tq::probe {

const ConstantsDictionary<QString, PriceType>& shortPriceTypes()
{
    static const ConstantsDictionary<QString, PriceType> dictionary(
        {{"F", PriceType::Full}, {"full", PriceType::Full}, {"T", PriceType::Trial}}, PriceType::Unknown);
    return dictionary;
}

} // namespace tq::probe

TQ_DEFINE_ANSWER(tq::probe::ProbeObject)
TQ_DEFINE_ANSWER(tq::probe::ProbeListResponse)
TQ_DEFINE_OBJECT(tq::probe::ProbeUnion)
TQ_DEFINE_OBJECT(tq::probe::ProbeFallbackUnion)
