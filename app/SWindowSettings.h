// The 20-byte window settings record kept in settings.rse between runs.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

struct SWindowSettings {
    enum Offset : size_t {
        OFF_X = 0,
        OFF_Y = 4,
        OFF_WIDTH = 8,
        OFF_HEIGHT = 12,
        OFF_FLAGS = 16,
        OFF_RESERVED = 17, // three zero bytes
        SIZE = 20
    };

    // Visibility bits of the flags byte (1 = shown).
    enum Flag : uint8_t {
        TOOL_BAR = 0x01,
        STATUS_BAR = 0x02,
        NAVIGATION_BAR = 0x04,
        SOUND_CLIP = 0x08,
        DRAW_PALETTE = 0x10,
        EDIT_PALETTE = 0x20,
        COLOR_BAR = 0x40,
        FULL_SCREEN = 0x80
    };
    // Stored instead of the visibility bits when the window was minimized.
    static constexpr uint8_t MINIMIZED_FLAGS = 0x77;

    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    uint8_t flags = 0;

    std::array<uint8_t, SIZE> toBytes() const;
    // Missing bytes (a short file) read as zero.
    static SWindowSettings fromBytes(const uint8_t* data, size_t size);
};
