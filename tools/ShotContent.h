// Representative content for each window, so a picture shows what a user
// sees after a session with a handset rather than empty controls.
#pragma once

#include <QDir>

void FillMainWindow();
void FillPhonebook();
void FillRecordEditor();
void FillSendSms();
void FillOperatorSettings();
// Loads a test pattern through the window's own "Load Bitmap" path; the
// pattern's bitmap file is written into workDir.
void FillLogoManager(const QDir& workDir);
