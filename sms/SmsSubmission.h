// What the Send button puts on the wire and how it reads the answer: the form
// data built from a profile, the request for it, and judging the gateway's
// reply page. Plain C++ over the HTTP client and the code pages.
#pragma once

#include "sms/CodePage.h"
#include "sms/HttpClient.h"

#include <exception>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

class OperatorValueList;

// The reply page's code page named by a profile's Chars value. Only the four
// exact names count; anything else, letter case included, is KOI8-R.
CodePage replyCodePage(std::string_view chars);

// "&ActName=Action" when both are set, else "".
std::string submitPart(const OperatorValueList& profile);
// "&AdName1=AdVal1" and "&AdName2=AdVal2", each only when its name is set.
std::string extraPart(const OperatorValueList& profile);

// Prefix, NumField=phone&TxtField=message, the extra and submit parts, then
// CR LF LF. Nothing is escaped: gateways get the bytes as typed.
std::string composeFormData(const OperatorValueList& profile, std::string_view phone, std::string_view message);

// Content-Type, Referer (only when the profile has one), Accept-Language.
std::vector<std::string> submissionHeaders(const OperatorValueList& profile);

// The body split into lines at CR LF, lone CR or lone LF, up to its first
// zero byte, and joined again with CR LF after every line.
std::string replyPageText(std::string_view body);

// The profile's reply string (typed in Windows-1251) in the reply page's code page.
std::string successText(std::string_view reply, CodePage page);
// The reply page converted to Windows-1251 for showing.
std::string pageForDisplay(std::string_view pageText, CodePage page);

// The request every gateway submission starts from: the headers and manners
// of the browsers the gateways were written for.
HttpRequest submissionRequest();

// base with the profile's address, method, headers and form data. A profile
// whose Method is exactly "POST" posts the form data; any other sends it in
// the address's query, where the bytes a query cannot hold are
// percent-encoded ("#" would cut the message short). Throws HttpError when
// the address cannot be used.
HttpRequest formRequest(const HttpRequest& base, const OperatorValueList& profile, std::string_view phone,
                        std::string_view message);

struct SubmissionOutcome {
    bool judged = false; // the reply was looked at (the request was made)
    bool accepted = false; // a non-empty success text occurs in the page
    std::string pageText; // the page in Windows-1251 when judged
    std::exception_ptr error; // what the request or its setup raised
};

// Sends the form and judges whatever reply body there is, even after a failed
// request. Errors are handed back, not thrown, so the caller can restore its
// window before passing them on. A stop requested on cancel ends the request
// (HttpClient::perform).
SubmissionOutcome submitForm(HttpClient& http, const HttpRequest& base, const OperatorValueList& profile,
                             std::string_view phone, std::string_view message, std::stop_token cancel = {});
