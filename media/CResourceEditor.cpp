#include "media/CResourceEditor.h"

#include "media/ResourceEditorImages.h"
#include "media/ResourceIds.h"
#include "store/Diagnostics.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMainWindow>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTreeWidget>

#include <cstdlib>
#include <cstring>

// The preview area: paints the image it keeps, scaled to its size; loading
// happens on selection, never here.
class ResourcePreviewArea : public QWidget {
  public:
    using QWidget::QWidget;
    void setImage(const QImage& image) {
        m_image = image;
        update();
    }
    const QImage& image() const { return m_image; }

  protected:
    void paintEvent(QPaintEvent*) override {
        if (m_image.isNull())
            return;
        QPainter p(this);
        p.drawImage(QRect(-1, 0, width(), height()), m_image);
    }

  private:
    QImage m_image;
};

namespace {

const char* const kCategoryTexts[] = {"", "Images", "Audio", "Video", "Icons", "Cursor", "Default Icons"};

const char* const* categoryPicture(ResourceStore::Category c) {
    switch (c) {
    case ResourceStore::IMAGES:
        return image1_xpm;
    case ResourceStore::AUDIO:
        return audio_xpm;
    case ResourceStore::VIDEO:
        return video_xpm;
    case ResourceStore::ICONS:
        return icon_xpm;
    case ResourceStore::CURSOR:
        return cursor_xpm;
    case ResourceStore::DEFAULT_ICONS:
        return icon1_xpm;
    default:
        return nullptr;
    }
}

// The picture of a resource item: by its extension, else by its category.
const char* const* resourcePicture(const QString& name, ResourceStore::Category c) {
    const QString e = ResourceIds::extensionOf(name);
    if (e == "JPG")
        return jpeg_xpm;
    if (e == "BMP")
        return picture_xpm;
    if (e == "GIF" || e == "ICO")
        return gif_xpm;
    if (e == "WAV")
        return wav_xpm;
    if (e == "MP3")
        return mp3_xpm;
    if (e == "CUR")
        return cursors_xpm;
    if (e == "XPM")
        return icon2_xpm;
    if (e == "AVI")
        return mpeg_xpm;
    switch (c) {
    case ResourceStore::IMAGES:
        return picture_xpm;
    case ResourceStore::AUDIO:
        return wav_xpm;
    case ResourceStore::VIDEO:
        return video1_xpm;
    case ResourceStore::ICONS:
        return ic_xpm;
    case ResourceStore::CURSOR:
        return cursor1_xpm;
    case ResourceStore::DEFAULT_ICONS:
        return icon2_xpm;
    default:
        return nullptr;
    }
}

QString chooseFileWithDialog(QWidget* parent, const QString& filter) {
    // Qt's own dialog: its name filters ignore case, so "*.jpg" also lists
    // PHOTO.JPG, as the store's extensions do.
    QFileDialog dialog(parent, QString(), QString(), filter);
    dialog.setObjectName("Import");
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

void criticalBox(QWidget* parent, const QString& caption, const QString& text) {
    QMessageBox::critical(parent, caption, text);
}

class WaitCursor {
  public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
};

} // namespace

CResourceEditor::CResourceEditor(QWidget* parent, const char* name, bool)
    : QDialog(parent), m_uses(ResourceUseTable::instance()), m_chooseFile(chooseFileWithDialog),
      m_messageBox(criticalBox) {
    setObjectName(QString::fromLatin1(name ? name : ""));
    setModal(true);
    setWindowTitle("Resource Editor");
    setFixedSize(405, 405);
    buildWidgets();

    const QString dataDir = qEnvironmentVariable("HOME") + "/zedaro";
    if (qEnvironmentVariableIsSet("HOME"))
        QDir().mkpath(dataDir);
    // A store made at construction reports on standard error and in the main
    // window's status bar: no box before anything is shown.
    bool constructing = true;
    m_store = std::make_unique<ResourceStore>(
        ResourceStore::encodePath(dataDir + "/VELMORA.RSE"), std::string("RESOURCES.RSE"),
        [&constructing](int k) {
            if (constructing)
                diag::print("ResourceEditor: %s\n", qPrintable(ResourceStore::messageText(k)));
        },
        [parent](const QString& text) {
            if (auto* window = qobject_cast<QMainWindow*>(parent ? parent->window() : nullptr))
                window->statusBar()->showMessage(text);
        },
        m_uses);
    constructing = false;
    m_store->setMessageHandler([this](int k) { ProcessError(k); });
    buildTree();
}

CResourceEditor::~CResourceEditor() = default;

void CResourceEditor::buildWidgets() {
    m_tree = new QTreeWidget(this);
    m_tree->setObjectName("CListView");
    m_tree->setGeometry(10, 0, 220, 400);
    m_tree->setColumnCount(1);
    m_tree->setHeaderLabels({"Resources"});
    m_tree->setIndentation(20);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->setRootIsDecorated(true);
    m_tree->setSortingEnabled(false); // siblings stay in store order
    m_tree->header()->setSectionsClickable(false);
    m_tree->header()->setSectionResizeMode(QHeaderView::Fixed);
    m_tree->header()->setSectionsMovable(false);

    auto* first = new QGroupBox(this);
    first->setObjectName("FirstGroupBox");
    first->setGeometry(240, 10, 150, 130);
    auto button = [](QWidget* box, const char* text, const char* name, int y) {
        auto* b = new QPushButton(text, box);
        b->setObjectName(name);
        b->setGeometry(10, y, 130, 30);
        b->setAutoDefault(false);
        return b;
    };
    m_import = button(first, "&Import", "ImportButton", 10);
    m_import->setEnabled(false);
    m_import->setFocusPolicy(Qt::NoFocus);
    m_replace = button(first, "&Replace", "ReplaceButton", 50);
    m_delete = button(first, "&Delete", "DeleteButton", 90);

    auto* second = new QGroupBox(this);
    second->setObjectName("SecondGroupBox");
    second->setGeometry(240, 150, 150, 100);
    m_ok = button(second, "&Ok", "OkButton", 10);
    m_cancel = button(second, "&Cancel", "CancelButton", 60);

    auto* third = new QGroupBox(this);
    third->setObjectName("ThirdGroupBox");
    third->setGeometry(240, 260, 150, 110);
    m_preview = new ResourcePreviewArea(third);
    m_preview->setObjectName("PreviewWidget");
    m_preview->setGeometry(10, 10, 130, 90);

    m_showPreview = new QCheckBox("Show Preview", this);
    m_showPreview->setObjectName("Preview Option");
    m_showPreview->setGeometry(240, 374, 150, 24);
    m_showPreview->setChecked(true);

    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_import, &QPushButton::clicked, this, &CResourceEditor::SlotImportButtonClicked);
    connect(m_replace, &QPushButton::clicked, this, &CResourceEditor::SlotReplaceButtonClicked);
    connect(m_ok, &QPushButton::clicked, this, &CResourceEditor::SlotOkButtonClicked);
    connect(m_delete, &QPushButton::clicked, this, &CResourceEditor::SlotDeleteButtonClicked);
    // A press on another item changes the current item and then clicks it:
    // handled once, so a preview (and its message) comes once per choice.
    connect(m_tree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem*) {
                m_justChanged = current;
                SlotSelectionChanged(current);
            });
    connect(m_tree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item, int) {
        if (item == m_justChanged) {
            m_justChanged = nullptr;
            return;
        }
        SlotListViewItemClicked(item);
    });
    connect(m_showPreview, &QCheckBox::clicked, this, &CResourceEditor::SlotItemChecked);
}

