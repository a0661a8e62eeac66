#pragma once
// Stand-in for the box's user-interface base of every displayable decoded object.

#include "tqglobal.h"

#include <QtGlobal>

namespace stbcore {

class TQ_EXPORT AbstractDataItem
{
public:
    AbstractDataItem() = default;
    explicit AbstractDataItem(qint64 id) : m_id(id), m_isValid(id != -1) {}
    virtual ~AbstractDataItem() = default;

    virtual int dataItemType() const = 0;
    virtual bool hasTitles() const = 0;

    qint64 id() const { return m_id; }
    // Decoders set the id and derive validity from it (an id of -1 means none).
    void setId(qint64 id) { m_id = id; m_isValid = id != -1; }
    bool isValid() const { return m_isValid; }
    void setValid(bool valid) { m_isValid = valid; }

protected:
    AbstractDataItem(const AbstractDataItem&) = default;
    AbstractDataItem& operator=(const AbstractDataItem&) = default;

private:
    qint64 m_id = -1;
    bool m_isValid = false;
};

} // namespace stbcore
