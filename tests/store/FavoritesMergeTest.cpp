#include "store/FavoritesMerge.h"

#include "platform/PreferencesStore.h"
#include "store/StoreKeys.h"
#include "store/StoredRecords.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <functional>

namespace {

const QString items = StoreKeys::itemListPrefix;

// The record's title, read as the store reads it.
QString titleOf(const QVariantMap &record)
{
    return StoredRecords::item(record).title();
}

QVariantMap item(qint64 uid, const QString &title)
{
    return {{RecordKeys::title, title}, {RecordKeys::uid, uid}, {RecordKeys::isnormalFile, true}};
}

// "Work(red)[1 Report*, 2 Notes] Home[3 Bills]": groups in order, their
// colour when not the default, items with uid and title, "*" when pinned.
QString summary(const QVariantMap &values)
{
    QStringList groups;
    for (const Group &record : StoredRecords::groups(values.value(StoreKeys::allgroups).toList())) {
        const QString title = record.title();
        const QString color = record.color();
        QStringList list;
        for (const QVariant &element : values.value(items + title).toList()) {
            if (!StoredValue::isDictionary(element)) {
                list.append(u"<"_qs + element.toString() + u">"_qs);
                continue;
            }
            const Item entry = StoredRecords::item(element.toMap());
            list.append(QString::number(entry.uid().value_or(-1)) + u' ' + entry.title()
                        + (entry.isPinned() ? u"*"_qs : QString()));
        }
        groups.append(title + (color == defaultGroupColor ? QString() : u'(' + color + u')') + u'['
                      + list.join(u", "_qs) + u']');
    }
    return groups.join(u' ');
}

// Base: Work[1 Report, 2 Notes] Home[3 Bills], each case changes it on
// either side or both.
struct Case
{
    const char *name;
    std::function<void(QVariantMap &)> ours;
    std::function<void(QVariantMap &)> theirs;
    QString expected;
    int keptTwice = 0;
    int renumbered = 0;
};

// The stored list under key, changed in place.
QVariantList &listAt(QVariantMap &values, const QString &key)
{
    QVariant &list = values[key];
    if (!list.isValid())
        list = QVariantList();
    return *static_cast<QVariantList *>(list.data());
}

QVariantList &listOf(QVariantMap &values, const QString &title)
{
    return listAt(values, items + title);
}

QVariantList &groupsOf(QVariantMap &values)
{
    return listAt(values, StoreKeys::allgroups);
}

void editItem(QVariantMap &values, const QString &title, int index, const QString &key, const QVariant &value)
{
    QVariantMap record = listOf(values, title).at(index).toMap();
    if (value.isValid())
        record.insert(key, value);
    else
        record.remove(key);
    listOf(values, title)[index] = record;
}

void editGroup(QVariantMap &values, int index, const QString &key, const QString &value)
{
    QVariantMap record = groupsOf(values).at(index).toMap();
    if (key == RecordKeys::title)
        values.insert(items + value, values.take(items + titleOf(record)));
    record.insert(key, value);
    groupsOf(values)[index] = record;
}

void addItem(QVariantMap &values, const QString &title, qint64 uid, const QString &name)
{
    listOf(values, title).append(item(uid, name));
    values.insert(StoreKeys::uniqueid, qMax(uid, values.value(StoreKeys::uniqueid).toLongLong()));
}

void removeGroup(QVariantMap &values, int index)
{
    values.remove(items + titleOf(groupsOf(values).takeAt(index).toMap()));
}

void addGroup(QVariantMap &values, const QString &title, const QVariantList &list)
{
    groupsOf(values).append(StoredRecords::record(Group(title)));
    values.insert(items + title, list);
}

// Every record by uid, wherever it is filed.
QMap<qint64, QVariantMap> recordsOf(const QVariantMap &values)
{
    QMap<qint64, QVariantMap> records;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        for (const QVariant &element : it.key().startsWith(items) ? it.value().toList() : QVariantList())
            records.insert(StoredRecords::item(element.toMap()).uid().value_or(-1), element.toMap());
    }
    return records;
}

const auto unchanged = [](QVariantMap &) {};

