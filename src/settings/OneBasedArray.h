#pragma once

#include <array>
#include <stdexcept>

// A fixed array indexed from 1 to N, as the records' lists are numbered
// (MRU[1] to MRU[5], Mile[1] to Mile[8]). An index outside raises std::out_of_range.
template <typename T, int N> class TOneBasedArray {
public:
    T& operator[](int index) { return FItems.at(Slot(index)); }
    const T& operator[](int index) const { return FItems.at(Slot(index)); }
    static constexpr int Low() { return 1; }
    static constexpr int High() { return N; }
    auto begin() { return FItems.begin(); }
    auto end() { return FItems.end(); }
    auto begin() const { return FItems.begin(); }
    auto end() const { return FItems.end(); }
    bool operator==(const TOneBasedArray&) const = default;

private:
    static std::size_t Slot(int index) {
        if (index < 1 || index > N)
            throw std::out_of_range("index outside 1 to " + std::to_string(N));
        return static_cast<std::size_t>(index - 1);
    }
    std::array<T, N> FItems{};
};
