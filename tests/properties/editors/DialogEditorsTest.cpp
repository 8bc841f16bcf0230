#include "../PropertyTestSupport.h"

#include "properties/EditPropertyEntry.h"
#include "properties/GradientDialogMaker.h"
#include "properties/PropertyEditorType.h"
#include "properties/editors/PropertyEditorFactory.h"
#include "properties/editors/PropertyLviCGradientFillSetUp.h"
#include "properties/editors/PropertyLviColorEdit.h"
#include "properties/editors/PropertyLviFilename.h"
#include "properties/editors/PropertyLviFont.h"
#include "properties/editors/PropertyLviResourceEditorFile.h"
#include "store/DrawingObjectType.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTest>

#include <functional>
#include <memory>

using namespace proptest;

namespace {

// A stand-in object that takes fonts and text files as the text-carrying
// objects do.
class TextObject : public FakeObject {
    Q_OBJECT
  public:
    explicit TextObject(int kind) : FakeObject(kind) {}
    QStringList files;
    QStringList fonts;

  public slots:
    void slotTextFileName(QString path) { files << path; }
    void slotFontSelected(QFont& font) { fonts << font.family(); }
};

using Make = std::function<std::unique_ptr<PropertyLviExtEdit>(PropertyBoxClient*, EditPropertyEntry*)>;

class DialogEditors : public BoxTest {
  protected:
    void TearDown() override {
        PropertyLviFilename::setFileChooser({});
        PropertyLviColorEdit::setColorChooser({});
        PropertyLviFont::setFontChooser({});
        PropertyLviResourceEditorFile::setResourceDialog({});
        GradientDialogMaker::install({});
        BoxTest::TearDown();
    }
    void onEventsPage(bool events) { box->tabWidget->setCurrentIndex(events ? 1 : 0); }
    static void press(PropertyLviExtEdit& editor) { QTest::mouseClick(editor.getButton(), Qt::LeftButton); }

