#include "audio/sinc_kernel.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <numbers>

#include "audio/kaiser.h"

namespace vx::audio::sinc {

namespace {

// Two Kaiser-windowed sincs, both flat within 0.01 dB up to 0.408 of the rate that bounds the band
// (18 kHz at 44.1 kHz) and more than 100 dB down in their stopband:
// - the short one (36 taps) lets its transition band run on to 0.592 of that rate, past Nyquist:
//   what it lets through above Nyquist folds back to 0.408..0.5, above the band that is kept. Used
//   from kShortFrom on, widened by the read speed above unit speed.
// - the long one (64 taps) is down by Nyquist. Slower than kShortFrom the output's band reaches past
//   the source's, and what the short kernel leaves above the source's Nyquist frequency would sound
//   below 0.408 of the output rate, so slow playing (the brake's tail, deep pitch) uses this one.
// - the near one (52 taps) serves speeds just above unit speed, up to kNearTo, without widening: its
//   stopband starts at 0.543, so whatever lies between the output's Nyquist frequency and that folds
//   back above 0.408 of the output rate at every speed it serves. A pitch of a few per cent up and a
//   48 kHz file on a 44.1 kHz output are the common cases, and a fixed row of taps is far cheaper
//   than taps computed one by one.
// With 512 table rows per frame the error of the linear interpolation between rows stays near
// -120 dB, under both stopbands and a 16-bit source's own noise.
struct Design {
    int halfTaps;   // taps on either side of the position
    double cutoff;  // half-amplitude frequency, as a fraction of the rate
    double beta;    // Kaiser window shape
};
constexpr Design kShort{kHalfTaps, 0.5, 10.2};
constexpr Design kLong{32, 0.4465, 10.5};
constexpr Design kNear{26, (0.408 + 0.543) / 2, 10.2};
constexpr double kShortFrom = 0.408 / 0.5;
constexpr double kNearTo = 1.09;

constexpr int kPhaseBits = 9;
constexpr int kPhases = 1 << kPhaseBits;  // table rows per source frame, linearly interpolated between
constexpr float kSampleScale = 1.0f / 32768.0f;

// Left and right travel together, two lanes of one vector register; four lanes hold two frames.
typedef float Pair __attribute__((vector_size(8)));
typedef float Quad __attribute__((vector_size(16)));
typedef std::int32_t Words __attribute__((vector_size(16)));  // four stereo frames
typedef std::uint32_t Fixed __attribute__((vector_size(16)));
static_assert(std::endian::native == std::endian::little, "a frame word holds left low, right high");

// Row r holds the kernel for a position r / kPhases past frame i, tap j weighting frame
// i - halfTaps + 1 + j, with the step to the same tap of row r + 1 beside it, so a position between
// two rows costs one multiply-add per tap. Taps go in groups of four, values then steps, so that a
// whole row is read as vectors.
template <int kHalf>
struct Row {
    float v[kHalf / 2][2][4];
};
alignas(64) Row<kShort.halfTaps> gShortRows[kPhases];
alignas(64) Row<kLong.halfTaps> gLongRows[kPhases];
alignas(64) Row<kNear.halfTaps> gNearRows[kPhases];

// The short kernel by distance, for the widened kernel whose taps fall on scattered rows: entry
// k * kPhases + r is the value at u = k + r / kPhases and the step to the next entry, side by side.
// Four frames of zeros follow the kernel's end, so that taps are computed four at a time.
struct Tap {
    float h, d;
};
constexpr int kWingPad = 4;
alignas(64) Tap gWing[(kHalfTaps + kWingPad) * kPhases];

double kernel(const Design& k, double t) {
    t = std::fabs(t);
    if (t >= k.halfTaps) return 0;
    const double x = std::numbers::pi * 2 * k.cutoff * t;
    const double sinc = x == 0 ? 1.0 : std::sin(x) / x;
    const double r = t / k.halfTaps;
    return 2 * k.cutoff * sinc * besselI0(k.beta * std::sqrt(1 - r * r)) / besselI0(k.beta);
}

template <int kHalf>
void buildRows(const Design& k, Row<kHalf>* rows) {
    for (int r = 0; r < kPhases; ++r) {
        for (int j = 0; j < 2 * kHalf; ++j) {
            const double t = kHalf - 1 - j + static_cast<double>(r) / kPhases;
            const double h = kernel(k, t);
            rows[r].v[j / 4][0][j % 4] = static_cast<float>(h);
            rows[r].v[j / 4][1][j % 4] = static_cast<float>(kernel(k, t + 1.0 / kPhases) - h);
        }
    }
}

bool buildTables() {
    buildRows(kShort, gShortRows);
    buildRows(kLong, gLongRows);
    buildRows(kNear, gNearRows);
    for (int k = 0; k < (kHalfTaps + kWingPad) * kPhases; ++k) {
        const double h = kernel(kShort, static_cast<double>(k) / kPhases);
        gWing[k] = {static_cast<float>(h),
                    static_cast<float>(kernel(kShort, static_cast<double>(k + 1) / kPhases) - h)};
    }
    return true;
}

// Built during static initialisation, long before any audio runs.
[[maybe_unused]] const bool gTableBuilt = buildTables();

// The most frames a frame reads: both wings of the widest kernel, each rounded up to whole groups of four.
constexpr int kMaxTaps = 2 * ((kHalfTaps * static_cast<int>(kMaxStretch) + 1 + 3) / 4 * 4);

// Frames [first, first + n) when they all lie in one chunk below `available` (the common case), else null.
const std::int16_t* contiguous(const SincSource& s, std::int64_t first, int n) {
    const std::int64_t last = first + n - 1;
    if (first < 0 || last >= s.available || (first >> s.chunkShift) != (last >> s.chunkShift)) return nullptr;
    const std::int64_t mask = (std::int64_t{1} << s.chunkShift) - 1;
    return s.chunks[first >> s.chunkShift] + 2 * (first & mask);
}

// Copies frames [first, first + n) to `out`, silence outside the source.
void gather(const SincSource& s, std::int64_t first, int n, std::int16_t* out) {
    const std::int64_t mask = (std::int64_t{1} << s.chunkShift) - 1;
    for (int k = 0; k < n; ++k) {
        const std::int64_t f = first + k;
        const bool inside = f >= 0 && f < s.available;
        const std::int16_t* p = inside ? s.chunks[f >> s.chunkShift] + 2 * (f & mask) : nullptr;
        out[2 * k] = p ? p[0] : 0;
        out[2 * k + 1] = p ? p[1] : 0;
    }
}

// The frames [first, first + n) of the source, in place when they can be, else copied to `local`.
const std::int16_t* frames(const SincSource& s, std::int64_t first, int n, std::int16_t* local) {
    const std::int16_t* p = contiguous(s, first, n);
    if (p) return p;
    gather(s, first, n, local);
    return local;
}

inline Words loadWords(const std::int16_t* p) {
    Words w;
    std::memcpy(&w, p, sizeof w);
    return w;
}

inline Quad loadQuad(const float* p) {
    Quad q;
    std::memcpy(&q, p, sizeof q);
    return q;
}

// Weights four frames (each 32-bit word left low, right high) into the left and right sums.
[[gnu::always_inline]] inline void weigh(Quad c, const std::int16_t* p, Quad& accL, Quad& accR) {
    const Words w = loadWords(p);
    accL += __builtin_convertvector((w << 16) >> 16, Quad) * c;
    accR += __builtin_convertvector(w >> 16, Quad) * c;
}

inline Pair total(Quad l, Quad r) {
    return Pair{(l[0] + l[1]) + (l[2] + l[3]), (r[0] + r[1]) + (r[2] + r[3])};
}

// Up to unit speed: the taps are a row of the table, computed group by group as they are weighed.
template <int kHalf>
Pair unitFrame(const Row<kHalf>* rows, double frac, const std::int16_t* p) {
    const double phase = frac * kPhases;
    const int r = std::min(static_cast<int>(phase), kPhases - 1);
    const float eta = static_cast<float>(phase - r);
    const Row<kHalf>& row = rows[r];
    Quad accL[2] = {}, accR[2] = {};
    for (int b = 0; b < kHalf / 2; ++b) {
        const Quad c = loadQuad(row.v[b][0]) + eta * loadQuad(row.v[b][1]);
        weigh(c, p + 8 * b, accL[b & 1], accR[b & 1]);
    }
    return total(accL[0] + accL[1], accR[0] + accR[1]);
}

// Widened kernel: tap distances in fixed point, the wing's index above as many fraction bits as leave
// room for the padded end and one step more.
constexpr int kFraction = 32 - std::bit_width(unsigned{(kHalfTaps + kWingPad + 1) * kPhases});
constexpr double kFixedPerFrame = kPhases * double{1 << kFraction};
constexpr std::uint32_t kFixedEnd = std::uint32_t{kHalfTaps * kPhases} << kFraction;

typedef double Taps2 __attribute__((vector_size(16)));  // two Taps, as bits

[[gnu::always_inline]] inline double tapBits(std::uint32_t u) {
    double bits;
    std::memcpy(&bits, &gWing[u >> kFraction], sizeof bits);
    return bits;
}

// Weighs 4 * `groups` frames from p by the kernel at distances u, u + inc, ... (inc may wrap round
// to step down), four taps at a time.
[[gnu::always_inline]] inline void wingDot(const std::int16_t* p, std::uint32_t u, std::uint32_t inc,
                                           int groups, Quad& accL, Quad& accR) {
    Fixed x = u + Fixed{0, 1, 2, 3} * inc;
    const std::uint32_t inc4 = 4 * inc;
    const Quad etaScale = Quad{} + 1.0f / (1 << kFraction);
    for (int g = 0; g < groups; ++g, p += 8, u += inc4, x += inc4) {
        // Value and step of taps 0 and 1, of taps 2 and 3.
        const Quad a = (Quad)Taps2{tapBits(u), tapBits(u + inc)};
        const Quad b = (Quad)Taps2{tapBits(u + 2 * inc), tapBits(u + 3 * inc)};
        const Quad h = __builtin_shufflevector(a, b, 0, 2, 4, 6),
                   d = __builtin_shufflevector(a, b, 1, 3, 5, 7);
        const Quad eta = __builtin_convertvector((Words)(x & ((1u << kFraction) - 1)), Quad) * etaScale;
        weigh(h + eta * d, p, accL, accR);
    }
}

// How many of u0, u0 + inc, ... lie below kFixedEnd: `estimate` rounded up, corrected in fixed point.
int tapCount(std::uint32_t u0, std::uint32_t inc, double estimate) {
    int n = std::max(1, static_cast<int>(std::ceil(estimate)));
    while (n > 1 && u0 + (n - 1) * inc >= kFixedEnd) --n;
    while (u0 + n * inc < kFixedEnd) ++n;
    return n;
}

// The frame at `frac` past frame i through the short kernel widened by 1 / scale. Its taps are read in
// whole groups of four: the few past either end of the kernel weigh their frames by zero.
Pair stretchedFrame(const SincSource& src, std::int64_t i, double frac, double scale, std::int16_t* local) {
    const auto inc = static_cast<std::uint32_t>(scale * kFixedPerFrame);
    const auto left0 = static_cast<std::uint32_t>(frac * scale * kFixedPerFrame);
    const auto right0 = static_cast<std::uint32_t>((1 - frac) * scale * kFixedPerFrame);
    const int left = tapCount(left0, inc, kHalfTaps / scale - frac);          // frames at and before
    const int right = tapCount(right0, inc, kHalfTaps / scale - (1 - frac));  // frames after
    const int leftGroups = (left + 3) / 4, rightGroups = (right + 3) / 4;
    const std::int16_t* p = frames(src, i + 1 - 4 * leftGroups, 4 * (leftGroups + rightGroups), local);
    Quad accL[2] = {}, accR[2] = {};
    wingDot(p, left0 + (4 * leftGroups - 1) * inc, 0u - inc, leftGroups, accL[0], accR[0]);
    wingDot(p + 8 * leftGroups, right0, inc, rightGroups, accL[1], accR[1]);
    return total(accL[0] + accL[1], accR[0] + accR[1]);
}

}  // namespace

int reach(double step) {
    const int stretched = static_cast<int>(std::ceil(kHalfTaps * std::clamp(step, 1.0, kMaxStretch))) + 4;
    return std::max(kLong.halfTaps, stretched);
}

void frameAt(const SincSource& src, double pos, double step, float* left, float* right) {
    const double base = std::floor(pos);
    const auto i = static_cast<std::int64_t>(base);
    const double frac = pos - base;
    alignas(16) std::int16_t local[2 * kMaxTaps];
    Pair y;
    if (step == 1.0 && frac == 0) {
        const std::int16_t* p = frames(src, i, 1, local);
        y = Pair{static_cast<float>(p[0]), static_cast<float>(p[1])} * kSampleScale;
    } else if (step < kShortFrom) {
        const std::int16_t* p = frames(src, i + 1 - kLong.halfTaps, 2 * kLong.halfTaps, local);
        y = unitFrame(gLongRows, frac, p) * kSampleScale;
    } else if (step <= 1.0) {
        const std::int16_t* p = frames(src, i + 1 - kShort.halfTaps, 2 * kShort.halfTaps, local);
        y = unitFrame(gShortRows, frac, p) * kSampleScale;
    } else if (step <= kNearTo) {
        const std::int16_t* p = frames(src, i + 1 - kNear.halfTaps, 2 * kNear.halfTaps, local);
        y = unitFrame(gNearRows, frac, p) * kSampleScale;
    } else {
        const double scale = 1.0 / std::min(step, kMaxStretch);
        y = stretchedFrame(src, i, frac, scale, local) * (kSampleScale * static_cast<float>(scale));
    }
    *left = y[0];
    *right = y[1];
}

}  // namespace vx::audio::sinc