void CResourceEditor::buildTree() {
    const QSignalBlocker block(m_tree);
    m_justChanged = nullptr;
    m_tree->clear();
    m_root = new QTreeWidgetItem(m_tree, {"Resources"});
    m_root->setIcon(0, QPixmap(res_xpm));
    m_root->setExpanded(true);
    for (int c = ResourceStore::IMAGES; c <= ResourceStore::DEFAULT_ICONS; ++c) {
        auto* item = new QTreeWidgetItem(m_root, {kCategoryTexts[c]});
        item->setIcon(0, QPixmap(categoryPicture(ResourceStore::Category(c))));
        item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
        m_categories[c] = item;
    }
}

QTreeWidgetItem* CResourceEditor::categoryItem(ResourceStore::Category category) const {
    return category > ResourceStore::NO_CATEGORY && category <= ResourceStore::DEFAULT_ICONS
               ? m_categories[category]
               : nullptr;
}

bool CResourceEditor::isCategory(const QTreeWidgetItem* item) const {
    if (!item)
        return false;
    for (int c = ResourceStore::IMAGES; c <= ResourceStore::DEFAULT_ICONS; ++c)
        if (m_categories[c] == item)
            return true;
    return false;
}

QTreeWidgetItem* CResourceEditor::addResourceItem(QTreeWidgetItem* category, const QString& name,
                                                  bool defaultIcon) {
    auto* item = new QTreeWidgetItem(category, {name});
    ResourceStore::Category c = ResourceStore::NO_CATEGORY;
    for (int i = ResourceStore::IMAGES; i <= ResourceStore::DEFAULT_ICONS; ++i)
        if (m_categories[i] == category)
            c = ResourceStore::Category(i);
    const char* const* picture = defaultIcon ? def_ico_xpm : resourcePicture(name, c);
    if (picture)
        item->setIcon(0, QPixmap(picture));
    category->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    return item;
}

