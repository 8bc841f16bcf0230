// A working frame file left beside an opened output file, grown by edits
// after the import (records appended, the frame count rewritten), is the
// program's own: opening the output file again replaces it. Anything that is
// not a working frame file is still refused.
#include "fuzz/ImportEntry.h"
#include "store/DatRecords.h"
#include "store/OutputFileImporter.h"
#include "store/RecordIO.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>

using namespace testsupport;

namespace {

namespace fs = std::filesystem;

// Bytes of a corpus output file that imports on the fuzz entry's screen.
std::string importableOutputFile(const std::string& directory) {
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(VELMORA_IMPORT_CORPUS))
        if (e.is_regular_file())
            files.push_back(e.path());
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
        const std::string bytes = readFile(file.string());
        const auto r =
            importfuzz::importBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), directory);
        if (r && r->code == OutputFileImporter::IMPORT_OK && r->project.m_dwFrameCount > 0)
            return bytes;
    }
    return {};
}

// What edits do to the imported file: copy its first record to the end and
// count one frame more; the size field keeps the length at the import.
void appendCopiedFrame(std::string& dat) {
    const auto* p = reinterpret_cast<const uint8_t*>(dat.data());
    const SDatFrameHeader first = SDatFrameHeader::fromBytes(p + SDatMainHeader::SIZE);
    const std::string record = dat.substr(SDatMainHeader::SIZE, first.recordSize);
    const uint32_t count = rec::readLe32(p + 8);
    dat += record;
    rec::writeLe32(reinterpret_cast<uint8_t*>(dat.data()) + 8, count + 1);
}

void put32(std::string& b, size_t at, uint32_t v) {
    rec::writeLe32(reinterpret_cast<uint8_t*>(b.data()) + at, v);
}

struct WorkingFileCase {
    const char* name;
    std::function<void(std::string&)> change; // applied to the imported working frame file
    bool ours;
};

TEST(EditedWorkingFile, IsRecognisedByItsRecordsAndAnythingElseRefused) {
    TempDir dir;
    const std::string bytes = importableOutputFile(dir.path());
    ASSERT_FALSE(bytes.empty()) << "no importable file in the corpus";
    const std::string vlm = importfuzz::vlmPath(dir.path());
    const std::string dat = datfile::workingPathFor(vlm);
    const std::string imported = readFile(dat);
    ASSERT_EQ(rec::readLe32(reinterpret_cast<const uint8_t*>(imported.data())), imported.size());

    const WorkingFileCase cases[] = {
        {"AsImported", [](std::string&) {}, true},
        {"GrownByEdits", appendCopiedFrame, true},
        {"GrownTwice",
         [](std::string& d) {
             appendCopiedFrame(d);
             appendCopiedFrame(d);
         },
         true},
        {"RecordingLimitInTheSizeField", [](std::string& d) { put32(d, 0, DAT_FILE_SIZE_LIMIT); }, true},
        {"SizeFieldAboveTheLength", [](std::string& d) { put32(d, 0, uint32_t(d.size() + 1)); }, false},
        {"GrownWithAHalfRecord",
         [](std::string& d) {
             appendCopiedFrame(d);
             d.resize(d.size() - 1);
         },
         false},
        {"GrownByBytesThatAreNoRecord", [](std::string& d) { d += std::string(100, 'x'); }, false},
        {"OtherHeaderSize", [](std::string& d) { put32(d, 4, 60); }, false},
        {"MoreFramesThanRecords", [](std::string& d) { put32(d, 8, 1000); }, false},
        {"NotAWorkingFile", [](std::string& d) { d = std::string(4096, 'z'); }, false},
    };
    for (const WorkingFileCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::string before = imported;
        c.change(before);
        writeFile(dat, before);
        EXPECT_EQ(OutputFileImporter::looksLikeWorkingFile(dat), c.ours);

        // Opening the output file again: ours is replaced, anything else is kept.
        importfuzz::Services s;
        const ImportResult r =
            OutputFileImporter(vlm, {64, 40, 24, 4}, dir.path(), importfuzz::soundPath(dir.path()), s).run();
        if (c.ours) {
            EXPECT_EQ(r.code, OutputFileImporter::IMPORT_OK) << r.error;
            const std::string again = readFile(dat);
            EXPECT_EQ(again.size(), imported.size()) << "the import rewrites the working frame file";
            EXPECT_EQ(again.substr(0, SDatMainHeader::SIZE), imported.substr(0, SDatMainHeader::SIZE));
        } else {
            EXPECT_EQ(r.code, OutputFileImporter::IMPORT_OPEN);
            EXPECT_NE(r.error.find("exists and is not a working frame file"), std::string::npos) << r.error;
            EXPECT_EQ(readFile(dat), before) << "left as it was";
        }
    }
}

} // namespace
