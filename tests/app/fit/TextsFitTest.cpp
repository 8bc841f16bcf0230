// Every text of the program's dialogs and windows shows whole, measured in
// the fixed font world of the tests with the program's own application font
// and style, on a 1280 x 1024 screen: each label, button, check box, radio
// button and group title needs its text's size plus the style's margins for
// the control, inside the widget and inside every widget that holds it; a
// list row's name fits its column. A window with a cut text is kept as a PNG
// in the test's output folder.
#include "FitApp.h"
#include "app/AppendFrame.h"
#include "app/ChangePassword.h"
#include "app/ClearPassword.h"
#include "app/HelpWindow.h"
#include "app/SetPassword.h"
#include "app/Velmora.h"
#include "app/aboutVl.h"
#include "canvas/DrawTools.h"
#include "canvas/VLImageHolder.h"
#include "canvas/VelmoraView.h"
#include "media/AudioSettingsDialog.h"
#include "media/CBackgroundSound.h"
#include "media/CRecordSoundClip.h"
#include "media/CResourceEditor.h"
#include "objects/draw/CGradientFillSetUp.h"
#include "properties/EditPropertyBox.h"
#include "properties/HotKeyCtrl.h"
#include "properties/PropertyListView.h"
#include "properties/editors/PropertyLviValidationError.h"
#include "properties/editors/PropertyLviValidationMessage.h"
#include "properties/editors/ValidationError.h"
#include "record/CaptureSettings.h"
#include "store/DrawingObjectType.h"

#include <gtest/gtest.h>

#include <QAbstractScrollArea>
#include <QApplication>
#include <QCheckBox>
#include <QCommonStyle>
#include <QElapsedTimer>
#include <QFont>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QStyleFactory>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>
#include <QStyleOptionGroupBox>
#include <QTextDocument>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include <cstdlib>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using fit::FitTest;
using fit::SCREEN_HEIGHT;
using fit::SCREEN_WIDTH;

std::string helpStartPage() {
    return fit::sourceFile("help/vuduziv.htm");
}

std::string currentFolder() {
    char cwd[4096];
    return getcwd(cwd, sizeof cwd) ? std::string(cwd) : std::string(".");
}

// The folder the test started in, before the fixtures move to the images.
const std::string startFolder = currentFolder();

std::string outputFolder() {
    if (const char* d = getenv("TEST_UNDECLARED_OUTPUTS_DIR"); d && *d)
        return d;
    return startFolder;
}

void settle(int ms = 150) {
    fit::serveUntil({}, ms);
}

std::string describe(const QWidget* w, const QString& text) {
    std::string s = w->metaObject()->className();
    if (!w->objectName().isEmpty())
        s += " \"" + w->objectName().toStdString() + "\"";
    return s + " '" + text.toStdString() + "'";
}

struct Cut {
    std::string what;
    QSize need, have;
};

// The margins of a push button's text as the style's common code gives
// them; the Windows style's minimum button size is no part of the text.
QSize pushButtonNeed(const QPushButton* b) {
    QStyleOptionButton opt;
    opt.initFrom(b);
    opt.text = b->text();
    opt.icon = b->icon();
    opt.iconSize = b->iconSize();
    opt.features = b->isFlat() ? QStyleOptionButton::Flat : QStyleOptionButton::None;
    if (b->isDefault() || b->autoDefault())
        opt.features |= QStyleOptionButton::AutoDefaultButton;
    QSize content = b->fontMetrics().size(Qt::TextShowMnemonic, b->text());
    if (!b->icon().isNull())
        content.rwidth() += b->iconSize().width() + 4;
    const auto* common = qobject_cast<const QCommonStyle*>(b->style());
    const int width =
        common ? common->QCommonStyle::sizeFromContents(QStyle::CT_PushButton, &opt, content, b).width()
               : content.width() + 10;
    // Upright, the text needs its line inside the button's frame.
    const int frame = b->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, b);
    return QSize(width, content.height() + 2 * frame);
}

