// Order statistics of timing samples.
#pragma once

#include <vector>

namespace velmi::bench {

// The q-quantile (0 < q <= 1) by the nearest-rank rule: the smallest sample
// that at least q of all samples do not exceed. 0 for no samples.
[[nodiscard]] double Quantile(std::vector<double> samples, double q);

[[nodiscard]] inline double Median(std::vector<double> samples) {
    return Quantile(std::move(samples), 0.5);
}

}  // namespace velmi::bench
