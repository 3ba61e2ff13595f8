// Outside bytes the simulator takes in: whatever arrives on the line, and a
// state file a person may have edited.
#include "sim/HandsetLine.h"
#include "sim/HandsetModel.h"
#include "sim/HandsetStateFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    handset::HandsetModel model;
    handset::LineSettings settings;
    settings.faults.noiseBytes = 1;
    settings.faults.badChecksumEvery = 5;
    handset::HandsetLine line(model, settings);
    line.FromPc(data, size, 0.0);
    while (line.Pending() != 0)
        line.DueBy(line.NextDueMs());

    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        const handset::HandsetState state = handset::StateFromText(text);
        // Whatever parses must come back the same after a save.
        if (handset::StateFromText(handset::StateToText(state)) != state)
            std::abort();
    } catch (const std::runtime_error&) { }
    return 0;
}
