#include "media/G723Codec.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace {

std::vector<uint8_t> toBytes(const std::vector<int16_t>& samples) {
    std::vector<uint8_t> b(samples.size() * 2);
    for (size_t i = 0; i < samples.size(); ++i) {
        b[2 * i] = uint8_t(uint16_t(samples[i]));
        b[2 * i + 1] = uint8_t(uint16_t(samples[i]) >> 8);
    }
    return b;
}

std::vector<uint8_t> compress(const std::vector<uint8_t>& in) {
    std::vector<uint8_t> out(G723PackedLength(in.size()) + 1, 0xEE);
    int n = -1;
    EXPECT_EQ(G723Compress(in.data(), int(in.size()), out.data(), &n), 0);
    EXPECT_EQ(out.back(), 0xEE) << "wrote past the packed length";
    out.resize(size_t(n));
    return out;
}

std::vector<int16_t> decompress(std::vector<uint8_t> in) {
    std::vector<short> out(G723DecodedLength(in.size()) / 2 + 1, 0x5555);
    int n = -1;
    EXPECT_EQ(G723DeCompress(in.data(), int(in.size()), out.data(), &n), 0);
    EXPECT_EQ(out.back(), 0x5555) << "wrote past the decoded length";
    out.resize(size_t(n) / 2);
    return std::vector<int16_t>(out.begin(), out.end());
}

std::vector<int16_t> sine(size_t n, double hz, double rate, double amplitude) {
    std::vector<int16_t> s(n);
    for (size_t i = 0; i < n; ++i)
        s[i] = int16_t(std::lround(amplitude * std::sin(2 * M_PI * hz * double(i) / rate)));
    return s;
}

struct LengthCase {
    const char* name;
    int inputBytes;
    int packedBytes;
    int decodedBytes;
};

class G723Lengths : public ::testing::TestWithParam<LengthCase> {};

TEST_P(G723Lengths, PackedAndDecodedLengths) {
    const auto& c = GetParam();
    std::vector<uint8_t> in(size_t(c.inputBytes));
    std::mt19937 rng(7);
    for (auto& b : in)
        b = uint8_t(rng());
    auto packed = compress(in);
    EXPECT_EQ(int(packed.size()), c.packedBytes);
    EXPECT_EQ(G723PackedLength(in.size()), size_t(c.packedBytes));
    auto decoded = decompress(packed);
    EXPECT_EQ(int(decoded.size() * 2), c.decodedBytes);
}

