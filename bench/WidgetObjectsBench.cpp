// Leaving and entering a frame that holds 30 text fields of 2,000 characters
// each, as the image holder does at a frame change (copy each record out,
// delete the field; re-create it from the record and show it), against
// making, showing and deleting 30 bare frames with a plain-text edit holding
// the same text. The same round trip for 30 validation fields of 10 strings
// with 5 keys each, every key with an event, against 30 bare read-only
// plain-text edits. On a private Xvfb at 1920x1080x24.
#include "objects/interactive/CEditTextField.h"
#include "objects/interactive/CTextField.h"
#include "objects/interactive/CValidationField.h"
#include "objects/interactive/InteractiveHost.h"

#include "XcbStage.h"

#include <QApplication>
#include <QFrame>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

constexpr int kFields = 30;

// The services a text field asks for; the editors' parent is a shown widget.
class BenchHost : public InteractiveHost {
  public:
    QWidget* parent = nullptr;
    std::vector<SPlayBackFrameInfo>* playbackRecords() override { return nullptr; }
    void changeFrameColor(const QColor&) override {}
    void setUserActionStatus(bool) override {}
    void soundAddedOrRemovedInFrame(bool) override {}
    int currentFrame() const override { return 0; }
    const StrAllObjects* frameRecords(unsigned long) const override { return nullptr; }
    DrawTools* selectedItem() override { return nullptr; }
    void setCurrentObject(DrawTools*) override {}
    void drawContents() override {}
    void resetCombo() override {}
    bool objectSelection() const override { return false; }
    void setObjectSelection(bool) override {}
    void setHolderCursor(Qt::CursorShape) override {}
    void drawBand(const QRect&) override {}
    QSize screenSize() const override { return QSize(1920, 1080); }
    bool checkFrameStatus() const override { return false; }
    QWidget* editorParent() const override { return parent; }
    bool propertyBoxVisible() const override { return false; }
    void showPropertyBox() override {}
    int propertyPageIndex() const override { return -1; }
    bool isPropertiesPage(QWidget*) const override { return false; }
    bool isEventsPage(QWidget*) const override { return false; }
    QString selectedPropertyRow() const override { return {}; }
    QString selectedEventRow() const override { return {}; }
    void setEventChooser(const QStringList&, QObject*, std::function<void(int)>) override {}
    void refillEventList(DrawTools*, int) override {}
    void appendObjectName(const QString&) override {}
};

std::string textOf(int i) {
    std::string t;
    while (t.size() < 2000)
        t += "Field " + std::to_string(i) + " line of text, ";
    t.resize(2000);
    return t;
}

struct Stage {
    XcbStage screen;
    BenchHost host;

    bool start() {
        if (!screen.start(1920, 1080))
            return false;
        host.parent = screen.canvas.get();
        InteractiveHost::setCurrent(&host);
        return true;
    }
    void stop() {
        InteractiveHost::setCurrent(nullptr);
        screen.stop();
    }
    ~Stage() { stop(); }
};

bool stageMade = false;

Stage& stage() {
    stageMade = true;
    static Stage s;
    static const bool started = s.start();
    (void)started;
    return s;
}

QRect placeOf(int i) {
    return QRect(20 + (i % 6) * 310, 20 + (i / 6) * 200, 300, 190);
}

// The holder's frame change for 30 live objects made from their payloads:
// copy each record out and delete the object, then re-create and show it.
template <class Object, class Payload>
void leaveAndEnterFrame(benchmark::State& state, Payload (*payloadOf)(int)) {
    Stage& s = stage();
    if (!s.screen.app) {
        state.SkipWithError("no private X server");
        return;
    }
    std::vector<NVAllObjects> records(kFields);
    std::vector<Object*> live;
    for (int i = 0; i < kFields; ++i) {
        Payload p = payloadOf(i);
        const QRect r = placeOf(i);
        p.x = r.x();
        p.y = r.y();
        p.width = r.width();
        p.height = r.height();
        p.attribute = 1;
        p.font = NVFont{};
        live.push_back(new Object(nullptr, p));
        live.back()->show();
    }
    QCoreApplication::processEvents();
    for (auto _ : state) {
        for (int i = 0; i < kFields; ++i) {
            live[size_t(i)]->getAllObjectStructure(&records[size_t(i)]);
            delete live[size_t(i)];
        }
        live.clear();
        for (int i = 0; i < kFields; ++i) {
            live.push_back(new Object(nullptr, *records[size_t(i)].template get<Payload>()));
            live.back()->show();
        }
        QCoreApplication::processEvents();
    }
    for (Object* f : live)
        delete f;
    state.SetItemsProcessed(state.iterations() * kFields);
}

