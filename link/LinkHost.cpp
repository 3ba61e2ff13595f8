#include "link/LinkHost.h"

#include <chrono>

std::int64_t LinkHost::NowUs() {
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

void LinkHost::WaitForEvents(std::int64_t untilUs) {
    ProcessMessages();
    if (NowUs() < untilUs)
        Sleep(1);
}