    static Make filename(int event = 0) {
        return [event](PropertyBoxClient* v, EditPropertyEntry* e) {
            return std::make_unique<PropertyLviFilename>(nullptr, v, e, nullptr, event);
        };
    }
    static Make resource(int string = 0, int event = 0) {
        return [string, event](PropertyBoxClient* v, EditPropertyEntry* e) {
            return std::make_unique<PropertyLviResourceEditorFile>(nullptr, v, e, nullptr, string, event);
        };
    }
    template <class T> static Make plain() {
        return [](PropertyBoxClient* v, EditPropertyEntry* e) {
            return std::make_unique<T>(nullptr, v, e, nullptr);
        };
    }
};

// Typing stands for no choice: the line and the value become "[None]" at
// once, committed once, and the resource identifier stays.
TEST_F(DialogEditors, TypingGivesNoneAndKeepsTheIdentifier) {
    struct Case {
        const char* label;
        Make make;
        const char* data;
    };
    const std::vector<Case> cases{
        {"file", filename(), ""},
        {"fore colour", plain<PropertyLviColorEdit>(), "ForeColor"},
        {"gradient", plain<PropertyLviCGradientFillSetUp>(), ""},
        {"resource", resource(), "91"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        FakeObject object(FRAMEOBJECT);
        client.selected = &object;
        client.calls.clear();
        EditPropertyEntry entry("Row", "take.wav", "General", 0, c.data, 0x03010004);
        auto editor = c.make(&client, &entry);
        EXPECT_EQ(editor->getText(), "take.wav");
        QTest::keyClicks(editor->getLineEdit(), "x");
        EXPECT_EQ(editor->getText(), "[None]");
        EXPECT_EQ(entry.value, "[None]");
        EXPECT_EQ(entry.valueId, 0x03010004);
        EXPECT_EQ(client.callsOf("repaint").size(), 1u);
        QTest::keyClicks(editor->getLineEdit(), "yz");
        EXPECT_EQ(editor->getText(), "[None]");
        EXPECT_EQ(entry.value, "[None]");
        EXPECT_EQ(entry.valueId, 0x03010004);
    }
}

TEST_F(DialogEditors, OnlyTheForeColourAndTheFileLinesTakeTyping) {
    FakeObject object(RECTANGLE);
    client.selected = &object;
    EditPropertyEntry fore("Fore Color", "#000000", "Appearance", PE_COLOR, "ForeColor", 0);
    EditPropertyEntry fill("Fill Color", "#ffffff", "Appearance", PE_COLOR, "", 0);
    EditPropertyEntry font("Font", "", "Appearance", PE_FONT, "", 0);
    EditPropertyEntry file("Text File", "", "General", PE_FILENAME, "", 0);
    EXPECT_FALSE(PropertyLviColorEdit(nullptr, &client, &fore, nullptr).getLineEdit()->isReadOnly());
    EXPECT_TRUE(PropertyLviColorEdit(nullptr, &client, &fill, nullptr).getLineEdit()->isReadOnly());
    EXPECT_TRUE(PropertyLviFont(nullptr, &client, &font, nullptr).getLineEdit()->isReadOnly());
    EXPECT_FALSE(PropertyLviFilename(nullptr, &client, &file, nullptr, 0).getLineEdit()->isReadOnly());
}

// A cancelled dialog leaves value, identifier and line, and applies nothing.
TEST_F(DialogEditors, CancelChangesNothing) {
    PropertyLviFilename::setFileChooser([](QWidget*, const QString&) { return QString(); });
    PropertyLviColorEdit::setColorChooser([](const QColor&, QWidget*) { return QColor(); });
    PropertyLviFont::setFontChooser([](const QFont&, QWidget*) { return std::optional<QFont>(); });
    int dialogs = 0;
    PropertyLviResourceEditorFile::setResourceDialog([&](QWidget*, int, uint32_t) {
        ++dialogs;
        return std::optional<PropertyLviResourceEditorFile::Choice>();
    });
    struct Case {
        const char* label;
        Make make;
    };
    const std::vector<Case> cases{
        {"file", filename()},
        {"colour", plain<PropertyLviColorEdit>()},
        {"font", plain<PropertyLviFont>()},
        {"resource", resource()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        TextObject object(TEXTFIELD);
        client.selected = &object;
        client.current = &object;
        client.calls.clear();
        EditPropertyEntry entry("Row", "before", "General", 0, "90", 0x01010002);
        auto editor = c.make(&client, &entry);
        press(*editor);
        EXPECT_EQ(editor->getText(), "before");
        EXPECT_EQ(entry.value, "before");
        EXPECT_EQ(entry.valueId, 0x01010002);
        EXPECT_TRUE(client.calls.empty());
        EXPECT_TRUE(object.files.isEmpty());
        EXPECT_TRUE(object.fonts.isEmpty());
    }
    EXPECT_EQ(dialogs, 1);
    client.current = nullptr;
}

// The lists may be rebuilt while a modal dialog runs: an editor deleted
// meanwhile takes no answer.
TEST_F(DialogEditors, AnEditorDeletedWhileItsDialogRunsTakesNoAnswer) {
    PropertyLviExtEdit* running = nullptr;
    PropertyLviFilename::setFileChooser([&](QWidget*, const QString&) {
        delete running;
        return QStringLiteral("/a/b.txt");
    });
    PropertyLviColorEdit::setColorChooser([&](const QColor&, QWidget*) {
        delete running;
        return QColor(1, 2, 3);
    });
    PropertyLviFont::setFontChooser([&](const QFont&, QWidget*) {
        delete running;
        return std::optional<QFont>(QFont("courier"));
    });
    PropertyLviResourceEditorFile::setResourceDialog([&](QWidget*, int, uint32_t) {
        delete running;
        return std::optional<PropertyLviResourceEditorFile::Choice>({"/r/a.wav", 0x03010001});
    });
    struct Case {
        const char* label;
        Make make;
    };
    const std::vector<Case> cases{
        {"file", filename()},
        {"colour", plain<PropertyLviColorEdit>()},
        {"font", plain<PropertyLviFont>()},
        {"resource", resource()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        FakeObject object(RECTANGLE);
        client.selected = &object;
        client.calls.clear();
        EditPropertyEntry entry("Row", "before", "General", 0, "91", 7);
        running = c.make(&client, &entry).release();
        QPushButton* button = running->getButton();
        emit button->clicked();
        EXPECT_EQ(entry.value, "before");
        EXPECT_EQ(entry.valueId, 7);
        EXPECT_TRUE(client.calls.empty());
    }
}

TEST_F(DialogEditors, AResourceChoiceSetsTheIdentifierAndTheFileName) {
    std::vector<std::pair<int, uint32_t>> asked;
    PropertyLviResourceEditorFile::Choice answer{"/home/author/sounds/take one.wav", 0x03010002};
    PropertyLviResourceEditorFile::setResourceDialog([&](QWidget* parent, int category, uint32_t current) {
        EXPECT_NE(parent, nullptr);
        asked.emplace_back(category, current);
        return std::optional<PropertyLviResourceEditorFile::Choice>(answer);
    });
    FakeObject object(FRAMEOBJECT);
    client.selected = &object;
    EditPropertyEntry entry("Audio File Name", "", "General", PE_RESOURCE_FILE, "91", 0);
    PropertyLviResourceEditorFile editor(nullptr, &client, &entry, nullptr, 0, 0);
    press(editor);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], std::make_pair(91, 0u));
    EXPECT_EQ(editor.getText(), "take one.wav");
    EXPECT_EQ(entry.value, "take one.wav");
    EXPECT_EQ(entry.valueId, 0x03010002);
    ASSERT_EQ(client.callsOf("repaint").size(), 1u);
    EXPECT_EQ(client.calls[0].name, "Audio File Name");

    // Another resource of the same file name still reaches the object.
    answer = {"/elsewhere/take one.wav", 0x03010007};
    press(editor);
    EXPECT_EQ(asked.back(), std::make_pair(91, 0x03010002u));
    EXPECT_EQ(entry.valueId, 0x03010007);
    EXPECT_EQ(client.callsOf("repaint").size(), 2u);

    // Typing afterwards clears the choice but keeps the identifier.
    QTest::keyClicks(editor.getLineEdit(), "q");
    EXPECT_EQ(entry.value, "[None]");
    EXPECT_EQ(entry.valueId, 0x03010007);
}

TEST_F(DialogEditors, AResourceChoiceIsAppliedWhereTheRowBelongs) {
    PropertyLviResourceEditorFile::setResourceDialog([](QWidget*, int, uint32_t) {
        return std::optional<PropertyLviResourceEditorFile::Choice>({"/r/pic.gif", 0x01020001});
    });
    struct Case {
        const char* label;
        int kind;
        bool events;
        const char* expected;
    };
    const std::vector<Case> cases{
        {"properties", MOUSECLICK, false, "repaint"},
        {"hyperlink event", HYPERLINK, true, "event"},
        {"validation key", VALIDATIONFIELD, true, "key"},
        {"frame event", FRAMEOBJECT, true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        FakeObject object(c.kind);
        client.selected = &object;
        client.calls.clear();
        onEventsPage(c.events);
        EditPropertyEntry entry("Validation Image", "", "Events", PE_RESOURCE_FILE, "90", 0);
        PropertyLviResourceEditorFile editor(nullptr, &client, &entry, nullptr, 2, 4);
        press(editor);
        EXPECT_EQ(entry.valueId, 0x01020001);
        if (std::string(c.expected).empty()) {
            EXPECT_TRUE(client.calls.empty());
            continue;
        }
        ASSERT_EQ(client.calls.size(), 1u);
        EXPECT_EQ(client.calls[0].what, c.expected);
        if (client.calls[0].what == "event") {
            EXPECT_EQ(client.calls[0].first, 4);
        }
        if (client.calls[0].what == "key") {
            EXPECT_EQ(client.calls[0].first, 2);
            EXPECT_EQ(client.calls[0].second, 4);
        }
    }
    onEventsPage(false);
}

// The factory hands a resource row its context: the event in event sets,
// the string and the key in a validation set.
TEST_F(DialogEditors, FactoryResourceEditorsApplyToTheirEventOrKey) {
    PropertyLviResourceEditorFile::setResourceDialog([](QWidget*, int, uint32_t) {
        return std::optional<PropertyLviResourceEditorFile::Choice>({"/r/pic.gif", 0x01020001});
    });
    using Kind = PropertyEditorFactory::ListKind;
    struct Case {
        const char* label;
        Kind list;
        int kind;
        int first, second;
        Call expected;
    };
    const std::vector<Case> cases{
        {"long set", Kind::LONG_SET, HYPERLINK, 0, 2, {"event", nullptr, {}, 2, 0}},
        {"short set", Kind::SHORT_SET, HYPERLINK, 0, 5, {"event", nullptr, {}, 5, 0}},
        {"validation set", Kind::VALIDATION_SET, VALIDATIONFIELD, 3, 1, {"key", nullptr, {}, 3, 1}},
    };
    onEventsPage(true);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        FakeObject object(c.kind);
        client.selected = &object;
        client.calls.clear();
        EditPropertyEntry entry("Validation Image", "", "Events", PE_RESOURCE_FILE, "90", 0);
        QWidget parent;
        std::unique_ptr<PropertyLviBase> editor(PropertyEditorFactory::create(
            c.list, PE_RESOURCE_FILE, &parent, &client, &entry, c.first, c.second));
        auto* resource = dynamic_cast<PropertyLviResourceEditorFile*>(editor.get());
        ASSERT_NE(resource, nullptr);
        press(*resource);
        ASSERT_EQ(client.calls.size(), 1u);
        EXPECT_EQ(client.calls[0].what, c.expected.what);
        EXPECT_EQ(client.calls[0].first, c.expected.first);
        EXPECT_EQ(client.calls[0].second, c.expected.second);
    }
    onEventsPage(false);
}

TEST_F(DialogEditors, WithoutADialogTheResourceButtonDoesNothing) {
    FakeObject object(FRAMEOBJECT);
    client.selected = &object;
    EditPropertyEntry entry("Audio File Name", "a.wav", "General", PE_RESOURCE_FILE, "91", 5);
    PropertyLviResourceEditorFile editor(nullptr, &client, &entry, nullptr, 0, 0);
    EXPECT_FALSE(PropertyLviResourceEditorFile::hasResourceDialog());
    press(editor);
    EXPECT_EQ(entry.value, "a.wav");
    EXPECT_EQ(entry.valueId, 5);
    EXPECT_TRUE(client.calls.empty());
}

// Value texts carry the weight in the records' old scale (50 normal, 75 bold).
TEST_F(DialogEditors, FontValueTextUsesTheOldWeights) {
    struct Case {
        QFont::Weight weight;
        bool italic;
        const char* text;
    };
    const std::vector<Case> cases{
        {QFont::Normal, false, "\"courier\"18\"50\"\""},
        {QFont::Bold, true, "\"courier\"18\"75\"Bold\"Italic"},
        {QFont::DemiBold, false, "\"courier\"18\"63\"Bold\""},
        {QFont::Light, true, "\"courier\"18\"25\"\"Italic"},
        {QFont::Black, false, "\"courier\"18\"87\"Bold\""},
    };
    for (const Case& c : cases) {
        QFont f(QStringLiteral("courier"), 18);
        f.setWeight(c.weight);
        f.setItalic(c.italic);
        EXPECT_EQ(PropertyLviFont::valueText(f).toStdString(), c.text) << int(c.weight);
    }
}

TEST_F(DialogEditors, AChosenFontGoesToTheObjectOnceAndIsAppliedOnce) {
    QFont chosen(QStringLiteral("courier"), 18);
    chosen.setWeight(QFont::Bold);
    QFont opened(QStringLiteral("nothing"));
    PropertyLviFont::setFontChooser([&](const QFont& initial, QWidget*) {
        opened = initial;
        return std::optional<QFont>(chosen);
    });
    TextObject object(INSTRUCTIONBOX);
    client.selected = &object;
    EditPropertyEntry entry("Font", "\"helvetica\"12\"50\"\"", "Appearance", PE_FONT, "", 0);
    PropertyLviFont editor(nullptr, &client, &entry, nullptr);
    press(editor);
    EXPECT_EQ(opened, QFont());
    EXPECT_EQ(object.fonts, QStringList{"courier"});
    EXPECT_EQ(entry.value, "\"courier\"18\"75\"Bold\"");
    EXPECT_EQ(editor.getText(), entry.value);
    EXPECT_EQ(client.callsOf("repaint").size(), 1u);
    // The same font again: delivered and applied once more, each once.
    press(editor);
    EXPECT_EQ(object.fonts.size(), 2);
    EXPECT_EQ(client.callsOf("repaint").size(), 2u);
}

// A file chosen while a text field is the holder's current object reaches
// that text field once, as its full path, and shows as its file name; for
// other objects the line shows the full path.
TEST_F(DialogEditors, AFileForATextFieldArrivesOnceAsFullPath) {
    QString filter;
    PropertyLviFilename::setFileChooser([&](QWidget*, const QString& f) {
        filter = f;
        return QStringLiteral("/data/notes/intro.txt");
    });
    TextObject text(TEXTFIELD);
    client.selected = &text;
    client.current = &text;
    EditPropertyEntry entry("Text File", "", "General", PE_FILENAME, "", 0);
    PropertyLviFilename editor(nullptr, &client, &entry, nullptr, 0);
    press(editor);
    EXPECT_EQ(filter, "All Files (*)");
    EXPECT_EQ(text.files, QStringList{"/data/notes/intro.txt"});
    EXPECT_EQ(entry.value, "intro.txt");
    EXPECT_EQ(client.callsOf("repaint").size(), 1u);
    press(editor);
    EXPECT_EQ(text.files.size(), 2) << "one delivery per choice";

    TextObject other(HYPERLINK);
    client.selected = &other;
    client.current = &other;
    EditPropertyEntry play("Play VLM File", "", "Events", PE_FILENAME, "VlmFile", 0);
    PropertyLviFilename link(nullptr, &client, &play, nullptr, 1);
    press(link);
    EXPECT_TRUE(other.files.isEmpty());
    EXPECT_EQ(play.value, "/data/notes/intro.txt");
    EXPECT_EQ(filter, "VelmoraFiles(*.VLM *.vlm)");
    client.current = nullptr;
}

// Filters keep their texts; their patterns are split at blanks and match
// the names they are meant for.
TEST_F(DialogEditors, FileFiltersMatchTheirFiles) {
    struct Case {
        const char* data;
        const char* name;
        bool matches;
    };
    const std::vector<Case> cases{
        {"VlmFile", "talk.vlm", true},  {"VlmFile", "TALK.VLM", true}, {"VlmFile", "talk.txt", false},
        {"ExtFile", "SETUP.EXE", true}, {"ExtFile", "RUN.BAT", true},  {"ExtFile", "notes.txt", false},
        {"", "anything.bin", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.data) + " " + c.name);
        const QString filter = PropertyLviFilename::filterFor(QString::fromLatin1(c.data));
        const QString patterns = filter.section('(', 1).section(')', 0, 0);
        bool matched = false;
        for (const QString& p : patterns.split(' ', Qt::SkipEmptyParts)) {
            EXPECT_FALSE(p.contains(',')) << p.toStdString();
            const QRegularExpression re(QRegularExpression::wildcardToRegularExpression(p));
            matched = matched || re.match(QString::fromLatin1(c.name)).hasMatch();
        }
        EXPECT_EQ(matched, c.matches);
    }
    EXPECT_TRUE(PropertyLviFilename::filterFor("ExtFile").startsWith("ExecutableFiles("));
    EXPECT_TRUE(PropertyLviFilename::filterFor("VlmFile").startsWith("VelmoraFiles("));
}

TEST_F(DialogEditors, TheColourDialogAlwaysOpensOnTheSameColour) {
    QColor opened;
    PropertyLviColorEdit::setColorChooser([&](const QColor& initial, QWidget*) {
        opened = initial;
        return QColor(18, 52, 86);
    });
    FakeObject object(RECTANGLE);
    client.selected = &object;
    EditPropertyEntry entry("Fill Color", "#ff0000", "Appearance", PE_COLOR, "", 0);
    PropertyLviColorEdit editor(nullptr, &client, &entry, nullptr);
    press(editor);
    EXPECT_EQ(opened, QColor(0, 55, 65));
    EXPECT_EQ(entry.value, "#123456");
    EXPECT_EQ(editor.getText(), "#123456");
    ASSERT_EQ(client.callsOf("repaint").size(), 1u);
    EXPECT_EQ(client.calls[0].name, "Fill Color");
    // The same colour again commits nothing.
    press(editor);
    EXPECT_EQ(client.callsOf("repaint").size(), 1u);
}

TEST_F(DialogEditors, TheGradientEditorShowsItsOwnDialog) {
    FakeObject object(RECTANGLE);
    client.selected = &object;
    EditPropertyEntry entry("Gradient", "", "Appearance", PE_GRADIENT_FILL, "", 0);
    {
        PropertyLviCGradientFillSetUp without(nullptr, &client, &entry, nullptr);
        EXPECT_EQ(without.getGradientDialog(), nullptr);
        press(without); // nothing to show
    }
    GradientDialogMaker::install([](QWidget* parent) { return new QDialog(parent); });
    PropertyLviCGradientFillSetUp editor(nullptr, &client, &entry, nullptr);
    QDialog* dialog = editor.getGradientDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->parent(), &editor);
    EXPECT_TRUE(dialog->isHidden());
    press(editor);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(entry.value, "");
    EXPECT_TRUE(client.calls.empty());
    dialog->hide();
}

TEST_F(DialogEditors, TheButtonSitsAtTheRightOfTheLine) {
    FakeObject object(RECTANGLE);
    client.selected = &object;
    EditPropertyEntry entry("Fill Color", "#ff0000", "Appearance", PE_COLOR, "", 0);
    PropertyLviColorEdit editor(nullptr, &client, &entry, nullptr);
    editor.resize(120, 20);
    editor.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor));
    EXPECT_EQ(editor.getButton()->geometry(), QRect(105, 0, 15, 20));
    EXPECT_EQ(editor.getLineEdit()->geometry(), QRect(0, 0, 105, 21));
    EXPECT_EQ(editor.getButton()->text(), "...");
}

} // namespace

#include "DialogEditorsTest.moc"
