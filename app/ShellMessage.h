// Message boxes of the shell's dialogs, routed through one place so that
// tests can take the texts instead of a modal box.
#pragma once

#include <QString>

#include <functional>

class QWidget;

class ShellMessage {
  public:
    enum class Kind { Information, Warning };
    using Sink = std::function<void(Kind, const QString& caption, const QString& text)>;

    // A box with one OK button.
    static void show(Kind kind, const QString& caption, const QString& text, QWidget* parent = nullptr);
    // Replaces the boxes; an empty sink restores them.
    static void setSink(Sink sink);
};
