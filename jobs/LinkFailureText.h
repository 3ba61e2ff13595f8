// What the user is told when a request to the handset failed, in the
// program's language.
#pragma once

#include <QString>

#include "link/LinkFailure.h"

// "Invalid port number Com3", what is wrong with a device chosen by its path,
// or "No answer from phone!  Please, check cable connection!".
QString linkFailureText(const LinkFailure& failure);
