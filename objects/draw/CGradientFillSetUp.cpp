#include "objects/draw/CGradientFillSetUp.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include <type_traits>

namespace {
constexpr int kFrameStyle = QFrame::Panel | QFrame::Plain;

// Every child is named "NoName" and may shrink to nothing.
template <typename W>
W* child(QWidget* parent, int x, int y, int width, int height, const char* text = nullptr) {
    auto* w = new W(parent);
    w->setObjectName("NoName");
    w->setGeometry(x, y, width, height);
    w->setMinimumSize(0, 0);
    if constexpr (!std::is_same_v<W, QFrame> && !std::is_same_v<W, QComboBox>) {
        if (text)
            w->setText(text);
    }
    return w;
}
} // namespace

CGradientFillSetUp::CGradientFillSetUp(QWidget* parent, const char* name)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint) {
    if (name)
        setObjectName(name);
    setModal(false);
    initDialog();
    setWindowTitle("SetUpGradientFill");
    setFixedSize(WIDTH, HEIGHT);
    m_groupFrame->setFrameStyle(kFrameStyle);
    m_fromSwatch->setFrameStyle(kFrameStyle);
    m_toSwatch->setFrameStyle(kFrameStyle);
    m_preview->setFrameStyle(kFrameStyle);
    connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

CGradientFillSetUp::~CGradientFillSetUp() = default;

void CGradientFillSetUp::initDialog() {
    resize(WIDTH, HEIGHT);
    setMinimumSize(0, 0);
    m_groupFrame = child<QFrame>(this, 10, 20, 450, 130);
    m_styleLabel = child<QLabel>(m_groupFrame, 10, 10, 110, 30, "Style");
    m_styleList = child<QComboBox>(m_groupFrame, 140, 10, 160, 30);
    m_fromLabel = child<QLabel>(m_groupFrame, 10, 50, 110, 30, "FromColor");
    m_fromSwatch = child<QLabel>(m_groupFrame, 130, 50, 130, 30);
    m_fromButton = child<QPushButton>(m_groupFrame, 260, 50, 40, 30, "....");
    m_toLabel = child<QLabel>(m_groupFrame, 10, 90, 110, 30, "ToColor");
    m_toSwatch = child<QLabel>(m_groupFrame, 140, 90, 120, 30);
    m_toButton = child<QPushButton>(m_groupFrame, 260, 90, 40, 30, "....");
    m_preview = child<QLabel>(m_groupFrame, 320, 10, 120, 110);
    m_okButton = child<QPushButton>(this, 130, 160, 100, 30, "Ok");
    m_cancelButton = child<QPushButton>(this, 240, 160, 90, 30, "Cancel");
}
