// The two files that carry the main window's state from one run to the next,
// both in the data directory: settings.rse (size and visible bars, consumed
// when read) and recentfiles (output files last made or opened, newest first).
#pragma once

#include "app/SWindowSettings.h"

#include <QRect>
#include <QStringList>

#include <optional>
#include <string>

class SessionFiles {
  public:
    static constexpr int MAX_RECENT_FILES = 10;

    static std::string settingsPath(const std::string& dataDir);
    static std::string recentFilesPath(const std::string& dataDir);

    // The record saveUserSettings writes: a full-screen window stores the
    // screen size less 10 by less 100, a minimized one the fixed flags 0x77.
    // `visibleBits` holds the bits 0..6 of the windows shown now.
    static SWindowSettings makeSettings(const QRect& windowGeometry, bool fullScreen, bool minimized,
                                        uint8_t visibleBits, int screenWidth, int screenHeight);

    // Writes the 20-byte record, replacing the file. False when the file could
    // not be created or fully written (a partial file is removed).
    static bool saveSettings(const std::string& dataDir, const SWindowSettings& s);

    enum class LoadResult { NoFile, Unreadable, Loaded };
    // Reads the record (missing bytes zero) and removes the file. NoFile: the
    // path named no regular file (whatever was there is removed). Unreadable:
    // the file stays where it is and `out` is untouched.
    static LoadResult loadSettings(const std::string& dataDir, SWindowSettings& out);

    // The start geometry: the stored size at (0, 0), or (0, 0, screen width - 10,
    // screen height - 100) when there is none, when it is larger than the
    // screen, or when it is not a real size (zero or negative).
    static QRect startGeometry(const SWindowSettings* stored, int screenWidth, int screenHeight);
    static QRect defaultGeometry(int screenWidth, int screenHeight);

    // Reads the list; a missing or unreadable file, or one that is not a
    // regular file, gives an empty list. Trimmed
    // to ten entries by dropping the last entry (with every copy of it) while
    // the list is longer.
    static QStringList readRecentFileList(const std::string& dataDir);
    // Writes the whole list, replacing the file. False when it could not be
    // written completely.
    static bool writeRecentFiles(const std::string& dataDir, const QStringList& list);
    // Puts `path` at the front, moving an existing entry there. True when the
    // path was new, so the File menu needs an item for it. The list is not
    // trimmed here.
    static bool updateRecentFileList(QStringList& list, const QString& path);

    // The list in its file form: a Qt 2 data stream of a string list.
    static QByteArray encodeRecentFiles(const QStringList& list);
    static std::optional<QStringList> decodeRecentFiles(const QByteArray& bytes);
};
