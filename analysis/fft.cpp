#include "analysis/fft.h"

#include <algorithm>

#include "analysis/fftTables.h"
#include "analysis/integerMath.h"

namespace analysis {

namespace {

// Truncates to 32 bits as two's-complement arithmetic does.
constexpr std::int32_t wrap(std::int64_t v)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(v)));
}

struct Scratch {
    std::int32_t re[256];
    std::int32_t im[256];
};

// The rounded mean of a sequence (n at most 256 samples: the sum fits 32 bits).
std::int16_t meanOf(int n, int L, const std::int16_t* x, int stride)
{
    std::int32_t sum = 0;
    for (int i = 0; i < n; ++i, x += stride)
        sum += *x;
    return static_cast<std::int16_t>(roundShift(sum, L));
}

// Mean-removed, windowed samples of one sequence (zeros when it is absent).
// |x - mean| < 2^16 and the window is at most 8192, so the products fit 32 bits.
void load(int n, int s, int L, const std::int16_t* x, int offset, int stride, std::int32_t* out)
{
    if (!x) {
        std::fill(out, out + n, 0);
        return;
    }
    const auto& cosines = cosTable();
    x += offset;
    const std::int32_t mean = meanOf(n, L, x, stride);
    for (int i = 0; i < n; ++i, x += stride)
        out[i] = roundShift((*x - mean) * (4096 - cosines[(i << s) & 255]), 12);
}

inline void butterfly(Scratch& w, int k, int m, std::int64_t c, std::int64_t sn)
{
    const std::int32_t tr = roundShift(wrap(c * w.re[m] - sn * w.im[m]), 12);
    const std::int32_t ti = roundShift(wrap(sn * w.re[m] + c * w.im[m]), 12);
    w.re[m] = wrap(std::int64_t{w.re[k]} - tr);
    w.im[m] = wrap(std::int64_t{w.im[k]} - ti);
    w.re[k] = wrap(std::int64_t{w.re[k]} + tr);
    w.im[k] = wrap(std::int64_t{w.im[k]} + ti);
}

void transform(int n, int s, int L, Scratch& w)
{
    // Group g of every stage starts at g * 2 * half, which the bit-reversed
    // table maps to the same angle index in every stage: look each up once.
    const auto& cosines = cosTable();
    std::int64_t cosine[128], minusSine[128];
    for (int g = 0; g < n / 2; ++g) {
        const int t = bitReverse8[(2 * g) & 255] >> s;
        cosine[g] = cosines[(t << s) & 255];
        minusSine[g] = -cosines[((t << s) - 64) & 255];
    }
    int half = n / 2, groups = 1;
    for (int stage = 0; stage < L - 1; ++stage) {
        for (int g = 0; g < groups; ++g) {
            const std::int64_t c = cosine[g], sn = minusSine[g];
            const int start = g * 2 * half;
            for (int k = start; k < start + half; ++k)
                butterfly(w, k, k + half, c, sn);
        }
        half /= 2;
        groups *= 2;
    }
    // The last stage: one butterfly a group.
    for (int g = 0; g < groups; ++g)
        butterfly(w, 2 * g, 2 * g + 1, cosine[g], minusSine[g]);
}

// Writes one real spectrum from the transform: `first` and `second` are the
// sequence's own part and the other part of the complex result.
void splitOne(int n, int s, int L, const std::int32_t* own, const std::int32_t* other, int sign, std::int16_t* out)
{
    auto r = [s](int k) { return bitReverse8[k & 255] >> s; };
    out[0] = static_cast<std::int16_t>(roundShift(own[r(0)], L));
    out[n / 2] = 0;
    for (int k = 1; k < n / 2; ++k) {
        const int rk = r(k), rq = r(n - k);
        out[k] = static_cast<std::int16_t>(roundShift(wrap(std::int64_t{own[rk]} + own[rq]), L));
        out[n / 2 + k] = static_cast<std::int16_t>(roundShift(wrap(sign * (std::int64_t{other[rk]} - other[rq])), L));
    }
    out[1] = static_cast<std::int16_t>(out[1] + out[0]);
}

// The first sequence is the real part of the transform, the second its
// imaginary part; each spectrum's imaginary half comes from the other part.
void split(int n, int s, int L, const Scratch& w, std::int16_t* outX, std::int16_t* outY)
{
    if (outX)
        splitOne(n, s, L, w.re, w.im, 1, outX);
    if (outY)
        splitOne(n, s, L, w.im, w.re, -1, outY);
}

}  // namespace

void fftTwoReal(int n, const std::int16_t* x, int xOffset, int xStride, const std::int16_t* y, int yOffset,
                int yStride, std::int16_t* outX, std::int16_t* outY)
{
    int L = 0;
    for (int m = n; m > 1; m >>= 1)
        ++L;
    if (n < 2 || n > 256 || (1 << L) != n)
        return;
    const int s = 8 - L;
    Scratch w;
    load(n, s, L, x, xOffset, xStride, w.re);
    load(n, s, L, y, yOffset, yStride, w.im);
    transform(n, s, L, w);
    split(n, s, L, w, outX, outY);
}

}  // namespace analysis
