#pragma once
// Microsecond timing and percentiles for the pipe benchmark.

#include <string>
#include <vector>

namespace HxPipeBench {

// Microseconds from the performance counter.
double NowMicroseconds();

struct Summary {
    double p50 = 0;
    double p99 = 0;
    double mean = 0;
    std::size_t samples = 0;
};

Summary Summarize(std::vector<double> samples);

void PrintSummary(const std::string& name, const Summary& summary, std::size_t failures);

} // namespace HxPipeBench
