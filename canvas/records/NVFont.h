// Font of a text-carrying object as its records keep it. The weight keeps
// the old toolkit's scale (50 normal, 75 bold) that stored records use; the
// conversion to and from Qt's scale lives only here.
#pragma once

#include <QFont>

#include <cstdint>
#include <string>

struct NVFont {
    static constexpr int32_t WEIGHT_NORMAL = 50;
    static constexpr int32_t WEIGHT_BOLD = 75;

    std::string family = "helvetica"; // Latin-1 bytes
    int32_t pointSize = 12;
    int32_t weight = WEIGHT_NORMAL;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;

    // The old toolkit's bold test.
    bool bold() const { return weight > WEIGHT_NORMAL; }
    bool operator==(const NVFont& o) const;
    bool operator!=(const NVFont& o) const { return !(*this == o); }

    QFont toQFont() const;
    static NVFont fromQFont(const QFont& f);
    // Weight scales: old (0..99, 50 normal, 75 bold) and Qt's (100..1000).
    static int qtWeightFromLegacy(int legacy);
    static int legacyWeightFromQt(int qtWeight);
};
