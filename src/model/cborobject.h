#pragma once
// Interface of the objects that can be filled from a CBOR map.

#include "tqglobal.h"


namespace tq {

class CborReader;

class TQ_EXPORT AbstractCborObject
{
public:
    virtual ~AbstractCborObject();

    // Called with the reader on the value of the key in the reader's key buffer; must
    // consume exactly that value (CborReader::next() for a key it does not know).
    // Returns the stream error code.
    virtual int readCborField(CborReader& reader) = 0;

    // Walks one map (tags before it are skipped) and hands each key to readCborField.
    // 0 on success, the stream error code, or the item type when the current item is not
    // a container (left unconsumed). Fields read before an error stay set.
    int fromCbor(CborReader& reader);

protected:
    AbstractCborObject() = default;
    AbstractCborObject(const AbstractCborObject&) = default;
    AbstractCborObject& operator=(const AbstractCborObject&) = default;
};

} // namespace tq
