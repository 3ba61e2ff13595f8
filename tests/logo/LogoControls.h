// The named controls of the logo window, found by name the way its form declares them.
#pragma once

#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

#include "logo/ui/LogoToolRow.h"
#include "support/NamedControl.h"
#include "widgets/CheckLed.h"
#include "widgets/DotMatrix.h"
#include "widgets/LedBar.h"

struct LogoWindowControls {
    explicit LogoWindowControls(const QWidget* w)
        : readButton(Named<QPushButton>(w, "readButton"))
        , saveButton(Named<QPushButton>(w, "saveButton"))
        , writeButton(Named<QPushButton>(w, "writeButton"))
        , loadButton(Named<QPushButton>(w, "loadButton"))
        , editLed(Named<CheckLed>(w, "editLed"))
        , previewLabel(Named<QLabel>(w, "previewLabel"))
        , dotMatrix(Named<DotMatrix>(w, "dotMatrix"))
        , progressBar(Named<LedBar>(w, "progressBar"))
        , toolRow(Named<LogoToolRow>(w, "toolRow"))
    { }
    QPushButton* readButton;
    QPushButton* saveButton;
    QPushButton* writeButton;
    QPushButton* loadButton;
    CheckLed* editLed;
    QLabel* previewLabel;
    DotMatrix* dotMatrix;
    LedBar* progressBar;
    LogoToolRow* toolRow;
};
