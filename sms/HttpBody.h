// A growable byte block with a position, for request and reply bodies: a
// write lands at the position and overwrites before it extends, so a shorter
// write from the start keeps the older tail.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

class HttpBody {
public:
    const std::string& Data() const { return FData; }
    std::size_t Size() const { return FData.size(); }
    std::size_t Position() const { return FPosition; }
    void SetPosition(std::size_t position) { FPosition = std::min(position, FData.size()); }

    void Write(std::string_view bytes)
    {
        const std::size_t end = FPosition + bytes.size();
        if (end > FData.size())
            FData.resize(end);
        std::copy(bytes.begin(), bytes.end(), FData.begin() + static_cast<std::ptrdiff_t>(FPosition));
        FPosition = end;
    }
    // Up to count bytes from the position onwards.
    std::string Read(std::size_t count)
    {
        const std::size_t n = std::min(count, FData.size() - FPosition);
        std::string out = FData.substr(FPosition, n);
        FPosition += n;
        return out;
    }
    // Makes room for n bytes, no more: std::string's own reserve may double
    // the block instead, so the bytes move into a block of exactly that size.
    void Reserve(std::size_t n)
    {
        if (n <= FData.capacity())
            return;
        std::string grown;
        grown.reserve(n);
        grown.append(FData);
        FData.swap(grown);
    }
    std::size_t Capacity() const { return FData.capacity(); }
    void Clear()
    {
        FData.clear();
        FPosition = 0;
    }

private:
    std::string FData;
    std::size_t FPosition = 0;
};
