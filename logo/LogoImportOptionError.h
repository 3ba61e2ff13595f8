// A missing or bad picture option on the command line; what() is the message
// for the user.
#pragma once

#include <stdexcept>

class LogoImportOptionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
