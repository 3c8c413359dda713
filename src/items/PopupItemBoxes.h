#pragma once

#include "items/ItemAdder.h"
#include "items/ItemServices.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>

class BookmarkBox;
class CharacterPalette;
class ColorBox;
class NoteBox;
class PreferencesStore;
class QMimeData;
class QWidget;
class QuickListPage;

// The popup's add-item menu made real: the file dialog and the three inline
// boxes, adding to the group whose menu was opened. Installs itself as the
// list page's four add handlers; lives as long as the page.
class PopupItemBoxes final : public QObject
{
    Q_OBJECT

public:
    // Runs the dialog that picks one file or folder; nothing when cancelled.
    using FileChooser = std::function<std::optional<QString>(QWidget *parent)>;

    PopupItemBoxes(QuickListPage &page, const ItemServices &services, PreferencesStore &preferences);
    ~PopupItemBoxes() override;

    // Replaces the file dialog; for tests.
    void setFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }
    CharacterPalette &characterPalette() const { return *m_palette; }

    void AddFileFolders();
    void AddWebBookmark();
    void AddTextSnnipet();
    void AddColorSwitch();

    // Files and web addresses dropped on the popup's rows, added to the
    // group they were dropped on: files as the manager adds dropped files,
    // web addresses as bookmarks named for their site.
    static bool carriesDroppable(const QMimeData &data);
    bool addDropped(const QString &groupTitle, const QMimeData &data);

private:
    // Creates the box on first use, readies it for the current group and
    // lays it over the popup.
    template<typename Box>
    void openBox(QPointer<Box> &box);

    QuickListPage &m_page;
    ItemServices m_services;
    ItemAdder m_adder;
    FileChooser m_chooseFile;
    std::unique_ptr<CharacterPalette> m_palette;
    QPointer<BookmarkBox> m_bookmarkBox;
    QPointer<NoteBox> m_noteBox;
    QPointer<ColorBox> m_colorBox;
};
