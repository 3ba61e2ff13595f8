#include "link/LinkClock.h"

#include <chrono>
#include <thread>

std::int64_t LinkClock::nowUs()
{
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

void LinkClock::sleep(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}
