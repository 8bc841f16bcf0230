#include "properties/GradientDialogMaker.h"

#include <QDialog>

#include <utility>

namespace {
GradientDialogMaker::Maker& installed() {
    static GradientDialogMaker::Maker maker;
    return maker;
}
} // namespace

void GradientDialogMaker::install(Maker maker) {
    installed() = std::move(maker);
}

QDialog* GradientDialogMaker::make(QWidget* parent) {
    if (!installed())
        return nullptr;
    QDialog* dialog = installed()(parent);
    if (dialog)
        dialog->hide();
    return dialog;
}
