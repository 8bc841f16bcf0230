// The property box: a modeless dialog with the object chooser, the
// Properties and Events lists of the selected object, and the help text of
// the row last clicked. The canvas and the objects drive the public
// tabWidget and objectChooser directly; the box fills the lists.
#pragma once

#include "properties/sPropertyStatus.h"

#include <QDialog>

#include <vector>

class QComboBox;
class QLabel;
class QTabWidget;
class QTreeWidgetItem;
class QVBoxLayout;
class PropertyBoxClient;
class PropertyEventListView;
class PropertyListView;
class PropertyListViewItem;

class EditPropertyBox : public QDialog {
    Q_OBJECT
  public:
    // Always modeless; `modal` and `flags` are not used.
    EditPropertyBox(PropertyBoxClient* view, QWidget* parent, const char* name, bool modal,
                    unsigned int flags);
    ~EditPropertyBox() override;

    PropertyListView* getListView() const { return propertyList; }
    PropertyEventListView* getEventListView() const { return eventList; }
    // The object whose rows the Properties list shows; null when it shows none.
    QObject* listedObject() const;
    QLabel* getHelpLabel() const { return helpLabel; }

    // Builds the Properties list of `object` (the caller has emptied it).
    void refillList(QObject* object);
    // Has the object rebuild its short event set `event`, then lists it.
    void refillEventList(QObject* object, int event);
    // Has the object rebuild its long event set `event`, then lists it.
    void refillHyperEventList(QObject* object, int event);
    // Has the object rebuild the set of key `key` of validation string
    // `string`, then lists it.
    void refillEventList(QObject* object, int string, int key);
    // The reorders of group rows for polylines and mouse clicks and of
    // General rows for validation fields.
    void sortChildElements();

    // While one lives, the Properties row `name` of `object` is the list's
    // current row, made so without any notice; the previous current row is
    // restored after. Objects that apply "the selected row" then apply the
    // row that committed, also when a range clamp committed another row.
    class ApplyingRow {
      public:
        ApplyingRow(EditPropertyBox* box, QObject* object, const QString& name);
        ~ApplyingRow();
        ApplyingRow(const ApplyingRow&) = delete;
        ApplyingRow& operator=(const ApplyingRow&) = delete;

      private:
        void makeCurrent(QTreeWidgetItem* item);
        PropertyListView* m_list = nullptr;
        QTreeWidgetItem* m_previous = nullptr;
        bool m_changed = false;
    };

    // Help table; rows outside the table are ignored.
    void setPropertyStatus(int row, const QString& kindKey, const QString& propertyName,
                           const QString& helpText);
    void fillStatus();

    QTabWidget* tabWidget;
    QComboBox* objectChooser;

  public slots:
    void slot_PropertyHelps(QTreeWidgetItem* item);
    void slot_EventPropertyHelps(QTreeWidgetItem* item);

  protected:
    void resizeEvent(QResizeEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

  private:
    void showHelp(QTreeWidgetItem* item);
    void emptyPropertyList();
    // Kind of the object whose list is being filled.
    int listedKind() const;
    // Drops the rows of the object when it is destroyed.
    void watch(QObject* object, QObject*& slot);
    void objectDestroyed(QObject* object);
    // The shared part of the three event fillers.
    enum class EventSet { SHORT, LONG, VALIDATION };
    void fillEvents(QObject* object, EventSet set, int string, int event);

    PropertyListView* propertyList;
    PropertyEventListView* eventList;
    PropertyBoxClient* view;
    std::vector<sPropertyStatus> helpRows;
    QVBoxLayout* boxLayout;
    QLabel* helpLabel;

    // The objects whose rows the lists show; compared only, never used.
    QObject* m_listed = nullptr;
    QObject* m_eventListed = nullptr;
    int m_fillKind = -1;
};
