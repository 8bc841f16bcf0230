// libFuzzer target: any bytes as an output file to import. Build with
// scripts/fuzz-import.sh; the corpus lives beside this file and
// tests/store/ImportCorpusTest.cpp replays it in every test run.
#include "ImportEntry.h"

#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

const std::string& workDir() {
    static std::string dir = [] {
        char tmpl[] = "/tmp/velmora-fuzz-XXXXXX";
        return std::string(mkdtemp(tmpl));
    }();
    return dir;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    importfuzz::importBytes(data, size, workDir());
    return 0;
}
