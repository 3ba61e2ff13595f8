// The serial port's one error class; what() is the text shown to the user.
#pragma once

#include <stdexcept>
#include <string>

class SerialPortError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Texts of the port's errors. The ones with a system error take its code and
// the system's own wording for it.
namespace serialtext {
inline constexpr const char* kPortOpen = "Can't perform this operation when port is open";
std::string invalidPort(int portNumber);
std::string cantOpen(int portNumber);
inline constexpr const char* kEventMask = " Error setting EventMask (%d), %s";
inline constexpr const char* kClearBuffers = "Error clearing buffers (%d), %s";
inline constexpr const char* kTimeouts = "Error setting timeouts (%d), %s";
inline constexpr const char* kInitBuffers = "Error initializing buffers (%d), %s";
inline constexpr const char* kReadDcb = "Error reading dcb (%d), %s";
inline constexpr const char* kWriteDcb = "Error writing dcb (%d), %s";
inline constexpr const char* kWrite = "Write error (%d), %s";
inline constexpr const char* kRead = "Read error (%d), %s";
inline constexpr const char* kStatistics = "Error retrieving statistics (%d), %s";

// Fills one of the "(%d), %s" texts above.
std::string withSystemError(const char* pattern, int code, const std::string& text);
} // namespace serialtext

// The system's text for an error code (strerror on POSIX, FormatMessage on Windows).
std::string systemErrorText(int code);
