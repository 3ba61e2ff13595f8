// What the Send button puts on the wire and how it reads the answer: the form
// data built from a profile, the request headers, and judging the gateway's
// reply page. Plain C++ over the HTTP component and the code page converter.
#pragma once

#include "sms/CodePageConverter.h"

#include <exception>
#include <string>
#include <string_view>
#include <vector>

class OperatorValueList;
class HttpClient;

// The reply page's code page named by a profile's Chars value. Only the four
// exact names count; anything else, letter case included, is KOI8-R.
CodePage ReplyCodePage(std::string_view chars);

// "&ActName=Action" when both are set, else "".
std::string SubmitPart(const OperatorValueList& profile);
// "&AdName1=AdVal1" and "&AdName2=AdVal2", each only when its name is set.
std::string ExtraPart(const OperatorValueList& profile);

// Prefix, NumField=phone&TxtField=message, the extra and submit parts, then
// CR LF LF. Nothing is escaped: gateways get the bytes as typed.
std::string ComposeFormData(const OperatorValueList& profile, std::string_view phone, std::string_view message);

// Content-Type, Referer (only when the profile has one), Accept-Language.
std::vector<std::string> SubmissionHeaders(const OperatorValueList& profile);

// The body split into lines at CR LF, lone CR or lone LF, up to its first
// zero byte, and joined again with CR LF after every line.
std::string ReplyPageText(std::string_view body);

// The profile's reply string (typed in Windows-1251) in the reply page's code page.
std::string SuccessText(CodePageConverter& coder, std::string_view reply, CodePage page);
// The reply page converted to Windows-1251 for showing.
std::string PageForDisplay(CodePageConverter& coder, std::string_view pageText, CodePage page);

struct SubmissionOutcome {
    bool judged = false; // the reply was looked at (the request was made)
    bool accepted = false; // a non-empty success text occurs in the page
    std::string pageText; // the page in Windows-1251 when judged
    std::exception_ptr error; // what the request or its setup raised
};

// Sets up http for the profile (headers, method, address, body), runs the
// request and judges whatever reply body there is, even after a failed
// request. A GET carries the form data in its query, where the bytes a query
// cannot hold are percent-encoded ("#" would cut the message short). Errors are handed back, not thrown, so the caller can restore its
// window before passing them on.
// The request and code pages as every gateway submission starts: the
// browser-like headers and flags gateways expect, pages read as KOI8-R.
void SetUpSubmission(HttpClient& http, CodePageConverter& coder);

SubmissionOutcome SubmitForm(HttpClient& http, CodePageConverter& coder, const OperatorValueList& profile,
                             std::string_view phone, std::string_view message);
