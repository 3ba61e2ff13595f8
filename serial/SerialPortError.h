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
namespace VaCommText {
inline constexpr const char* PortOpen = "Can't perform this operation when port is open";
std::string InvalidPort(int portNum);
std::string CantOpen(int portNum);
inline constexpr const char* EventMask = " Error setting EventMask (%d), %s";
inline constexpr const char* ClearBuffers = "Error clearing buffers (%d), %s";
inline constexpr const char* Timeouts = "Error setting timeouts (%d), %s";
inline constexpr const char* InitBuffers = "Error initializing buffers (%d), %s";
inline constexpr const char* ReadDcb = "Error reading dcb (%d), %s";
inline constexpr const char* WriteDcb = "Error writing dcb (%d), %s";
inline constexpr const char* Write = "Write error (%d), %s";
inline constexpr const char* Read = "Read error (%d), %s";
inline constexpr const char* Statistics = "Error retrieving statistics (%d), %s";

// Fills one of the "(%d), %s" texts above.
std::string WithSystemError(const char* pattern, int code, const std::string& text);
} // namespace VaCommText

// The system's text for an error code (strerror on POSIX, FormatMessage on Windows).
std::string SystemErrorText(int code);
