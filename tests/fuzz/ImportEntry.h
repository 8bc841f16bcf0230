// The import entry shared by the libFuzzer target and the corpus replay
// test: any bytes as an output file, imported with stand-in services for a
// 64x40 screen at 24 bits.
#pragma once

#include "store/OutputFileImporter.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace importfuzz {

// The import's services as the entry gives them: resources dropped, audio
// passed through, object chunks accepted when they carry the 24-byte head.
struct Services : ImportServices {
    void addResource(const VlmResourceRecord&, const std::vector<uint8_t>&) override;
    std::vector<uint8_t> decodeAudio(const uint8_t* coded, size_t length, size_t uncodedBytes) override;
    bool frameObjects(uint32_t, const uint8_t* plain, size_t length, const vlm::FileVersion&) override;
};

// Names inside the directory: the output file and the sound working file.
// The working frame file is the importer's, beside the output file.
std::string vlmPath(const std::string& directory);
std::string soundPath(const std::string& directory);

// Writes the bytes as the output file in `directory`, removes the working
// files an earlier run left and imports. Empty when the bytes cannot be
// written.
std::optional<ImportResult> importBytes(const uint8_t* data, size_t size, const std::string& directory);

} // namespace importfuzz
