#pragma once
// The compact JSON text of a declared object, written straight from its field declarations
// into one byte array: the same bytes as QJsonDocument(object.toJson()).toJson(Compact),
// without building the QJsonObject on the way. Request bodies go out this way.
//
// Defined for a type by TQ_DEFINE_BODY(Type) (model/jsonwriter_p.h) in its family's .cpp,
// in place of TQ_DEFINE_OBJECT; a body type without it fails to link.

#include "tqglobal.h"

#include <QByteArray>

namespace tq {

// Exported: a body type's instantiation is compiled once, in the library.
template<class T>
TQ_EXPORT QByteArray compactJson(const T& object);

} // namespace tq
