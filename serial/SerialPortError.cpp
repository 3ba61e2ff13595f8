#include "serial/SerialPortError.h"

#include <system_error>

namespace VaCommText {

std::string InvalidPort(int portNum)
{
    return "Invalid port number (COM" + std::to_string(portNum) + ")";
}

std::string CantOpen(int portNum)
{
    return "Can't open device COM" + std::to_string(portNum);
}

std::string WithSystemError(const char* pattern, int code, const std::string& text)
{
    std::string out;
    for (const char* p = pattern; *p; ++p) {
        if (p[0] == '%' && p[1] == 'd') {
            out += std::to_string(code);
            ++p;
        } else if (p[0] == '%' && p[1] == 's') {
            out += text;
            ++p;
        } else {
            out += *p;
        }
    }
    return out;
}

} // namespace VaCommText

std::string SystemErrorText(int code)
{
    return std::system_category().message(code);
}
