#include "quicklist/FVCompositeArray.h"

#include <gtest/gtest.h>

namespace {

// Headers H0..Hn-1 over arrays whose element names are "<group>.<index>".
FVCompositeArray compositeOf(const QList<int> &counts)
{
    QList<QVariantMap> headers;
    QList<QList<QVariantMap>> arrays;
    for (int group = 0; group < counts.size(); ++group) {
        headers.append({{QStringLiteral("title"), QStringLiteral("H%1").arg(group)}});
        QList<QVariantMap> array;
        for (int i = 0; i < counts.at(group); ++i)
            array.append({{QStringLiteral("title"), QStringLiteral("%1.%2").arg(group).arg(i)}});
        arrays.append(array);
    }
    return FVCompositeArray(headers, arrays);
}

} // namespace

TEST(FVCompositeArrayTest, FlattensHeadersAndArraysIncludingEmptyOnesAtEitherEnd)
{
    // Empty (collapsed) groups first, in the middle and last.
    const FVCompositeArray composite = compositeOf({0, 2, 0, 1, 0});
    const QStringList names{"H0", "H1", "1.0", "1.1", "H2", "H3", "3.0", "H4"};
    // Each index: {array, index in the array, header}.
    const QList<QList<int>> locations{{-1, -1, 0}, {-1, -1, 1}, {1, 0, -1}, {1, 1, -1},
                                      {-1, -1, 2}, {-1, -1, 3}, {3, 0, -1}, {-1, -1, 4}};
    for (int index = 0; index < locations.size(); ++index) {
        const FVCompositeArray::Location location = composite.arrayAtIndex(index);
        EXPECT_EQ(QList<int>({location.array, location.indexInArray, location.header}), locations.at(index)) << index;
        EXPECT_EQ(composite.objectInItemsAtIndex(index).value(QStringLiteral("title")).toString(), names.at(index));
    }
    EXPECT_FALSE(composite.arrayAtIndex(-1).isValid() || composite.arrayAtIndex(8).isValid());
    EXPECT_EQ(composite.countOfItems(), 8);
    EXPECT_TRUE(composite.objectInItemsAtIndex(8).isEmpty());
}
