#include "model/cborobject.h"

namespace tq {

AbstractCborObject::~AbstractCborObject() = default;

int AbstractCborObject::fromCbor(CborReader& reader)
{
    reader.skipTags();
    if (!reader.isContainer())
        return int(reader.type());
    if (!reader.enterContainer())
        return reader.errorCode();
    while (!reader.hasError() && reader.hasNext()) {
        if (!reader.readKey())
            break;
        readCborField(reader);
    }
    if (reader.hasError())
        return reader.errorCode();
    reader.leaveContainer();
    return reader.errorCode();
}

} // namespace tq