int labelIndent(const QLabel* l) {
    if (l->indent() >= 0)
        return l->indent();
    return l->frameWidth() > 0 ? l->fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2 : 0;
}

// The room a text widget's text needs and has; none for widgets without text.
std::optional<Cut> measure(const QWidget* w) {
    if (const auto* l = qobject_cast<const QLabel*>(w)) {
        const QString t = l->text();
        if (t.isEmpty() || l->wordWrap())
            return std::nullopt;
        QSize need;
        if (l->textFormat() == Qt::RichText || (l->textFormat() == Qt::AutoText && Qt::mightBeRichText(t))) {
            QTextDocument doc;
            doc.setDefaultFont(l->font());
            doc.setHtml(t);
            doc.setDocumentMargin(0);
            need = QSize(int(doc.idealWidth() + 0.99), int(doc.size().height() + 0.99));
        } else {
            need = l->fontMetrics().size(Qt::TextShowMnemonic, t);
        }
        const QRect r = l->contentsRect().adjusted(l->margin(), l->margin(), -l->margin(), -l->margin());
        return Cut{describe(l, t), need, QSize(r.width() - labelIndent(l), r.height())};
    }
    if (const auto* b = qobject_cast<const QPushButton*>(w)) {
        if (b->text().isEmpty())
            return std::nullopt;
        return Cut{describe(b, b->text()), pushButtonNeed(b), b->size()};
    }
    if (qobject_cast<const QCheckBox*>(w) || qobject_cast<const QRadioButton*>(w)) {
        // The indicator, its spacing and the text as the style lays them
        // out; upright, the text's line.
        const auto* b = static_cast<const QAbstractButton*>(w);
        if (b->text().isEmpty())
            return std::nullopt;
        const QSize text = b->fontMetrics().size(Qt::TextShowMnemonic, b->text());
        return Cut{describe(b, b->text()), QSize(b->sizeHint().width(), text.height()), b->size()};
    }
    if (const auto* b = qobject_cast<const QToolButton*>(w)) {
        if (b->text().isEmpty() || b->toolButtonStyle() == Qt::ToolButtonIconOnly || !b->icon().isNull())
            return std::nullopt;
        return Cut{describe(b, b->text()), b->sizeHint(), b->size()};
    }
    if (const auto* g = qobject_cast<const QGroupBox*>(w)) {
        if (g->title().isEmpty())
            return std::nullopt;
        QStyleOptionGroupBox opt;
        opt.initFrom(g);
        opt.text = g->title();
        opt.lineWidth = 1;
        opt.midLineWidth = 0;
        opt.textAlignment = Qt::Alignment(g->alignment());
        opt.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        if (g->isCheckable())
            opt.subControls |= QStyle::SC_GroupBoxCheckBox;
        opt.features = g->isFlat() ? QStyleOptionFrame::Flat : QStyleOptionFrame::None;
        const QRect label =
            g->style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, g);
        const int textWidth = g->fontMetrics().size(Qt::TextShowMnemonic, g->title()).width();
        // The title needs its text inside the label and the label inside the box.
        return Cut{describe(g, g->title()), QSize(std::max(label.right() + 1, label.left() + textWidth), 0),
                   QSize(g->width(), g->height())};
    }
    return std::nullopt;
}

bool inScrolledArea(const QWidget* w, const QWidget* top) {
    for (const QWidget* p = w->parentWidget(); p && p != top; p = p->parentWidget())
        if (auto* area = qobject_cast<const QAbstractScrollArea*>(p->parentWidget());
            area && area->viewport() == p)
            return true;
    return false;
}

// The part of `w` that its holders cut away, as the widths and heights
// needed and shown; none when the whole widget shows.
std::optional<Cut> clipped(const QWidget* w, const QWidget* top) {
    QRect shown = w->rect();
    for (const QWidget* p = w; p != top && p->parentWidget(); p = p->parentWidget()) {
        shown.translate(p->pos());
        shown &= p->parentWidget()->rect();
    }
    if (shown.size() == w->size())
        return std::nullopt;
    return Cut{describe(w, QStringLiteral("(held inside ") + QString::number(shown.width()) + "x" +
                               QString::number(shown.height()) + ")"),
               w->size(), shown.size()};
}

