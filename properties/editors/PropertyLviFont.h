// Editor of a font (editor type 6): "..." opens the font dialog on the
// default font; the chosen font goes to the object and the line shows
// "family"size"weight"Bold"Italic (each part after a double quote, the
// weight in the records' old scale, Bold and Italic empty when not so).
#pragma once

#include "properties/editors/PropertyLviExtEdit.h"

#include <QFont>

#include <functional>
#include <optional>

class PropertyLviFont : public PropertyLviExtEdit {
    Q_OBJECT
  public:
    // Asks for a font starting at `initial`; none when cancelled.
    using FontChooser = std::function<std::optional<QFont>(const QFont& initial, QWidget* parent)>;

    PropertyLviFont(QWidget* parent, PropertyBoxClient* view, EditPropertyEntry* entry, const char* name);

    // Replaces the font dialog of every font editor; an empty chooser puts
    // the toolkit's dialog back.
    static void setFontChooser(FontChooser chooser);
    // The value text of a font.
    static QString valueText(const QFont& font);

  public slots:
    void btnPressed();

  signals:
    void signalFontSelected(QFont& font);
};
