#include "app/ShellMessage.h"

#include <QMessageBox>

namespace {
ShellMessage::Sink& sink() {
    static ShellMessage::Sink s;
    return s;
}
} // namespace

void ShellMessage::show(Kind kind, const QString& caption, const QString& text, QWidget* parent) {
    if (sink()) {
        sink()(kind, caption, text);
        return;
    }
    if (kind == Kind::Warning)
        QMessageBox::warning(parent, caption, text);
    else
        QMessageBox::information(parent, caption, text);
}

void ShellMessage::setSink(Sink s) {
    sink() = std::move(s);
}
