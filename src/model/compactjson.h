#pragma once
// The compact JSON text of a declared object, written straight from its field declarations
// into one byte array: the same bytes as QJsonDocument(object.toJson()).toJson(Compact),
// without building the QJsonObject on the way. Request bodies go out this way.
//
// Defined for a type by TQ_DEFINE_BODY(Type) (model/jsonwriter.h) in its family's .cpp,
// in place of TQ_DEFINE_OBJECT; a body type without it fails to link.

#include <QByteArray>

namespace tq {

template<class T>
QByteArray compactJson(const T& object);

} // namespace tq
