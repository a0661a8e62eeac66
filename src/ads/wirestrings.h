#pragma once
// Wire-string dictionaries of the enumerations in the advertising namespaces (ad, gs).
// TQ_WIRE_STRINGS (model/constantsdictionary.h) only works inside namespace tq and
// assumes an Unknown member; this variant is used at global scope, names the
// enumeration's namespace and its miss value. Local until the shared macro takes both.
//
//     ADS_WIRE_STRINGS(gs, InputType, inputTypeDictionary, Unknown, {"phone", E::Phone}, ...)
// declares gs::inputTypeDictionary() and makes the dictionary known to the field
// declarations (tq::WireStrings<gs::InputType>). The one source file of the header
// defines ADS_DEFINE_WIRE_STRINGS before including it and so builds the tables there
// (on first use, thread-safe), not in every unit that includes the header.

#include "model/constantsdictionary.h"

#ifdef ADS_DEFINE_WIRE_STRINGS
#define ADS_WIRE_STRINGS(ns, Enum, accessor, miss, ...)                                           \
    namespace ns {                                                                               \
    const ::tq::ConstantsDictionary<QString, Enum>& accessor()                                   \
    {                                                                                            \
        using E = Enum;                                                                          \
        static const ::tq::ConstantsDictionary<QString, Enum> table({__VA_ARGS__}, E::miss);      \
        return table;                                                                            \
    }                                                                                            \
    }                                                                                            \
    ADS_WIRE_STRINGS_LOOKUP(ns, Enum, accessor)
#else
#define ADS_WIRE_STRINGS(ns, Enum, accessor, miss, ...)                                           \
    namespace ns {                                                                               \
    const ::tq::ConstantsDictionary<QString, Enum>& accessor();                                  \
    }                                                                                            \
    ADS_WIRE_STRINGS_LOOKUP(ns, Enum, accessor)
#endif

#define ADS_WIRE_STRINGS_LOOKUP(ns, Enum, accessor)                                               \
    template<>                                                                                   \
    struct tq::WireStrings<ns::Enum>                                                             \
    {                                                                                            \
        static const ::tq::ConstantsDictionary<QString, ns::Enum>& dictionary() { return ns::accessor(); } \
    };
