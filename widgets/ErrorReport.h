// The top-level error report: the message of an exception caught at the top
// (see M2BusApplication) shown to the user in the user's language.
#pragma once

#include <QString>

#include <exception>

// Shows an error's message in a message box (through the prompts seam) and
// returns; everything that catches at the top calls this.
void reportError(const std::exception& error);

// A reported message in the user's language where a translation of the
// pattern it was made from exists; the English message otherwise.
QString translateReportedText(const QString& english, int depth = 0);