// Names of the items of a list view, with the room each needs and has in
// the first column: the row's text with the style's item margins.
void measureRows(const QTreeWidget* tree, std::vector<Cut>& cuts) {
    const int margin = tree->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, tree) + 1;
    const int columnWidth = tree->header()->sectionSize(0);
    std::function<void(QTreeWidgetItem*, int)> walk = [&](QTreeWidgetItem* item, int depth) {
        if (item->isHidden())
            return;
        const QString t = item->text(0);
        if (!t.isEmpty()) {
            QFont f = tree->font();
            const QVariant v = item->data(0, Qt::FontRole);
            if (v.isValid())
                f = v.value<QFont>().resolve(tree->font());
            int need = QFontMetrics(f).horizontalAdvance(t) + 2 * margin;
            if (!item->icon(0).isNull())
                need += tree->iconSize().isValid() ? tree->iconSize().width() + 2 * margin : 16 + 2 * margin;
            const int indent = tree->indentation() * (depth + (tree->rootIsDecorated() ? 1 : 0));
            cuts.push_back(Cut{describe(tree, t), QSize(need, 0), QSize(columnWidth - indent, 0)});
        }
        if (item->isExpanded())
            for (int i = 0; i < item->childCount(); ++i)
                walk(item->child(i), depth + 1);
    };
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        walk(tree->topLevelItem(i), 0);
}

// Every cut text of the window `top`, shown on the screen.
std::vector<Cut> cutTexts(QWidget* top) {
    std::vector<Cut> all, cuts;
    for (QWidget* w : top->findChildren<QWidget*>()) {
        if (!w->isVisible() || w->isWindow())
            continue;
        if (auto* tree = qobject_cast<QTreeWidget*>(w))
            measureRows(tree, all);
        if (inScrolledArea(w, top))
            continue;
        if (auto m = measure(w)) {
            all.push_back(*m);
            if (auto c = clipped(w, top))
                all.push_back(*c);
        }
    }
    for (const Cut& c : all)
        if (c.need.width() > c.have.width() || c.need.height() > c.have.height())
            cuts.push_back(c);
    return cuts;
}

// Keeps a picture of the window and tells what is cut.
std::string report(QWidget* top, const std::string& name, const std::vector<Cut>& cuts) {
    std::ostringstream out;
    const std::string png = outputFolder() + "/texts-fit-" + name + ".png";
    const bool saved = top->grab().save(QString::fromStdString(png), "PNG");
    out << cuts.size() << " cut text(s) in " << name << (saved ? "; picture: " + png : "; no picture saved")
        << "\n";
    for (const Cut& c : cuts)
        out << "  " << c.what << ": needs " << c.need.width() << "x" << c.need.height() << ", has "
            << c.have.width() << "x" << c.have.height() << "\n";
    return out.str();
}

void showAndWait(QWidget* w) {
    w->show();
    fit::serveUntil([w] { return w->isVisible(); }, 3000);
    settle();
}

struct WindowCase {
    const char* name;
    std::function<QWidget*()> make;
};

void PrintTo(const WindowCase& c, std::ostream* os) {
    *os << c.name;
}

class DialogTexts : public FitTest, public ::testing::WithParamInterface<WindowCase> {};

QWidget* withPrompt(ValidationError* d, const char* caption, const char* prompt) {
    d->setWindowTitle(QString::fromLatin1(caption));
    if (auto* l = d->findChild<QLabel*>(QStringLiteral("QLabel1")))
        l->setText(QString::fromLatin1(prompt));
    return d;
}

TEST_P(DialogTexts, EveryTextShowsWhole) {
    std::unique_ptr<QWidget> w(GetParam().make());
    ASSERT_NE(w, nullptr);
    showAndWait(w.get());
    const std::vector<Cut> cuts = cutTexts(w.get());
    EXPECT_TRUE(cuts.empty()) << report(w.get(), GetParam().name, cuts);
}

