#include "frame/HexTextWide.h"

#include <array>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>

namespace {

// The text of 16 bytes is 48 characters; the digits of the bytes come as
// two 16-character runs of pairs (bytes 0-7 and 8-15). Third t of the text
// (characters 16t to 16t+15) is shuffled out of one 16-character source that
// starts at digit ThirdFirstDigit[t]; the spaces are added after the shuffle.
constexpr int MiddleFirstDigit = 10;
constexpr std::array<int, 3> ThirdFirstDigit = {0, MiddleFirstDigit, 16};

struct WideThird {
    alignas(16) std::array<int8_t, 16> shuffle; // source digit, or -128 for a space
    alignas(16) std::array<int8_t, 16> spaces;
};

constexpr WideThird MakeWideThird(int third)
{
    WideThird t{};
    for (int i = 0; i < 16; ++i) {
        const int q = 16 * third + i;
        const bool space = q % 3 == 2;
        t.shuffle[i] = space ? int8_t{-128}
                             : static_cast<int8_t>(2 * (q / 3) + q % 3 - ThirdFirstDigit[third]);
        t.spaces[i] = space ? int8_t{' '} : int8_t{0};
    }
    return t;
}

constexpr std::array<WideThird, 3> WideThirds = {MakeWideThird(0), MakeWideThird(1), MakeWideThird(2)};

__attribute__((target("avx2"))) __m256i BroadcastLanes(const std::array<int8_t, 16>& lane)
{
    return _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(lane.data())));
}

// Upper-case hex digits of nibbles (0-15), with compares instead of a table.
__attribute__((target("avx2"))) __m256i NibbleDigits(__m256i nibbles)
{
    const __m256i letters = _mm256_and_si256(_mm256_cmpgt_epi8(nibbles, _mm256_set1_epi8(9)),
                                             _mm256_set1_epi8('A' - '0' - 10));
    return _mm256_add_epi8(_mm256_add_epi8(nibbles, _mm256_set1_epi8('0')), letters);
}

// 32 bytes at a time with AVX2, each 128-bit lane holding 16 bytes and
// giving their 48 characters.
__attribute__((target("avx2"))) std::size_t WriteHexTextAvx2(const uint8_t* data, std::size_t n, char* out)
{
    const __m256i nibble = _mm256_set1_epi8(0x0F);
    const __m256i shuffle0 = BroadcastLanes(WideThirds[0].shuffle);
    const __m256i shuffle1 = BroadcastLanes(WideThirds[1].shuffle);
    const __m256i shuffle2 = BroadcastLanes(WideThirds[2].shuffle);
    const __m256i spaces0 = BroadcastLanes(WideThirds[0].spaces);
    const __m256i spaces1 = BroadcastLanes(WideThirds[1].spaces);
    const __m256i spaces2 = BroadcastLanes(WideThirds[2].spaces);
    std::size_t i = 0;
    for (; i + 32 <= n; i += 32) {
        const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + i));
        const __m256i high = _mm256_and_si256(_mm256_srli_epi16(bytes, 4), nibble);
        const __m256i low = _mm256_and_si256(bytes, nibble);
        const __m256i pairsFirst = NibbleDigits(_mm256_unpacklo_epi8(high, low));
        const __m256i pairsSecond = NibbleDigits(_mm256_unpackhi_epi8(high, low));
        const __m256i pairsMiddle = _mm256_alignr_epi8(pairsSecond, pairsFirst, MiddleFirstDigit);
        const __m256i t0 = _mm256_or_si256(_mm256_shuffle_epi8(pairsFirst, shuffle0), spaces0);
        const __m256i t1 = _mm256_or_si256(_mm256_shuffle_epi8(pairsMiddle, shuffle1), spaces1);
        const __m256i t2 = _mm256_or_si256(_mm256_shuffle_epi8(pairsSecond, shuffle2), spaces2);
        auto* o = reinterpret_cast<__m256i*>(out + 3 * i);
        _mm256_storeu_si256(o, _mm256_permute2x128_si256(t0, t1, 0x20));
        _mm256_storeu_si256(o + 1, _mm256_permute2x128_si256(t2, t0, 0x30));
        _mm256_storeu_si256(o + 2, _mm256_permute2x128_si256(t1, t2, 0x31));
    }
    return i;
}

} // namespace

std::size_t WriteHexTextWide(const uint8_t* data, std::size_t n, char* out)
{
    static const bool avx2 = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return avx2 ? WriteHexTextAvx2(data, n, out) : 0;
}

#else

std::size_t WriteHexTextWide(const uint8_t*, std::size_t, char*)
{
    return 0;
}

#endif
