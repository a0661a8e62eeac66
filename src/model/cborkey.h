#pragma once
// Compile-time helpers of the CBOR key dispatch, shared by the reader and the field
// declarations (which hash their keys at compile time).

#include <QtGlobal>

namespace tq {

// 32-bit FNV-1a over the key bytes, each byte sign-extended before the exclusive-or
// (the same value as plain FNV-1a for ASCII keys).
constexpr quint32 cborKeyHash(const char* key, qsizetype length)
{
    quint32 hash = 0x811C9DC5u;
    for (qsizetype i = 0; i < length; ++i) {
        hash ^= quint32(qint32(static_cast<signed char>(key[i])));
        hash *= 16777619u;
    }
    return hash;
}

constexpr qsizetype constLength(const char* text)
{
    qsizetype length = 0;
    while (text[length] != '\0')
        ++length;
    return length;
}

} // namespace tq
