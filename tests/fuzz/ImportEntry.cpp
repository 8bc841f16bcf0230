#include "ImportEntry.h"

#include "store/DatRecords.h"

#include <cstdio>

namespace importfuzz {
void Services::addResource(const VlmResourceRecord&, const std::vector<uint8_t>&) {}

std::vector<uint8_t> Services::decodeAudio(const uint8_t* c, size_t n, size_t u) {
    std::vector<uint8_t> v(c, c + n);
    v.resize(u);
    return v;
}

bool Services::frameObjects(uint32_t, const uint8_t* plain, size_t n, const vlm::FileVersion&) {
    return n >= 24 && plain[0] == 24;
}

std::string vlmPath(const std::string& directory) {
    return directory + "/x.vlm";
}

std::string soundPath(const std::string& directory) {
    return directory + "/Sound.dat";
}

std::optional<ImportResult> importBytes(const uint8_t* data, size_t size, const std::string& directory) {
    const std::string vlm = vlmPath(directory);
    std::FILE* f = std::fopen(vlm.c_str(), "wb");
    if (!f)
        return std::nullopt;
    const bool written = std::fwrite(data, 1, size, f) == size;
    if (std::fclose(f) != 0 || !written)
        return std::nullopt;
    std::remove(datfile::workingPathFor(vlm).c_str());
    std::remove(soundPath(directory).c_str());
    Services s;
    OutputFileImporter importer(vlm, {64, 40, 24, 4}, directory, soundPath(directory), s);
    return importer.run();
}

} // namespace importfuzz
