// libFuzzer target: any bytes as an output file to import. Build with
// scripts/fuzz-import.sh; the corpus lives beside this file.
#include "store/OutputFileImporter.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

struct Services : ImportServices {
    void addResource(const VlmResourceRecord&, const std::vector<uint8_t>&) override {}
    std::vector<uint8_t> decodeAudio(const uint8_t* c, size_t n, size_t u) override {
        std::vector<uint8_t> v(c, c + n);
        v.resize(u);
        return v;
    }
    bool frameObjects(uint32_t, const uint8_t* plain, size_t n) override { return n >= 24 && plain[0] == 24; }
};

const std::string& workDir() {
    static std::string dir = [] {
        char tmpl[] = "/tmp/velmora-fuzz-XXXXXX";
        return std::string(mkdtemp(tmpl));
    }();
    return dir;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string vlm = workDir() + "/x.vlm";
    std::FILE* f = std::fopen(vlm.c_str(), "wb");
    if (!f)
        return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    std::remove((workDir() + "/x.dat").c_str());
    Services s;
    OutputFileImporter importer(vlm, {64, 40, 24, 4}, workDir(), workDir() + "/Sound.dat", s);
    importer.run();
    return 0;
}