void CResourceEditor::BuildPreviousItems() {
    const QSignalBlocker block(m_tree);
    for (const ResourceChildNode& node : m_store->nodes()) {
        const ResourceStore::Category c = ResourceStore::categoryOf(node);
        if (c == ResourceStore::NO_CATEGORY) {
            // Not listed, but kept: lookups by identifier still find it.
            diag::print("ResourceEditor: %s (%#x) belongs to no category and is not listed\n",
                        node.fullPath.c_str(), node.resourceId);
            continue;
        }
        addResourceItem(m_categories[c], ResourceStore::decodePath(node.fileName),
                        c == ResourceStore::DEFAULT_ICONS);
    }
}

QTreeWidgetItem* CResourceEditor::categoryOfCode(int code) const {
    if (code < 90 || code > 95)
        return nullptr;
    return m_categories[ResourceStore::IMAGES + (code - 90)];
}

void CResourceEditor::prepareShowing(int code) {
    buildTree();
    BuildPreviousItems();
    m_showPreview->setChecked(true);
    clearPreview();
    m_replaceInProgress = m_replaceImported = false;

    if (categoryOfCode(code))
        m_openedAt = ResourceStore::Category(ResourceStore::IMAGES + (code - 90));
    if (QTreeWidgetItem* opened = categoryItem(m_openedAt)) {
        if (opened->childCount() > 0) {
            opened->setExpanded(true);
            opened->setSelected(true);
        }
        m_tree->setCurrentItem(opened);
        m_justChanged = nullptr; // no click follows
    }
    m_import->setEnabled(true);
    m_cancel->setEnabled(true);
    m_replace->setEnabled(false);
    m_delete->setEnabled(false);
    m_ok->setEnabled(false);
    m_import->setAutoDefault(false);
    m_import->clearFocus();
}

void CResourceEditor::ShowResourceEditor(int code) {
    prepareShowing(code);
    exec();
}

void CResourceEditor::ProcessError(int k) {
    const QString text = ResourceStore::messageText(k);
    diag::print("ResourceEditor: %s\n", qPrintable(text));
    m_messageBox(this, "ResourceEditor", text);
    reject();
}

QString CResourceEditor::importFilter(const QString& category) {
    if (category == "Images")
        return "JPEG Files (*.jpg);;GIF Files (*.gif);;BMP Files (*.bmp);;All Files (*.bmp *.jpg *.gif)";
    if (category == "Audio")
        return "Audio Files (*.wav);;MP3 Files (*.mp3);;All Files (*.wav *.mp3)";
    if (category == "Video")
        return "\tMovie Files (*.avi)";
    if (category == "Cursor")
        return "Cursor Files (*.cur)";
    if (category == "Icons")
        return "Icon Files (*.ico)";
    if (category == "Default Icons")
        return "Icon Files (*.xpm)";
    return QString();
}

QImage CResourceEditor::previewImage() const {
    return m_preview->image();
}

void CResourceEditor::clearPreview() {
    m_preview->setImage(QImage());
}

void CResourceEditor::setPreview(const QImage& image) {
    m_preview->setImage(image);
}

void CResourceEditor::SlotSelectionChanged(QTreeWidgetItem* item) {
    SlotListViewItemClicked(item);
}

void CResourceEditor::SlotListViewItemClicked(QTreeWidgetItem* item) {
    QTreeWidgetItem* current = m_tree->currentItem();
    SlotButtonEnable(isCategory(current));
    if (item)
        SlotDisplayItem(item);
    QTreeWidgetItem* opened = categoryItem(m_openedAt);
    SlotOKButtonEnable(current && opened && current->parent() == opened);
    if (!item || item == m_root) {
        m_replace->setEnabled(false);
        m_delete->setEnabled(false);
        if (item)
            clearPreview();
    }
}

