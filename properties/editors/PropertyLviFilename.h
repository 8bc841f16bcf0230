// Editor of a file name (editor type 4): "..." asks for an existing file.
// A file chosen for a text field goes to the text field as its full path
// and shows as its file name; for any other object the line shows the path.
#pragma once

#include "properties/editors/PropertyLviExtEdit.h"

#include <functional>

class PropertyLviFilename : public PropertyLviExtEdit {
    Q_OBJECT
  public:
    // Asks for an existing file: the full path, empty when cancelled.
    using FileChooser = std::function<QString(QWidget* parent, const QString& filter)>;

    PropertyLviFilename(QWidget* parent, PropertyBoxClient* view, EditPropertyEntry* entry, const char* name,
                        int eventIndex);

    // Replaces the open-file dialog of every file editor; an empty chooser
    // puts the toolkit's dialog back.
    static void setFileChooser(FileChooser chooser);
    // The dialog's filter for the entry's data.
    static QString filterFor(const QString& data);

  public slots:
    void btnPressed();

  signals:
    void signalTextFileName(QString path);

  protected:
    void commit() override;

  private:
    int32_t eventIndex;
};
