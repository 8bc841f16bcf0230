// A text field (kind 19): a rectangle on a frame that holds text typed into
// it or read from a text file. The object is never shown itself; its editor
// (CEditTextField), a child of the image holder, shows and keeps the record.
// The object draws the field's border into the holder's pixmap and applies
// the property rows.
#pragma once

#include "canvas/HolderObjectFactory.h"
#include "objects/interactive/CEditTextField.h"
#include "objects/interactive/InPlaceControl.h"

#include <QPointer>
#include <QString>

class QPaintDevice;
class VLImageHolder;

class CTextField : public InPlaceControl<CEditTextField, sTextField> {
    Q_OBJECT

  public:
    static constexpr int NAME_LIMIT = 30;

    // A new field made by the tool, with its number.
    CTextField(VLImageHolder* holder, QWidget* parent, QPaintDevice* device, int number);
    // A pasted record, with a new number and the paste offset.
    CTextField(VLImageHolder* holder, const NVAllObjects& record, int number, QPoint offset);
    // Re-created from a frame's stored record.
    CTextField(VLImageHolder* holder, const sTextField& stored);

    static HolderKindMakers holderKindMakers();

    void draw(_XDisplay* display, _XGC* gc, unsigned long& drawable) override;
    QString getWrittenText() const override;

    // Applies one property row by name.
    void applyProperty(const QString& row) override;
    // Reads the record's text file into the entry; the entry is emptied first
    // and stays empty when the file cannot be read.
    void openFile();

    // The font texts of the Font row: the property editor's form and the
    // paste form.
    static QString fontText(const QFont& font);
    static QString pastedFontText(const QFont& font);

  signals:
    void signalSetScrollBar(QString word);

  public slots:
    void slotSelectedTextField(DrawTools* object);
    void slotMovedTextField(QRect before);
    void slotTextFileName(QString path);
    void slotFontSelected(QFont& font) override;

  private:
    void begin(VLImageHolder* holder);
    void addMyPropEntrys();
    void connectEditor();
    void applyColors();
    void applyTextOrFile();
    void setScrollingRow();
    sTextField& field();
    const sTextField& field() const;

    VLImageHolder* m_holder = nullptr; // not owned
    QString m_name;
    QString m_previousName;
    int m_comboIndex = -1;
};
