#include "link/LinkHost.h"

#include <chrono>

std::int64_t LinkHost::nowUs()
{
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

void LinkHost::waitForEvents(std::int64_t untilUs)
{
    processMessages();
    if (nowUs() < untilUs)
        sleep(1);
}
