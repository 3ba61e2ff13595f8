// What the logo manager needs of the main window: its two block transfers.
#pragma once

#include <cstdint>

class LogoHost {
public:
    virtual ~LogoHost() = default;
    // Data holds 84 bytes; Block is only read. Both show their own failure messages.
    virtual void GetBitmap(std::uint8_t* Data, int& Block, bool& Ok) = 0;
    virtual void PutBitmap(std::uint8_t* Data, int& Block, bool& Ok) = 0;
};
