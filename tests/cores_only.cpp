// A program on the cores alone, as a command-line tool would be: it must build
// and run without Qt Widgets (the test beside it checks what it loads).
#include "backup/HandsetBackup.h"
#include "files/SafeFile.h"
#include "link/Frame.h"
#include "logo/LogoPicture.h"
#include "phonebook/PhoneRecord.h"
#include "phonebook/PhonebookFileIo.h"
#include "sms/SmsSubmission.h"
#include "sms/HttpClient.h"

#include <cstdio>

int main()
{
    // One entry point of each core, so that the linker keeps every library.
    const void* const volatile used[] = {
        reinterpret_cast<const void*>(&frame::checksum),   reinterpret_cast<const void*>(&BuildReadRequest),
        reinterpret_cast<const void*>(&LogoBlankPicture),  reinterpret_cast<const void*>(&replaceFile),
        reinterpret_cast<const void*>(&SavePhonebookFile), reinterpret_cast<const void*>(&replyCodePage),
        reinterpret_cast<const void*>(&makeBackup),
    };
    int linked = 0;
    for (const void* entry : used)
        linked += entry != nullptr;
    const HttpClient http;
    std::printf("%d entry points linked, HTTP client %s\n", linked, http.isBusy() ? "busy" : "idle");
    return 0;
}
