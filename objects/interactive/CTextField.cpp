#include "objects/interactive/CTextField.h"

#include "canvas/VLImageHolder.h"
#include "canvas/records/StoredText.h"
#include "objects/draw/XColorPixel.h"
#include "objects/interactive/CEditTextField.h"
#include "objects/interactive/CEditTextFieldTextField.h"
#include "objects/interactive/ControlPayload.h"
#include "objects/interactive/InteractiveHost.h"
#include "objects/interactive/TextFieldRecord.h"
#include "properties/EditPropertyBase.h"
#include "properties/PropertyEditorType.h"

#include <QFile>
#include <QFileInfo>
#include <QPalette>
#include <QVBoxLayout>

// Xlib after the toolkit headers.
#include <X11/Xlib.h>

namespace {
const QString kNone = QStringLiteral("[None]");

QString flagWord(uint8_t flag) {
    return flag == 0 ? QStringLiteral("No") : flag == 1 ? QStringLiteral("Yes") : QString();
}

} // namespace

// ---- construction ----

void CTextField::begin(VLImageHolder* holder) {
    m_holder = holder;
    addMyPropEntrys();
    QWidget* parent = holder ? static_cast<QWidget*>(holder) : (m_host ? m_host->editorParent() : nullptr);
    m_editor = new CEditTextField(this, parent, m_host);
    drawingObject = TEXTFIELD;
}

CTextField::CTextField(VLImageHolder* holder, QWidget* parent, QPaintDevice*, int number)
    : InPlaceEditorOwner(nullptr, nullptr) {
    (void)parent;
    begin(holder);
    sTextField& p = field();
    m_name = QStringLiteral("Text Field ") + QString::number(number);
    p.font = NVFont{};
    p.backColor = NVColor{255, 255, 255};
    p.foreColor = NVColor{0, 0, 0};
    p.scrolling = 1;
    p.attribute = 1;
    p.transparent = 0;
    m_editor->setFrameStyle(QFrame::Panel | QFrame::Plain);
    m_editor->setLineWidth(2);
    setProp("Transparent", "No");
    setProp("Scrolling", "Yes");
    setProp("Attribute", "Rectangle");
    setProp("Back Color", colorName(p.backColor));
    setProp("Fore Color", colorName(p.foreColor));
    p.name = toStoredText(m_name);
    setProp("Name", m_name);
    if (m_host)
        m_host->appendObjectName(m_name);
    p.fileName.clear();
    connectEditor();
    m_previousName = fromStoredText(p.name);
}

CTextField::CTextField(VLImageHolder* holder, const NVAllObjects& record, int number, QPoint offset)
    : InPlaceEditorOwner(nullptr, nullptr) {
    begin(holder);
    m_name = QStringLiteral("Text Field ") + QString::number(number);
    sTextField& p = field();
    if (const sTextField* copied = record.get<sTextField>())
        p = *copied;
    p.x += offset.x();
    p.y += offset.y();
    setProp("Attribute", attributeWord(p.attribute));
    if (p.attribute == 0) {
        m_editor->setFrameStyle(QFrame::NoFrame);
    } else if (p.attribute == 1) {
        m_editor->setFrameStyle(QFrame::Panel | QFrame::Plain);
        m_editor->setLineWidth(1);
    } else if (p.attribute == 3) {
        m_editor->setFrameStyle(QFrame::Box | QFrame::Sunken);
        m_editor->setLineWidth(3);
    }
    setProp("Transparent", flagWord(p.transparent));
    if (!p.font)
        p.font = NVFont{};
    m_editor->setFont(p.font->toQFont());
    setProp("Font", pastedFontText(p.font->toQFont()));
    m_editor->setGeometry(p.x, p.y, p.width, p.height);
    applyColors();
    p.name = toStoredText(m_name);
    setProp("Name", m_name);
    if (m_host)
        m_host->appendObjectName(m_name);
    applyTextOrFile();
    connectEditor();
    setScrollingRow();
    m_previousName = fromStoredText(field().name);
}

CTextField::CTextField(VLImageHolder* holder, const sTextField& stored)
    : InPlaceEditorOwner(nullptr, nullptr) {
    begin(holder);
    sTextField& p = field();
    p = stored;
    setProp("Name", fromStoredText(p.name));
    setProp("Left", QString::number(p.x));
    setProp("Top", QString::number(p.y));
    setProp("Width", QString::number(p.width));
    setProp("Height", QString::number(p.height));
    m_editor->setGeometry(p.x, p.y, p.width, p.height);
    applyColors();
    setProp("Transparent", flagWord(p.transparent));
    if (!p.font)
        p.font = NVFont{};
    m_editor->setFont(p.font->toQFont());
    setProp("Font", fontText(p.font->toQFont()));
    setProp("Attribute", attributeWord(p.attribute));
    // The border of "Rectangle" and "3D" is drawn into the holder's pixmap.
    m_editor->setFrameStyle(QFrame::NoFrame);
    if (p.attribute == 0)
        m_editor->boxLayout()->setContentsMargins(0, 0, 0, 0);
    applyTextOrFile();
    connectEditor();
    setScrollingRow();
    m_previousName = fromStoredText(field().name);
}

