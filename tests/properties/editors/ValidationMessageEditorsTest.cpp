// The validation message dialog and the error and message editors over a
// stand-in canvas: what OK stores, what a press shows, and which object call
// applies the edit.
#include "../../media/ResourceStoreTestFiles.h"
#include "../PropertyTestSupport.h"

#include "media/CResourceEditor.h"
#include "media/ResourceUseTable.h"
#include "properties/EditPropertyEntry.h"
#include "properties/PropertyEditorType.h"
#include "properties/editors/PropertyLviValidationError.h"
#include "properties/editors/PropertyLviValidationMessage.h"
#include "properties/editors/ValidationError.h"
#include "store/DrawingObjectType.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <filesystem>
#include <functional>
#include <memory>

using namespace proptest;

namespace {

// Runs `answer` on the modal dialog once it is open.
void whenOpen(std::function<void()> answer) {
    QTimer::singleShot(0, std::move(answer));
}

// A private HOME and working directory with three default icons.
class PrivateStore {
  public:
    PrivateStore() : m_oldHome(qgetenv("HOME")), m_oldDir(std::filesystem::current_path()) {
        qputenv("HOME", QByteArray::fromStdString(m_folders.home()));
        std::filesystem::current_path(m_folders.home());
        testsupport::writeFile(m_folders.icons(), resourcetest::defaultIconFile(3));
        ResourceUseTable::instance().clear();
    }
    ~PrivateStore() {
        std::filesystem::current_path(m_oldDir);
        qputenv("HOME", m_oldHome);
        ResourceUseTable::instance().clear();
    }
    PrivateStore(const PrivateStore&) = delete;
    PrivateStore& operator=(const PrivateStore&) = delete;

