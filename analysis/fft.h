#pragma once

#include <cstdint>

namespace analysis {

// Transforms two real sequences of n (a power of two, at most 256) 16-bit
// samples at once into epoch FFT vectors: real parts of bins 0 to n/2-1, then
// 0 and the imaginary parts of bins 1 to n/2-1; amplitudes 2|X[k]|/n of the
// mean-removed, raised-cosine-windowed sequence; the DC value folded into bin
// 1. Sample i of the first sequence is x[xOffset + i*xStride]. Either input may
// be null (zeros), either output may be null. Integer arithmetic that wraps as
// 32-bit two's complement; re-entrant.
void fftTwoReal(int n, const std::int16_t* x, int xOffset, int xStride, const std::int16_t* y, int yOffset,
                int yStride, std::int16_t* outX, std::int16_t* outY);

}  // namespace analysis
