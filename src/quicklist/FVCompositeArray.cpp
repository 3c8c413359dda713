#include "quicklist/FVCompositeArray.h"

#include <algorithm>

FVCompositeArray::FVCompositeArray(QList<QVariantMap> headers, QList<QList<QVariantMap>> arrays)
    : m_headers(std::move(headers))
    , m_arrays(std::move(arrays))
{
    rebuildOffsets();
}

void FVCompositeArray::setHeaders(QList<QVariantMap> headers)
{
    m_headers = std::move(headers);
    rebuildOffsets();
}

void FVCompositeArray::setArrays(QList<QList<QVariantMap>> arrays)
{
    m_arrays = std::move(arrays);
    rebuildOffsets();
}

void FVCompositeArray::rebuildOffsets()
{
    m_headerOffsets.clear();
    m_headerOffsets.reserve(m_arrays.size());
    int offset = 0;
    for (const QList<QVariantMap> &array : std::as_const(m_arrays)) {
        m_headerOffsets.append(offset);
        offset += 1 + int(array.size());
    }
    m_count = offset;
}

int FVCompositeArray::countOfItems() const
{
    return m_count;
}

FVCompositeArray::Location FVCompositeArray::arrayAtIndex(int index) const
{
    if (index < 0 || index >= m_count)
        return {};
    // The last header at or before index.
    const auto after = std::upper_bound(m_headerOffsets.cbegin(), m_headerOffsets.cend(), index);
    const int group = int(after - m_headerOffsets.cbegin()) - 1;
    const int inGroup = index - m_headerOffsets.at(group);
    if (inGroup == 0)
        return {-1, -1, group};
    return {group, inGroup - 1, -1};
}

QVariantMap FVCompositeArray::objectInItemsAtIndex(int index) const
{
    const Location location = arrayAtIndex(index);
    if (location.isHeader())
        return m_headers.value(location.header);
    if (location.isValid())
        return m_arrays.at(location.array).at(location.indexInArray);
    return {};
}

int FVCompositeArray::compositeIndexForIndex(int indexInArray, int arrayIndex) const
{
    if (arrayIndex < 0 || arrayIndex >= m_arrays.size())
        return -1;
    return m_headerOffsets.at(arrayIndex) + 1 + indexInArray;
}

int FVCompositeArray::compositeIndexOfHeader(int headerIndex) const
{
    if (headerIndex < 0 || headerIndex >= m_headerOffsets.size())
        return -1;
    return m_headerOffsets.at(headerIndex);
}

void FVCompositeArray::insertObject(const QVariantMap &object, int index)
{
    if (m_arrays.isEmpty())
        return;
    if (index >= m_count) {
        m_arrays.last().append(object);
    } else {
        const Location location = arrayAtIndex(std::max(index, 0));
        if (location.isHeader() && location.header == 0)
            m_arrays.first().prepend(object);
        else if (location.isHeader())
            m_arrays[location.header - 1].append(object);
        else
            m_arrays[location.array].insert(location.indexInArray, object);
    }
    rebuildOffsets();
}

void FVCompositeArray::removeObjectFromItemsAtIndex(int index)
{
    const Location location = arrayAtIndex(index);
    if (!location.isValid() || location.isHeader())
        return;
    m_arrays[location.array].removeAt(location.indexInArray);
    rebuildOffsets();
}

QList<QVariantMap> FVCompositeArray::items() const
{
    QList<QVariantMap> flat;
    flat.reserve(m_count);
    for (int group = 0; group < m_arrays.size(); ++group) {
        flat.append(m_headers.value(group));
        flat.append(m_arrays.at(group));
    }
    return flat;
}
