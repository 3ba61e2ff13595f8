// The import options on the command line: "--mode fit --dither floyd ..."
// read into LogoImportOptions, and the help text that lists them.
#pragma once

#include "logo/LogoImport.h"
#include "logo/LogoImportOptionError.h"

#include <QStringList>

struct LogoImportArguments {
    LogoImportOptions options;
    QStringList others; // every argument that is not an import option, in order
};

// Reads the import options from command-line arguments:
//   --mode as-drawn|fit|fill   --threshold auto|0..255
//   --dither none|floyd|bayer4|bayer8   --invert
//   --brightness -100..100     --contrast -100..100
// "--name value" and "--name=value" both work; values ignore case. Raises
// LogoImportOptionError with a message for the user on a missing or bad value.
LogoImportArguments parseLogoImportArguments(const QStringList& arguments);
// The lines above as help text for a usage message.
QString logoImportUsage();
