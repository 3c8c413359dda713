// The commands for scripts as the running Brimble carries them out: what
// they print, what they store, and what they refuse.

#include "app/ScriptCommands.h"
#include "items/ItemsFixture.h"
#include "store/TextKeys.h"
#include "support/LocalHttpServer.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

namespace {

class ScriptCommandsTest : public ItemsFixture
{
protected:
    ScriptCommandsTest()
    {
        folderPath = folder.filePath(u"Projects"_qs);
        filePath = folder.filePath(u"report.pdf"_qs);
        QDir().mkpath(folderPath);
        QFile file(filePath);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    }

    ScriptCommands commands(ScriptCommands::GroupChooser chooser = {})
    {
        return ScriptCommands(services, desktop.services(), std::move(chooser));
    }
    // What a command answers when it answers at once.
    InstanceReply run(ScriptCommands &commands, const InstanceRequest &request)
    {
        std::optional<InstanceReply> reply;
        commands.run(request, [&reply](const InstanceReply &answer) { reply = answer; });
        EXPECT_TRUE(reply.has_value());
        return reply.value_or(InstanceReply());
    }
    static QStringList linesOf(const InstanceReply &reply, bool errors = false)
    {
        QStringList lines;
        for (const InstanceReply::Line &line : reply.lines) {
            if (line.isError == errors)
                lines.append(line.text);
        }
        return lines;
    }
    static InstanceRequest addRequest(const QStringList &targets, const QString &group = {})
    {
        InstanceRequest request{InstanceRequest::Kind::add};
        request.targets = targets;
        request.group = group;
        return request;
    }