const WindowCase kWindows[] = {
    {"CaptureSettings", [] { return new CaptureSettings(nullptr, "capture"); }},
    {"About", [] { return new aboutVl(nullptr, "about"); }},
    {"AudioSpecifications", [] { return new CAudioSpec(nullptr, "AudioSpecifications"); }},
    {"BackgroundSoundSettings",
     [] { return new CBackgroundSound(nullptr, "Backgroundsoundsettings", false); }},
    {"ValidationErrorMessage",
     [] {
         return withPrompt(new ValidationError(nullptr, "Error Messages"), "Validation Error Message",
                           PropertyLviValidationError::PROMPT);
     }},
    {"ValidationMessage",
     [] {
         return withPrompt(new ValidationError(nullptr, " Messages"), "Validation Message",
                           PropertyLviValidationMessage::PROMPT);
     }},
    {"ValidationStringDialog", [] { return new HotKeyCtrl(nullptr, "hotkey"); }},
    {"ResourceEditor", [] { return new CResourceEditor(nullptr, "MediaLibrary", false); }},
    {"GradientSetUp", [] { return new CGradientFillSetUp(nullptr, "gradient"); }},
    {"RecordSoundClip", [] { return new CRecordSoundClip(nullptr, "recordsoundclip"); }},
    {"SetPassword", [] { return new SetPassword(nullptr, "setpassword"); }},
    {"ChangePassword", [] { return new ChangePassword(nullptr, "changepassword"); }},
    {"ClearPassword", [] { return new ClearPassword(nullptr, "clearpassword"); }},
    {"AppendFrame", [] { return new AppendFrame(nullptr, "appendframe"); }},
    {"HelpWindow",
     [] {
         QString home = QString::fromStdString(helpStartPage());
         auto* h = new HelpWindow(home, nullptr, nullptr);
         h->resize(SCREEN_WIDTH * 3 / 4, SCREEN_HEIGHT * 3 / 4);
         return static_cast<QWidget*>(h);
     }},
};

INSTANTIATE_TEST_SUITE_P(Windows, DialogTexts, ::testing::ValuesIn(kWindows),
                         [](const ::testing::TestParamInfo<WindowCase>& info) { return info.param.name; });

// The main window as the program opens it the first time on the screen.
class MainWindowTexts : public FitTest {
  protected:
    void SetUp() override {
        FitTest::SetUp();
        if (HasFatalFailure())
            return;
        w = std::make_unique<Velmora>();
        w->setObjectName("velmora");
        showAndWait(w.get());
    }
    void TearDown() override {
        DrawTools::currentlySelectedObject = SELECTION;
        w.reset();
        FitTest::TearDown();
    }
    std::unique_ptr<Velmora> w;
};