void CResourceEditor::SlotButtonEnable(bool enable) {
    QTreeWidgetItem* current = m_tree->currentItem();
    m_import->setEnabled(enable);
    m_replace->setEnabled(!enable);
    m_delete->setEnabled(!enable);
    m_ok->setEnabled(!enable);
    if (current && current == m_categories[ResourceStore::DEFAULT_ICONS])
        m_import->setEnabled(false);
    if (current && current->parent() && current->parent() == m_categories[ResourceStore::DEFAULT_ICONS]) {
        m_replace->setEnabled(false);
        m_delete->setEnabled(false);
    }
}

void CResourceEditor::SlotOKButtonEnable(bool enable) {
    m_ok->setEnabled(enable);
}

void CResourceEditor::SlotDisplayItem(QTreeWidgetItem* item) {
    if (!item)
        return;
    if (!m_showPreview->isChecked()) {
        clearPreview();
        return;
    }
    QTreeWidgetItem* parent = item->parent();
    if (parent &&
        (parent == m_categories[ResourceStore::DEFAULT_ICONS] ||
         parent == m_categories[ResourceStore::IMAGES] || parent == m_categories[ResourceStore::ICONS])) {
        std::optional<ResourceChildNode> node;
        QImage image;
        bool failed = false;
        {
            const WaitCursor wait;
            node = m_store->FindChildNode(item->text(0));
            if (!node)
                return;
            const QString path = ResourceStore::decodePath(node->fullPath);
            const QString e = ResourceIds::extensionOf(path);
            if (node->isDefaultIcon()) {
                const auto bytes = m_store->defaultIconPreview(ResourceStore::decodePath(node->fileName));
                image = QImage::fromData(bytes.data(), int(bytes.size()));
            } else if (e == "JPG" || e == "GIF") {
                std::vector<uint8_t> bytes(node->storedSize);
                const uint32_t n = m_store->Read(*node, bytes.data(), bytes.size());
                image = QImage::fromData(bytes.data(), int(n));
            } else if (e == "BMP" || e == "XPM") {
                image = QImage(path);
                failed = image.isNull();
            } else if (e != "ICO") {
                failed = true;
            }
        }
        setPreview(image);
        if (failed)
            ProcessError(ResourceStore::MSG_IMAGE_CORRUPTED);
        return;
    }
    if (isCategory(item) && item != m_categories[ResourceStore::CURSOR])
        clearPreview();
}

void CResourceEditor::SlotItemChecked() {
    QTreeWidgetItem* current = m_tree->currentItem();
    if (m_showPreview->isChecked() && current)
        SlotDisplayItem(current);
    else
        clearPreview();
}

bool CResourceEditor::importInto(QTreeWidgetItem* category) {
    if (!isCategory(category))
        return false;
    const QString path = m_chooseFile(this, importFilter(category->text(0)));
    if (path.isEmpty())
        return false;
    m_chosenPath = path;
    const QString name = QFileInfo(path).fileName();
    for (int i = 0; i < category->childCount(); ++i)
        if (category->child(i)->text(0) == name)
            return false; // a duplicate name is refused silently
    if (m_store->importFile(path) == 0)
        return false;
    if (m_replaceInProgress)
        m_replaceImported = true;
    addResourceItem(category, name, category == m_categories[ResourceStore::DEFAULT_ICONS]);
    category->setExpanded(true);
    return true;
}

void CResourceEditor::SlotImportButtonClicked() {
    importInto(m_tree->currentItem());
}

void CResourceEditor::SlotReplaceButtonClicked() {
    QTreeWidgetItem* item = m_tree->currentItem();
    if (!item || !isCategory(item->parent()))
        return;
    const auto node = m_store->FindChildNode(item->text(0));
    if (!node) {
        ProcessError(ResourceStore::MSG_MEMORY_ERROR);
        return;
    }
    int index = 0;
    if (m_uses.IsResourceInUse(node->resourceId, index)) {
        ProcessError(ResourceStore::MSG_IN_USE_REPLACE);
        return;
    }
    m_replaceInProgress = true;
    const uint32_t oldId = node->resourceId;
    clearPreview();
    QTreeWidgetItem* category = item->parent();
    m_tree->setCurrentItem(category);
    importInto(category);
    // The old resource goes only once the new one is stored.
    if (m_replaceImported && m_store->DeleteItemFromListView(oldId)) {
        if (m_justChanged == item)
            m_justChanged = nullptr;
        delete item;
    } else if (!m_replaceImported && isVisible()) {
        // Reselected only while the dialog is open: a message has closed it.
        m_tree->setCurrentItem(item);
    }
    m_replaceInProgress = m_replaceImported = false;
}

