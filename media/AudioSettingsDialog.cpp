#include "media/AudioSettingsDialog.h"

#include "store/Diagnostics.h"

#include <QComboBox>
#include <QHeaderView>
#include <QPixmap>
#include <QStatusBar>
#include <QTreeWidget>

namespace {

// A loudspeaker for the root row.
const char* const audio_xpm[] = {
    "16 16 4 1",        "  c None",         ". c #000000",      "+ c #808080",      "@ c #C0C0C0",
    "                ", "       .        ", "      ..    .   ", "     .@.  .  .  ", "    .@@.   .  . ",
    "..... @@.  . . .", ".@@@@@@@. . . . ", ".@+++@@@. . . . ", ".@+++@@@. . . . ", ".@@@@@@@. . . . ",
    "..... @@.  . . .", "    .@@.   .  . ", "     .@.  .  .  ", "      ..    .   ", "       .        ",
    "                ",
};

const char* const kRowNames[] = {"Input Source", "Bits Per Sample", "Sampling Rate", "Channels"};
const char* const kInitialValues[] = {"CD Audio", "8", "8000", "Mono"};
const char* const kStatusTexts[] = {"Select Sound Input Source", "Select Bits Per Sample",
                                    "Select Sampling Rate", "Select Channel Type"};

} // namespace

CAudioSpec::CAudioSpec(QWidget* parent, const char* name) : QDialog(parent) {
    setObjectName(QString::fromLatin1(name ? name : ""));
    setModal(false);
    BuildTheInterface();
    InitAudioValues();
    InitConnections();
}

void CAudioSpec::BuildTheInterface() {
    setWindowTitle("Audio Specifications");
    move(200, 200);
    setFixedSize(290, 205);

    m_listView = new QTreeWidget(this);
    m_listView->setObjectName("AudioListView");
    m_listView->setGeometry(5, 0, 280, 180);
    m_listView->setIndentation(20);
    m_listView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_listView->setRootIsDecorated(true);
    m_listView->setColumnCount(2);
    m_listView->setHeaderLabels({"Audio Properties", "Values"});
    QHeaderView* header = m_listView->header();
    header->setSectionsClickable(false);
    header->setSectionsMovable(false);
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->resizeSection(0, m_listView->width() - 90 - 4);
    header->resizeSection(1, 90);

    m_root = BuildItemInTheList(m_listView, "Audio Properties", QPixmap(audio_xpm));
    for (size_t i = 0; i < m_rows.size(); ++i)
        m_rows[i] = BuildItemInTheList(m_root, kRowNames[i]);
    m_root->setExpanded(true);

    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName("Audio Specifications");
    m_statusBar->setSizeGripEnabled(false);
    m_statusBar->setGeometry(m_listView->x(), m_listView->geometry().bottom() + 1 - 5, width() + 15, 30);
}

QTreeWidgetItem* CAudioSpec::BuildItemInTheList(QTreeWidget* list, const QString& text,
                                                const QPixmap& image) {
    auto* item = new QTreeWidgetItem(list, QStringList{text});
    item->setIcon(0, QIcon(image));
    item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    return item;
}

QTreeWidgetItem* CAudioSpec::BuildItemInTheList(QTreeWidgetItem* parent, const QString& text) {
    return new QTreeWidgetItem(parent, QStringList{text});
}

void CAudioSpec::InitAudioValues() {
    m_settings = sAudioSpecStruct{};
    for (size_t i = 0; i < m_rows.size(); ++i)
        m_rows[i]->setText(1, kInitialValues[i]);
}

void CAudioSpec::InitConnections() {
    connect(m_listView, &QTreeWidget::itemSelectionChanged, this, [this] {
        const QList<QTreeWidgetItem*> selected = m_listView->selectedItems();
        SlotListViewItemClicked(selected.isEmpty() ? nullptr : selected.first());
    });
}

void CAudioSpec::ReadDataValues(sAudioSpecStruct* out) const {
    *out = m_settings;
}

int CAudioSpec::FindTheItemClicked(QTreeWidgetItem* item) const {
    for (size_t i = 0; i < m_rows.size(); ++i)
        if (m_rows[i] == item)
            return int(i);
    return NO_SETTING;
}

QStringList CAudioSpec::InsertTheStrings(int row) {
    switch (row) {
    case INPUT_SOURCE:
        return {"CD Audio", "Microphone"};
    case BITS_PER_SAMPLE:
        return {"8", "16"};
    case SAMPLING_RATE:
        return {"8000", "11025", "22025", "44100"};
    case CHANNELS:
        return {"Mono", "Stereo"};
    default:
        return {};
    }
}

int CAudioSpec::FindTheIndex(const QString& text, const QStringList& values) {
    const int at = values.indexOf(text);
    return at < 0 ? 0 : at;
}

void CAudioSpec::StoreValueOnString(QTreeWidgetItem* item, const QString& text) {
    switch (FindTheItemClicked(item)) {
    case INPUT_SOURCE:
        m_settings.inputSource =
            text == "CD Audio" ? sAudioSpecStruct::SOURCE_CD_AUDIO : sAudioSpecStruct::SOURCE_MICROPHONE;
        break;
    case BITS_PER_SAMPLE:
        m_settings.bitsPerSample = text.toInt();
        break;
    case SAMPLING_RATE:
        m_settings.samplingRate = text.toInt();
        break;
    case CHANNELS:
        m_settings.channels = text == "Mono" ? 1 : 2;
        break;
    default:
        return;
    }
    diag::print("\n\tInput Source = %d\n\tBits Per Sample = %d\n\tSampling Rate = %d\n\tChannels = %d\n",
                m_settings.inputSource, m_settings.bitsPerSample, m_settings.samplingRate,
                m_settings.channels);
}

void CAudioSpec::storeChosenValue() {
    if (!m_comboBox || !m_editedRow)
        return;
    const QString text = m_comboBox->currentText();
    m_editedRow->setText(1, text);
    StoreValueOnString(m_editedRow, text);
}

void CAudioSpec::SlotListViewItemClicked(QTreeWidgetItem* item) {
    m_statusBar->clearMessage();
    const int row = item ? FindTheItemClicked(item) : NO_SETTING;
    if (row == NO_SETTING) {
        if (m_comboBox)
            m_comboBox->hide();
        return;
    }
    if (m_comboBox && m_editedRow) {
        storeChosenValue();
        delete m_comboBox;
        m_editedRow = nullptr;
    }

    m_offered = InsertTheStrings(row);
    auto* combo = new QComboBox(m_listView->viewport());
    combo->setObjectName("ComboBox");
    combo->setEditable(false);
    combo->addItems(m_offered);
    combo->setGeometry(m_listView->header()->sectionPosition(1), m_listView->visualItemRect(item).y(), 85,
                       20);
    combo->setFixedSize(85, 20);
    m_statusBar->showMessage(kStatusTexts[row]);
    combo->setCurrentIndex(FindTheIndex(item->text(1), m_offered));
    combo->setFocus();
    combo->show();

    m_comboBox = combo;
    m_editedRow = item;
    storeChosenValue();
    // A value is stored as soon as it is chosen, not only when another row is selected.
    connect(combo, &QComboBox::currentIndexChanged, this, [this] { storeChosenValue(); });
}