TEST_F(MainWindowTexts, TheWindowFitsTheScreenWithEveryBarWhole) {
    const QRect screen = QApplication::primaryScreen()->geometry();
    ASSERT_EQ(screen.size(), QSize(SCREEN_WIDTH, SCREEN_HEIGHT));
    // Its size as the first start gives it: the screen less 10 by 100.
    EXPECT_EQ(w->size(), QSize(SCREEN_WIDTH - 10, SCREEN_HEIGHT - 100));
    EXPECT_TRUE(screen.contains(w->frameGeometry()))
        << "frame at " << w->frameGeometry().x() << "," << w->frameGeometry().y() << " size "
        << w->frameGeometry().width() << "x" << w->frameGeometry().height();
    // A frame shown and the pointer at the screen's far corner: the status
    // panes hold their widest texts.
    w->slotEditAppendFrames();
    w->slotMouseMovePositions(QPoint(SCREEN_WIDTH - 1, SCREEN_HEIGHT - 1));
    settle();
    std::vector<Cut> cuts = cutTexts(w.get());
    // The Go To fields hold as many digits as they take.
    for (QLineEdit* field : w->findChildren<QLineEdit*>(QStringLiteral("GoTo"))) {
        QStyleOptionFrame opt;
        opt.initFrom(field);
        opt.lineWidth = field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, field);
        const QRect text = field->style()->subElementRect(QStyle::SE_LineEditContents, &opt, field);
        const QString digits(field->maxLength(), QLatin1Char('9'));
        // The field's own margins, 2 a side, and the cursor.
        cuts.push_back(Cut{describe(field, digits),
                           QSize(field->fontMetrics().horizontalAdvance(digits) + 5, 0),
                           QSize(text.width(), 0)});
    }
    cuts.erase(std::remove_if(cuts.begin(), cuts.end(),
                              [](const Cut& c) {
                                  return c.need.width() <= c.have.width() &&
                                         c.need.height() <= c.have.height();
                              }),
               cuts.end());
    // Every field of the bars shows whole, texts or not.
    for (QWidget* field : w->findChildren<QWidget*>())
        if (field->isVisible() && !field->isWindow() && !inScrolledArea(field, w.get()))
            if (auto c = clipped(field, w.get()))
                cuts.push_back(*c);
    EXPECT_TRUE(cuts.empty()) << report(w.get(), "MainWindow", cuts);
}

// The property box lists an object of every kind the tools make, and the
// frame object; every row shown, groups opened.
TEST_F(MainWindowTexts, EveryPropertyNameFitsItsColumn) {
    w->slotEditAppendFrames();
    VLImageHolder* holder = w->imageHolder();
    ASSERT_NE(holder, nullptr);
    auto send = [&](QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent e(type, QPointF(p), QPointF(p), QPointF(holder->mapToGlobal(p)), button, buttons,
                      Qt::NoModifier);
        QCoreApplication::sendEvent(holder, &e);
    };
    auto drag = [&](int tool, QPoint from, QPoint to) {
        holder->slot_select_draw_object(tool);
        send(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        send(QEvent::MouseMove, (from + to) / 2, Qt::NoButton, Qt::LeftButton);
        send(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
        holder->slot_select_draw_object(SELECTION);
    };
    const std::vector<int> kinds{LINE,           RECTANGLE, ROUNDRECT, ELLIPSE, VALIDATIONFIELD,
                                 INSTRUCTIONBOX, HYPERLINK, TEXTFIELD, BITMAP};
    int x = 20;
    for (int kind : kinds) {
        drag(kind, {x, 40}, {x + 60, 100});
        x += 80;
    }
    // The polyline: points clicked, the last one twice.
    holder->slot_select_draw_object(POLYLINE);
    for (QPoint p : {QPoint(40, 300), QPoint(100, 340), QPoint(160, 300)}) {
        send(QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton);
    }
    send(QEvent::MouseButtonDblClick, {160, 300}, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, {160, 300}, Qt::LeftButton, Qt::NoButton);
    holder->slot_select_draw_object(SELECTION);
    settle();
    const auto objects = holder->liveObjects();
    ASSERT_EQ(objects.size(), kinds.size() + 2) << "frame object, one object per tool, polyline";

    EditPropertyBox* box = w->getView()->_get_editprop_box();
    ASSERT_NE(box, nullptr);
    showAndWait(box);
    for (DrawTools* object : objects) {
        const std::string kind = std::to_string(object->drawingObject);
        SCOPED_TRACE("object kind " + kind);
        box->getListView()->clear();
        box->refillList(object);
        box->getListView()->expandAll();
        settle(50);
        std::vector<Cut> cuts;
        measureRows(box->getListView(), cuts);
        std::vector<Cut> cut;
        for (const Cut& c : cuts)
            if (c.need.width() > c.have.width())
                cut.push_back(c);
        EXPECT_FALSE(cuts.empty()) << "rows listed";
        EXPECT_TRUE(cut.empty()) << report(box, "PropertyBox-kind-" + kind, cut);
    }
}

} // namespace
