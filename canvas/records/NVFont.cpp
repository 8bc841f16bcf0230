#include "canvas/records/NVFont.h"

#include <iterator>
#include <tuple>

namespace {

struct WeightPair {
    int legacy;
    int qt;
};

// Corresponding named weights of the two scales; values between are
// interpolated linearly.
constexpr WeightPair kWeights[] = {
    {0, 100},  {12, 200}, {25, 300}, {50, 400}, {57, 500},
    {63, 600}, {75, 700}, {81, 800}, {87, 900}, {99, 1000},
};

int interpolate(int v, int fromLo, int fromHi, int toLo, int toHi) {
    if (fromHi == fromLo)
        return toLo;
    return toLo + ((v - fromLo) * (toHi - toLo) + (fromHi - fromLo) / 2) / (fromHi - fromLo);
}

} // namespace

bool NVFont::operator==(const NVFont& o) const {
    return std::tie(family, pointSize, weight, italic, underline, strikeOut) ==
           std::tie(o.family, o.pointSize, o.weight, o.italic, o.underline, o.strikeOut);
}

int NVFont::qtWeightFromLegacy(int legacy) {
    if (legacy <= kWeights[0].legacy)
        return kWeights[0].qt;
    for (size_t i = 1; i < std::size(kWeights); ++i)
        if (legacy <= kWeights[i].legacy)
            return interpolate(legacy, kWeights[i - 1].legacy, kWeights[i].legacy, kWeights[i - 1].qt,
                               kWeights[i].qt);
    return kWeights[std::size(kWeights) - 1].qt;
}

int NVFont::legacyWeightFromQt(int qtWeight) {
    if (qtWeight <= kWeights[0].qt)
        return kWeights[0].legacy;
    for (size_t i = 1; i < std::size(kWeights); ++i)
        if (qtWeight <= kWeights[i].qt)
            return interpolate(qtWeight, kWeights[i - 1].qt, kWeights[i].qt, kWeights[i - 1].legacy,
                               kWeights[i].legacy);
    return kWeights[std::size(kWeights) - 1].legacy;
}

QFont NVFont::toQFont() const {
    QFont f(QString::fromLatin1(family.c_str()));
    if (pointSize > 0)
        f.setPointSize(pointSize);
    f.setWeight(QFont::Weight(qtWeightFromLegacy(weight)));
    f.setItalic(italic);
    f.setUnderline(underline);
    f.setStrikeOut(strikeOut);
    return f;
}

NVFont NVFont::fromQFont(const QFont& f) {
    NVFont n;
    n.family = f.family().toLatin1().toStdString();
    n.pointSize = f.pointSize();
    n.weight = legacyWeightFromQt(f.weight());
    n.italic = f.italic();
    n.underline = f.underline();
    n.strikeOut = f.strikeOut();
    return n;
}
