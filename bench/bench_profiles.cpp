// Showing operator profiles from a 10 MB Operators.ini as the SMS window
// does: list the sections, then read one section's values for each of three
// operators (first, middle, last). The first figure includes the one parse
// a fresh store makes; the second is the same work on a store that has the
// file parsed already and only looks whether it changed.
//
// The file is given a modification time an hour back, as a profile file
// that the user keeps has: a file written within the last three seconds is
// parsed again on every call, because a change within its clock's
// resolution could leave size and times as they were.
#include "sms/ProfileIniFile.h"
#include "sms/OperatorValueList.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <sys/stat.h>

namespace {

struct ProfileFile {
    QTemporaryDir dir;
    std::string path;
    std::size_t bytes = 0;

    ProfileFile()
    {
        path = dir.filePath("Operators.ini").toStdString();
        std::ofstream out(path, std::ios::binary);
        for (int n = 0; bytes < 10u * 1024 * 1024; ++n) {
            std::string section = "[Operator " + std::to_string(n)
                + "]\r\n"
                  "URL=sms.example"
                + std::to_string(n)
                + ".ru:8080/cgi-bin/send.cgi?lang=ru\r\n"
                  "NumField=phone\r\nPrefix=8903\r\nTxtField=message\r\nMethod=POST\r\n"
                  "ActName=send\r\nAction=\xCE\xF2\xEF\xF0\xE0\xE2\xE8\xF2\xFC\r\n"
                  "Reply=\xD1\xEE\xEE\xE1\xF9\xE5\xED\xE8\xE5 \xEE\xF2\xEF\xF0\xE0\xE2\xEB\xE5\xED\xEE\r\n"
                  "Chars=KOI8R\r\nReferer=http://sms.example.ru/\r\nLogin=user\r\nPassw=secret\r\n"
                  "; a comment the user wrote\r\n"
                  "AdName1=translit\r\nAdVal1=0\r\nAdName2=\r\nAdVal2=\r\n";
            bytes += section.size();
            out << section;
        }
        out.close();
        const timespec old = {std::time(nullptr) - 3600, 0};
        const timespec times[2] = {old, old};
        utimensat(AT_FDCWD, path.c_str(), times, 0);
    }
};

const ProfileFile& TenMegabytes()
{
    static const ProfileFile file;
    return file;
}

void ShowThreeProfiles(ProfileIniFile& ini, benchmark::State& state)
{
    OperatorValueList values;
    const std::vector<std::string> names = ini.sectionNames();
    if (names.empty()) {
        state.SkipWithError("no profiles");
        return;
    }
    for (const std::string& name : {names.front(), names[names.size() / 2], names.back()}) {
        values.readSection(ini, name);
        benchmark::DoNotOptimize(values.value("URL"));
    }
}

void BM_ThreeProfilesFreshStore(benchmark::State& state)
{
    const ProfileFile& file = TenMegabytes();
    for (auto _ : state) {
        ProfileIniFile ini(file.path);
        ShowThreeProfiles(ini, state);
    }
    state.counters["file_MB"] = static_cast<double>(file.bytes) / (1024.0 * 1024.0);
}

void BM_ThreeProfilesParsedStore(benchmark::State& state)
{
    const ProfileFile& file = TenMegabytes();
    ProfileIniFile ini(file.path);
    ini.sectionNames();
    for (auto _ : state)
        ShowThreeProfiles(ini, state);
    state.counters["file_MB"] = static_cast<double>(file.bytes) / (1024.0 * 1024.0);
}

} // namespace

BENCHMARK(BM_ThreeProfilesFreshStore)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ThreeProfilesParsedStore)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
