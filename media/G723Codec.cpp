#include "media/G723Codec.h"

#include <cstdlib>
#include <cstring>

namespace g723 {
namespace {

constexpr int CODE_BITS = 3;

// Powers of two for the logarithm and floating-point conversions.
constexpr int16_t power2[15] = {1,     2,     4,     8,     0x10,   0x20,   0x40,  0x80,
                                0x100, 0x200, 0x400, 0x800, 0x1000, 0x2000, 0x4000};

// 24 kbit/s quantizer decision levels, log2 domain in 1/128 units.
constexpr int16_t qtab_723_24[3] = {8, 218, 331};
// Reconstruction levels of the eight codes, log2 domain in 1/128 units.
constexpr int16_t dqlntab[8] = {-2048, 135, 273, 373, 373, 273, 135, -2048};
// Scale factor multipliers W(I), log2 domain in 1/512 units.
constexpr int16_t witab[8] = {-128, 960, 4384, 18624, 18624, 4384, 960, -128};
// Speed control weights F(I), shifted left by 9.
constexpr int16_t fitab[8] = {0, 0x200, 0x400, 0xE00, 0xE00, 0x400, 0x200, 0};

// The standard's values are 16-bit registers; intermediate results wrap
// exactly as they do there.
inline int16_t s16(int v) {
    return int16_t(uint16_t(uint32_t(v)));
}

// quan(val, power2, 15): how many powers of two are not above val, which is
// val's bit length, at most 15.
inline int powerIndex(int val) {
    if (val <= 0)
        return 0;
    const int bits = 32 - __builtin_clz(unsigned(val));
    return bits < 15 ? bits : 15;
}

// fmult() without branches: the mantissa is anmag normalised to 6 bits, and
// one 64-bit shift scales the product for either sign of its exponent (the
// product is below 256, so the left shift never loses bits).
inline int fmultImpl(int an, int srn, int rounding) {
    const int anmag = an > 0 ? an : ((-an) & 0x1FFF);
    const int bits = powerIndex(anmag);
    const int anexp = bits - 6;
    const int anmant = anmag == 0 ? 32 : (anmag << 6) >> bits;
    const int wanexp = anexp + ((srn >> 6) & 0xF) - 13;
    const int wanmant = (anmant * (srn & 077) + rounding) >> 4;
    const int retval = int((uint64_t(uint32_t(wanmant)) << 19 >> (19 - wanexp)) & 0x7FFF);
    const int negative = (an ^ srn) >> 31;
    return (retval ^ negative) - negative;
}

inline int predictorZeroImpl(const g72x_state* s) {
    const int r = s->productRounding;
    return fmultImpl(s->b[0] >> 2, s->dq[0], r) + fmultImpl(s->b[1] >> 2, s->dq[1], r) +
           fmultImpl(s->b[2] >> 2, s->dq[2], r) + fmultImpl(s->b[3] >> 2, s->dq[3], r) +
           fmultImpl(s->b[4] >> 2, s->dq[4], r) + fmultImpl(s->b[5] >> 2, s->dq[5], r);
}

inline int predictorPoleImpl(const g72x_state* s) {
    return fmultImpl(s->a[1] >> 2, s->sr[1], s->productRounding) +
           fmultImpl(s->a[0] >> 2, s->sr[0], s->productRounding);
}

inline int stepSizeImpl(const g72x_state* s) {
    if (s->ap >= 256)
        return s->yu;
    int y = s->yl >> 6;
    int dif = s->yu - y;
    int al = s->ap >> 2;
    if (dif > 0)
        y += (dif * al) >> 6;
    else if (dif < 0)
        y += (dif * al + 0x3F) >> 6;
    return y;
}

// quantize() for the 24 kbit/s table.
inline int quantize24(int d, int y) {
    // Base-2 logarithm of |d|: integer part in the top bits, 7 fraction bits.
    int16_t dqm = s16(std::abs(d));
    int16_t exp = s16(powerIndex(dqm >> 1));
    int16_t mant = s16(((dqm * 128) >> exp) & 0x7F);
    int16_t dl = s16((exp << 7) + mant);
    // Normalised by the scale factor.
    int16_t dln = s16(dl - (y >> 2));
    const int i = (dln >= qtab_723_24[0]) + (dln >= qtab_723_24[1]) + (dln >= qtab_723_24[2]);
    if (d < 0)
        return 7 - i;
    if (i == 0)
        return 7; // the positive zero takes the all-ones code
    return i;
}

inline int reconstructImpl(int sign, int dqln, int y) {
    int16_t dql = s16(dqln + (y >> 2));
    if (dql < 0)
        return sign ? -0x8000 : 0;
    int16_t dex = s16((dql >> 7) & 15);
    int16_t dqt = s16(128 + (dql & 127));
    int16_t dq = s16((dqt << 7) >> (14 - dex));
    return sign ? (dq - 0x8000) : dq;
}

// Value in the 4-bit exponent, 6-bit mantissa form; negative values carry -0x400.
inline int16_t toFloat(int mag, bool negative) {
    int16_t exp = s16(powerIndex(mag));
    int v = (exp << 6) + ((mag << 6) >> exp);
    return s16(negative ? v - 0x400 : v);
}

} // namespace

void g72x_init_state(g72x_state* s) {
    s->yl = 34816;
    s->yu = 544;
    s->dms = 0;
    s->dml = 0;
    s->ap = 0;
    for (int i = 0; i < 2; ++i) {
        s->a[i] = 0;
        s->pk[i] = 0;
        s->sr[i] = 32;
    }
    for (int i = 0; i < 6; ++i) {
        s->b[i] = 0;
        s->dq[i] = 32;
    }
    s->td = 0;
    s->productRounding = PRODUCT_ROUNDING;
}

int quan(int val, const int16_t* table, int size) {
    int i = 0;
    while (i < size && val >= table[i])
        ++i;
    return i;
}

// Product of a predictor coefficient and a value in the 4-bit exponent,
// 6-bit mantissa form the state keeps.
int fmult(int an, int srn, int rounding) {
    return fmultImpl(an, srn, rounding);
}

int predictor_zero(const g72x_state* s) {
    return predictorZeroImpl(s);
}

int predictor_pole(const g72x_state* s) {
    return predictorPoleImpl(s);
}

// Mix of the fast and slow scale factors by the speed control.
int step_size(const g72x_state* s) {
    return stepSizeImpl(s);
}

int quantize(int d, int y, const int16_t* table, int size) {
    // Base-2 logarithm of |d|: integer part in the top bits, 7 fraction bits.
    int16_t dqm = s16(std::abs(d));
    int16_t exp = s16(powerIndex(dqm >> 1));
    int16_t mant = s16(((dqm * 128) >> exp) & 0x7F);
    int16_t dl = s16((exp << 7) + mant);
    // Normalised by the scale factor.
    int16_t dln = s16(dl - (y >> 2));
    int i = quan(dln, table, size);
    if (d < 0)
        return (size << 1) + 1 - i;
    if (i == 0)
        return (size << 1) + 1; // the positive zero takes the all-ones code
    return i;
}

// Quantised difference from its log: magnitude, with -0x8000 added when negative.
int reconstruct(int sign, int dqln, int y) {
    return reconstructImpl(sign, dqln, y);
}

namespace {

__attribute__((always_inline)) inline void updateImpl(int code_size, int y, int wi, int fi, int dq, int sr,
                                                      int dqsez, g72x_state* s) {
    int16_t pk0 = dqsez < 0 ? 1 : 0;
    int16_t mag = s16(dq & 0x7FFF);

    // Transition detector: a large difference while a tone is detected.
    int16_t ylint = s16(s->yl >> 15);
    int16_t ylfrac = s16((s->yl >> 10) & 0x1F);
    int16_t thr1 = s16((32 + ylfrac) << ylint);
    int16_t thr2 = s16(ylint > 9 ? 31 << 10 : thr1);
    int16_t dqthr = s16((thr2 + (thr2 >> 1)) >> 1);
    int tr = (s->td != 0 && mag > dqthr) ? 1 : 0;

    // Scale factors.
    s->yu = s16(y + ((wi - y) >> 5));
    if (s->yu < 544)
        s->yu = 544;
    else if (s->yu > 5120)
        s->yu = 5120;
    s->yl += s->yu + ((-s->yl) >> 6);

    // Predictor coefficients.
    int16_t a2p = 0;
    if (tr == 1) {
        s->a[0] = s->a[1] = 0;
        for (int i = 0; i < 6; ++i)
            s->b[i] = 0;
    } else {
        int16_t pks1 = s16(pk0 ^ s->pk[0]);
        a2p = s16(s->a[1] - (s->a[1] >> 7));
        if (dqsez != 0) {
            int16_t fa1 = s16(pks1 ? s->a[0] : -s->a[0]);
            if (fa1 < -8191)
                a2p = s16(a2p - 0x100);
            else if (fa1 > 8191)
                a2p = s16(a2p + 0xFF);
            else
                a2p = s16(a2p + (fa1 >> 5));
            if (pk0 ^ s->pk[1]) {
                if (a2p <= -12160)
                    a2p = -12288;
                else if (a2p >= 12416)
                    a2p = 12288;
                else
                    a2p = s16(a2p - 0x80);
            } else if (a2p <= -12416) {
                a2p = -12288;
            } else if (a2p >= 12160) {
                a2p = 12288;
            } else {
                a2p = s16(a2p + 0x80);
            }
        }
        s->a[1] = a2p;

        s->a[0] = s16(s->a[0] - (s->a[0] >> 8));
        if (dqsez != 0)
            s->a[0] = s16(pks1 == 0 ? s->a[0] + 192 : s->a[0] - 192);
        int16_t a1ul = s16(15360 - a2p);
        if (s->a[0] < -a1ul)
            s->a[0] = s16(-a1ul);
        else if (s->a[0] > a1ul)
            s->a[0] = a1ul;

        const int leak = code_size == 5 ? 9 : 8;
        const int step = (dq & 0x7FFF) ? 128 : 0;
        for (int i = 0; i < 6; ++i) {
            // +step when dq and dq[i] have the same sign, else -step.
            const int differ = (dq ^ s->dq[i]) >> 31;
            s->b[i] = s16(s->b[i] - (s->b[i] >> leak) + ((step ^ differ) - differ));
        }
    }

    for (int i = 5; i > 0; --i)
        s->dq[i] = s->dq[i - 1];
    if (mag == 0)
        s->dq[0] = s16(dq >= 0 ? 0x20 : 0xFC20);
    else
        s->dq[0] = toFloat(mag, dq < 0);

    s->sr[1] = s->sr[0];
    if (sr == 0)
        s->sr[0] = 0x20;
    else if (sr > 0)
        s->sr[0] = toFloat(sr, false);
    else if (sr > -32768)
        s->sr[0] = toFloat(-sr, true);
    else
        s->sr[0] = s16(0xFC20);

    s->pk[1] = s->pk[0];
    s->pk[0] = pk0;

    // Tone detector.
    if (tr == 1)
        s->td = 0;
    else
        s->td = a2p < -11776 ? 1 : 0;

    // Speed control.
    s->dms = s16(s->dms + ((fi - s->dms) >> 5));
    s->dml = s16(s->dml + ((fi * 4 - s->dml) >> 7));
    if (tr == 1)
        s->ap = 256;
    else if (y < 1536 || s->td == 1 || std::abs(s->dms * 4 - s->dml) >= (s->dml >> 3))
        s->ap = s16(s->ap + ((0x200 - s->ap) >> 4));
    else
        s->ap = s16(s->ap + ((-s->ap) >> 4));
}

__attribute__((always_inline)) inline int encode(int sample, g72x_state* s) {
    int sl = sample >> 2; // 14-bit range
    int16_t sezi = s16(predictorZeroImpl(s));
    int16_t sez = s16(sezi >> 1);
    int16_t sei = s16(sezi + predictorPoleImpl(s));
    int16_t se = s16(sei >> 1);
    int16_t d = s16(sl - se);
    int16_t y = s16(stepSizeImpl(s));
    int16_t i = s16(quantize24(d, y));
    int16_t dq = s16(reconstructImpl(i & 4, dqlntab[i], y));
    int16_t sr = s16(dq < 0 ? se - (dq & 0x3FFF) : se + dq);
    int16_t dqsez = s16(sr + sez - se);
    updateImpl(3, y, witab[i], fitab[i], dq, sr, dqsez, s);
    return i;
}

__attribute__((always_inline)) inline int decode(int code, g72x_state* s) {
    int i = code & 0x07;
    int16_t sezi = s16(predictorZeroImpl(s));
    int16_t sez = s16(sezi >> 1);
    int16_t sei = s16(sezi + predictorPoleImpl(s));
    int16_t se = s16(sei >> 1);
    int16_t y = s16(stepSizeImpl(s));
    int16_t dq = s16(reconstructImpl(i & 0x04, dqlntab[i], y));
    int16_t sr = s16(dq < 0 ? se - (dq & 0x3FFF) : se + dq);
    int16_t dqsez = s16(sr - se + sez);
    updateImpl(3, y, witab[i], fitab[i], dq, sr, dqsez, s);
    return sr * 4; // back to 16 bits
}

} // namespace

void update(int code_size, int y, int wi, int fi, int dq, int sr, int dqsez, g72x_state* s) {
    updateImpl(code_size, y, wi, fi, dq, sr, dqsez, s);
}

int g723_24_encoder(int sample, g72x_state* s) {
    return encode(sample, s);
}

int g723_24_decoder(int code, g72x_state* s) {
    return decode(code, s);
}

bool pack_output(BitPacker& p, int code, int codeBits, uint8_t* byte) {
    p.bits |= uint32_t(code & ((1 << codeBits) - 1)) << p.count;
    p.count += codeBits;
    if (p.count < 8)
        return false;
    *byte = uint8_t(p.bits & 0xFF);
    p.bits >>= 8;
    p.count -= 8;
    return true;
}

bool unpack_input(BitUnpacker& u, int codeBits, int* code) {
    if (u.count < codeBits) {
        if (u.pos >= u.length)
            return false;
        u.bits |= uint32_t(u.in[u.pos++]) << u.count;
        u.count += 8;
    }
    *code = int(u.bits & ((1u << codeBits) - 1));
    u.bits >>= codeBits;
    u.count -= codeBits;
    return true;
}

size_t compress(const uint8_t* in, size_t length, uint8_t* out, const g72x_state& initial) {
    size_t produced = 0;
    g72x_state state = initial;
    const size_t samples = length / 2; // a trailing odd byte is no sample
    // Eight codes make three bytes, least significant bit first.
    size_t k = 0;
    for (; k + 8 <= samples; k += 8) {
        uint32_t group = 0;
        for (size_t j = 0; j < 8; ++j) {
            const uint8_t* p = in + 2 * (k + j);
            group |= uint32_t(encode(int16_t(uint16_t(p[0] | (p[1] << 8))), &state)) << (3 * j);
        }
        out[produced++] = uint8_t(group);
        out[produced++] = uint8_t(group >> 8);
        out[produced++] = uint8_t(group >> 16);
    }
    if (k < samples) {
        // Zero codes complete the last group of eight.
        uint32_t group = 0;
        for (size_t j = 0; k + j < samples; ++j) {
            const uint8_t* p = in + 2 * (k + j);
            group |= uint32_t(encode(int16_t(uint16_t(p[0] | (p[1] << 8))), &state)) << (3 * j);
        }
        out[produced++] = uint8_t(group);
        out[produced++] = uint8_t(group >> 8);
        out[produced++] = uint8_t(group >> 16);
    }
    return produced;
}

size_t decompress(const uint8_t* in, size_t length, short* out, const g72x_state& initial) {
    g72x_state state = initial;
    size_t samples = 0;
    // Whole groups of three bytes hold eight codes.
    size_t pos = 0;
    for (; pos + 3 <= length; pos += 3) {
        const uint32_t group = uint32_t(in[pos]) | uint32_t(in[pos + 1]) << 8 | uint32_t(in[pos + 2]) << 16;
        for (int j = 0; j < 8; ++j)
            out[samples++] = short(decode(int(group >> (3 * j)) & 7, &state));
    }
    // Fresh bits for every call: leftovers of a piece never reach the next one.
    BitUnpacker unpacker;
    unpacker.in = in + pos;
    unpacker.length = length - pos;
    int code = 0;
    while (unpack_input(unpacker, CODE_BITS, &code))
        out[samples++] = short(decode(code, &state));
    return samples * 2;
}

} // namespace g723

size_t G723PackedLength(size_t length) {
    return (length / 2 + 7) / 8 * 3;
}

size_t G723DecodedLength(size_t length) {
    return length * 8 / 3 * 2;
}

int G723Compress(const void* input, int length, void* output, int* outLength) {
    if (outLength)
        *outLength = 0;
    if (!outLength || length < 0)
        return 1;
    if (length < 2)
        return 0; // nothing to code
    if (!input || !output)
        return 1;
    g723::g72x_state initial;
    g723::g72x_init_state(&initial);
    *outLength = int(g723::compress(static_cast<const uint8_t*>(input), size_t(length),
                                    static_cast<uint8_t*>(output), initial));
    return 0;
}

int G723DeCompress(unsigned char* input, int length, short* output, int* outLength) {
    if (outLength)
        *outLength = 0;
    if (!outLength || length < 0)
        return 1;
    if (length == 0)
        return 0;
    if (!input || !output)
        return 1;
    g723::g72x_state initial;
    g723::g72x_init_state(&initial);
    *outLength = int(g723::decompress(input, size_t(length), output, initial));
    return 0;
}
