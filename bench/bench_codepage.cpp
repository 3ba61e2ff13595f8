// Code page conversion throughput: convertCodePage next to glibc iconv on the same
// few megabytes of Cyrillic text.
#include "sms/CodePage.h"

#include <benchmark/benchmark.h>
#include <iconv.h>

#include <string>

namespace {

const std::string& CyrillicText()
{
    static const std::string text = [] {
        // Windows-1251 letters, blanks and punctuation, about 4 MB.
        const std::string line = "\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0! \xD1\xEE\xEE\xE1\xF9\xE5\xED\xE8\xE5 "
                                 "\xEE\xF2\xEF\xF0\xE0\xE2\xEB\xE5\xED\xEE 12:45. \xA8\xEB\xEA\xE0\r\n";
        std::string t;
        while (t.size() < 4u * 1024 * 1024)
            t += line;
        return t;
    }();
    return text;
}

void BM_ConvertCodePage_CP1251_to_KOI8R(benchmark::State& state)
{
    const std::string& text = CyrillicText();
    for (auto _ : state)
        benchmark::DoNotOptimize(convertCodePage(text, CodePage::Win1251, CodePage::Koi8R));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_Iconv_CP1251_to_KOI8R(benchmark::State& state)
{
    const std::string& text = CyrillicText();
    std::string out(text.size(), '\0');
    iconv_t cd = iconv_open("KOI8-R//TRANSLIT", "CP1251");
    for (auto _ : state) {
        char* in = const_cast<char*>(text.data());
        char* o = out.data();
        size_t inLeft = text.size(), outLeft = out.size();
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        iconv(cd, &in, &inLeft, &o, &outLeft);
        benchmark::DoNotOptimize(out.data());
    }
    iconv_close(cd);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

} // namespace

BENCHMARK(BM_ConvertCodePage_CP1251_to_KOI8R)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Iconv_CP1251_to_KOI8R)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