TEST(FavoritesMerge, EachSideAddsRemovesRenamesReordersRecoloursAndPins)
{
    QVariantMap base{{StoreKeys::uniqueid, qint64(3)}};
    addGroup(base, u"Work"_qs, {item(1, u"Report"_qs), item(2, u"Notes"_qs)});
    addGroup(base, u"Home"_qs, {item(3, u"Bills"_qs)});
    const Case cases[] = {
        {"nothing changed", unchanged, unchanged, u"Work[1 Report, 2 Notes] Home[3 Bills]"_qs},
        {"ours adds", [](QVariantMap &v) { addItem(v, u"Work"_qs, 4, u"Plan"_qs); }, unchanged,
         u"Work[1 Report, 2 Notes, 4 Plan] Home[3 Bills]"_qs},
        {"both add under one uid", [](QVariantMap &v) { addItem(v, u"Work"_qs, 4, u"Photo"_qs); },
         [](QVariantMap &v) { addItem(v, u"Home"_qs, 4, u"Tickets"_qs); },
         u"Work[1 Report, 2 Notes, 5 Photo] Home[3 Bills, 4 Tickets]"_qs, 0, 1},
        {"both add the same", [](QVariantMap &v) { addItem(v, u"Work"_qs, 4, u"Same"_qs); },
         [](QVariantMap &v) { addItem(v, u"Work"_qs, 4, u"Same"_qs); },
         u"Work[1 Report, 2 Notes, 4 Same] Home[3 Bills]"_qs},
        {"ours removes, theirs renames another", [](QVariantMap &v) { listOf(v, u"Work"_qs).removeAt(1); },
         [](QVariantMap &v) { editItem(v, u"Work"_qs, 0, RecordKeys::title, u"Summary"_qs); },
         u"Work[1 Summary] Home[3 Bills]"_qs},
        {"ours removes what theirs renames", [](QVariantMap &v) { listOf(v, u"Work"_qs).removeAt(1); },
         [](QVariantMap &v) { editItem(v, u"Work"_qs, 1, RecordKeys::title, u"Minutes"_qs); },
         u"Work[1 Report, 2 Minutes] Home[3 Bills]"_qs},
        {"theirs removes what ours moves",
         [](QVariantMap &v) { listOf(v, u"Home"_qs).append(listOf(v, u"Work"_qs).takeAt(1)); },
         [](QVariantMap &v) { listOf(v, u"Work"_qs).removeAt(1); }, u"Work[1 Report] Home[3 Bills, 2 Notes]"_qs},
        {"ours pins, theirs renames", [](QVariantMap &v) { editItem(v, u"Work"_qs, 0, RecordKeys::isPin, true); },
         [](QVariantMap &v) { editItem(v, u"Work"_qs, 0, RecordKeys::title, u"Summary"_qs); },
         u"Work[1 Summary*, 2 Notes] Home[3 Bills]"_qs},
        {"both rename one item", [](QVariantMap &v) { editItem(v, u"Work"_qs, 0, RecordKeys::title, u"Ours"_qs); },
         [](QVariantMap &v) { editItem(v, u"Work"_qs, 0, RecordKeys::title, u"Theirs"_qs); },
         u"Work[1 Theirs, 4 Ours, 2 Notes] Home[3 Bills]"_qs, 1},
        {"ours reorders items, theirs adds", [](QVariantMap &v) { listOf(v, u"Work"_qs).move(0, 1); },
         [](QVariantMap &v) { addItem(v, u"Work"_qs, 4, u"Plan"_qs); },
         u"Work[2 Notes, 1 Report, 4 Plan] Home[3 Bills]"_qs},
        {"ours reorders groups, theirs adds one", [](QVariantMap &v) { groupsOf(v).move(1, 0); },
         [](QVariantMap &v) { addGroup(v, u"Play"_qs, {item(4, u"Game"_qs)}); },
         u"Home[3 Bills] Work[1 Report, 2 Notes] Play[4 Game]"_qs},
        {"ours renames a group, theirs files an item in it",
         [](QVariantMap &v) { editGroup(v, 0, RecordKeys::title, u"Job"_qs); },
         [](QVariantMap &v) { addItem(v, u"Work"_qs, 4, u"Plan"_qs); },
         u"Job[1 Report, 2 Notes, 4 Plan] Home[3 Bills]"_qs},
        {"theirs renames a group, ours recolours it",
         [](QVariantMap &v) { editGroup(v, 0, RecordKeys::color, u"FF0000"_qs); },
         [](QVariantMap &v) { editGroup(v, 0, RecordKeys::title, u"Job"_qs); },
         u"Job(FF0000)[1 Report, 2 Notes] Home[3 Bills]"_qs},
        {"both recolour", [](QVariantMap &v) { editGroup(v, 1, RecordKeys::color, u"FF0000"_qs); },
         [](QVariantMap &v) { editGroup(v, 1, RecordKeys::color, u"0000FF"_qs); },
         u"Work[1 Report, 2 Notes] Home(0000FF)[3 Bills]"_qs},
        {"ours removes a group theirs did not change", [](QVariantMap &v) { removeGroup(v, 1); }, unchanged,
         u"Work[1 Report, 2 Notes]"_qs},
        {"ours removes a group theirs filed an item in", [](QVariantMap &v) { removeGroup(v, 1); },
         [](QVariantMap &v) { addItem(v, u"Home"_qs, 4, u"Rent"_qs); }, u"Work[1 Report, 2 Notes] Home[4 Rent]"_qs},
        {"both add a group of one title", [](QVariantMap &v) { addGroup(v, u"Play"_qs, {item(4, u"Chess"_qs)}); },
         [](QVariantMap &v) { addGroup(v, u"Play"_qs, {item(4, u"Go"_qs)}); },
         u"Work[1 Report, 2 Notes] Home[3 Bills] Play[4 Go, 5 Chess]"_qs, 0, 1},
        {"elements that are not records", [](QVariantMap &v) { listOf(v, u"Home"_qs).append(u"mine"_qs); },
         [](QVariantMap &v) { listOf(v, u"Work"_qs).insert(1, u"theirs"_qs); },
         u"Work[1 Report, <theirs>, 2 Notes] Home[3 Bills, <mine>]"_qs},
    };
    for (const Case &test : cases) {
        QVariantMap ours = base, theirs = base;
        test.ours(ours);
        test.theirs(theirs);
        const PreferencesMerge::Outcome outcome = FavoritesMerge::merge(base, ours, theirs);
        EXPECT_EQ(summary(outcome.merged), test.expected) << test.name;
        EXPECT_EQ(outcome.keptTwice, test.keptTwice) << test.name;
        EXPECT_EQ(outcome.renumbered, test.renumbered) << test.name;
        EXPECT_GE(outcome.merged.value(StoreKeys::uniqueid).toLongLong(), recordsOf(outcome.merged).lastKey())
            << test.name;
        // Merging what the merge holds changes nothing more.
        EXPECT_EQ(FavoritesMerge::merge(theirs, outcome.merged, theirs).merged, outcome.merged) << test.name;
    }

    // Settings merge key by key; keys Brimble does not know are kept.
    QVariantMap ours = base, theirs = base;
    ours.insert(StoreKeys::showFileListInFolder, true);
    ours.insert(u"toolOfOurs"_qs, 1);
    theirs.insert(StoreKeys::selectedLanguage, 1);
    theirs.insert(u"toolOfTheirs"_qs, u"x"_qs);
    const QVariantMap merged = FavoritesMerge::merge(base, ours, theirs).merged;
    for (const QLatin1String key : {StoreKeys::showFileListInFolder, StoreKeys::selectedLanguage,
                                    QLatin1String("toolOfOurs"), QLatin1String("toolOfTheirs")})
        EXPECT_TRUE(merged.contains(key)) << key.data();
}

