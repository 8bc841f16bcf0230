#include "properties/editors/PropertyLviFont.h"

#include "canvas/records/NVFont.h"
#include "properties/EditPropertyEntry.h"

#include <QFontDialog>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalBlocker>

#include <utility>

namespace {
PropertyLviFont::FontChooser& fontChooser() {
    static PropertyLviFont::FontChooser chooser;
    return chooser;
}

std::optional<QFont> askFont(const QFont& initial, QWidget* parent) {
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, initial, parent);
    return ok ? std::optional<QFont>(font) : std::nullopt;
}
} // namespace

PropertyLviFont::PropertyLviFont(QWidget* parent, PropertyBoxClient* view, EditPropertyEntry* entry,
                                 const char* name)
    : PropertyLviExtEdit(parent, view, entry, name) {
    connect(button, &QPushButton::clicked, this, &PropertyLviFont::btnPressed);
    lineEdit->setReadOnly(true);
    connectToObjectSlot(selectedItem, "signalFontSelected(QFont&)", "slotFontSelected(QFont&)");
}

void PropertyLviFont::setFontChooser(FontChooser chooser) {
    fontChooser() = std::move(chooser);
}

QString PropertyLviFont::valueText(const QFont& font) {
    const NVFont old = NVFont::fromQFont(font);
    const QChar q = QLatin1Char('"');
    return q + font.family() + q + QString::number(font.pointSize()) + q + QString::number(old.weight) + q +
           (old.bold() ? QStringLiteral("Bold") : QString()) + q +
           (font.italic() ? QStringLiteral("Italic") : QString());
}

void PropertyLviFont::btnPressed() {
    const QFont initial;
    QPointer<PropertyLviFont> self(this);
    std::optional<QFont> chosen = fontChooser() ? fontChooser()(initial, this) : askFont(initial, this);
    if (!self || !chosen)
        return;
    const QString text = valueText(*chosen);
    emit signalFontSelected(*chosen);
    // One commit for the choice, also when the text stays the same.
    {
        const QSignalBlocker block(lineEdit);
        setLineText(text);
    }
    if (entry)
        entry->value = text;
    refreshItem();
}
