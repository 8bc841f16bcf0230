// Editor of a colour (editor type 5): "..." opens the colour dialog and the
// line shows the chosen colour as #rrggbb. Only the frame object's fore
// colour (data "ForeColor", where "[None]" means no fore colour) may be typed into.
#pragma once

#include "properties/editors/PropertyLviExtEdit.h"

#include <QColor>

#include <functional>

class PropertyLviColorEdit : public PropertyLviExtEdit {
    Q_OBJECT
  public:
    // Asks for a colour starting at `initial`; an invalid colour when cancelled.
    using ColorChooser = std::function<QColor(const QColor& initial, QWidget* parent)>;

    PropertyLviColorEdit(QWidget* parent, PropertyBoxClient* view, EditPropertyEntry* entry,
                         const char* name);

    // Replaces the colour dialog of every colour editor; an empty chooser
    // puts the toolkit's dialog back.
    static void setColorChooser(ColorChooser chooser);
    // The colour the dialog always opens on.
    static QColor initialColor() { return QColor(0, 55, 65); }

  public slots:
    void slotSelectColor();
};
