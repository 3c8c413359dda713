#pragma once

#include <QList>

#include <algorithm>

// A list of headers and a list of arrays presented as one flat list of
// "items": header 0, the elements of array 0, header 1, the elements of
// array 1, and so on. There are as many headers as arrays. The popup's rows
// are SectionedList<Group, Item>.
// Known elsewhere as FVCompositeArray.
template<typename Header, typename Element>
class SectionedList final
{
public:
    // Where a flat index falls: on a header, or on an element of an array.
    struct Location
    {
        // The array, or -1 when the index falls on a header.
        int array = -1;
        // The element's index in its array; -1 on a header.
        int indexInArray = -1;
        // The header, or -1 when the index falls on an element.
        int header = -1;

        bool isHeader() const { return header >= 0; }
        bool isValid() const { return header >= 0 || array >= 0; }
    };

    SectionedList() = default;
    SectionedList(QList<Header> headers, QList<QList<Element>> arrays)
        : m_headers(std::move(headers))
        , m_arrays(std::move(arrays))
    {
        rebuildOffsets();
    }

    const QList<Header> &headers() const { return m_headers; }
    const QList<QList<Element>> &arrays() const { return m_arrays; }
    void setHeaders(QList<Header> headers)
    {
        m_headers = std::move(headers);
        rebuildOffsets();
    }
    void setArrays(QList<QList<Element>> arrays)
    {
        m_arrays = std::move(arrays);
        rebuildOffsets();
    }

    // The number of arrays plus the number of their elements.
    int countOfItems() const { return m_count; }

    // Where index falls; not valid when it lies outside the flat list.
    Location arrayAtIndex(int index) const
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

    // The header at index; null when index falls elsewhere or on a header
    // beyond the headers given.
    const Header *headerAtIndex(int index) const
    {
        const Location location = arrayAtIndex(index);
        return location.isHeader() && location.header < m_headers.size() ? &m_headers.at(location.header) : nullptr;
    }
    // The element at index; null when index falls elsewhere.
    const Element *elementAtIndex(int index) const
    {
        const Location location = arrayAtIndex(index);
        return location.isValid() && !location.isHeader() ? &m_arrays.at(location.array).at(location.indexInArray)
                                                          : nullptr;
    }

    // The flat index of element indexInArray of array arrayIndex.
    int compositeIndexForIndex(int indexInArray, int arrayIndex) const
    {
        if (arrayIndex < 0 || arrayIndex >= m_arrays.size())
            return -1;
        return m_headerOffsets.at(arrayIndex) + 1 + indexInArray;
    }
    // The flat index of header headerIndex.
    int compositeIndexOfHeader(int headerIndex) const
    {
        if (headerIndex < 0 || headerIndex >= m_headerOffsets.size())
            return -1;
        return m_headerOffsets.at(headerIndex);
    }

    // Inserts object at the flat index: into the array the index falls in,
    // at that place; on header k, at the end of array k - 1 (at the start of
    // array 0 for header 0); at the very end, at the end of the last array.
    void insertObject(const Element &object, int index)
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
    // Removes the element at the flat index; headers are never removed.
    void removeObjectFromItemsAtIndex(int index)
    {
        const Location location = arrayAtIndex(index);
        if (!location.isValid() || location.isHeader())
            return;
        m_arrays[location.array].removeAt(location.indexInArray);
        rebuildOffsets();
    }

private:
    void rebuildOffsets()
    {
        m_headerOffsets.clear();
        m_headerOffsets.reserve(m_arrays.size());
        int offset = 0;
        for (const QList<Element> &array : std::as_const(m_arrays)) {
            m_headerOffsets.append(offset);
            offset += 1 + int(array.size());
        }
        m_count = offset;
    }

    QList<Header> m_headers;
    QList<QList<Element>> m_arrays;
    // The flat index of each header, kept so that a lookup is a binary search.
    QList<int> m_headerOffsets;
    int m_count = 0;
};