// A store of random groups and items, changed at random on two sides: no
// item either side holds is lost unless the other side deleted it while
// this side left it as it was.
TEST(FavoritesMerge, NothingEitherSideHoldsIsLostUnlessTheOtherDeletedIt)
{
    // One random change on a side: to an item, a group's list or the groups.
    const auto change = [](QVariantMap &values, QRandomGenerator &random) {
        const auto anyGroup = [&] { return int(random.bounded(int(groupsOf(values).size()))); };
        if (groupsOf(values).isEmpty())
            return addGroup(values, u"G%1"_qs.arg(random.generate()), {});
        const QString title = titleOf(groupsOf(values).at(anyGroup()).toMap());
        QVariantList &list = listOf(values, title);
        const int at = list.isEmpty() ? -1 : random.bounded(int(list.size()));
        const int kind = random.bounded(10);
        if (kind == 0)
            addItem(values, title, values.value(StoreKeys::uniqueid).toLongLong() + 1, u"new"_qs);
        else if (kind == 1 && at >= 0)
            list.removeAt(at);
        else if ((kind == 2 || kind == 3) && at >= 0)
            editItem(values, title, at, random.bounded(2) ? RecordKeys::title : RecordKeys::isPin,
                     random.bounded(2) ? QVariant(u"t%1"_qs.arg(random.bounded(3))) : QVariant(true));
        else if (kind == 4 && at >= 0)
            listOf(values, titleOf(groupsOf(values).at(anyGroup()).toMap())).append(list.takeAt(at));
        else if (kind == 5)
            std::shuffle(list.begin(), list.end(), random);
        else if (kind == 6)
            addGroup(values, u"G%1"_qs.arg(random.generate()), {});
        else if (kind == 7)
            removeGroup(values, anyGroup());
        else if (kind == 8)
            editGroup(values, anyGroup(), random.bounded(2) ? RecordKeys::color : RecordKeys::title,
                      u"R%1"_qs.arg(random.generate()));
        else if (kind == 9)
            groupsOf(values).move(anyGroup(), anyGroup());
    };

    for (quint32 seed = 1; seed <= 400; ++seed) {
        QRandomGenerator random(seed);
        QVariantMap base{{StoreKeys::uniqueid, qint64(0)}};
        for (int g = 0; g < 4; ++g) {
            addGroup(base, u"G%1"_qs.arg(g), {});
            for (qint64 uid = base.value(StoreKeys::uniqueid).toLongLong() + 1, last = uid + random.bounded(5);
                 uid < last; ++uid)
                addItem(base, u"G%1"_qs.arg(g), uid, u"i%1"_qs.arg(uid));
        }
        QVariantMap ours = base, theirs = base;
        for (int i = random.bounded(1, 8); i > 0; --i)
            change(ours, random);
        for (int i = random.bounded(1, 8); i > 0; --i)
            change(theirs, random);

        const QVariantMap merged = FavoritesMerge::merge(base, ours, theirs).merged;
        const auto before = recordsOf(base), mine = recordsOf(ours), other = recordsOf(theirs);
        const auto after = recordsOf(merged);
        // Every item is filed under a group the result holds.
        QSet<QString> titles;
        for (const Group &record : StoredRecords::groups(merged.value(StoreKeys::allgroups).toList()))
            titles.insert(record.title());
        for (auto it = merged.cbegin(); it != merged.cend(); ++it) {
            if (it.key().startsWith(items) && !it.value().toList().isEmpty()) {
                EXPECT_TRUE(titles.contains(it.key().mid(items.size())))
                    << "seed " << seed << " " << it.key().toStdString();
            }
        }
        for (const auto &[side, otherSide] : {std::pair{&mine, &other}, {&other, &mine}}) {
            for (auto it = side->cbegin(); it != side->cend(); ++it) {
                const bool deletedThere = before.contains(it.key()) && !otherSide->contains(it.key());
                if (deletedThere && before.value(it.key()) == it.value())
                    continue;
                EXPECT_TRUE(after.contains(it.key())) << "seed " << seed << ": item " << it.key() << " lost";
                if (!before.contains(it.key()) && otherSide->contains(it.key())
                    && otherSide->value(it.key()) != it.value()) {
                    // Added on both sides under one uid: one of them is kept under a new one.
                    QVariantMap renumbered = it.value();
                    renumbered.remove(RecordKeys::uid);
                    EXPECT_TRUE(std::any_of(after.cbegin(), after.cend(),
                                            [&](QVariantMap record) {
                                                record.remove(RecordKeys::uid);
                                                return record == renumbered;
                                            }))
                        << "seed " << seed << ": item " << it.key() << " added on both sides";
                    continue;
                }
                // Each key this side changed holds its value, on the item or on its copy.
                for (auto field = it.value().cbegin(); field != it.value().cend(); ++field) {
                    if (before.value(it.key()).value(field.key()) == field.value()
                        || otherSide->value(it.key()).value(field.key()) != before.value(it.key()).value(field.key()))
                        continue;
                    EXPECT_EQ(after.value(it.key()).value(field.key()), field.value())
                        << "seed " << seed << ": item " << it.key() << " " << field.key().toStdString();
                }
            }
        }
    }
}

} // namespace
