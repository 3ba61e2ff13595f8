// One loopback GET through TAdvHttp next to the same request made by the
// curl command, against the recording test server in the same run.
#include "sms/uAdvHttp.h"
#include "support/HttpTestServer.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

namespace {

HttpTestServer& Server()
{
    static HttpTestServer server;
    static const bool scripted = [] {
        HttpScriptedResponse page;
        page.headers = {{"Content-Type", "text/html; charset=koi8-r"}};
        page.body = "<html><body>" + std::string(400, 'x') + "</body></html>";
        server.setDefaultResponse(page);
        return true;
    }();
    (void)scripted;
    return server;
}

const std::string kQuery = "/send?phone=123&msg=Hi";

// The component as the SMS window uses it: one instance, connection kept.
void BM_AdvHttp_Get_KeptConnection(benchmark::State& state)
{
    TAdvHttp http;
    http.SetURL(Server().url(kQuery));
    for (auto _ : state)
        if (!http.Execute())
            state.SkipWithError("request failed");
}

// A fresh component per request: new connection each time, like the command.
void BM_AdvHttp_Get_NewConnection(benchmark::State& state)
{
    const std::string url = Server().url(kQuery);
    for (auto _ : state) {
        TAdvHttp http;
        http.SetURL(url);
        if (!http.Execute())
            state.SkipWithError("request failed");
    }
}

void BM_CurlCommand_Get(benchmark::State& state)
{
    const std::string command = "curl -s -o /dev/null '" + Server().url(kQuery) + "'";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("curl command failed");
}

} // namespace

BENCHMARK(BM_AdvHttp_Get_KeptConnection)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AdvHttp_Get_NewConnection)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CurlCommand_Get)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
