// Replays the import fuzz corpus through the fuzz target's entry, so every
// test run guards what the fuzzer once found, without libFuzzer.
#include "fuzz/ImportEntry.h"
#include "store/DatRecords.h"
#include "store/OutputFileImporter.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Importer = OutputFileImporter;

std::vector<fs::path> corpusFiles() {
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(VELMORA_IMPORT_CORPUS))
        if (e.is_regular_file())
            files.push_back(e.path());
    std::sort(files.begin(), files.end());
    return files;
}

// Everything in the directory but the output file itself.
std::set<std::string> leftBehind(const std::string& directory) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(directory))
        if (e.path() != importfuzz::vlmPath(directory))
            names.insert(e.path().filename().string());
    return names;
}

} // namespace

TEST(ImportCorpus, EveryInputIsRefusedOrImportedAndLeavesOnlyItsResults) {
    const std::vector<fs::path> files = corpusFiles();
    ASSERT_FALSE(files.empty()) << "no corpus in " << VELMORA_IMPORT_CORPUS;
    const std::set<int> known = {
        Importer::IMPORT_OK,         Importer::IMPORT_WRITE,        Importer::IMPORT_READ,
        Importer::IMPORT_OPEN,       Importer::IMPORT_SEEK,         Importer::IMPORT_MEMORY,
        Importer::IMPORT_RESOLUTION, Importer::IMPORT_CANNOT_OPEN,  Importer::IMPORT_NO_ADDITIONAL_DATA,
        Importer::IMPORT_NO_VIDEO,   Importer::IMPORT_BAD_SIGNATURE};
    testsupport::TempDir dir;
    const std::string working = datfile::workingPathFor(importfuzz::vlmPath(dir.path()));
    const std::string sound = importfuzz::soundPath(dir.path());
    for (const fs::path& file : files) {
        SCOPED_TRACE(file.filename().string());
        const std::string bytes = testsupport::readFile(file.string());
        const auto r =
            importfuzz::importBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), dir.path());
        ASSERT_TRUE(r.has_value()) << "the input could not be written";
        EXPECT_TRUE(known.count(r->code)) << "result " << r->code;

        // Only the working frame file and the sound working file may stay,
        // and only after a whole import; no scratch file stays.
        std::set<std::string> allowed;
        if (r->code == Importer::IMPORT_OK)
            allowed.insert(fs::path(working).filename().string());
        if (r->soundWritten)
            allowed.insert(fs::path(sound).filename().string());
        for (const std::string& name : leftBehind(dir.path()))
            EXPECT_TRUE(allowed.count(name)) << name << " left behind, result " << r->code;
        EXPECT_EQ(testsupport::fileExists(sound), r->soundWritten);
        if (r->code == Importer::IMPORT_OK) {
            EXPECT_TRUE(Importer::looksLikeWorkingFile(working)) << "an import gives a working frame file";
        } else {
            EXPECT_FALSE(testsupport::fileExists(working)) << "refused, result " << r->code;
            EXPECT_FALSE(r->soundWritten);
            EXPECT_NE(r->error.find(importfuzz::vlmPath(dir.path())), std::string::npos)
                << "the cause names the file: " << r->error;
        }
    }
}
