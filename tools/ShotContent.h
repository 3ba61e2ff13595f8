// Representative content for each window, so a picture shows what a user
// sees after a session with a handset rather than empty controls.
#pragma once

#include <QDir>

class MainWindow;

void FillMainWindow(MainWindow& main);
void FillPhonebook(MainWindow& main);
void FillRecordEditor(MainWindow& main);
void FillSendSms(MainWindow& main);
void FillOperatorSettings(MainWindow& main);
void FillDialledNumbers(MainWindow& main);
// Loads a test pattern through the window's own "Load Bitmap" path; the
// pattern's bitmap file is written into workDir.
void FillLogoManager(MainWindow& main, const QDir& workDir);
