// What the logo manager needs of the main window: its two block transfers.
#pragma once

#include "logo/LogoBlocks.h"

#include <optional>

#include <cstdint>

class LogoHost {
public:
    virtual ~LogoHost() = default;
    // Both show their own failure messages; a read gives nothing on failure.
    virtual std::optional<LogoBlock> readLogoBlock(int block) = 0;
    virtual bool writeLogoBlock(int block, const LogoBlock& data) = 0;
};
