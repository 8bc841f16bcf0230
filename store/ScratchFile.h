// Writing a file whole or not at all: the bytes go to a scratch file beside
// the target, which replaces the target only once they are all written. The
// scratch is created anew, never through a link; a link at the target is
// replaced by the rename, the file it points to is left alone.
#pragma once

#include <cstdio>
#include <string>

class ScratchFile {
  public:
    // The scratch is `target` with ".part" added.
    explicit ScratchFile(std::string target);
    // Removes the scratch unless it was moved into place.
    ~ScratchFile();
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const std::string& path() const { return m_path; }
    const std::string& target() const { return m_target; }

    // Creates the scratch empty, for reading and writing; whatever an earlier
    // run left under its name is removed first (a link only as a link). The
    // caller owns the stream. Null on failure, with error() saying why.
    std::FILE* create();
    // How a target that exists is replaced.
    enum class Replace {
        // A rename over it; the file system may write the scratch out first,
        // so that after a crash the target holds either the old or the new.
        Durable,
        // For a file that lives only while the program runs: the two are
        // swapped and the old one removed, and nothing is written out at once.
        Transient,
    };
    // Moves the scratch over the target. False on failure, with error()
    // saying why; the scratch is then removed.
    bool commit(Replace how = Replace::Durable);
    // Removes the scratch.
    void discard();

    // What failed, which file, and the system's error text.
    const std::string& error() const { return m_error; }

  private:
    std::string m_target;
    std::string m_path;
    std::string m_error;
    bool m_created = false;
};

// Copies `source` whole into a scratch beside `target`, which takes the
// target's place only once it is complete (a durable rename). False on
// failure, with `error` the system's error number of the step that failed.
bool copyFileWhole(const std::string& source, const std::string& target, int& error);
