// Makes the gradient set-up dialog for the row editor of editor type 9. The
// dialog's class lives in the drawing objects, above this library, so the
// program installs the maker at start-up and the row editor asks for it here.
#pragma once

#include <functional>

class QDialog;
class QWidget;

class GradientDialogMaker {
  public:
    using Maker = std::function<QDialog*(QWidget* parent)>;

    // Replaces the maker; an empty one removes it.
    static void install(Maker maker);
    // A new dialog with the parent, hidden; null when no maker is installed.
    static QDialog* make(QWidget* parent);
};
