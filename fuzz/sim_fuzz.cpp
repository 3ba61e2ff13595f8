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
    line.fromPc(data, size, 0.0);
    while (line.pending() != 0)
        line.dueBy(line.nextDueMs());

    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        const handset::HandsetState state = handset::stateFromText(text);
        // Whatever parses must come back the same after a save.
        if (handset::stateFromText(handset::stateToText(state)) != state)
            std::abort();
    } catch (const std::runtime_error&) { }
    return 0;
}
