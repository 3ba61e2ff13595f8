// Sees every byte the link puts on the line and takes off it, for the frame
// log. Called on the link's own thread, inside its exchanges.
#pragma once

#include <cstdint>

class LinkObserver {
public:
    virtual ~LinkObserver() = default;
    // One frame of ours; complete is false when the port did not take it in time.
    virtual void sent(const std::uint8_t* bytes, int count, bool complete) = 0;
    // Bytes as they arrived, cut anywhere (frames, halves of frames, noise).
    virtual void received(const std::uint8_t* bytes, int count) = 0;
};
