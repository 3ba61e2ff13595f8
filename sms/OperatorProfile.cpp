#include "sms/OperatorProfile.h"

#include "sms/ProfileIniFile.h"
#include "sms/OperatorValues.h"

ProfileTexts ProfileTextsFrom(const OperatorValueList& values)
{
    ProfileTexts texts;
    for (std::size_t i = 0; i < kProfileKeyCount; ++i)
        texts[i] = values.Values(kProfileKeys[i]);
    return texts;
}

void StoreProfile(ProfileIniFile& ini, OperatorValueList& values, std::string_view section, const ProfileTexts& texts,
                  bool eraseFirst)
{
    values.Clear();
    for (std::size_t i = 0; i < kProfileKeyCount; ++i)
        values.SetValue(kProfileKeys[i], texts[i]);
    if (eraseFirst)
        ini.EraseSection(section);
    for (std::size_t i = 0; i < values.Count(); ++i)
        ini.WriteString(section, values.Names(i), values.ValueFromIndex(i));
}