CTextField::~CTextField() {
    // The editor is the holder's child: it may have gone with the holder.
    delete m_editor.data();
}

HolderKindMakers CTextField::holderKindMakers() {
    return controlKindMakers<CTextField, sTextField, StoredTextField, TextFieldRecord>();
}

void CTextField::addMyPropEntrys() {
    EditPropertyBase* props = getEditPropertyBase();
    if (!props)
        return;
    props->addProp("Name", "", "General", PE_STRING, "TextField", 0);
    props->addProp("Left", "", "Geometry", PE_LEFT, "", 0);
    props->addProp("Top", "", "Geometry", PE_TOP, "", 0);
    props->addProp("Width", "", "Geometry", PE_WIDTH, "", 0);
    props->addProp("Height", "", "Geometry", PE_HEIGHT, "", 0);
    props->addProp("Attribute", "", "Appearance", PE_ATTRIBUTE, "", 0);
    props->addProp("Back Color", "", "Appearance", PE_COLOR, "", 0);
    props->addProp("Fore Color", "", "Appearance", PE_COLOR, "", 0);
    props->addProp("Transparent", "", "Appearance", PE_BOOL, "TEXTFIELD", 0);
    props->addProp("Text File", "", "General", PE_FILENAME, "", 0);
    props->addProp("Scrolling", "", "Appearance", PE_BOOL, "", 0);
    props->addProp("Font", "", "Appearance", PE_FONT, "", 0);
}

void CTextField::connectEditor() {
    // Each notice once: the selection is delivered by one connection.
    connect(m_editor, &CEditTextField::signalSelectedTextField, this, &CTextField::slotSelectedTextField);
    connect(m_editor, &CEditTextField::signalMovedTextField, this, &CTextField::slotMovedTextField);
    connect(this, &CTextField::signalSetScrollBar, m_editor->entry(), &CEditTextEntry::slotSetScrollBar);
}

void CTextField::applyColors() {
    const sTextField& p = field();
    setProp("Back Color", colorName(p.backColor));
    setProp("Fore Color", colorName(p.foreColor));
    QPalette pal = m_editor->palette();
    pal.setColor(QPalette::Base, QColor(p.backColor.red, p.backColor.green, p.backColor.blue));
    pal.setColor(QPalette::Text, QColor(p.foreColor.red, p.foreColor.green, p.foreColor.blue));
    m_editor->setPalette(pal);
}

void CTextField::applyTextOrFile() {
    // A field with a text file shows the file's text once; the stored text
    // goes only into a field without a file.
    sTextField& p = field();
    const std::string written = p.text;
    const QString path = QFile::decodeName(QByteArray::fromStdString(p.fileName));
    setProp("Text File", QFileInfo(path).fileName());
    if (!p.fileName.empty()) {
        m_editor->entry()->setFocusPolicy(Qt::NoFocus);
        openFile();
    } else if (!written.empty()) {
        m_editor->entry()->setPlainText(fromStoredText(written));
    }
}

void CTextField::setScrollingRow() {
    const QString word = flagWord(field().scrolling);
    setProp("Scrolling", word);
    emit signalSetScrollBar(word.isNull() ? QString("") : word);
}

sTextField& CTextField::field() {
    return m_editor->field();
}

const sTextField& CTextField::field() const {
    return m_editor->field();
}

// ---- the canvas's operations ----

CEditTextField* CTextField::editor() const {
    return m_editor.data();
}

QWidget* CTextField::editorWidget() const {
    return m_editor.data();
}

InPlaceEditorFrame* CTextField::editorFrame() const {
    return m_editor ? &m_editor->frame() : nullptr;
}

void CTextField::copyRecord(NVAllObjects& target) const {
    if (m_editor)
        target = m_editor->record();
}

