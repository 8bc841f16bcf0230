// Editor of a media library resource (editor type 15): "..." runs the media
// library dialog at the category code the entry's data holds (90 images, 91
// audio, 92 video, 93 icons, 94 cursors, 95 default icons). A resource
// chosen there sets the entry's valueId to its identifier and shows its file
// name; typing into the line gives "[None]" and leaves valueId as it was.
#pragma once

#include "properties/editors/PropertyLviExtEdit.h"

#include <cstdint>
#include <functional>
#include <optional>

class PropertyLviResourceEditorFile : public PropertyLviExtEdit {
    Q_OBJECT
  public:
    // What the dialog answers on OK: the resource's full source path and identifier.
    struct Choice {
        QString path;
        uint32_t id = 0;
    };
    // Runs the media library dialog modally over `parent`, opened at
    // `category`, for a row whose resource is `currentId`; the choice, or
    // none when the dialog closed without one. The program installs it at
    // start-up; it is called only when "..." is pressed.
    using ResourceDialog =
        std::function<std::optional<Choice>(QWidget* parent, int category, uint32_t currentId)>;

    PropertyLviResourceEditorFile(QWidget* parent, PropertyBoxClient* view, EditPropertyEntry* entry,
                                  const char* name, int stringIndex, int eventIndex);

    // Replaces the dialog of every resource editor; without one "..." does nothing.
    static void setResourceDialog(ResourceDialog dialog);
    static bool hasResourceDialog();

  public slots:
    void btnPressed();
    void slotPrintPath(QString path, unsigned long id);

  protected:
    void commit() override;

  private:
    int32_t eventIndex;
    int32_t stringIndex;
};