void CResourceEditor::SlotDeleteButtonClicked() {
    QTreeWidgetItem* item = m_tree->currentItem();
    if (!item || !isCategory(item->parent()))
        return;
    if (const auto node = m_store->FindChildNode(item->text(0))) {
        int index = 0;
        if (m_uses.IsResourceInUse(node->resourceId, index)) {
            ProcessError(ResourceStore::MSG_IN_USE_DELETE);
            return;
        }
        if (!m_store->DeleteItemFromListView(node->resourceId))
            return;
    }
    QTreeWidgetItem* category = item->parent();
    category->setExpanded(false);
    clearPreview();
    if (m_justChanged == item)
        m_justChanged = nullptr;
    delete item;
    if (category->childCount() == 0)
        category->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
    m_tree->setCurrentItem(category);
    category->setSelected(true);
    m_replace->setEnabled(false);
    m_ok->setEnabled(false);
    m_import->setEnabled(false);
    m_delete->setEnabled(false);
}

void CResourceEditor::SlotOkButtonClicked() {
    const QList<QTreeWidgetItem*> selected = m_tree->selectedItems();
    QTreeWidgetItem* item = selected.isEmpty() ? nullptr : selected.first();
    if (item && isCategory(item->parent())) {
        if (const auto node = m_store->FindChildNode(item->text(0))) {
            // Every OK counts one use: the object lets its previous resource
            // go at every choice.
            bool countIt = true;
            m_uses.countChoice(node->resourceId, countIt);
            const QString path = ResourceStore::decodePath(node->fullPath);
            diag::print("ResourceEditor: chose %#x %s\n", node->resourceId, node->fullPath.c_str());
            emit OkButtonSignal(path, node->resourceId);
        }
    }
    accept();
}

void CResourceEditor::SlotGetFileName(unsigned long id, char*& path) {
    path = nullptr;
    if (id == 0)
        return;
    const QByteArray bytes = QFile::encodeName(GetTheFileNameFromID(uint32_t(id)));
    path = new char[size_t(bytes.size()) + 1];
    std::memcpy(path, bytes.constData(), size_t(bytes.size()) + 1);
}

std::optional<ResourceChildNode> CResourceEditor::FindTheChildNodeFromID(uint32_t id) {
    return m_store->FindTheChildNodeFromID(id);
}

uint32_t CResourceEditor::Read(const ResourceChildNode& node, uint8_t* buffer, size_t capacity) {
    return m_store->Read(node, buffer, capacity);
}

uint32_t CResourceEditor::FindTheIDFromPath(const QString& fullPath) {
    return m_store->FindTheIDFromPath(fullPath);
}

int CResourceEditor::ReadDefaultResourceData(uint32_t id, uint8_t* buffer, size_t capacity,
                                             unsigned long& length) {
    return m_store->ReadDefaultResourceData(id, buffer, capacity, length);
}

bool CResourceEditor::WriteFromVLM(const ResourceChildNode& node, const uint8_t* data, size_t length) {
    return m_store->WriteFromVLM(node, data, length);
}

bool CResourceEditor::WriteFromVLMKeepingId(const ResourceChildNode& node, const uint8_t* data, size_t length,
                                            uint32_t& keptId) {
    return m_store->WriteFromVLMKeepingId(node, data, length, keptId);
}

QString CResourceEditor::GetTheFileNameFromID(uint32_t id) {
    return m_store->GetTheFileNameFromID(id);
}

uint32_t CResourceEditor::GetTheIDFromFileName(const QString& fullPath) {
    return m_store->GetTheIDFromFileName(fullPath);
}

std::vector<uint8_t> CResourceEditor::ReadImageData(const QString& fullPath, unsigned long* size) {
    return m_store->ReadImageData(fullPath, size);
}

void CResourceEditor::SlotDeleteIDFromUseArray(unsigned long id) {
    m_uses.dropUse(uint32_t(id));
}

void CResourceEditor::slotAddIDOnCopy(unsigned long id) {
    m_uses.addCopyUse(uint32_t(id));
}

void CResourceEditor::slotReduceIDOnDelete(unsigned long id) {
    m_uses.reduceUse(uint32_t(id));
}
