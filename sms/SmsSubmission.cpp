#include "sms/SmsSubmission.h"

#include "sms/HttpUrl.h"
#include "sms/OperatorValues.h"
#include "sms/HttpClient.h"

CodePage ReplyCodePage(std::string_view chars)
{
    if (chars == "Win1251")
        return CodePage::CP1251;
    if (chars == "DOS866")
        return CodePage::CP866;
    if (chars == "ISO8859")
        return CodePage::ISO8859;
    return CodePage::KOI8R;
}

std::string SubmitPart(const OperatorValueList& profile)
{
    const std::string name = profile.Values("ActName");
    const std::string value = profile.Values("Action");
    if (name.empty() || value.empty())
        return {};
    return "&" + name + "=" + value;
}

std::string ExtraPart(const OperatorValueList& profile)
{
    std::string part;
    for (const char* n : {"1", "2"}) {
        const std::string name = profile.Values(std::string("AdName") + n);
        if (!name.empty())
            part += "&" + name + "=" + profile.Values(std::string("AdVal") + n);
    }
    return part;
}

std::string ComposeFormData(const OperatorValueList& profile, std::string_view phone, std::string_view message)
{
    std::string data = profile.Values("Prefix");
    data += profile.Values("NumField");
    data += '=';
    data += phone;
    data += '&';
    data += profile.Values("TxtField");
    data += '=';
    data += message;
    data += ExtraPart(profile);
    data += SubmitPart(profile);
    data += "\r\n\n";
    return data;
}

std::vector<std::string> SubmissionHeaders(const OperatorValueList& profile)
{
    std::vector<std::string> lines{"Content-Type: application/x-www-form-urlencoded"};
    const std::string referer = profile.Values("Referer");
    if (!referer.empty())
        lines.push_back("Referer: http://" + referer);
    lines.emplace_back("Accept-Language: ru,en-us;q=0.5");
    return lines;
}

std::string ReplyPageText(std::string_view body)
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

std::string SuccessText(CodePageConverter& coder, std::string_view reply, CodePage page)
{
    coder.SetText(reply);
    if (page != CodePage::CP1251) {
        coder.SetSource(CodePage::CP1251);
        coder.SetTarget(page);
        coder.Convert();
    }
    return coder.Text();
}

std::string PageForDisplay(CodePageConverter& coder, std::string_view pageText, CodePage page)
{
    coder.SetText(pageText);
    if (page != CodePage::CP1251) {
        coder.SetSource(page);
        coder.SetTarget(CodePage::CP1251);
        coder.Convert();
    }
    return coder.Text();
}

SubmissionOutcome SubmitForm(HttpClient& http, CodePageConverter& coder, const OperatorValueList& profile,
                             std::string_view phone, std::string_view message)
{
    SubmissionOutcome outcome;
    const CodePage page = ReplyCodePage(profile.Values("Chars"));
    try {
        const std::string formData = ComposeFormData(profile, phone, message);
        http.SetRequestHeaders(SubmissionHeaders(profile));
        if (profile.Values("Method") == "POST") {
            http.SetText(formData);
            http.SetURL("http://" + profile.Values("URL"));
            http.SetMethod("POST");
        } else {
            http.SetText(std::string());
            http.SetURL("http://" + profile.Values("URL") + "?" + EncodeQueryBytes(formData));
            http.SetMethod("GET");
        }
    } catch (...) {
        // The address was refused: no request was made, so there is no reply to judge.
        outcome.error = std::current_exception();
        return outcome;
    }

    try {
        http.Execute();
    } catch (...) {
        outcome.error = std::current_exception();
    }

    const std::string& body = http.ResponseBody.Data();
    const std::string pageText = ReplyPageText(body);
    const std::string success = SuccessText(coder, profile.Values("Reply"), page);
    outcome.judged = true;
    outcome.accepted = !success.empty() && pageText.find(success) != std::string::npos;
    outcome.pageText = PageForDisplay(coder, pageText, page);
    return outcome;
}

void SetUpSubmission(HttpClient& http, CodePageConverter& coder)
{
    coder.SetSource(CodePage::KOI8R);
    coder.SetTarget(CodePage::CP1251);
    http.SetConnectTimeout(10000);
    http.SetUserAgent("Mozilla/4.0 (compatible; MSIE 5.0; Windows 98; DigExt)");
    http.SetAcceptTypes({"image/gif", "image/x-xbitmap", "image/jpeg", "image/pjpeg", "application/vnd.ms-excel",
                         "application/msword", "application/vnd.ms-powerpoint", "*/*"});
    http.SetMethod("GET");
    http.SetAuthRetries(3);
    http.SetInternetFlags(InternetFlag(ifIgnoreCertCnInvalid) | InternetFlag(ifIgnoreCertDateInvalid)
                          | InternetFlag(ifIgnoreRedirectToHttp) | InternetFlag(ifIgnoreRedirectToHttps)
                          | InternetFlag(ifKeepConnection) | InternetFlag(ifNoUi) | InternetFlag(ifPragmaNoCache)
                          | InternetFlag(ifReload));
    http.SetURL("http://localhost/");
}
