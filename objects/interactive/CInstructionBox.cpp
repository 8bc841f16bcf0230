#include "objects/interactive/CInstructionBox.h"
#include "objects/interactive/WidgetKindMakers.h"

#include "canvas/VLImageHolder.h"
#include "canvas/records/StoredText.h"
#include "objects/interactive/CEditInstructionBox.h"
#include "objects/interactive/CEditInstructionBoxLabel.h"
#include "objects/interactive/CEditTextFieldTextField.h"
#include "objects/interactive/InstructionBoxRecord.h"
#include "objects/interactive/InteractiveHost.h"
#include "properties/EditPropertyBase.h"
#include "properties/PropertyEditorType.h"

namespace {
QString colorName(const NVColor& c) {
    return QColor(c.red, c.green, c.blue).name();
}

QString titleBarWord(uint8_t flag) {
    return flag == 0 ? QStringLiteral("Off") : flag == 1 ? QStringLiteral("On") : QString();
}

std::string generatedName(int number) {
    return "Instruction Box " + std::to_string(number);
}

QString scrollingWord(uint8_t flag) {
    return flag == 0 ? QStringLiteral("No") : flag == 1 ? QStringLiteral("Yes") : QString();
}
} // namespace

// ---- construction ----

void CInstructionBox::begin(VLImageHolder* holder, QWidget* parent) {
    m_holder = holder;
    addMyPropEntrys();
    if (!parent)
        parent = holder ? static_cast<QWidget*>(holder) : (m_host ? m_host->editorParent() : nullptr);
    m_editor = new CEditInstructionBox(this, parent, m_host);
    m_editor->setFrameStyle(QFrame::Panel | QFrame::Plain);
    m_editor->setLineWidth(1);
    m_editor->entry()->setFrameStyle(QFrame::NoFrame);
    drawingObject = INSTRUCTIONBOX;
    connectEditor();
}

void CInstructionBox::finish() {
    m_constructionName = fromStoredText(box().name);
}

CInstructionBox::CInstructionBox(VLImageHolder* holder, QWidget* parent, QPaintDevice*, int number) {
    begin(holder, parent);
    sInstructionBox& p = box();
    p.name = generatedName(number);
    p.caption = p.name;
    p.backColor = NVColor{255, 255, 255};
    p.foreColor = NVColor{0, 0, 0};
    p.font = NVFont{};
    p.scrolling = 1;
    p.titleBar = 1;
    publishName();
    showCaption();
    setProp("Caption", fromStoredText(p.caption));
    showScrolling(false);
    showTitleBar();
    setProp("Back Color", colorName(p.backColor));
    setProp("Fore Color", colorName(p.foreColor));
    finish();
}

CInstructionBox::CInstructionBox(VLImageHolder* holder, CInstructionBox& source, int number,
                                 QPoint position) {
    begin(holder, nullptr);
    sInstructionBox& p = box();
    p = source.box();
    p.x = position.x();
    p.y = position.y();
    p.name = generatedName(number);
    p.caption = p.name;
    m_editor->frame().setIndex(number);
    showRecord(false);
    drawingObject = source.drawingObject;
}

CInstructionBox::CInstructionBox(VLImageHolder* holder, const NVAllObjects& record, int number,
                                 QPoint offset) {
    begin(holder, nullptr);
    sInstructionBox& p = box();
    if (const sInstructionBox* copied = record.get<sInstructionBox>())
        p = *copied;
    p.x += offset.x();
    p.y += offset.y();
    p.name = generatedName(number);
    m_editor->frame().setIndex(number);
    showRecord(true);
}

CInstructionBox::CInstructionBox(VLImageHolder* holder, const sInstructionBox& stored) {
    begin(holder, nullptr);
    sInstructionBox& p = box();
    p = stored;
    setProp("Left", QString::number(p.x));
    setProp("Top", QString::number(p.y));
    setProp("Width", QString::number(p.width));
    setProp("Height", QString::number(p.height));
    showRecord(true);
}

HolderKindMakers CInstructionBox::holderKindMakers() {
    return widgetKindMakers<CInstructionBox, sInstructionBox, StoredInstructionBox, InstructionBoxRecord>();
}