sTextField textFieldOf(int i) {
    sTextField p;
    p.name = "Text Field " + std::to_string(i + 1);
    p.scrolling = 1;
    p.text = textOf(i);
    return p;
}

void BM_TextFieldsLeaveAndEnterFrame(benchmark::State& state) {
    leaveAndEnterFrame<CTextField, sTextField>(state, &textFieldOf);
}

// Makes kFields widgets on the canvas by `make`, shows them in their places,
// lets them be drawn and deletes them, once an iteration.
template <class Make> void makeShowDelete(benchmark::State& state, Make make) {
    Stage& s = stage();
    if (!s.screen.app) {
        state.SkipWithError("no private X server");
        return;
    }
    std::vector<QWidget*> widgets;
    for (auto _ : state) {
        for (int i = 0; i < kFields; ++i) {
            QWidget* w = make(s.screen.canvas.get(), i);
            w->setGeometry(placeOf(i));
            w->show();
            widgets.push_back(w);
        }
        QCoreApplication::processEvents();
        for (QWidget* w : widgets)
            delete w;
        widgets.clear();
    }
    state.SetItemsProcessed(state.iterations() * kFields);
}

void BM_BareWidgetsMakeShowDelete(benchmark::State& state) {
    std::vector<QString> texts;
    for (int i = 0; i < kFields; ++i)
        texts.push_back(QString::fromStdString(textOf(i)));
    makeShowDelete(state, [&](QWidget* canvas, int i) {
        auto* frame = new QFrame(canvas);
        frame->setAttribute(Qt::WA_NativeWindow);
        auto* layout = new QVBoxLayout(frame);
        layout->setContentsMargins(1, 1, 1, 1);
        auto* edit = new QPlainTextEdit(frame);
        layout->addWidget(edit);
        edit->setPlainText(texts[size_t(i)]);
        return frame;
    });
}

// Ten strings of five keys, each key with an event showing a message.
SMultiString stringsOf(int field) {
    SMultiString strings;
    for (int i = 0; i < 10; ++i) {
        sMultiValidationString s;
        s.text = "answer " + std::to_string(field) + "." + std::to_string(i);
        for (uint32_t k = 0; k < 5; ++k) {
            sValidationKey key;
            key.uiValidationKey = (2u << 16) | (65u + k);
            key.event = sValidationKeyEvent{};
            key.event->message = "Well done";
            key.event->caption = "Answer";
            key.event->word268 = uint32_t(-1);
            s.keys.push_back(key);
        }
        s.nKeyCount = 5;
        strings.list.push_back(s);
    }
    return strings;
}

sValidationField validationFieldOf(int i) {
    sValidationField p;
    p.name = "Validation Field " + std::to_string(i + 1);
    p.strings = stringsOf(i);
    return p;
}

void BM_ValidationFieldsLeaveAndEnterFrame(benchmark::State& state) {
    leaveAndEnterFrame<CValidationField, sValidationField>(state, &validationFieldOf);
}

void BM_BareReadOnlyEditsMakeShowDelete(benchmark::State& state) {
    makeShowDelete(state, [](QWidget* canvas, int) {
        auto* edit = new QPlainTextEdit(canvas);
        edit->setAttribute(Qt::WA_NativeWindow);
        edit->setReadOnly(true);
        edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        return edit;
    });
}

BENCHMARK(BM_TextFieldsLeaveAndEnterFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareWidgetsMakeShowDelete)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ValidationFieldsLeaveAndEnterFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareReadOnlyEditsMakeShowDelete)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return runBenchmarksThenStop(argc, argv, [] {
        if (stageMade)
            stage().stop();
    });
}
