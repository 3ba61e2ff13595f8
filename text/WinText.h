// The window boundary: every text below the windows is Windows-1251 bytes;
// widgets hold QString. These helpers are the only place that converts.
#pragma once

#include <QString>
#include <string>
#include <string_view>

QString fromWin1251(std::string_view bytes);
// Characters that Windows-1251 cannot hold become '?'; *lossy (if given) tells
// whether that happened.
std::string toWin1251(const QString& text, bool* lossy = nullptr);
// The characters of text that Windows-1251 has no byte for, each once.
QString charactersWin1251Lacks(const QString& text);