void CInstructionBox::addMyPropEntrys() {
    EditPropertyBase* props = getEditPropertyBase();
    if (!props)
        return;
    props->addProp("Name", "", "General", PE_STRING, "InstructionBox", 0);
    props->addProp("Left", "", "Geometry", PE_LEFT, "", 0);
    props->addProp("Top", "", "Geometry", PE_TOP, "", 0);
    props->addProp("Width", "", "Geometry", PE_WIDTH, "", 0);
    props->addProp("Height", "", "Geometry", PE_HEIGHT, "", 0);
    props->addProp("Caption", "", "General", PE_STRING, "", 0);
    props->addProp("Title Bar", "", "General", PE_BOOL, "On/Off", 0);
    props->addProp("Back Color", "", "Appearance", PE_COLOR, "", 0);
    props->addProp("Fore Color", "", "Appearance", PE_COLOR, "", 0);
    props->addProp("Scrolling", "", "Appearance", PE_BOOL, "", 0);
    props->addProp("Font", "", "Appearance", PE_FONT, "", 0);
}

void CInstructionBox::connectEditor() {
    CEditInstructionBoxLabel* label = m_editor->label();
    connect(m_editor, &CEditInstructionBox::signalSelectedInstructionBox, this,
            &CInstructionBox::slotSelectedInstructionBox);
    connect(label, &CEditInstructionBoxLabel::signalLabelPressed, this,
            &CInstructionBox::slotInstructionBoxPressed);
    connect(label, &CEditInstructionBoxLabel::signalLabelMoved, this,
            &CInstructionBox::slotInstructionBoxMoved);
    connect(label, &CEditInstructionBoxLabel::signalLabelReleased, this,
            &CInstructionBox::slotInstructionBoxReleased);
    connect(m_editor->entry(), &CEditInstructionBoxTextField::signalLabelReleased, this,
            &CInstructionBox::slotInstructionBoxReleased);
    // A second time, as the program has always done: every selection notice
    // reaches the holder twice, and the property box is refilled twice.
    connect(m_editor, &CEditInstructionBox::signalSelectedInstructionBox, this,
            &CInstructionBox::slotSelectedInstructionBox);
    connect(m_editor, &CEditInstructionBox::signalMovedInstructionBox, this,
            &CInstructionBox::slotMovedInstructionBox);
    connect(this, &CInstructionBox::signalSetScrollBar, m_editor->entry(), &CEditTextEntry::slotSetScrollBar);
}

void CInstructionBox::setProp(const QString& name, const QString& value) {
    // A byte outside the listed codes writes no word.
    if (value.isNull())
        return;
    if (EditPropertyBase* props = getEditPropertyBase())
        props->setProp_Value(name, value);
}

void CInstructionBox::publishName() {
    const QString name = fromStoredText(box().name);
    setProp("Name", name);
    // Every constructor adds its name; the holder refills the chooser after a
    // frame change anyway.
    if (m_host)
        m_host->appendObjectName(name);
}

void CInstructionBox::showCaption() {
    m_editor->label()->setText(fromStoredText(box().caption));
}

void CInstructionBox::showRecord(bool captionRow) {
    sInstructionBox& p = box();
    publishName();
    showCaption();
    if (captionRow)
        setProp("Caption", fromStoredText(p.caption));
    setProp("Back Color", colorName(p.backColor));
    setProp("Fore Color", colorName(p.foreColor));
    QPalette pal = m_editor->entry()->palette();
    pal.setColor(QPalette::Base, QColor(p.backColor.red, p.backColor.green, p.backColor.blue));
    pal.setColor(QPalette::Text, QColor(p.foreColor.red, p.foreColor.green, p.foreColor.blue));
    m_editor->entry()->setPalette(pal);
    if (!p.font)
        p.font = NVFont{};
    m_editor->entry()->setFont(p.font->toQFont());
    // Setting the text copies it back into the record, unchanged.
    const std::string text = p.text;
    if (text.empty())
        m_editor->entry()->clear();
    else
        m_editor->entry()->setPlainText(fromStoredText(text));
    m_editor->setGeometry(p.x, p.y, p.width, p.height);
    showTitleBar();
    showScrolling(true);
    finish();
}

void CInstructionBox::showTitleBar() {
    const uint8_t flag = box().titleBar;
    setProp("Title Bar", titleBarWord(flag));
    if (flag == 0)
        m_editor->label()->hide();
    else if (flag == 1)
        m_editor->label()->show();
}

void CInstructionBox::showScrolling(bool emitWord) {
    const QString word = scrollingWord(box().scrolling);
    setProp("Scrolling", word);
    if (emitWord)
        emit signalSetScrollBar(word.isNull() ? QString("") : word);
}

