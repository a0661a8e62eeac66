#include "model/cborobject.h"

#include "model/cborreader.h"

namespace tq {

AbstractCborObject::~AbstractCborObject() = default;

int AbstractCborObject::fromCbor(CborReader& reader)
{
    reader.skipTags();
    if (!reader.isContainer())
        return int(reader.type());
    if (!reader.enterContainer())
        return reader.errorCode();
    // readKey and readCborField report errors themselves: no extra error query per key.
    while (reader.hasNext()) {
        if (!reader.readKey() || readCborField(reader) != 0)
            break;
    }
    if (reader.hasError())
        return reader.errorCode();
    reader.leaveContainer();
    return reader.errorCode();
}

} // namespace tq
