// The program's one main window.
#pragma once

#include <QMainWindow>
#include <QString>

#include <optional>
#include <string>

class Velmora : public QMainWindow {
    Q_OBJECT
  public:
    explicit Velmora(QWidget* parent = nullptr);
    ~Velmora() override;

    // HOME, or nothing when it is not set (or empty).
    static std::optional<std::string> homeDirectory();
    // Prints the message for a missing HOME and ends the process with status 1.
    [[noreturn]] static void exitForMissingHome();

    int setBuilderCaption();
    static void VL_ErrMessage(const QString& text);
    bool getCurrentPath(std::string& path) const;

    const std::string& workingFileName() const { return m_vlmFileName; }

  private:
    std::string m_homeDir;
    std::string m_vlmFileName;   // the working frame file
    std::string m_soundFileName; // the sound working file
    QString m_caption;
};
