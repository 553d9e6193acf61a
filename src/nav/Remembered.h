// The last results of a pure function of one real number, kept per thread and keyed by the
// argument's bits. The tick and the once-a-second sphere computations ask the same questions many
// times (the direction of the current, the course through the water, the waypoint's latitude, the
// latitude the boat reached a second ago): a remembered answer is the function's own, bit for bit,
// at the cost of a hash and a comparison.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>

namespace corvel::nav {

// The bits that make a value: the whole of a double; the 64-bit significand and the sign and
// exponent of an x87 extended value (its padding bytes are left out).
struct ValueBits {
    std::uint64_t low = 0;
    std::uint64_t high = 0;
    friend bool operator==(const ValueBits&, const ValueBits&) = default;
};

inline ValueBits BitsOf(double x) { return {std::bit_cast<std::uint64_t>(x), 0}; }

inline ValueBits BitsOf(long double x) {
    static_assert(std::numeric_limits<long double>::digits == 64 && sizeof(long double) >= 10, "x87 extended layout");
    ValueBits bits;
    std::uint16_t signAndExponent = 0;
    std::memcpy(&bits.low, &x, sizeof bits.low);
    std::memcpy(&signAndExponent, reinterpret_cast<const unsigned char*>(&x) + 8, sizeof signAndExponent);
    bits.high = signAndExponent;
    return bits;
}

// 2^Bits slots, each holding one argument and its result; a new argument takes its slot over.
template <typename Arg, typename Result, int Bits = 5>
class Remembered {
public:
    template <typename Compute>
    Result Get(Arg x, Compute compute) {
        const ValueBits key = BitsOf(x);
        Slot& slot = slots_[((key.low ^ (key.high << 48)) * 0x9E3779B97F4A7C15ULL) >> (64 - Bits)];
        if (!(slot.key == key)) slot = {key, compute(x)};
        return slot.result;
    }

private:
    struct Slot {
        ValueBits key{0, ~std::uint64_t{0}};  // the bits of no value: an empty slot
        Result result{};
    };
    Slot slots_[1 << Bits];
};

}  // namespace corvel::nav
