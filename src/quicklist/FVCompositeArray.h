#pragma once

#include <QList>
#include <QVariantMap>

// A list of headers and a list of arrays presented as one flat list of
// "items": header 0, the elements of array 0, header 1, the elements of
// array 1, and so on. There are as many headers as arrays.
class FVCompositeArray final
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

    FVCompositeArray() = default;
    FVCompositeArray(QList<QVariantMap> headers, QList<QList<QVariantMap>> arrays);

    const QList<QVariantMap> &headers() const { return m_headers; }
    const QList<QList<QVariantMap>> &arrays() const { return m_arrays; }
    void setHeaders(QList<QVariantMap> headers);
    void setArrays(QList<QList<QVariantMap>> arrays);

    // The number of arrays plus the number of their elements.
    int countOfItems() const;
    // Where index falls; not valid when it lies outside the flat list.
    Location arrayAtIndex(int index) const;
    // The header or the element at index; an empty map outside the list.
    QVariantMap objectInItemsAtIndex(int index) const;
    // The flat index of element indexInArray of array arrayIndex.
    int compositeIndexForIndex(int indexInArray, int arrayIndex) const;
    // The flat index of header headerIndex.
    int compositeIndexOfHeader(int headerIndex) const;

    // Inserts object at the flat index: into the array the index falls in,
    // at that place; on header k, at the end of array k - 1 (at the start of
    // array 0 for header 0); at the very end, at the end of the last array.
    void insertObject(const QVariantMap &object, int index);
    // Removes the element at the flat index; headers are never removed.
    void removeObjectFromItemsAtIndex(int index);

    // The whole flat list.
    QList<QVariantMap> items() const;

private:
    void rebuildOffsets();

    QList<QVariantMap> m_headers;
    QList<QList<QVariantMap>> m_arrays;
    // The flat index of each header, kept so that a lookup is a binary search.
    QList<int> m_headerOffsets;
    int m_count = 0;
};
