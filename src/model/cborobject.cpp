#include "model/cborobject.h"

#include "model/cborreader_p.h"

namespace tq {

AbstractCborObject::~AbstractCborObject() = default;

int AbstractCborObject::fromCbor(CborReader& reader)
{
    return walkCborMap(reader, [this](CborReader& r) { return readCborField(r); });
}

} // namespace tq
