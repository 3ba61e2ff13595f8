// What m2bus-cli uses of the program's own parts besides the handset
// (Handset.h): the settings store, the operator profiles and the SMS
// submission, the logo pictures and the Windows-1251 boundary.
#pragma once

#include "cli/CliError.h"
#include "logo/LogoBlocks.h"

#include <QImage>
#include <QSettings>
#include <QString>

#include <memory>
#include <string>
#include <string_view>

QString fromHandsetText(std::string_view win1251);
// Characters Windows-1251 cannot hold become '?'; *lossy tells whether that happened.
std::string toHandsetText(const QString& text, bool* lossy = nullptr);

// The settings the windows keep (the port used last among them).
std::unique_ptr<QSettings> openToolSettings();
// The operator profiles the SMS window uses.
QString operatorsIniPath();

// Raise CliError(File) naming the file.
QImage loadLogoPicture(const QString& path);
// .bmp or .png by extension, replaced whole or not at all.
void saveLogoPicture(const QImage& picture, const QString& path);
QImage logoPictureFromBlocks(const LogoBlocks& blocks);

// Submits the message through the named profile as the SMS window does.
// Returns the window's success text; raises CliError (Operator, Gateway).
QString sendSms(const QString& operatorName, const QString& phone, const QString& text);
