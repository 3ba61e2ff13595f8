// The HTTP client's exception: libcurl's own message text and its code.
#pragma once

#include <stdexcept>
#include <string>

class HttpError : public std::runtime_error {
public:
    HttpError(int code, const std::string& message)
        : std::runtime_error(message)
        , FCode(code)
    { }
    int Code() const { return FCode; }

private:
    int FCode;
};
