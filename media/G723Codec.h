// G.723 24 kbit/s ADPCM (the 24 kbit/s rate of G.726) for 16-bit linear
// samples: 3 bits per sample, eight codes packed into three bytes, least
// significant bit first. The separate player decodes these codes with its own
// decoder, and ADPCM stays in step only when the adaptation is exact, so the
// arithmetic below is the standard's integer form, narrowings included.
#pragma once

#include <cstddef>
#include <cstdint>

// Codes `length` bytes of 16-bit little-endian samples (length / 2 samples; a
// trailing odd byte is ignored) from a fresh coder state into packed codes,
// padded with zero codes to a whole group of eight. `output` must hold
// G723PackedLength(length) bytes; *outLength receives their count.
// Returns 0, or 1 for a null pointer or a negative length (*outLength = 0).
int G723Compress(const void* input, int length, void* output, int* outLength);

// Decodes `length` packed bytes from a fresh decoder state: one 16-bit sample
// per whole 3-bit code (8 samples per 3 bytes). `output` must hold
// G723DecodedLength(length) bytes; *outLength receives the bytes written.
// Returns 0, or 1 for a null pointer or a negative length (*outLength = 0).
int G723DeCompress(unsigned char* input, int length, short* output, int* outLength);

// Bytes G723Compress produces for `length` input bytes: 3 per started group
// of eight samples.
size_t G723PackedLength(size_t length);
// Bytes G723DeCompress produces for `length` packed bytes.
size_t G723DecodedLength(size_t length);

namespace g723 {

// State record of the coder, as the standard sets it up.
struct g72x_state {
    int32_t yl;   // locked (slow) quantizer scale factor
    int16_t yu;   // unlocked (fast) quantizer scale factor
    int16_t dms;  // short-term average of F(I)
    int16_t dml;  // long-term average of F(I)
    int16_t ap;   // speed control
    int16_t a[2]; // pole predictor coefficients
    int16_t b[6]; // zero predictor coefficients
    int16_t pk[2];
    int16_t dq[6]; // quantised differences, floating-point form
    int16_t sr[2]; // reconstructed signals, floating-point form
    int8_t td;     // tone detected
    // Rounding term of the mantissa product in fmult: 48, as in the standard
    // and its public reference code. Kept in the state only so that tests
    // can run the coder as libsndfile's copy does, which drops the term.
    int16_t productRounding;
};

// Rounding term of the reference coder's floating-point product.
constexpr int16_t PRODUCT_ROUNDING = 0x30;

void g72x_init_state(g72x_state* state);
// One 16-bit linear sample to one 3-bit code.
int g723_24_encoder(int sample, g72x_state* state);
// One 3-bit code to one 16-bit linear sample.
int g723_24_decoder(int code, g72x_state* state);

// Internal steps, exposed for tests.
int quan(int val, const int16_t* table, int size);
int fmult(int an, int srn, int rounding = PRODUCT_ROUNDING);
int predictor_zero(const g72x_state* state);
int predictor_pole(const g72x_state* state);
int step_size(const g72x_state* state);
int quantize(int d, int y, const int16_t* table, int size);
int reconstruct(int sign, int dqln, int y);
void update(int code_size, int y, int wi, int fi, int dq, int sr, int dqsez, g72x_state* state);

// The buffer interface on a given initial state; lengths in bytes. The
// output must hold G723PackedLength(length) or G723DecodedLength(length).
size_t compress(const uint8_t* in, size_t length, uint8_t* out, const g72x_state& initial);
size_t decompress(const uint8_t* in, size_t length, short* out, const g72x_state& initial);

// Bit packer: codes go in above the pending bits, bytes leave from the bottom.
struct BitPacker {
    uint32_t bits = 0;
    int count = 0;
};
// Adds a code; returns true and sets *byte when a byte is complete.
bool pack_output(BitPacker& p, int code, int codeBits, uint8_t* byte);

// Bit unpacker over a byte range.
struct BitUnpacker {
    const uint8_t* in = nullptr;
    size_t length = 0;
    size_t pos = 0;
    uint32_t bits = 0;
    int count = 0;
};
// Takes the next code; false when fewer than codeBits bits are left.
bool unpack_input(BitUnpacker& u, int codeBits, int* code);

} // namespace g723
