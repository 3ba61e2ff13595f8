#include "support/ModelledHandset.h"

#include <climits>
#include <cmath>

namespace {
handset::LineSettings Settings(double turnaroundMs, bool bus, bool echo)
{
    handset::LineSettings settings;
    settings.pace = true;
    settings.echo = echo;
    settings.bus = bus;
    settings.turnaroundMs = turnaroundMs;
    return settings;
}

std::int64_t Microseconds(double ms)
{
    return static_cast<std::int64_t>(std::ceil(ms * 1000.0));
}
} // namespace

ModelledHandset::ModelledHandset(double turnaroundMs, bool bus, bool echo)
    : line_(model_, Settings(turnaroundMs, bus, echo))
{ }

ModelledHandset::ModelledHandset(const handset::LineSettings& settings)
    : line_(model_, settings)
{ }

void ModelledHandset::OnWrite(VirtualLine&, const std::vector<std::uint8_t>& bytes, std::int64_t atUs)
{
    line_.fromPc(bytes.data(), bytes.size(), static_cast<double>(atUs) / 1000.0);
}

std::vector<FarEnd::TimedByte> ModelledHandset::TakeArrived(std::int64_t nowUs)
{
    std::vector<TimedByte> arrived;
    while (line_.pending() != 0 && Microseconds(line_.nextDueMs()) <= nowUs) {
        const double dueMs = line_.nextDueMs();
        for (std::uint8_t byte : line_.dueBy(dueMs))
            arrived.push_back({Microseconds(dueMs), byte});
    }
    return arrived;
}

std::int64_t ModelledHandset::NextDueUs() const
{
    const double dueMs = line_.nextDueMs();
    return std::isfinite(dueMs) ? Microseconds(dueMs) : INT64_MAX;
}
