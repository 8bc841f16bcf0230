// The password file of the password dialogs: password.txt in the current
// directory, the password's 8-bit characters with no line end. Only its last
// line counts.
#pragma once

#include <QString>

#include <optional>

class PasswordFile {
  public:
    static QString defaultPath() { return QStringLiteral("password.txt"); }

    // The last line of the file (empty for an empty file); nothing when the
    // file is missing or unreadable.
    static std::optional<QString> read(const QString& path = defaultPath());
    // Replaces the file with the password. False when it could not be
    // created or fully written.
    static bool write(const QString& password, const QString& path = defaultPath());
};

// Enablement of the Password menu's three items after one of its dialogs.
struct PasswordMenuState {
    enum class Dialog { Set, Change, Clear };
    bool set = true;     // 3033 "&Set Password"
    bool change = false; // 3034 "&Change Password"
    bool clear = false;  // 3035 "C&lear Password"

    static PasswordMenuState after(Dialog dialog, bool result);
    bool operator==(const PasswordMenuState& o) const {
        return set == o.set && change == o.change && clear == o.clear;
    }
};
