#include "support/HttpGet.h"

#include <curl/curl.h>

#include <cmath>
#include <memory>
#include <mutex>

namespace brennic {

namespace {

struct TTransfer {
    const THttpOptions* Options;
    std::string Body;
    bool TooLarge = false;
};

std::size_t Receive(char* data, std::size_t size, std::size_t count, void* user)
{
    auto* t = static_cast<TTransfer*>(user);
    const std::size_t bytes = size * count;
    if (t->Body.size() + bytes > t->Options->Limit) {
        t->TooLarge = true;
        return 0;  // ends the transfer with a write error
    }
    t->Body.append(data, bytes);
    return bytes;
}

int Progress(void* user, curl_off_t expected, curl_off_t received, curl_off_t, curl_off_t)
{
    auto* t = static_cast<TTransfer*>(user);
    if (!t->Options->Progress)
        return 0;
    return t->Options->Progress(std::size_t(received), std::size_t(expected)) ? 0 : 1;
}

std::string Seconds(double s)
{
    return std::to_string(long(std::lround(s))) + " s";
}

[[noreturn]] void Fail(CURLcode code, const TTransfer& t, const char* detail)
{
    const std::string reason = detail && *detail ? detail : curl_easy_strerror(code);
    switch (code) {
    case CURLE_COULDNT_CONNECT: throw EHttpError(EHttpError::NoConnection, "no connection (" + reason + ")");
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY: throw EHttpError(EHttpError::NameNotResolved, "the name was not resolved (" + reason + ")");
    case CURLE_OPERATION_TIMEDOUT:
        throw EHttpError(EHttpError::TimedOut, "no complete answer within " + Seconds(t.Options->TotalSeconds));
    case CURLE_ABORTED_BY_CALLBACK: throw EHttpError(EHttpError::Cancelled, "cancelled");
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING: throw EHttpError(EHttpError::CutOff, "the answer was cut off (" + reason + ")");
    case CURLE_WRITE_ERROR:
        if (t.TooLarge)
            throw EHttpError(EHttpError::TooLarge, "the answer is larger than " +
                                                       std::to_string(t.Options->Limit >> 20) + " MiB");
        [[fallthrough]];
    default: throw EHttpError(EHttpError::Other, reason);
    }
}

}  // namespace

THttpResponse HttpGet(const std::string& url, const THttpOptions& options)
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    const std::unique_ptr<CURL, void (*)(CURL*)> curl(curl_easy_init(), curl_easy_cleanup);
    if (!curl)
        throw EHttpError(EHttpError::Other, "the HTTP library could not start");
    TTransfer t{&options};
    char detail[CURL_ERROR_SIZE] = {};
    CURL* c = curl.get();
    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, detail);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);  // time-outs without signals: safe on any thread
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, long(options.ConnectSeconds * 1000));
    curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, long(options.TotalSeconds * 1000));
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(c, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    // A secure request never follows a redirect to plain HTTP.
    curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, url.rfind("https:", 0) == 0 ? "https" : "http,https");
    // Every encoding libcurl can undo (gzip, deflate): the body arrives decoded.
    curl_easy_setopt(c, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(c, CURLOPT_USERAGENT, "brennic");
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, Receive);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &t);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, Progress);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, &t);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    const CURLcode code = curl_easy_perform(c);
    if (code != CURLE_OK)
        Fail(code, t, detail);
    THttpResponse r;
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &r.Status);
    r.Body = std::move(t.Body);
    return r;
}

}  // namespace brennic