    QString folderPath;
    QString filePath;
};

TEST_F(ScriptCommandsTest, ListsEveryGroupOrOneAsLinesOrAsJson)
{
    favorites.setItems(u"Work"_qs, {pinned(fileItem(u"Report\nfinal"_qs, 1, filePath)),
                                    bookmark(u"Docs"_qs, 2, u"docs.example.org"_qs)});
    favorites.setItems(u"Home"_qs,
                       {note(u"Shopping"_qs, 3, u"/notes/3.txt"_qs), colorItem(u"Moss"_qs, 4, u"47CE64"_qs)});
    ScriptCommands scripts = commands();

    const InstanceReply all = scripts.list({}, false);
    EXPECT_EQ(all.status, 0);
    EXPECT_EQ(linesOf(all), QStringList({u"Work"_qs, u"  Report final\t"_qs + filePath, u"  Docs\tdocs.example.org"_qs,
                                         u"Home"_qs, u"  Shopping\t/notes/3.txt"_qs, u"  Moss\t#47CE64"_qs}))
        << "one line each, whatever the title holds";
    EXPECT_EQ(linesOf(scripts.list(u"Home"_qs, false)),
              QStringList({u"Shopping\t/notes/3.txt"_qs, u"Moss\t#47CE64"_qs}));

    const InstanceReply json = scripts.list({}, true);
    ASSERT_EQ(json.lines.size(), 1);
    const QJsonArray items = QJsonDocument::fromJson(json.lines.constFirst().text.toUtf8()).array();
    ASSERT_EQ(items.size(), 4);
    EXPECT_EQ(items.at(0).toObject(), QJsonObject({{u"title"_qs, u"Report\nfinal"_qs},
                                                   {u"kind"_qs, u"file"_qs},
                                                   {u"target"_qs, filePath},
                                                   {u"group"_qs, u"Work"_qs},
                                                   {u"pinned"_qs, true},
                                                   {u"uid"_qs, 1}}));
    QStringList kinds;
    for (const QJsonValue &item : items)
        kinds.append(item[u"kind"_qs].toString());
    EXPECT_EQ(kinds, QStringList({u"file"_qs, u"bookmark"_qs, u"note"_qs, u"color"_qs}));
    const InstanceReply unknown = scripts.list(u"Nowhere"_qs, true);
    EXPECT_EQ(unknown.status, 1);
    EXPECT_EQ(linesOf(unknown, true), QStringList{LocalizedText(Text::noSuchGroup).arg(u"Nowhere"_qs)});
}

TEST_F(ScriptCommandsTest, OpensTheFirstItemThePopupsSearchShowsFirst)
{
    favorites.setItems(u"Work"_qs,
                       {bookmark(u"Plan"_qs, 1, u"reports.example.org"_qs), fileItem(u"Report"_qs, 2, filePath)});
    favorites.setItems(u"Home"_qs, {colorItem(u"Plum"_qs, 3, u"8E4585"_qs)});
    ScriptCommands scripts = commands();

    // The bookmark's address holds "report" too, and the popup lists it first.
    EXPECT_EQ(scripts.open(u"REPORT"_qs).status, 0);
    EXPECT_EQ(desktop.urls.opened, QList<QUrl>{QUrl(u"http://reports.example.org"_qs)});
    EXPECT_EQ(scripts.open(u"pdf"_qs).status, 0);
    EXPECT_EQ(desktop.urls.opened.value(1), QUrl::fromLocalFile(filePath));

    const InstanceReply colour = scripts.open(u"plum"_qs);
    EXPECT_EQ(colour.status, 0);
    EXPECT_EQ(desktop.clipboard.text(), u"#8E4585"_qs);
    EXPECT_EQ(linesOf(colour), QStringList{u"#8E4585"_qs});

    const struct
    {
        QString query;
        TextKey key;
        QString named;
    } failures[] = {
        {u"nothing like it"_qs, "IDS_BR_621", u"nothing like it"_qs},
        {QString(), "IDS_BR_621", QString()},
    };
    for (const auto &failure : failures) {
        const InstanceReply reply = scripts.open(failure.query);
        EXPECT_EQ(reply.status, 1);
        EXPECT_EQ(linesOf(reply, true), QStringList{LocalizedText(failure.key).arg(failure.named)});
    }
    desktop.urls.succeeds = false;
    EXPECT_EQ(linesOf(scripts.open(u"report"_qs), true), QStringList{LocalizedText(Text::openFailed).arg(u"Plan"_qs)});
}

TEST_F(ScriptCommandsTest, AddsFilesFoldersAndWebAddressesOrNothingAtAll)
{
    LocalHttpServer icons(200, "image/png", QByteArray());
    fetcher.setServiceOverride(icons.base());
    ScriptCommands scripts = commands();

    const InstanceReply added = run(scripts,
                                    addRequest({filePath, folderPath, u"HTTPS://www.example.org/page"_qs}, u"Work"_qs));
    EXPECT_EQ(added.status, 0);
    EXPECT_TRUE(added.lines.isEmpty());
    const QList<Item> items = favorites.items(u"Work"_qs);
    QStringList titles = titlesOf(items);
    titles.sort();
    EXPECT_EQ(titles, QStringList({u"Projects"_qs, u"report.pdf"_qs, u"www.example.org"_qs}));
    for (const Item &item : items) {
        EXPECT_TRUE(item.uid().has_value());
        if (item.kind() == ItemKind::bookmark) {
            EXPECT_EQ(item.target(), u"HTTPS://www.example.org/page"_qs);
            EXPECT_EQ(QFileInfo(item.iconPath()).absolutePath(), supportFiles.folder());
        }
    }
    // Its icon is fetched as usual.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !icons.requestTargets().isEmpty(); }, 10000));
    EXPECT_TRUE(bookmarks.entries().contains(filePath.toUtf8()));

    // One target that cannot be added refuses all of them, each said.
    const quint64 writes = preferences.changesMade();
    const struct
    {
        QString target;
        TextKey key;
    } refused[] = {
        {folder.filePath(u"gone.txt"_qs), "IDS_BR_617"},
        {u"ftp://files.example.org/a"_qs, "IDS_BR_619"},
        {u"http://"_qs, "IDS_BR_619"},
        {u"relative/path"_qs, "IDS_BR_617"},
    };
    QStringList targets{filePath};
    QStringList expected;
    for (const auto &refusal : refused) {
        targets.append(refusal.target);
        expected.append(LocalizedText(refusal.key).arg(refusal.target));
    }
    expected.append(LocalizedText(Text::nothingAdded));
    const InstanceReply refusedReply = run(scripts, addRequest(targets, u"Work"_qs));
    EXPECT_EQ(refusedReply.status, 1);
    EXPECT_EQ(linesOf(refusedReply, true), expected);
    EXPECT_EQ(preferences.changesMade(), writes) << "nothing stored";

    // A group is made only when the user chose a new one.
    const InstanceReply noGroup = run(scripts, addRequest({filePath}, u"Trips"_qs));
    EXPECT_EQ(linesOf(noGroup, true),
              QStringList({LocalizedText(Text::noSuchGroup).arg(u"Trips"_qs), LocalizedText(Text::nothingAdded)}));
    InstanceRequest newGroup = addRequest({filePath}, u"Trips"_qs);
    newGroup.createsGroup = true;
    EXPECT_EQ(run(scripts, newGroup).status, 0);
    EXPECT_EQ(favorites.groupTitles(), QStringList({u"Work"_qs, u"Home"_qs, u"Trips"_qs}));
    EXPECT_EQ(storedTitles(u"Trips"_qs), QStringList{u"report.pdf"_qs});
}

TEST_F(ScriptCommandsTest, WithoutAGroupTheUserChoosesOneOrANewOneOrNothing)
{
    QList<QStringList> asked;
    ScriptCommands::ChoiceHandler answer;
    ScriptCommands scripts = commands(
        [&](const QStringList &groups, const QStringList &targets, const ScriptCommands::ChoiceHandler &handler) {
            asked.append(groups);
            asked.append(targets);
            answer = handler;
        });
    std::optional<InstanceReply> reply;
    const auto ask = [&](const QStringList &targets) {
        reply.reset();
        answer = nullptr;
        scripts.run(addRequest(targets), [&reply](const InstanceReply &given) { reply = given; });
    };

    ask({filePath});
    ASSERT_TRUE(answer);
    EXPECT_FALSE(reply) << "the client waits for the user";
    EXPECT_EQ(asked, QList<QStringList>({{u"Work"_qs, u"Home"_qs}, {filePath}}));
    answer(ScriptCommands::GroupChoice{u"Home"_qs, false});
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->status, 0);
    EXPECT_EQ(storedTitles(u"Home"_qs), QStringList{u"report.pdf"_qs});

    ask({folderPath});
    answer(ScriptCommands::GroupChoice{u"Trips"_qs, true});
    EXPECT_EQ(storedTitles(u"Trips"_qs), QStringList{u"Projects"_qs});

    ask({folderPath});
    answer(std::nullopt);
    EXPECT_EQ(reply->status, 1);
    EXPECT_EQ(linesOf(*reply, true), QStringList{LocalizedText(Text::nothingAdded)});

    // What cannot be added is refused before anyone is asked.
    asked.clear();
    ask({folder.filePath(u"gone"_qs)});
    EXPECT_TRUE(asked.isEmpty());
    EXPECT_EQ(reply->status, 1);

    // Where nobody can be asked, the group must be named.
    ScriptCommands unattended = commands();
    reply = run(unattended, addRequest({filePath}));
    EXPECT_EQ(linesOf(*reply, true),
              QStringList({LocalizedText(Text::chooseGroupNeedsDesktop), LocalizedText(Text::nothingAdded)}));
}

} // namespace
