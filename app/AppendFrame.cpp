#include "app/AppendFrame.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>

AppendFrame::AppendFrame(QWidget* parent, const char* name) : QDialog(parent) {
    setObjectName(name ? name : "");
    setModal(true);
    init();
}

void AppendFrame::init() {
    setFixedSize(420, 320);
    auto place = [](QWidget* w, const char* name, int x, int y, int wd, int h) {
        w->setObjectName(name);
        w->setGeometry(x, y, wd, h);
        w->setMinimumSize(0, 0);
    };
    m_frameGroup = new QGroupBox(this);
    place(m_frameGroup, "NoName", 20, 10, 220, 180);
    m_namePrompt = new QCheckBox("Prompt user for Frame Name", this);
    place(m_namePrompt, "NoName", 20, 240, 265, 30);
    // A child of the dialog lying over the group box, not of the group box.
    m_preview = new QWidget(this);
    place(m_preview, "NoName", 30, 20, 200, 160);
    m_ok = new QPushButton("OK", this);
    place(m_ok, "okButton", 75, 280, 110, 30);
    m_previewOption = new QCheckBox("Show Preview", this);
    place(m_previewOption, "QCheckBox1", 260, 80, 140, 30);
    m_duplicate = new QCheckBox("Duplicate Current Frame", this);
    place(m_duplicate, "NoName", 20, 210, 265, 30);
    m_cancel = new QPushButton("Cancel", this);
    place(m_cancel, "cancelButton", 255, 280, 110, 30);
}
