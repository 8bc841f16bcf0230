// The media library dialog on the offscreen platform, over a private HOME and
// working directory, with its file dialog and message box replaced: button
// states, Replace and Delete, OK, the tree's filling and the preview.
#include "ResourceStoreTestFiles.h"

#include "media/CResourceEditor.h"
#include "support/QtTestApp.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QMainWindow>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QTreeWidget>

#include <csignal>
#include <filesystem>

#include <sys/resource.h>
#include <unistd.h>

using namespace resourcetest;
using testsupport::readFile;
using testsupport::writeFile;

namespace {

class ResourceEditor : public testsupport::OffscreenAppSuite {
  public:
    Folders folders;
    std::string oldHome;
    std::string oldDir;
    std::vector<QString> boxes;
    std::vector<QString> captions;
    std::vector<QString> filters;
    QString nextFile;
    std::vector<std::pair<QString, unsigned long>> chosen;
    uint32_t bmpId = 0, gifId = 0, wavId = 0, curId = 0;

    void SetUp() override {
        oldHome = qEnvironmentVariable("HOME").toStdString();
        oldDir = std::filesystem::current_path().string();
        qputenv("HOME", QByteArray::fromStdString(folders.home()));
        std::filesystem::current_path(folders.home());
        writeFile(folders.icons(), defaultIconFile(53, true));
        ResourceUseTable::instance().clear();
        auto first = make();
        bmpId = first->store().importFile(path("photo.bmp", bmpBytes(40, 30, false)));
        gifId = first->store().importFile(path("anim.gif", "GIF89a-not-really"));
        wavId = first->store().importFile(path("clip.wav", "RIFF"));
        curId = first->store().importFile(path("arrow.cur", "cursor"));
        ASSERT_TRUE(bmpId && gifId && wavId && curId);
    }
    void TearDown() override {
        std::filesystem::current_path(oldDir);
        qputenv("HOME", QByteArray::fromStdString(oldHome));
        ResourceUseTable::instance().clear();
    }
    QString path(const std::string& name, const std::string& bytes) {
        writeFile(folders.file(name), bytes);
        return QString::fromStdString(folders.file(name));
    }
    std::unique_ptr<CResourceEditor> make(QWidget* parent = nullptr) {
        auto e = std::make_unique<CResourceEditor>(parent, "ResourceEditor", true);
        e->setMessageBox([this](QWidget*, const QString& caption, const QString& text) {
            captions.push_back(caption);
            boxes.push_back(text);
        });
        e->setFileChooser([this](QWidget*, const QString& filter) {
            filters.push_back(filter);
            return nextFile;
        });
        QObject::connect(e.get(), &CResourceEditor::OkButtonSignal,
                         [this](const QString& p, unsigned long id) { chosen.emplace_back(p, id); });
        return e;
    }
    std::unique_ptr<CResourceEditor> shown(int code) {
        auto e = make();
        e->prepareShowing(code);
        e->show();
        return e;
    }
    static QTreeWidgetItem* find(CResourceEditor& e, const QString& text) {
        const auto items = e.listView()->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        return items.isEmpty() ? nullptr : items.first();
    }
    // A press makes the item current, the release clicks it.
    static void click(CResourceEditor& e, const QString& text) {
        QTreeWidgetItem* item = find(e, text);
        ASSERT_NE(item, nullptr) << text.toStdString();
        e.listView()->setCurrentItem(item);
        emit e.listView()->itemClicked(item, 0);
    }
    static QPushButton* button(CResourceEditor& e, const char* name) {
        return e.findChild<QPushButton*>(name);
    }
    static std::string states(CResourceEditor& e) {
        std::string s;
        for (const char* name : {"ImportButton", "ReplaceButton", "DeleteButton", "OkButton"})
            s += button(e, name)->isEnabled() ? name[0] : '-';
        return s;
    }
    std::string storeBytes() const { return readFile(folders.store()); }
};

TEST_F(ResourceEditor, ButtonStatesByOpeningCodeAndClickedItem) {
    // I(mport) R(eplace) D(elete) O(k), '-' when disabled.
    struct Row {
        const char* name;
        int before; // an earlier showing's code, 0 for none
        int code;
        const char* click; // nullptr: right after the showing
        const char* expected;
    };
    const Row rows[] = {
        {"images, just shown", 0, 90, nullptr, "I---"},
        {"images, a sound", 0, 90, "clip.wav", "-RD-"},
        {"images, an image", 0, 90, "photo.bmp", "-RDO"},
        {"images, the Images category", 0, 90, "Images", "I---"},
        {"images, the root", 0, 90, "Resources", "----"},
        {"images, a default icon", 0, 90, "Default Icon 3", "----"},
        {"audio, a sound", 0, 91, "clip.wav", "-RDO"},
        {"cursor, a cursor", 0, 94, "arrow.cur", "-RDO"},
        {"default icons, just shown", 0, 95, nullptr, "I---"},
        {"default icons, the category", 0, 95, "Default Icons", "----"},
        {"default icons, an icon", 0, 95, "Default Icon 3", "---O"},
        {"first showing outside 90-95, just shown", 0, 42, nullptr, "I---"},
        {"first showing outside 90-95, an image", 0, 42, "photo.bmp", "-RD-"},
        {"outside 90-95 after audio keeps audio", 91, 42, "clip.wav", "-RDO"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        auto e = make();
        if (row.before)
            e->prepareShowing(row.before);
        e->prepareShowing(row.code);
        e->show();
        if (row.click)
            click(*e, row.click);
        EXPECT_EQ(states(*e), row.expected);
        EXPECT_TRUE(e->findChild<QCheckBox*>("Preview Option")->isChecked());
    }
    EXPECT_TRUE(boxes.empty());
}

TEST_F(ResourceEditor, TreeListsTheStoreInStoreOrderAndSkipsUncategorisedNodes) {
    auto first = make();
    ResourceChildNode movie;
    movie.resourceId = 0x02020001;
    movie.fullPath = "/films/movie.mpeg";
    movie.fileName = "movie.mpeg";
    movie.flags = ResourceChildNode::FLAG_RAW;
    movie.storedSize = movie.fileSize = 4;
    const uint8_t bytes[] = {1, 2, 3, 4};
    ASSERT_TRUE(first->store().AddNewItem(movie, bytes));
    first->store().importFile(path("zebra.gif", "GIF"));
    first->store().importFile(path("apple.jpg", "JPG"));

    auto e = shown(90);
    EXPECT_TRUE(e->isVisible());
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(find(*e, "movie.mpeg"), nullptr);
    QTreeWidgetItem* images = e->categoryItem(ResourceStore::IMAGES);
    QStringList names;
    for (int i = 0; i < images->childCount(); ++i)
        names << images->child(i)->text(0);
    EXPECT_EQ(names, QStringList({"photo.bmp", "anim.gif", "zebra.gif", "apple.jpg"}));
    EXPECT_EQ(e->categoryItem(ResourceStore::DEFAULT_ICONS)->childCount(), 53);
    EXPECT_EQ(e->categoryItem(ResourceStore::VIDEO)->childCount(), 0);
    EXPECT_TRUE(images->isExpanded());
    EXPECT_EQ(e->listView()->currentItem(), images);
    // The skipped node is still there for lookups.
    EXPECT_EQ(e->GetTheFileNameFromID(0x02020001), "/films/movie.mpeg");
    EXPECT_EQ(e->windowTitle(), "Resource Editor");
    EXPECT_EQ(e->size(), QSize(405, 405));
}

TEST_F(ResourceEditor, ReplaceOrDeleteOfAResourceInUseIsRefusedAndCloses) {
    struct Row {
        const char* button;
        const char* message;
    };
    for (const Row row : {Row{"ReplaceButton", " Resource is already in use replace  failed"},
                          Row{"DeleteButton", " Resource is already in use deletion failed"}}) {
        SCOPED_TRACE(row.button);
        boxes.clear();
        ResourceUseTable::instance().addCopyUse(bmpId);
        const std::string before = storeBytes();
        auto e = shown(90);
        click(*e, "photo.bmp");
        nextFile = path("other.gif", "GIF");
        button(*e, row.button)->click();
        EXPECT_EQ(boxes, std::vector<QString>{row.message});
        EXPECT_EQ(captions.back(), "ResourceEditor");
        EXPECT_FALSE(e->isVisible());
        EXPECT_EQ(e->result(), QDialog::Rejected);
        EXPECT_EQ(storeBytes(), before);
        EXPECT_TRUE(filters.empty());
        ResourceUseTable::instance().clear();
    }
}

// Appends beyond a lowered file-size limit fail part way.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t limit) {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = m_old;
        lowered.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

  private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

TEST_F(ResourceEditor, FailedReplaceKeepsTheOldResource) {
    struct Row {
        const char* name;
        std::function<QString()> file;
        bool shortWrite;
        std::vector<QString> messages;
        bool stillOpen;
    };
    const Row rows[] = {
        {"file dialog cancelled", [] { return QString(); }, false, {}, true},
        {"unsupported type",
         [&] { return path("shot.png", "png"); },
         false,
         {"File type not supported"},
         false},
        {"file gone",
         [&] { return QString::fromStdString(folders.file("gone.gif")); },
         false,
         {"Unable to Open RSE File"},
         false},
        {"short write",
         [&] { return path("large.gif", std::string(20000, 'g')); },
         true,
         {"Error on writing file "},
         false},
        {"same name in the category", [&] { return path("anim.gif", "GIF-new"); }, false, {}, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        boxes.clear();
        const std::string before = storeBytes();
        auto e = shown(90);
        click(*e, "anim.gif");
        nextFile = row.file();
        {
            std::unique_ptr<FileSizeLimit> limit;
            if (row.shortWrite)
                limit = std::make_unique<FileSizeLimit>(before.size() + 1000);
            button(*e, "ReplaceButton")->click();
        }
        EXPECT_EQ(boxes, row.messages);
        EXPECT_EQ(storeBytes(), before);
        EXPECT_TRUE(e->store().FindTheChildNodeFromID(gifId));
        EXPECT_NE(find(*e, "anim.gif"), nullptr);
        EXPECT_EQ(e->isVisible(), row.stillOpen);
        if (row.stillOpen) {
            EXPECT_EQ(e->listView()->currentItem(), find(*e, "anim.gif"));
        }
    }
}

TEST_F(ResourceEditor, ReplaceStoresTheNewResourceBeforeTheOldGoes) {
    auto e = shown(90);
    click(*e, "anim.gif");
    nextFile = path("fresh.gif", "GIF-fresh");
    button(*e, "ReplaceButton")->click();
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(find(*e, "anim.gif"), nullptr);
    ASSERT_NE(find(*e, "fresh.gif"), nullptr);
    EXPECT_FALSE(e->store().FindTheChildNodeFromID(gifId));
    EXPECT_EQ(e->store().FindResourceIDOfItem("fresh.gif"), gifId + 1);
    ASSERT_EQ(filters.size(), 1u);
    EXPECT_EQ(filters[0],
              "JPEG Files (*.jpg);;GIF Files (*.gif);;BMP Files (*.bmp);;All Files (*.bmp *.jpg *.gif)");
}

TEST_F(ResourceEditor, DeleteOfACategorysLastResource) {
    auto e = shown(94);
    click(*e, "arrow.cur");
    button(*e, "DeleteButton")->click();
    QTreeWidgetItem* cursor = e->categoryItem(ResourceStore::CURSOR);
    EXPECT_EQ(cursor->childCount(), 0);
    EXPECT_EQ(cursor->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicatorWhenChildless);
    EXPECT_FALSE(cursor->isExpanded());
    EXPECT_EQ(e->listView()->currentItem(), cursor);
    EXPECT_TRUE(cursor->isSelected());
    EXPECT_EQ(states(*e), "----");
    EXPECT_FALSE(e->store().FindTheChildNodeFromID(curId));
    EXPECT_TRUE(e->isVisible());
    EXPECT_TRUE(boxes.empty());
    // The next showing lists no cursor either.
    e->prepareShowing(94);
    EXPECT_EQ(e->categoryItem(ResourceStore::CURSOR)->childCount(), 0);
}

TEST_F(ResourceEditor, OkEmitsPathAndIdentifierAndCountsEveryChoice) {
    auto e = shown(90);
    click(*e, "photo.bmp");
    button(*e, "OkButton")->click();
    ASSERT_EQ(chosen.size(), 1u);
    EXPECT_EQ(chosen[0].first, QString::fromStdString(folders.file("photo.bmp")));
    EXPECT_EQ(chosen[0].second, bmpId);
    EXPECT_EQ(e->result(), QDialog::Accepted);
    EXPECT_FALSE(e->isVisible());
    EXPECT_EQ(ResourceUseTable::instance().countOf(bmpId), 1);

    // The same instance choosing it again counts again.
    e->prepareShowing(90);
    e->show();
    click(*e, "photo.bmp");
    button(*e, "OkButton")->click();
    EXPECT_EQ(ResourceUseTable::instance().countOf(bmpId), 2);

    // A default icon's path is its name.
    e->prepareShowing(95);
    e->show();
    click(*e, "Default Icon 7");
    button(*e, "OkButton")->click();
    ASSERT_EQ(chosen.size(), 3u);
    EXPECT_EQ(chosen[2], std::make_pair(QString("Default Icon 7"), 0x06010007ul));

    // Nothing selected: closes without a choice.
    e->prepareShowing(90);
    e->show();
    e->listView()->clearSelection();
    button(*e, "OkButton")->click();
    EXPECT_EQ(chosen.size(), 3u);
    EXPECT_EQ(e->result(), QDialog::Accepted);
}

TEST_F(ResourceEditor, ShowResourceEditorReturnsWithTheChoiceDelivered) {
    auto e = make();
    QTimer::singleShot(0, e.get(), [&] {
        click(*e, "clip.wav");
        button(*e, "OkButton")->click();
    });
    e->ShowResourceEditor(91);
    ASSERT_EQ(chosen.size(), 1u);
    EXPECT_EQ(chosen[0].second, wavId);
    EXPECT_TRUE(e->isModal());
}

TEST_F(ResourceEditor, MovedBmpGivesMessageFourOnceNeverOnRepaint) {
    std::filesystem::remove(folders.file("photo.bmp"));
    auto e = shown(90);
    click(*e, "photo.bmp");
    EXPECT_EQ(boxes, std::vector<QString>{"Image File Corrupted"});
    EXPECT_FALSE(e->isVisible());
    e->prepareShowing(90);
    e->show();
    e->repaint();
    e->grab();
    e->findChild<QWidget*>("PreviewWidget")->repaint();
    EXPECT_EQ(boxes.size(), 1u);
    // Default icons preview from the default-icon file.
    click(*e, "Default Icon 1");
    EXPECT_EQ(boxes.size(), 1u);
}

TEST_F(ResourceEditor, PreviewFollowsSelectionAndTheCheckBox) {
    auto e = shown(90);
    click(*e, "photo.bmp");
    EXPECT_EQ(e->previewImage().size(), QSize(40, 30));
    QCheckBox* box = e->findChild<QCheckBox*>("Preview Option");
    box->click();
    EXPECT_TRUE(e->previewImage().isNull());
    box->click();
    EXPECT_EQ(e->previewImage().size(), QSize(40, 30));
    click(*e, "Default Icon 2");
    EXPECT_EQ(e->previewImage().size(), QSize(8, 6));
    click(*e, "clip.wav"); // sounds have no preview: the area stays
    EXPECT_EQ(e->previewImage().size(), QSize(8, 6));
    click(*e, "Images");
    EXPECT_TRUE(e->previewImage().isNull());
    EXPECT_TRUE(boxes.empty());
}

TEST_F(ResourceEditor, ImportAddsTheItemOnlyAfterAGoodWrite) {
    struct Row {
        const char* name;
        const char* category;
        std::string file;
        std::string bytes;
        std::vector<QString> messages;
        bool added;
    };
    const Row rows[] = {
        {"new image", "Images", "new.gif", "GIF", {}, true},
        {"duplicate name", "Images", "anim.gif", "GIF-again", {}, false},
        {"mpeg", "Video", "movie.mpeg", "MPEG", {"File type not supported"}, false},
        {"name too long", "Images", std::string(40, 'n') + ".gif", "GIF", {"File name too long"}, false},
        {"default icon xpm", "Default Icons", "mine.xpm", "/* XPM */", {}, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        boxes.clear();
        const bool defaultIcons = row.category == std::string("Default Icons");
        auto e = shown(defaultIcons ? 95 : 90);
        if (!defaultIcons) // opened at Default Icons, Import is on until the category is clicked
            click(*e, row.category);
        const std::string before = storeBytes();
        const int children = find(*e, row.category)->childCount();
        nextFile = path(row.file, row.bytes);
        button(*e, "ImportButton")->click();
        EXPECT_EQ(boxes, row.messages);
        EXPECT_EQ(find(*e, row.category)->childCount(), children + (row.added ? 1 : 0));
        EXPECT_EQ(storeBytes() != before, row.added);
        EXPECT_EQ(filters.back(), CResourceEditor::importFilter(row.category));
    }
}

TEST_F(ResourceEditor, FirstStoreWithoutDefaultIconFileSaysSoInTheStatusBar) {
    std::filesystem::remove(folders.store());
    std::filesystem::remove(folders.icons());
    QMainWindow window;
    CResourceEditor e(&window, "ResourceEditor", true);
    EXPECT_TRUE(window.statusBar()->currentMessage().contains("RESOURCES.RSE"));
    EXPECT_TRUE(e.store().nodes().empty());
    EXPECT_TRUE(boxes.empty());
    CResourceEditor second(&window, "ResourceEditor", true);
    window.statusBar()->clearMessage();
    CResourceEditor third(&window, "ResourceEditor", true);
    EXPECT_TRUE(window.statusBar()->currentMessage().isEmpty());
}

TEST_F(ResourceEditor, LookupFailuresShowTheBoxAndCloseTheDialog) {
    auto e = shown(90);
    EXPECT_EQ(e->GetTheFileNameFromID(0x01010063), QString());
    EXPECT_EQ(boxes, std::vector<QString>{"Image File Corrupted"});
    EXPECT_EQ(captions, std::vector<QString>{"ResourceEditor"});
    EXPECT_FALSE(e->isVisible());
    char* p = reinterpret_cast<char*>(1);
    e->SlotGetFileName(0, p);
    EXPECT_EQ(p, nullptr);
    e->SlotGetFileName(wavId, p);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(std::string(p), folders.file("clip.wav"));
    delete[] p;
}

TEST(ResourceEditorFilters, PatternsAreSeparatedByBlanks) {
    for (const char* category : {"Images", "Audio", "Video", "Cursor", "Icons", "Default Icons"}) {
        const QString filter = CResourceEditor::importFilter(category);
        EXPECT_FALSE(filter.isEmpty()) << category;
        EXPECT_FALSE(filter.contains(',')) << category;
    }
    EXPECT_EQ(CResourceEditor::importFilter("Audio"),
              "Audio Files (*.wav);;MP3 Files (*.mp3);;All Files (*.wav *.mp3)");
    EXPECT_EQ(CResourceEditor::importFilter("Video"), "\tMovie Files (*.avi)");
    EXPECT_EQ(CResourceEditor::importFilter("Resources"), QString());
}

// The "All Files" filter of Images in Qt's own file dialog: its patterns are
// taken one by one, whatever the case of the extension.
TEST_F(ResourceEditor, AllFilesFilterListsEveryImageWhateverItsCase) {
    const std::string dir = folders.file("choose");
    std::filesystem::create_directories(dir);
    for (const char* name : {"PHOTO.JPG", "a.jpg", "C.Gif", "d.bmp", "notes.txt", "song.wav"})
        writeFile(dir + "/" + name, "x");
    const QString filter = CResourceEditor::importFilter("Images");
    QFileDialog dialog(nullptr, QString(), QString::fromStdString(dir), filter);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.selectNameFilter(filter.split(";;").last());
    auto* model = dialog.findChild<QFileSystemModel*>();
    ASSERT_NE(model, nullptr);
    const QModelIndex root = model->index(QString::fromStdString(dir));
    // The model lists the folder in a thread of its own; the rows arrive
    // through the event loop.
    QEventLoop loop;
    QObject::connect(model, &QFileSystemModel::directoryLoaded, &loop, &QEventLoop::quit);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    QStringList shown;
    for (int i = 0; i < model->rowCount(root); ++i) {
        const QModelIndex index = model->index(i, 0, root);
        if (model->flags(index) & Qt::ItemIsEnabled)
            shown << model->fileName(index);
    }
    shown.sort();
    EXPECT_EQ(shown, QStringList({"C.Gif", "PHOTO.JPG", "a.jpg", "d.bmp"}));
}

} // namespace
