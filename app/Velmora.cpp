#include "app/Velmora.h"

#include "store/DatRecords.h"

#include <QMessageBox>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

Velmora::Velmora(QWidget* parent) : QMainWindow(parent) {
    setObjectName("VL 1.0-1 for Linux");
    setAttribute(Qt::WA_DeleteOnClose);

    auto home = homeDirectory();
    if (!home) exitForMissingHome();
    m_homeDir = *home;
    m_vlmFileName = datfile::untitledPath(m_homeDir);
    m_soundFileName = datfile::dataDirectory(m_homeDir) + "/Sound.dat";

    resize(800, 600);
    setBuilderCaption();
}

Velmora::~Velmora() = default;

std::optional<std::string> Velmora::homeDirectory() {
    const char* home = getenv("HOME");
    if (!home || !*home) return std::nullopt;
    return std::string(home);
}

void Velmora::exitForMissingHome() {
    fputs("$HOME not set, please set it to appropriate directory\n", stderr);
    exit(1);
}

int Velmora::setBuilderCaption() {
    QString text = QStringLiteral("Velmora 1.0 - ") + QString::fromLocal8Bit(m_vlmFileName.c_str());
    text.chop(4);
    m_caption = text;
    setWindowTitle(m_caption);
    return 0;
}

void Velmora::VL_ErrMessage(const QString& text) {
    QMessageBox::information(nullptr, "Velmora 1.0", text);
}

bool Velmora::getCurrentPath(std::string& path) const {
    char buf[4096];
    if (!getcwd(buf, sizeof buf)) return false;
    path = std::string(buf) + "/";
    return true;
}
