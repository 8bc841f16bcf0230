// The audio settings dialog: input source, bits per sample, sampling rate and
// channels, each chosen from a combo box laid over its row's value. A choice
// is stored at once; the settings last for the run, in memory only.
#pragma once

#include "media/SoundRecords.h"

#include <QComboBox>
#include <QDialog>
#include <QPointer>
#include <QStringList>

#include <array>

class QStatusBar;
class QTreeWidget;
class QTreeWidgetItem;

class CAudioSpec : public QDialog {
    Q_OBJECT
  public:
    enum Row { INPUT_SOURCE = 0, BITS_PER_SAMPLE = 1, SAMPLING_RATE = 2, CHANNELS = 3, NO_SETTING = 4 };

    CAudioSpec(QWidget* parent, const char* name);

    // The settings a recording starts with.
    void ReadDataValues(sAudioSpecStruct* out) const;

    QTreeWidget* listView() const { return m_listView; }
    QTreeWidgetItem* rootRow() const { return m_root; }
    QTreeWidgetItem* settingRow(Row row) const { return m_rows[size_t(row)]; }
    // The combo box of the row being edited; null before the first edit.
    QComboBox* comboBox() const { return m_comboBox; }
    QStatusBar* statusBar() const { return m_statusBar; }

  public slots:
    // The editing step for the newly selected row (null: none selected).
    void SlotListViewItemClicked(QTreeWidgetItem* item);

  private:
    void BuildTheInterface();
    void InitAudioValues();
    void InitConnections();
    QTreeWidgetItem* BuildItemInTheList(QTreeWidget* list, const QString& text, const QPixmap& image);
    QTreeWidgetItem* BuildItemInTheList(QTreeWidgetItem* parent, const QString& text);
    int FindTheItemClicked(QTreeWidgetItem* item) const;
    static QStringList InsertTheStrings(int row);
    static int FindTheIndex(const QString& text, const QStringList& values);
    void StoreValueOnString(QTreeWidgetItem* item, const QString& text);
    // The combo box's value goes into the edited row and the settings.
    void storeChosenValue();

    sAudioSpecStruct m_settings;
    QTreeWidget* m_listView = nullptr;
    QTreeWidgetItem* m_root = nullptr;
    std::array<QTreeWidgetItem*, 4> m_rows{};
    QTreeWidgetItem* m_editedRow = nullptr;
    QPointer<QComboBox> m_comboBox;
    QStringList m_offered;
    QStatusBar* m_statusBar = nullptr;
};
