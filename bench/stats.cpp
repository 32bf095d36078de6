#include "stats.h"

#include <algorithm>
#include <cmath>

namespace velmi::bench {

double Quantile(std::vector<double> samples, double q) {
    if (samples.empty()) return 0;
    const auto n = static_cast<double>(samples.size());
    auto rank = static_cast<std::size_t>(std::ceil(q * n));
    rank = std::clamp<std::size_t>(rank, 1, samples.size());
    const auto nth = samples.begin() + static_cast<std::ptrdiff_t>(rank - 1);
    std::nth_element(samples.begin(), nth, samples.end());
    return *nth;
}

}  // namespace velmi::bench
