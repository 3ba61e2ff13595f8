// Contact files as phones, mail programs and contact services export them.
#pragma once

#include <QString>

inline QString ContactFixture(const char* name)
{
    return QStringLiteral(M2BUS_SOURCE_DIR "/tests/fixtures/contacts/") + QLatin1String(name);
}