INSTANTIATE_TEST_SUITE_P(Cases, G723Lengths,
                         ::testing::Values(LengthCase{"Empty", 0, 0, 0}, LengthCase{"OneSample", 2, 3, 16},
                                           LengthCase{"EightSamples", 16, 3, 16},
                                           LengthCase{"NineSamples", 18, 6, 32},
                                           LengthCase{"OddLengthIgnoresLastByte", 17, 3, 16},
                                           LengthCase{"LargestMakePiece", 88200, 16539, 88208}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(G723Codec, SilencePacksAsAllOnesCodes) {
    EXPECT_EQ(compress(std::vector<uint8_t>(16, 0)), (std::vector<uint8_t>{0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(compress(std::vector<uint8_t>(2, 0)), (std::vector<uint8_t>{0x07, 0x00, 0x00}));
}

TEST(G723Codec, PackingOrderIsLeastSignificantBitFirst) {
    const int c[8] = {1, 2, 3, 4, 5, 6, 7, 0};
    g723::BitPacker p;
    std::vector<uint8_t> bytes;
    uint8_t b = 0;
    for (int code : c)
        if (g723::pack_output(p, code, 3, &b))
            bytes.push_back(b);
    ASSERT_EQ(bytes.size(), 3u);
    EXPECT_EQ(p.count, 0);
    EXPECT_EQ(bytes[0], uint8_t(c[0] | c[1] << 3 | (c[2] & 3) << 6));
    EXPECT_EQ(bytes[1], uint8_t(c[2] >> 2 | c[3] << 1 | c[4] << 4 | (c[5] & 1) << 7));
    EXPECT_EQ(bytes[2], uint8_t(c[5] >> 1 | c[6] << 2 | c[7] << 5));

    g723::BitUnpacker u;
    u.in = bytes.data();
    u.length = bytes.size();
    for (int expected : c) {
        int code = -1;
        ASSERT_TRUE(g723::unpack_input(u, 3, &code));
        EXPECT_EQ(code, expected);
    }
    int code = 0;
    EXPECT_FALSE(g723::unpack_input(u, 3, &code));
}

TEST(G723Codec, InitialStateIsTheStandards) {
    g723::g72x_state s;
    g723::g72x_init_state(&s);
    EXPECT_EQ(s.yl, 34816);
    EXPECT_EQ(s.yu, 544);
    EXPECT_EQ(s.ap, 0);
    EXPECT_EQ(s.dq[5], 32);
    EXPECT_EQ(s.sr[1], 32);
    EXPECT_EQ(g723::step_size(&s), 544);
}

TEST(G723Codec, FloatingPointProductRoundsLikeTheStandard) {
    // 14-bit coefficient -93 times 22 in the 4-bit exponent, 6-bit mantissa
    // form (exponent 5, mantissa 44): (46 * 44 + 48) >> 4 = 129, shifted 7.
    EXPECT_EQ(g723::fmult(-93, (5 << 6) + 44), -1);
    EXPECT_EQ(g723::fmult(-93, (5 << 6) + 44, 0), 0) << "without the rounding term";
    EXPECT_EQ(g723::fmult(188, (6 << 6) + 57), 5);
    EXPECT_EQ(g723::fmult(0, 0x20), 0);
    EXPECT_EQ(g723::fmult(8191, (14 << 6) + 63), 0x7FFF & (((63 * 63 + 48) >> 4) << (7 + 14 - 13)));
    g723::g72x_state s;
    g723::g72x_init_state(&s);
    EXPECT_EQ(s.productRounding, 48);
}

TEST(G723Codec, KnownCodesOfARamp) {
    // First codes of a rising ramp from a fresh state, worked through the
    // standard's steps by hand: a positive difference well above the step
    // size takes the largest code, 3.
    std::vector<int16_t> ramp = {1000, 2000, 3000, 4000, 5000, 6000, 7000, 8000};
    auto packed = compress(toBytes(ramp));
    ASSERT_EQ(packed.size(), 3u);
    EXPECT_EQ(packed[0] & 7, 3);
}

TEST(G723Codec, CodingTheSamePieceTwiceGivesTheSameBytes) {
    auto in = toBytes(sine(4000, 440, 8000, 9000));
    auto first = compress(in);
    auto other = compress(toBytes(sine(3000, 1000, 8000, 20000)));
    auto second = compress(in);
    EXPECT_EQ(first, second);
    EXPECT_EQ(decompress(first), decompress(second));
}

TEST(G723Codec, TruncatedPieceDoesNotDisturbTheNextDecode) {
    auto packed = compress(toBytes(sine(800, 300, 8000, 12000)));
    auto clean = decompress(packed);
    // 4 bytes leave 2 bits over in the unpacker; the next call must not see them.
    std::vector<uint8_t> truncated(packed.begin(), packed.begin() + 4);
    EXPECT_EQ(decompress(truncated).size(), 10u);
    EXPECT_EQ(decompress(packed), clean);
}

TEST(G723Codec, NullOrNegativeArgumentsAreRefused) {
    uint8_t buf[16] = {};
    short out[16];
    int n = 5;
    EXPECT_EQ(G723Compress(nullptr, 2, buf, &n), 1);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(G723Compress(buf, -2, buf, &n), 1);
    EXPECT_EQ(G723Compress(buf, 2, nullptr, &n), 1);
    EXPECT_EQ(G723Compress(buf, 2, buf, nullptr), 1);
    n = 5;
    EXPECT_EQ(G723DeCompress(nullptr, 3, out, &n), 1);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(G723DeCompress(buf, -3, out, &n), 1);
    EXPECT_EQ(G723DeCompress(buf, 3, nullptr, &n), 1);
}

double snrDb(const std::vector<int16_t>& ref, const std::vector<int16_t>& got, size_t skip) {
    double sig = 0, noise = 0;
    for (size_t i = skip; i < ref.size(); ++i) {
        double e = double(ref[i]) - double(got[i]);
        sig += double(ref[i]) * ref[i];
        noise += e * e;
    }
    return 10 * std::log10(sig / std::max(noise, 1.0));
}

TEST(G723Codec, CodedSineKeepsItsShape) {
    for (double hz : {300.0, 1000.0, 2500.0}) {
        auto s = sine(8000, hz, 8000, 10000);
        auto d = decompress(compress(toBytes(s)));
        ASSERT_GE(d.size(), s.size());
        EXPECT_GT(snrDb(s, d, 200), 10.0) << hz << " Hz";
    }
}

TEST(G723Codec, FullScaleExtremesStayDefined) {
    // Square waves at full scale drive the scale factors and predictors to
    // their limits; the sanitizer build checks that nothing overflows unchecked.
    std::vector<int16_t> s(6000);
    for (size_t i = 0; i < s.size(); ++i)
        s[i] = (i / 3) % 2 ? 32767 : -32768;
    auto d = decompress(compress(toBytes(s)));
    EXPECT_EQ(d.size(), s.size());
}

// A long signal through every state the coder reaches: its codes and its
// decoded samples must stay exactly what they are, however the coder is built.
TEST(G723Codec, LongMixedSignalKeepsItsCodesAndSamples) {
    std::mt19937 gen(5);
    std::vector<int16_t> s(22050 * 20);
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / 22050;
        const size_t part = i / 22050 % 5;
        double v = 0;
        if (part == 0)
            v = 9000 * std::sin(2 * M_PI * 440 * t) + 3000 * std::sin(2 * M_PI * 2900 * t);
        else if (part == 1)
            v = int(gen() % 65536) - 32768;
        else if (part == 2)
            v = int(gen() % 64) - 32;
        else if (part == 3)
            v = (i / 7) % 2 ? 32767 : -32768;
        else
            v = 20000 * std::sin(2 * M_PI * 2000 * t) * (1 - double(i % 22050) / 22050);
        s[i] = int16_t(std::lround(std::clamp(v, -32768.0, 32767.0)));
    }
    const auto in = toBytes(s);
    std::vector<uint8_t> codes;
    std::vector<short> decoded;
    // In make-sized pieces, each from a fresh state, as the make codes them.
    for (size_t off = 0; off < in.size(); off += 88200) {
        const int n = int(std::min<size_t>(88200, in.size() - off));
        std::vector<uint8_t> piece(G723PackedLength(size_t(n)));
        int packed = 0;
        ASSERT_EQ(G723Compress(in.data() + off, n, piece.data(), &packed), 0);
        std::vector<short> back(G723DecodedLength(size_t(packed)) / 2);
        int bytes = 0;
        ASSERT_EQ(G723DeCompress(piece.data(), packed, back.data(), &bytes), 0);
        codes.insert(codes.end(), piece.begin(), piece.begin() + packed);
        decoded.insert(decoded.end(), back.begin(), back.begin() + bytes / 2);
    }
    const uint32_t codeCrc = uint32_t(crc32(0, codes.data(), uInt(codes.size())));
    const uint32_t sampleCrc =
        uint32_t(crc32(0, reinterpret_cast<const Bytef*>(decoded.data()), uInt(decoded.size() * 2)));
    EXPECT_EQ(codes.size(), 165390u) << "ten pieces, each padded to a whole group";
    EXPECT_EQ(codeCrc, 0xfdf24eb3u) << std::hex << codeCrc;
    EXPECT_EQ(sampleCrc, 0x6e469c4fu) << std::hex << sampleCrc;
}

} // namespace
