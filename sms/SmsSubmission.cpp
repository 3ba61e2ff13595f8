#include "sms/SmsSubmission.h"

#include "sms/HttpUrl.h"
#include "sms/OperatorValueList.h"

CodePage replyCodePage(std::string_view chars)
{
    if (chars == "Win1251")
        return CodePage::Win1251;
    if (chars == "DOS866")
        return CodePage::Dos866;
    if (chars == "ISO8859")
        return CodePage::Iso8859;
    return CodePage::Koi8R;
}

std::string submitPart(const OperatorValueList& profile)
{
    const std::string name = profile.value("ActName");
    const std::string value = profile.value("Action");
    if (name.empty() || value.empty())
        return {};
    return "&" + name + "=" + value;
}

std::string extraPart(const OperatorValueList& profile)
{
    std::string part;
    for (const char* n : {"1", "2"}) {
        const std::string name = profile.value(std::string("AdName") + n);
        if (!name.empty())
            part += "&" + name + "=" + profile.value(std::string("AdVal") + n);
    }
    return part;
}

std::string composeFormData(const OperatorValueList& profile, std::string_view phone, std::string_view message)
{
    std::string data = profile.value("Prefix");
    data += profile.value("NumField");
    data += '=';
    data += phone;
    data += '&';
    data += profile.value("TxtField");
    data += '=';
    data += message;
    data += extraPart(profile);
    data += submitPart(profile);
    data += "\r\n\n";
    return data;
}

std::vector<std::string> submissionHeaders(const OperatorValueList& profile)
{
    std::vector<std::string> lines{"Content-Type: application/x-www-form-urlencoded"};
    const std::string referer = profile.value("Referer");
    if (!referer.empty())
        lines.push_back("Referer: http://" + referer);
    lines.emplace_back("Accept-Language: ru,en-us;q=0.5");
    return lines;
}

std::string replyPageText(std::string_view body)
{
    const std::size_t zero = body.find('\0');
    if (zero != std::string_view::npos)
        body = body.substr(0, zero);
    std::string page;
    page.reserve(body.size() + body.size() / 16 + 2);
    std::size_t start = 0;
    while (start < body.size()) {
        const std::size_t end = body.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            page.append(body.substr(start));
            page += "\r\n";
            break;
        }
        page.append(body.substr(start, end - start));
        page += "\r\n";
        start = end + 1;
        if (body[end] == '\r' && start < body.size() && body[start] == '\n')
            ++start;
    }
    return page;
}

std::string successText(std::string_view reply, CodePage page)
{
    return page == CodePage::Win1251 ? std::string(reply) : convertCodePage(reply, CodePage::Win1251, page);
}

std::string pageForDisplay(std::string_view pageText, CodePage page)
{
    return page == CodePage::Win1251 ? std::string(pageText) : convertCodePage(pageText, page, CodePage::Win1251);
}

HttpRequest submissionRequest()
{
    HttpRequest request;
    request.connectTimeout = std::chrono::milliseconds{10'000};
    request.userAgent = "Mozilla/4.0 (compatible; MSIE 5.0; Windows 98; DigExt)";
    request.acceptTypes = {"image/gif",
                           "image/x-xbitmap",
                           "image/jpeg",
                           "image/pjpeg",
                           "application/vnd.ms-excel",
                           "application/msword",
                           "application/vnd.ms-powerpoint",
                           "*/*"};
    request.authRetries = 3;
    request.pragmaNoCache = true;
    return request;
}

HttpRequest formRequest(const HttpRequest& base, const OperatorValueList& profile, std::string_view phone,
                        std::string_view message)
{
    HttpRequest request = base;
    const std::string formData = composeFormData(profile, phone, message);
    request.headers = submissionHeaders(profile);
    if (profile.value("Method") == "POST") {
        request.method = "POST";
        request.url = "http://" + profile.value("URL");
        request.body = formData;
    } else {
        request.method = "GET";
        request.url = "http://" + profile.value("URL") + "?" + encodeQueryBytes(formData);
        request.body.clear();
    }
    splitRequestUrl(request.url);
    return request;
}

SubmissionOutcome submitForm(HttpClient& http, const HttpRequest& base, const OperatorValueList& profile,
                             std::string_view phone, std::string_view message, std::stop_token cancel)
{
    SubmissionOutcome outcome;
    const CodePage page = replyCodePage(profile.value("Chars"));
    HttpRequest request;
    try {
        request = formRequest(base, profile, phone, message);
    } catch (...) {
        // The address was refused: no request was made, so there is no reply to judge.
        outcome.error = std::current_exception();
        return outcome;
    }

    std::string body;
    try {
        body = http.perform(request, std::move(cancel)).body;
    } catch (const HttpError& error) {
        body = error.partialBody();
        outcome.error = std::current_exception();
    } catch (...) {
        outcome.error = std::current_exception();
    }

    const std::string pageText = replyPageText(body);
    const std::string success = successText(profile.value("Reply"), page);
    outcome.judged = true;
    outcome.accepted = !success.empty() && pageText.find(success) != std::string::npos;
    outcome.pageText = pageForDisplay(pageText, page);
    return outcome;
}
