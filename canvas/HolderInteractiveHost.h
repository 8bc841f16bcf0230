// The image holder's and the property box's half of what the interactive
// objects ask of the program (InteractiveHost). The main window derives from
// it, adds its own four operations (playback records, frame colour, user
// action, sound) and registers the result with InteractiveHost::setCurrent.
//
// Header only: the canvas library does not link the object libraries.
#pragma once

#include "canvas/DrawTools.h"
#include "canvas/VLImageHolder.h"
#include "canvas/VelmoraView.h"
#include "objects/interactive/InteractiveHost.h"
#include "properties/EditPropertyBox.h"
#include "properties/PropertyListView.h"

#include <QComboBox>
#include <QPointer>
#include <QTabWidget>

class HolderInteractiveHost : public InteractiveHost {
  public:
    explicit HolderInteractiveHost(VLImageHolder* holder) : m_holder(holder) {}

    int currentFrame() const override { return m_holder ? m_holder->getCurrentFrame() : -1; }
    const StrAllObjects* frameRecords(unsigned long frame) const override {
        if (!m_holder || frame >= m_holder->vAllObjects.size()) return nullptr;
        const StrAllObjects& list = m_holder->vAllObjects[frame];
        return list.AllObjects.empty() ? nullptr : &list;
    }
    DrawTools* selectedItem() override { return m_holder ? m_holder->getSelectedItem() : nullptr; }
    void setCurrentObject(DrawTools* object) override {
        if (m_holder) m_holder->draw_tool = object;
    }
    void drawContents() override {
        if (m_holder) m_holder->drawContents();
    }
    void resetCombo() override {
        if (m_holder) m_holder->slotResetCombo();
    }
    bool objectSelection() const override { return m_holder && m_holder->checkObjectSelection(); }
    void setObjectSelection(bool on) override {
        if (m_holder) m_holder->setObjectSelection(on);
    }
    void setHolderCursor(Qt::CursorShape shape) override {
        if (m_holder) m_holder->setCursor(shape);
    }
    void drawBand(const QRect& band) override {
        if (m_holder) m_holder->drawXorBand(band);
    }
    QSize screenSize() const override { return m_holder ? m_holder->screenSize() : QSize(); }

    bool propertyBoxVisible() const override {
        EditPropertyBox* b = box();
        return b && b->isVisible();
    }
    int propertyPageIndex() const override {
        EditPropertyBox* b = box();
        return b && b->tabWidget ? b->tabWidget->currentIndex() : -1;
    }
    bool isPropertiesPage(QWidget* page) const override {
        EditPropertyBox* b = box();
        return b && page && page == static_cast<QWidget*>(b->getListView());
    }
    bool isEventsPage(QWidget* page) const override {
        EditPropertyBox* b = box();
        return b && page && page == static_cast<QWidget*>(b->getEventListView());
    }
    QString selectedPropertyRow() const override {
        EditPropertyBox* b = box();
        return b ? selectedRow(b->getListView()) : QString();
    }
    QString selectedEventRow() const override {
        EditPropertyBox* b = box();
        return b ? selectedRow(b->getEventListView()) : QString();
    }
    void setEventChooser(const QStringList& names, QObject* receiver, std::function<void(int)> activated) override {
        EditPropertyBox* b = box();
        if (!b || !b->objectChooser) return;
        QComboBox* chooser = b->objectChooser;
        QObject::disconnect(m_route);
        {
            const QSignalBlocker blocker(chooser);
            chooser->clear();
            chooser->addItems(names);
        }
        if (receiver && activated) m_route = QObject::connect(chooser, &QComboBox::activated, receiver, activated);
    }
    void refillEventList(DrawTools* object, int event) override {
        if (EditPropertyBox* b = box()) b->refillEventList(object, event);
    }
    void appendObjectName(const QString& name) override {
        EditPropertyBox* b = box();
        if (b && b->objectChooser) b->objectChooser->addItem(name);
    }

  protected:
    VLImageHolder* holder() const { return m_holder; }

  private:
    EditPropertyBox* box() const {
        return m_holder && m_holder->getVelmoraView() ? m_holder->getVelmoraView()->_get_editprop_box() : nullptr;
    }
    static QString selectedRow(PropertyListView* list) {
        QTreeWidgetItem* item = list ? list->currentItem() : nullptr;
        return item && item->isSelected() ? item->text(0) : QString();
    }

    QPointer<VLImageHolder> m_holder;
    QMetaObject::Connection m_route;
};
