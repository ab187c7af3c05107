#include "Timing.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <numeric>

namespace HxPipeBench {

double NowMicroseconds() {
    static const double ticksPerMicrosecond = [] {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return static_cast<double>(frequency.QuadPart) / 1e6;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / ticksPerMicrosecond;
}

namespace {

double Percentile(const std::vector<double>& sorted, double fraction) {
    const std::size_t index =
        static_cast<std::size_t>(fraction * static_cast<double>(sorted.size() - 1) + 0.5);
    return sorted[std::min(index, sorted.size() - 1)];
}

} // namespace

Summary Summarize(std::vector<double> samples) {
    Summary summary;
    summary.samples = samples.size();
    if (samples.empty())
        return summary;
    std::sort(samples.begin(), samples.end());
    summary.p50 = Percentile(samples, 0.50);
    summary.p99 = Percentile(samples, 0.99);
    summary.mean = std::accumulate(samples.begin(), samples.end(), 0.0) / static_cast<double>(samples.size());
    return summary;
}

void PrintSummary(const std::string& name, const Summary& summary, std::size_t failures) {
    std::printf("%-48s p50 %9.1f us   p99 %9.1f us   mean %9.1f us   (%zu samples, %zu failed)\n",
                name.c_str(), summary.p50, summary.p99, summary.mean, summary.samples, failures);
}

} // namespace HxPipeBench
