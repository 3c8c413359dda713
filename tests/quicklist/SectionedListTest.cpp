#include "quicklist/SectionedList.h"

#include <QString>

#include <gtest/gtest.h>

namespace {

using Composite = SectionedList<QString, QString>;

// Headers H0..Hn-1 over arrays whose element names are "<group>.<index>".
Composite compositeOf(const QList<int> &counts)
{
    QList<QString> headers;
    QList<QList<QString>> arrays;
    for (int group = 0; group < counts.size(); ++group) {
        headers.append(QStringLiteral("H%1").arg(group));
        QList<QString> array;
        for (int i = 0; i < counts.at(group); ++i)
            array.append(QStringLiteral("%1.%2").arg(group).arg(i));
        arrays.append(array);
    }
    return Composite(headers, arrays);
}

QString nameAt(const Composite &composite, int index)
{
    const QString *header = composite.headerAtIndex(index);
    const QString *element = composite.elementAtIndex(index);
    EXPECT_FALSE(header && element) << index;
    return header ? *header : element ? *element : QString();
}

} // namespace

TEST(SectionedListTest, FlattensHeadersAndArraysIncludingEmptyOnesAtEitherEnd)
{
    // Empty (collapsed) groups first, in the middle and last.
    const Composite composite = compositeOf({0, 2, 0, 1, 0});
    const QStringList names{"H0", "H1", "1.0", "1.1", "H2", "H3", "3.0", "H4"};
    // Each index: {array, index in the array, header}.
    const QList<QList<int>> locations{{-1, -1, 0}, {-1, -1, 1}, {1, 0, -1}, {1, 1, -1},
                                      {-1, -1, 2}, {-1, -1, 3}, {3, 0, -1}, {-1, -1, 4}};
    for (int index = 0; index < locations.size(); ++index) {
        const Composite::Location location = composite.arrayAtIndex(index);
        EXPECT_EQ(QList<int>({location.array, location.indexInArray, location.header}), locations.at(index)) << index;
        EXPECT_EQ(nameAt(composite, index), names.at(index));
    }
    EXPECT_FALSE(composite.arrayAtIndex(-1).isValid() || composite.arrayAtIndex(8).isValid());
    EXPECT_EQ(composite.countOfItems(), 8);
    EXPECT_EQ(nameAt(composite, 8), QString());
}