  private:
    resourcetest::Folders m_folders;
    QByteArray m_oldHome;
    std::filesystem::path m_oldDir;
};

struct CutRow {
    const char* name;
    const char* caption;
    int typed;
    int message; // characters stored as a message
    int error;   // characters stored as an error
};

class MessageDialogCuts : public BoxTest, public ::testing::WithParamInterface<CutRow> {};

TEST_P(MessageDialogCuts, StoredTextLength) {
    const CutRow& row = GetParam();
    ValidationError dialog(nullptr, " Messages");
    dialog.setWindowTitle(row.caption);
    QString text;
    for (int i = 0; i < row.typed; ++i)
        text += QChar('a' + i % 26);
    dialog.textBox->setPlainText(text);
    EXPECT_EQ(dialog.textBox->toPlainText().size(), std::min(row.typed, ValidationError::TEXT_BOX_LIMIT));
    dialog.captionLine->setText("Look");
    dialog.slotStoreValuesInStruct();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(int(dialog.messageText.size()), row.message);
    EXPECT_EQ(int(dialog.errorText.size()), row.error);
    const std::string stored = row.message ? dialog.messageText : dialog.errorText;
    EXPECT_EQ(stored, text.left(int(stored.size())).toStdString());
    EXPECT_EQ(dialog.captionText, "Look");
    EXPECT_EQ(dialog.captionLength, 4);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, MessageDialogCuts,
    ::testing::Values(CutRow{"Message300HeldTo259", "Validation Message", 300, 257, 0},
                      CutRow{"Message259", "Validation Message", 259, 257, 0},
                      CutRow{"Message258", "Validation Message", 258, 257, 0},
                      CutRow{"Message257Whole", "Validation Message", 257, 257, 0},
                      CutRow{"Error257CutTo255", "Validation Error Message", 257, 0, 255},
                      CutRow{"Error256Whole", "Validation Error Message", 256, 0, 256},
                      CutRow{"LowerCaseCaptionIsAnError", "validation message", 257, 0, 255},
                      CutRow{"EmptyText", "Validation Message", 0, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BoxTest, MessageDialogLayoutAndItsOwnLibraryMadeOnFirstUse) {
    ValidationError dialog(nullptr, "Error Messages");
    EXPECT_EQ(dialog.size(), QSize(420, 370));
    EXPECT_EQ(dialog.textBox->geometry(), QRect(40, 60, 240, 150));
    EXPECT_EQ(dialog.okButton->geometry(), QRect(320, 40, 80, 30));
    EXPECT_EQ(dialog.iconButton->geometry(), QRect(370, 310, 30, 30));
    EXPECT_TRUE(dialog.iconLine->isReadOnly());
    EXPECT_EQ(dialog.findChild<CResourceEditor*>(), nullptr);
    PrivateStore store;
    CResourceEditor* library = dialog.library();
    EXPECT_EQ(library->objectName(), "InError");
    EXPECT_EQ(library->parent(), &dialog);
    EXPECT_EQ(dialog.library(), library);
}

// The icon comes from the icon line: a chosen icon whose line was emptied gives 0.
TEST_F(BoxTest, MessageDialogIconFromTheIconLine) {
    PrivateStore store;
    ValidationError dialog(nullptr, " Messages");
    dialog.setWindowTitle("Validation Message");
    const uint32_t second = dialog.library()->GetTheIDFromFileName("Default Icon 2");
    ASSERT_NE(second, 0u);
    dialog.slotStoreMessage("Default Icon 2", second);
    EXPECT_EQ(dialog.iconLine->text(), "Default Icon 2");
    dialog.slotStoreValuesInStruct();
    EXPECT_EQ(dialog.iconId, second);
    EXPECT_EQ(dialog.captionText, "");
    EXPECT_EQ(dialog.captionLength, 0);

    dialog.slotStoreMessage("Default Icon 2", second);
    dialog.iconLine->clear();
    dialog.slotStoreValuesInStruct();
    EXPECT_EQ(dialog.iconId, 0u);
    EXPECT_EQ(dialog.deliveredId, 0u);
}

// Every "..." shows the library over one connection: three presses, each
// with a choice, leave the last choice, delivered once each time, and three
// counted uses.
TEST_F(BoxTest, MessageDialogIconChoicesOverOneConnection) {
    PrivateStore store;
    ValidationError dialog(nullptr, " Messages");
    int deliveries = 0;
    QObject::connect(dialog.library(), &CResourceEditor::OkButtonSignal, [&] { ++deliveries; });
    for (const char* icon : {"Default Icon 1", "Default Icon 3", "Default Icon 3"}) {
        whenOpen([&dialog, icon] {
            CResourceEditor* library = dialog.library();
            const auto items = library->listView()->findItems(icon, Qt::MatchExactly | Qt::MatchRecursive);
            ASSERT_EQ(items.size(), 1);
            library->listView()->setCurrentItem(items.first());
            library->SlotOkButtonClicked();
        });
        dialog.slotGetResource();
    }
    EXPECT_EQ(deliveries, 3);
    const uint32_t third = dialog.library()->GetTheIDFromFileName("Default Icon 3");
    EXPECT_EQ(dialog.iconLine->text(), "Default Icon 3");
    EXPECT_EQ(dialog.deliveredId, third);
    EXPECT_EQ(ResourceUseTable::instance().countOf(third), 2);
    EXPECT_EQ(ResourceUseTable::instance().countOf(dialog.library()->GetTheIDFromFileName("Default Icon 1")),
              1);
}

class MessageEditors : public BoxTest {
  protected:
    void onEventsPage(bool events) { box->tabWidget->setCurrentIndex(events ? 1 : 0); }
    // Presses "..." and answers the dialog: text and caption, then OK or Cancel.
    void press(PropertyLviExtEdit& editor, ValidationError* dialog, const QString& text,
               const QString& caption, bool ok) {
        whenOpen([=] {
            seen.push_back({dialog->windowTitle(), dialog->promptLabel->text(),
                            dialog->textBox->toPlainText(), dialog->captionLine->text()});
            if (!text.isNull())
                dialog->textBox->setPlainText(text);
            if (!caption.isNull())
                dialog->captionLine->setText(caption);
            (ok ? dialog->okButton : dialog->cancelButton)->click();
        });
        QTest::mouseClick(editor.getButton(), Qt::LeftButton);
    }
    struct Seen {
        QString title, prompt, text, caption;
    };
    std::vector<Seen> seen;
    EditPropertyEntry entry;
};

TEST_F(MessageEditors, ErrorDialogShowsTheAcceptedMessageAgainAndIsEmptyAfterCancel) {
    auto field = makeSelected(VALIDATIONFIELD);
    entry.name = "Validation Error Message";
    entry.value = "kept";
    PropertyLviValidationError editor(nullptr, &client, &entry, nullptr, 0);
    EXPECT_TRUE(editor.getLineEdit()->isReadOnly());
    ValidationError* dialog = editor.getMessageDialog();
    EXPECT_EQ(dialog->objectName(), "Error Messages");

    press(editor, dialog, "Wrong answer", "Oops", true);
    EXPECT_EQ(PropertyLviBase::bNotFirstError, 1);
    EXPECT_EQ(PropertyLviBase::m_sValidError.text, "Wrong answer");
    EXPECT_EQ(PropertyLviBase::m_sValidError.caption, "Oops");
    ASSERT_EQ(client.callsOf("repaint").size(), 1u);
    EXPECT_EQ(client.callsOf("repaint")[0].name, "Validation Error Message");

    press(editor, dialog, QString(), QString(), false);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].title, "Validation Error Message");
    EXPECT_EQ(seen[1].prompt, "     Enter Validation Error Message ");
    EXPECT_EQ(seen[1].text, "Wrong answer");
    EXPECT_EQ(seen[1].caption, "Oops");
    EXPECT_EQ(PropertyLviBase::bNotFirstError, 0);
    EXPECT_EQ(PropertyLviBase::m_sValidError, sValidMessageRecord());

    press(editor, dialog, QString(), QString(), false);
    EXPECT_EQ(seen[2].text, "");
    EXPECT_EQ(seen[2].caption, "");
    // The entry and the line keep their text.
    EXPECT_EQ(entry.value, "kept");
    EXPECT_EQ(editor.getText(), "kept");
}

// A record the object loaded fills a fresh dialog once; the flag is then cleared.
TEST_F(MessageEditors, LoadedRecordFillsTheDialogOnce) {
    auto link = makeSelected(HYPERLINK);
    PropertyLviBase::bNotFirstMessage = 1;
    PropertyLviBase::m_sValidMessage.text = "Well done";
    PropertyLviBase::m_sValidMessage.caption = "Yes";
    entry.name = "Validation Message";
    PropertyLviValidationMessage editor(nullptr, &client, &entry, nullptr, 0, 2);
    EXPECT_EQ(editor.getMessageDialog()->objectName(), " Messages");
    onEventsPage(true);
    whenOpen([&] { EXPECT_EQ(PropertyLviBase::bNotFirstMessage, 0); });
    press(editor, editor.getMessageDialog(), QString(), QString(), true);
    EXPECT_EQ(seen[0].title, "Validation Message");
    EXPECT_EQ(seen[0].prompt, "     Enter Validation Message ");
    EXPECT_EQ(seen[0].text, "Well done");
    EXPECT_EQ(seen[0].caption, "Yes");
    EXPECT_EQ(PropertyLviBase::bNotFirstMessage, 1);
    EXPECT_EQ(PropertyLviBase::m_sValidMessage.text, "Well done");
}

// Where each editor's edit goes, by page and kind.
TEST_F(MessageEditors, AppliedByPageAndKind) {
    struct Row {
        const char* name;
        int kind;
        bool events;
        bool message; // the message editor, else the error editor
        const char* call;
        int first, second;
    };
    const Row rows[] = {
        {"error, hyperlink event", HYPERLINK, true, false, "event", 3, 0},
        {"message, hyperlink event", HYPERLINK, true, true, "event", 3, 0},
        {"message, validation key", VALIDATIONFIELD, true, true, "key", 1, 3},
        {"error, validation field properties", VALIDATIONFIELD, false, false, "repaint", 0, 0},
        {"message on the properties page", VALIDATIONFIELD, false, true, "", 0, 0},
        {"error, validation field events", VALIDATIONFIELD, true, false, "", 0, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        client.calls.clear();
        auto object = makeSelected(r.kind);
        onEventsPage(r.events);
        std::unique_ptr<PropertyLviExtEdit> editor;
        ValidationError* dialog;
        if (r.message) {
            auto* e = new PropertyLviValidationMessage(nullptr, &client, &entry, nullptr, 1, 3);
            dialog = e->getMessageDialog();
            editor.reset(e);
        } else {
            auto* e = new PropertyLviValidationError(nullptr, &client, &entry, nullptr, 3);
            dialog = e->getMessageDialog();
            editor.reset(e);
        }
        press(*editor, dialog, "text", "cap", true);
        std::vector<Call> made;
        for (const Call& c : client.calls)
            if (c.what == "event" || c.what == "key" || c.what == "repaint")
                made.push_back(c);
        if (!*r.call) {
            EXPECT_TRUE(made.empty());
            continue;
        }
        ASSERT_EQ(made.size(), 1u);
        EXPECT_EQ(made[0].what, r.call);
        EXPECT_EQ(made[0].object, object.get());
        if (made[0].what != "repaint") {
            EXPECT_EQ(made[0].first, r.first);
            EXPECT_EQ(made[0].second, r.second);
        }
    }
}

} // namespace
