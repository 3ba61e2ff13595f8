// A window setting that cannot be read or kept as it is.
#pragma once

#include <stdexcept>

class WindowStateError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
