// What the phonebook window needs of the main window: its two record
// transfers and its "Software reset" button. Texts are Windows-1251.
#pragma once

#include <string>

class PhonebookHost {
public:
    virtual ~PhonebookHost() = default;
    virtual void PhBookRead(int Location, std::string& Name, std::string& Number, bool& Ok) = 0;
    // Trims Name and Number in place before writing them.
    virtual void PhBookWrite(int Location, std::string& Name, std::string& Number, bool& Ok) = 0;
    // Clicks the main window's "Software reset" button.
    virtual void ClickSoftwareReset() = 0;
};
