#include "quicklist/FVCompositeArray.h"

#include <gtest/gtest.h>

namespace {

QVariantMap named(const QString &name)
{
    return {{QStringLiteral("title"), name}};
}

QString nameAt(const FVCompositeArray &composite, int index)
{
    return composite.objectInItemsAtIndex(index).value(QStringLiteral("title")).toString();
}

// Headers H0..Hn-1 over arrays whose element names are "<group>.<index>".
FVCompositeArray compositeOf(const QList<int> &counts)
{
    QList<QVariantMap> headers;
    QList<QList<QVariantMap>> arrays;
    for (int group = 0; group < counts.size(); ++group) {
        headers.append(named(QStringLiteral("H%1").arg(group)));
        QList<QVariantMap> array;
        for (int i = 0; i < counts.at(group); ++i)
            array.append(named(QStringLiteral("%1.%2").arg(group).arg(i)));
        arrays.append(array);
    }
    return FVCompositeArray(headers, arrays);
}

QStringList flatNames(const FVCompositeArray &composite)
{
    QStringList names;
    for (int index = 0; index < composite.countOfItems(); ++index)
        names.append(nameAt(composite, index));
    return names;
}

} // namespace

TEST(FVCompositeArrayTest, FlattensHeadersAndArraysIncludingEmptyOnesAtEitherEnd)
{
    // Empty (collapsed) groups first, in the middle and last.
    const FVCompositeArray composite = compositeOf({0, 2, 0, 1, 0});
    EXPECT_EQ(composite.countOfItems(), 8);
    EXPECT_EQ(flatNames(composite),
              QStringList({"H0", "H1", "1.0", "1.1", "H2", "H3", "3.0", "H4"}));

    struct Case
    {
        int index;
        int array;
        int indexInArray;
        int header;
    };
    for (const Case &c : {Case{0, -1, -1, 0}, Case{1, -1, -1, 1}, Case{2, 1, 0, -1}, Case{3, 1, 1, -1},
                          Case{4, -1, -1, 2}, Case{5, -1, -1, 3}, Case{6, 3, 0, -1}, Case{7, -1, -1, 4}}) {
        const FVCompositeArray::Location location = composite.arrayAtIndex(c.index);
        EXPECT_EQ(location.array, c.array) << c.index;
        EXPECT_EQ(location.indexInArray, c.indexInArray) << c.index;
        EXPECT_EQ(location.header, c.header) << c.index;
    }
    EXPECT_FALSE(composite.arrayAtIndex(-1).isValid());
    EXPECT_FALSE(composite.arrayAtIndex(8).isValid());
    EXPECT_TRUE(composite.objectInItemsAtIndex(8).isEmpty());

    EXPECT_EQ(FVCompositeArray().countOfItems(), 0);
    EXPECT_EQ(compositeOf({0, 0}).countOfItems(), 2);
}
