#include "sms/OperatorProfile.h"

#include "sms/ProfileIniFile.h"
#include "sms/OperatorValueList.h"

ProfileTexts profileTextsFrom(const OperatorValueList& values)
{
    ProfileTexts texts;
    for (std::size_t i = 0; i < kProfileKeyCount; ++i)
        texts[i] = values.value(kProfileKeys[i]);
    return texts;
}

void storeProfile(ProfileIniFile& ini, OperatorValueList& values, std::string_view section, const ProfileTexts& texts,
                  bool removeFirst)
{
    values.clear();
    for (std::size_t i = 0; i < kProfileKeyCount; ++i)
        values.setValue(kProfileKeys[i], texts[i]);
    if (removeFirst)
        ini.removeSection(section);
    for (std::size_t i = 0; i < values.size(); ++i)
        ini.setValue(section, values.nameAt(i), values.valueAt(i));
}
