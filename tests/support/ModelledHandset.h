// The simulator's handset model and line model (HandsetLine) as the far end
// of a virtual line, for tests and benchmarks. The line model echoes, so the
// virtual line's own echo must be off. Its bytes are handed over only when
// the line asks, since on the bus a later write of the program can still
// garble bytes already scheduled.
#pragma once

#include <cstdint>
#include <vector>

#include "support/VirtualLine.h"
#include "sim/HandsetLine.h"
#include "sim/HandsetModel.h"

class ModelledHandset : public FarEnd {
public:
    explicit ModelledHandset(double turnaroundMs = 20.0, bool bus = false, bool echo = true);
    // Any line: faults, a slow handset, the duplicate rule.
    explicit ModelledHandset(const handset::LineSettings& settings);

    void OnWrite(VirtualLine& line, const std::vector<std::uint8_t>& bytes, std::int64_t atUs) override;
    std::vector<TimedByte> TakeArrived(std::int64_t nowUs) override;
    std::int64_t NextDueUs() const override;

    handset::HandsetModel& Model() { return model_; }
    handset::HandsetLine& Line() { return line_; }

private:
    handset::HandsetModel model_;
    handset::HandsetLine line_;
};