sInstructionBox& CInstructionBox::box() {
    return m_editor->box();
}

const sInstructionBox& CInstructionBox::box() const {
    return m_editor->box();
}

// ---- the canvas's operations ----

QString CInstructionBox::getWrittenText() const {
    return m_editor ? m_editor->getWrittenText() : QString();
}

// ---- properties ----

void CInstructionBox::applyColor(const QString& row, NVColor& target, QPalette::ColorRole role) {
    const QString v = Prop2Str(row);
    if (v.isEmpty())
        return;
    const QColor c = QColor::fromString(v);
    // A text that names no colour changes nothing; the row shows the colour
    // in use again.
    if (!c.isValid()) {
        setProp(row, colorName(target));
        return;
    }
    target = NVColor{c.red(), c.green(), c.blue()};
    QPalette pal = m_editor->entry()->palette();
    pal.setColor(role, c);
    m_editor->entry()->setPalette(pal);
}

void CInstructionBox::repaintItem() {
    if (!m_editor)
        return;
    sInstructionBox& p = box();

    const QString name = Prop2Str("Name");
    // The limit applies to the text as entered, before trimming.
    if (name.size() <= NAME_LIMIT) {
        QString applied = name.trimmed();
        if (applied.isEmpty())
            applied = m_constructionName;
        p.name = toStoredText(applied);
        setProp("Name", applied);
    }

    // A value that is no decimal number reads as 0; no minimum size here.
    const struct {
        const char* row;
        int32_t* field;
        bool place;
    } geometry[] = {
        {"Left", &p.x, true}, {"Top", &p.y, true}, {"Width", &p.width, false}, {"Height", &p.height, false}};
    for (const auto& g : geometry) {
        const QString v = Prop2Str(QString::fromLatin1(g.row));
        if (v.isEmpty())
            continue;
        *g.field = v.toInt();
        if (g.place)
            m_editor->move(p.x, p.y);
        else
            m_editor->resize(p.width, p.height);
    }

    // The stored record keeps 255 Latin-1 characters of the caption: apply
    // what it can keep and show that in the row.
    const QString caption = Prop2Str("Caption");
    p.caption = toStoredText(caption.left(CAPTION_LIMIT));
    const QString applied = fromStoredText(p.caption);
    m_editor->label()->setText(applied);
    if (applied != caption)
        setProp("Caption", applied);

    const QString titleBar = Prop2Str("Title Bar");
    if (titleBar == QLatin1String("Off")) {
        m_editor->label()->hide();
        p.titleBar = 0;
    } else if (titleBar == QLatin1String("On")) {
        m_editor->label()->show();
        p.titleBar = 1;
    }

    applyColor(QStringLiteral("Back Color"), p.backColor, QPalette::Base);
    applyColor(QStringLiteral("Fore Color"), p.foreColor, QPalette::Text);

    if (const QString v = Prop2Str("Scrolling"); !v.isEmpty()) {
        if (v == QLatin1String("Yes"))
            p.scrolling = 1;
        else if (v == QLatin1String("No"))
            p.scrolling = 0;
        emit signalSetScrollBar(v);
    }

    emit signalSetLeft(p.x);
    emit signalSetWidth(p.width);
    emit signalSetTop(p.y);
    emit signalSetHeight(p.height);
    if (m_host) {
        m_host->drawContents();
        m_host->setCurrentObject(m_host->selectedItem());
    }
}

// ---- slots ----

void CInstructionBox::slotSelectedInstructionBox(DrawTools*) {
    relaySelected();
}

void CInstructionBox::slotMovedInstructionBox(QRect before) {
    relayMoved(before);
}

void CInstructionBox::slotInstructionBoxPressed(QMouseEvent* event) {
    if (m_editor)
        m_editor->framePress(event);
}

void CInstructionBox::slotInstructionBoxMoved(QMouseEvent* event) {
    if (m_editor)
        m_editor->frameMove(event);
}

void CInstructionBox::slotInstructionBoxReleased(QMouseEvent* event) {
    if (m_editor)
        m_editor->frameRelease(event);
}

void CInstructionBox::slotFontSelected(QFont& font) {
    if (!m_editor)
        return;
    box().font = NVFont::fromQFont(font);
    m_editor->entry()->setFont(font);
}