void CTextField::draw(_XDisplay* display, _XGC* gc, unsigned long& drawable) {
    if (!m_editor || !display || !gc || !drawable)
        return;
    const sTextField& p = field();
    const int x = p.x, y = p.y, w = p.width, h = p.height;
    const unsigned long black = XColorPixel::pixelOf(display, QColor(Qt::black));
    const unsigned long white = XColorPixel::pixelOf(display, QColor(Qt::white));
    auto pen = [&](unsigned long pixel) {
        XGCValues v;
        v.foreground = pixel;
        v.line_width = 2;
        XChangeGC(display, gc, GCForeground | GCLineWidth, &v);
    };
    if (p.attribute == 1) {
        pen(black);
        XDrawLine(display, drawable, gc, x - 1, y, x + w + 1, y);
        XDrawLine(display, drawable, gc, x + w, y, x + w, y + h);
        XDrawLine(display, drawable, gc, x + w + 1, y + h, x - 1, y + h);
        XDrawLine(display, drawable, gc, x, y + h, x, y);
    } else if (p.attribute == 3) {
        pen(black);
        XDrawLine(display, drawable, gc, x - 1, y, x + w + 1, y);
        XDrawLine(display, drawable, gc, x, y + h, x, y);
        pen(white);
        XDrawLine(display, drawable, gc, x + w + 1, y, x + w + 1, y + h);
        XDrawLine(display, drawable, gc, x + w + 1, y + h, x - 1, y + h);
    }
}

void CTextField::setPastingPosition() {
    if (m_editor)
        m_editor->clearFocus();
    m_pasting = QPoint(field().x, field().y);
}

const char* CTextField::getObjectName() const {
    return m_editor ? field().name.c_str() : "";
}

void* CTextField::getObjectStructure() {
    return m_editor ? &field() : nullptr;
}

QString CTextField::getWrittenText() const {
    return m_editor ? m_editor->entry()->toPlainText() : QString();
}

// ---- properties ----

QString CTextField::fontText(const QFont& f) {
    const NVFont n = NVFont::fromQFont(f);
    const QChar q('"');
    return q + f.family() + q + QString::number(n.pointSize) + q + QString::number(n.weight) + q +
           (n.bold() ? QStringLiteral("Bold") : QString()) + q +
           (f.italic() ? QStringLiteral("Italic") : QString());
}

QString CTextField::pastedFontText(const QFont& f) {
    const NVFont n = NVFont::fromQFont(f);
    const QString sep = QStringLiteral("\" \"");
    return QStringLiteral("\"") + f.family() + sep + QString::number(n.pointSize) + sep +
           QString::number(n.weight) + sep + (n.bold() ? QStringLiteral("TRUE") : QStringLiteral("FALSE")) +
           QStringLiteral("\"");
}

void CTextField::applyProperty(const QString& row) {
    if (!m_editor || row.isEmpty())
        return;
    sTextField& p = field();
    const QString v = Prop2Str(row);
    if (applyControlRow(row, {p.name, p.backColor, p.foreColor}, NAME_LIMIT, m_previousName))
        return;
    if (row == QLatin1String("Attribute")) {
        if (v == QLatin1String("None")) {
            m_editor->setFrameStyle(QFrame::NoFrame);
            p.attribute = 0;
            m_editor->boxLayout()->setContentsMargins(0, 0, 0, 0);
        }
        if (v == QLatin1String("Rectangle"))
            p.attribute = 1;
        if (v == QLatin1String("3D"))
            p.attribute = 3;
    } else if (row == QLatin1String("Transparent")) {
        if (v == QLatin1String("Yes"))
            p.transparent = 1;
        else if (v == QLatin1String("No"))
            p.transparent = 0;
    } else if (row == QLatin1String("Scrolling")) {
        if (v.isEmpty())
            return;
        if (v == QLatin1String("Yes"))
            p.scrolling = 1;
        else if (v == QLatin1String("No"))
            p.scrolling = 0;
        emit signalSetScrollBar(v);
    } else if (row == QLatin1String("Text File")) {
        if (v != kNone)
            return;
        CEditTextFieldTextField* entry = m_editor->entry();
        p.fileName.clear();
        entry->clear();
        entry->setFocusPolicy(Qt::StrongFocus);
        entry->setFocus();
    }
}

// ---- slots ----

void CTextField::slotSelectedTextField(DrawTools*) {
    relaySelected();
}

void CTextField::slotMovedTextField(QRect before) {
    relayMoved(before);
}

void CTextField::slotTextFileName(QString path) {
    if (!m_editor)
        return;
    CEditTextFieldTextField* entry = m_editor->entry();
    entry->setFocusPolicy(Qt::NoFocus);
    entry->clear();
    field().fileName = QFile::encodeName(path).toStdString();
    openFile();
}

void CTextField::openFile() {
    if (!m_editor)
        return;
    CEditTextFieldTextField* entry = m_editor->entry();
    entry->clear();
    QFile file(QFile::decodeName(QByteArray::fromStdString(field().fileName)));
    if (!file.open(QIODevice::ReadOnly))
        return;
    // Text files are Latin-1, as the stored texts are.
    entry->insertPlainText(QString::fromLatin1(file.readAll()));
}

void CTextField::slotFontSelected(QFont& font) {
    if (!m_editor)
        return;
    field().font = NVFont::fromQFont(font);
    m_editor->entry()->setFont(font);
}
