// The media library dialog "Resource Editor": a tree of the resource store's
// categories and resources, Import, Replace, Delete, a preview, OK and Cancel.
// Every instance works on the store HOME + "/zedaro/VELMORA.RSE" (made with
// the default icons of "RESOURCES.RSE" in the current directory when missing)
// and on the process's use-count table, and is also the access point through
// which the rest of the program reads the store (MediaLibraryInterface).
//
// Use:
//     auto* library = new CResourceEditor(parent, "ResourceEditor", true);
//     connect(library, &CResourceEditor::OkButtonSignal, receiver, &Receiver::slotPrintPath);
//     library->ShowResourceEditor(90); // 90 Images, 91 Audio, 92 Video,
//                                      // 93 Icons, 94 Cursor, 95 Default Icons
// ShowResourceEditor runs the dialog modally and returns when it closes; an
// OK on a resource of the opened-at category has then emitted
// OkButtonSignal(full path, identifier) once (a default icon's path is its
// "Default Icon n" name) and counted one use of the resource.
//
// Every failure, also of a lookup made by another part, shows a critical box
// captioned "ResourceEditor" with the message's text and rejects the dialog.
#pragma once

#include "media/MediaLibraryInterface.h"
#include "media/ResourceStore.h"
#include "media/ResourceUseTable.h"

#include <QDialog>
#include <QImage>

#include <functional>
#include <memory>

class QCheckBox;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class ResourcePreviewArea;

class CResourceEditor : public QDialog, public MediaLibraryInterface {
    Q_OBJECT

  public:
    // Parent and object name; the dialog is modal whatever `modal` says.
    CResourceEditor(QWidget* parent, const char* name, bool modal = true);
    ~CResourceEditor() override;

    // Shows the dialog at the category of a code, 90 (Images) to 95
    // (Default Icons), and returns when it is closed. Another code keeps the
    // category of the previous showing; with none, OK stays disabled.
    void ShowResourceEditor(int code);
    // Everything ShowResourceEditor does before it runs the dialog: the tree
    // rebuilt from the store, the opened-at category current, the buttons in
    // their opening state. Lets a caller show the dialog without blocking.
    void prepareShowing(int code);
    // Shows message k (ResourceStore::Message) in the critical box
    // "ResourceEditor", then rejects the dialog.
    void ProcessError(int k);

    // The file dialog of Import: given the dialog and the filter of the
    // category, gives the chosen path or an empty text.
    using FileChooser = std::function<QString(QWidget* parent, const QString& filter)>;
    void setFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }
    // The critical message box: parent, caption, text.
    using MessageBox = std::function<void(QWidget* parent, const QString& caption, const QString& text)>;
    void setMessageBox(MessageBox box) { m_messageBox = std::move(box); }
    // The filter of the import's file dialog for a category's text; patterns
    // are separated by blanks.
    static QString importFilter(const QString& categoryText);

    ResourceStore& store() { return *m_store; }
    QTreeWidget* listView() const { return m_tree; }
    QTreeWidgetItem* rootItem() const { return m_root; }
    QTreeWidgetItem* categoryItem(ResourceStore::Category category) const;
    // The image the preview area shows; null when it is clear.
    QImage previewImage() const;

    // True when the use-count table has an entry for the identifier; index
    // is then set to the first one.
    bool IsResourceInUse(uint32_t id, int& index) const { return m_uses.IsResourceInUse(id, index); }

    // MediaLibraryInterface, through the store.
    std::optional<ResourceChildNode> FindTheChildNodeFromID(uint32_t id) override;
    uint32_t Read(const ResourceChildNode& node, uint8_t* buffer, size_t capacity) override;
    uint32_t FindTheIDFromPath(const QString& fullPath) override;
    int ReadDefaultResourceData(uint32_t id, uint8_t* buffer, size_t capacity,
                                unsigned long& length) override;
    bool WriteFromVLM(const ResourceChildNode& node, const uint8_t* data, size_t length) override;
    bool WriteFromVLMKeepingId(const ResourceChildNode& node, const uint8_t* data, size_t length,
                               uint32_t& keptId) override;
    QString GetTheFileNameFromID(uint32_t id) override;
    uint32_t GetTheIDFromFileName(const QString& fullPath) override;
    std::vector<uint8_t> ReadImageData(const QString& fullPath, unsigned long* size) override;

  signals:
    // The resource chosen with OK: its full path and identifier.
    void OkButtonSignal(const QString& path, unsigned long id);

  public slots:
    // Use-count reports of objects and the canvas.
    void SlotDeleteIDFromUseArray(unsigned long id) override;
    void slotAddIDOnCopy(unsigned long id) override;
    void slotReduceIDOnDelete(unsigned long id) override;
    // Identifier 0 gives none; otherwise a new NUL-terminated copy of the
    // resource's path, owned by the receiver.
    void SlotGetFileName(unsigned long id, char*& path);

    void SlotImportButtonClicked();
    void SlotReplaceButtonClicked();
    void SlotDeleteButtonClicked();
    void SlotOkButtonClicked();
    void SlotListViewItemClicked(QTreeWidgetItem* item);
    void SlotSelectionChanged(QTreeWidgetItem* item);
    void SlotDisplayItem(QTreeWidgetItem* item);
    void SlotButtonEnable(bool enable);
    void SlotOKButtonEnable(bool enable);
    void SlotItemChecked();

  private:
    void buildWidgets();
    void buildTree();
    void BuildPreviousItems();
    QTreeWidgetItem* addResourceItem(QTreeWidgetItem* category, const QString& name, bool defaultIcon);
    bool isCategory(const QTreeWidgetItem* item) const;
    QTreeWidgetItem* categoryOfCode(int code) const;
    void clearPreview();
    void setPreview(const QImage& image);
    // Imports into the category; true when a resource was stored.
    bool importInto(QTreeWidgetItem* category);

    std::unique_ptr<ResourceStore> m_store;
    ResourceUseTable& m_uses;
    FileChooser m_chooseFile;
    MessageBox m_messageBox;

    QTreeWidget* m_tree = nullptr;
    QTreeWidgetItem* m_root = nullptr;
    QTreeWidgetItem* m_categories[7] = {}; // by ResourceStore::Category
    QPushButton* m_import = nullptr;
    QPushButton* m_replace = nullptr;
    QPushButton* m_delete = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    ResourcePreviewArea* m_preview = nullptr;
    QCheckBox* m_showPreview = nullptr;

    QTreeWidgetItem* m_justChanged = nullptr; // made current, its click still to come
    ResourceStore::Category m_openedAt = ResourceStore::NO_CATEGORY;
    QString m_chosenPath;
    bool m_replaceInProgress = false;
    bool m_replaceImported = false;
};
