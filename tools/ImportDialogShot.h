// The logo import dialog as a user sees it after loading a photo: "Fit" and
// Floyd–Steinberg chosen.
#pragma once

#include <QImage>

#include "logo/LogoImport.h"

class QWidget;

// A landscape at camera size with every tone from white to black.
QImage PhotoLikePicture();
// "Fit" with Floyd–Steinberg dithering.
LogoImportOptions ShotImportOptions();

// Made on the first call and owned by parent; the same dialog after that.
QWidget* LogoImportDialogForShot(QWidget* parent);
