// The logo import dialog as a user sees it after loading a photo: "Fit" and
// Floyd–Steinberg chosen.
#pragma once

class QWidget;

// Made on the first call and owned by parent; the same dialog after that.
QWidget* LogoImportDialogForShot(QWidget* parent);
