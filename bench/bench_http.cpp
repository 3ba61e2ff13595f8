// One loopback GET through HttpClient next to the same request made by the
// curl command, against the recording test server in the same run; and what
// a misbehaving gateway costs with the default limits: how long a silent one
// holds a request, and the peak memory an endless reply takes.
#include "sms/OperatorValueList.h"
#include "sms/SmsSubmission.h"
#include "sms/HttpClient.h"
#include "support/HttpTestServer.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
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
void BM_HttpClient_Get_KeptConnection(benchmark::State& state)
{
    HttpClient http;
    HttpRequest request;
    request.url = Server().url(kQuery);
    for (auto _ : state)
        if (http.perform(request).status != 200)
            state.SkipWithError("request failed");
}

// A fresh component per request: new connection each time, like the command.
void BM_HttpClient_Get_NewConnection(benchmark::State& state)
{
    HttpRequest request;
    request.url = Server().url(kQuery);
    for (auto _ : state) {
        HttpClient http;
        if (http.perform(request).status != 200)
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

// A size line of /proc/self/status in MiB, e.g. "VmHWM:" (the peak resident
// size); 0 where there is none.
double StatusMiB(const std::string& field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0)
            return std::stod(line.substr(field.size())) / 1024.0;
    return 0;
}

// Starts a new peak from the present resident size (Linux 4.0 and later).
void ResetPeakRss()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

// The default receive time-out against a gateway that never answers: one
// request, about 30 s.
void BM_HttpClient_SilentGateway_DefaultTimeout(benchmark::State& state)
{
    HttpTestServer silent;
    silent.setSilent(true);
    silent.setHoldLimit(120000);
    for (auto _ : state) {
        HttpClient http;
        HttpRequest request;
        request.url = silent.url("/");
        const auto start = std::chrono::steady_clock::now();
        try {
            http.perform(request);
            state.SkipWithError("the silent gateway answered");
        } catch (const HttpError& e) {
            state.SetLabel(e.what());
        }
        state.counters["ends_after_s"] =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
}

HttpScriptedResponse EndlessPage()
{
    HttpScriptedResponse endless;
    endless.body = std::string(64 * 1024, 'x');
    endless.endless = true;
    return endless;
}

// An endless reply with the default size limit: the component alone, and the
// whole send as the SMS window makes it (the reply is judged and converted).
void BM_HttpClient_EndlessReply_PeakMemory(benchmark::State& state)
{
    HttpTestServer server;
    server.setDefaultResponse(EndlessPage());
    const bool wholeSend = state.range(0) != 0;
    OperatorValueList profile;
    profile.setValue("URL", server.url("/sms").substr(7));
    profile.setValue("Reply", "OK");
    for (auto _ : state) {
        const double before = StatusMiB("VmRSS:");
        ResetPeakRss();
        std::string error;
        {
            HttpClient http;
            if (wholeSend) {
                const SubmissionOutcome outcome = submitForm(http, submissionRequest(), profile, "123", "Hi");
                try {
                    if (outcome.error)
                        std::rethrow_exception(outcome.error);
                } catch (const std::exception& e) {
                    error = e.what();
                }
            } else {
                HttpRequest request;
                request.url = server.url("/");
                try {
                    http.perform(request);
                } catch (const HttpError& e) {
                    error = e.what();
                }
            }
        }
        if (error.empty())
            state.SkipWithError("the endless reply was taken whole");
        state.SetLabel(error);
        state.counters["peak_rss_MiB"] = StatusMiB("VmHWM:");
        state.counters["rss_before_MiB"] = before;
    }
}

} // namespace

BENCHMARK(BM_HttpClient_EndlessReply_PeakMemory)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HttpClient_SilentGateway_DefaultTimeout)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_HttpClient_Get_KeptConnection)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HttpClient_Get_NewConnection)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CurlCommand_Get)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
