#include "serial/SerialPortError.h"

#include <system_error>

namespace serialtext {

std::string invalidPort(int portNumber)
{
    return "Invalid port number (COM" + std::to_string(portNumber) + ")";
}

std::string cantOpen(int portNumber)
{
    return "Can't open device COM" + std::to_string(portNumber);
}

std::string withSystemError(const char* pattern, int code, const std::string& text)
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

} // namespace serialtext

std::string systemErrorText(int code)
{
    return std::system_category().message(code);
}
