#include "platform/http/HttpTransfer.h"

#include <curl/curl.h>

#include <memory>
#include <mutex>

#include "platform/sys/Quit.h"

namespace platform {

namespace {

void GlobalInit() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct EasyDeleter {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct ListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

struct Sink {
    std::string* body;
    std::size_t limit;
    bool overflow = false;
};

std::size_t WriteBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto* sink = static_cast<Sink*>(user);
    const std::size_t bytes = size * count;
    if (sink->body->size() + bytes > sink->limit) {
        sink->overflow = true;
        return 0;  // makes curl end the transfer with a write error
    }
    sink->body->append(data, bytes);
    return bytes;
}

// Curl calls it at least about once a second while the exchange waits: the exchange ends when the
// client is asked to quit, or a close of the main window waits behind it.
int OnProgress(void* ended, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    if (!BlockingWaitEnds()) return 0;
    *static_cast<bool*>(ended) = true;
    return 1;
}

}  // namespace

bool PerformHttp(const HttpTransfer& transfer, HttpReply& reply) {
    reply = HttpReply{};
    GlobalInit();
    std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
    if (!easy) {
        reply.error = "curl_easy_init failed";
        return false;
    }
    CURL* e = easy.get();
    char errorText[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(e, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(e, CURLOPT_URL, transfer.url.c_str());
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_PROXY, "");  // direct: ignore http_proxy and friends
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(transfer.connectTimeoutMs));
    curl_easy_setopt(e, CURLOPT_TIMEOUT_MS, static_cast<long>(transfer.totalTimeoutMs));
    curl_easy_setopt(e, CURLOPT_HTTP_VERSION,
                     transfer.http10 ? CURL_HTTP_VERSION_1_0 : CURL_HTTP_VERSION_1_1);
    if (!transfer.userAgent.empty()) curl_easy_setopt(e, CURLOPT_USERAGENT, transfer.userAgent.c_str());
    if (!transfer.referrer.empty()) curl_easy_setopt(e, CURLOPT_REFERER, transfer.referrer.c_str());
    if (!transfer.user.empty()) {
        curl_easy_setopt(e, CURLOPT_USERNAME, transfer.user.c_str());
        curl_easy_setopt(e, CURLOPT_PASSWORD, transfer.password.c_str());
    }

    const std::string& method = transfer.method;
    const bool hasBody = transfer.body && transfer.bodySize > 0;
    if (method == "HEAD" && !hasBody) {
        curl_easy_setopt(e, CURLOPT_NOBODY, 1L);
    } else if ((method == "GET" || method.empty()) && !hasBody) {
        curl_easy_setopt(e, CURLOPT_HTTPGET, 1L);
    } else {
        // Any other request carries the body (possibly empty) byte for byte with its length.
        curl_easy_setopt(e, CURLOPT_POSTFIELDSIZE_LARGE,
                         static_cast<curl_off_t>(hasBody ? transfer.bodySize : 0));
        curl_easy_setopt(e, CURLOPT_POSTFIELDS, hasBody ? transfer.body : "");
        if (method != "POST") curl_easy_setopt(e, CURLOPT_CUSTOMREQUEST, method.c_str());
    }

    std::unique_ptr<curl_slist, ListDeleter> headers;
    for (const std::string& line : transfer.headers) {
        curl_slist* grown = curl_slist_append(headers.get(), line.c_str());
        if (!grown) {
            reply.error = "out of memory";
            return false;
        }
        headers.release();
        headers.reset(grown);
    }
    if (headers) curl_easy_setopt(e, CURLOPT_HTTPHEADER, headers.get());

    Sink sink{&reply.body, transfer.maxResponseBytes};
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, WriteBody);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, &sink);

    bool ended = false;
    curl_easy_setopt(e, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(e, CURLOPT_XFERINFOFUNCTION, OnProgress);
    curl_easy_setopt(e, CURLOPT_XFERINFODATA, &ended);

    const CURLcode result = curl_easy_perform(e);
    long status = 0;
    curl_easy_getinfo(e, CURLINFO_RESPONSE_CODE, &status);
    reply.status = static_cast<int>(status);
    if (result != CURLE_OK) {
        reply.error = sink.overflow  ? "response larger than allowed"
                      : ended        ? "ended by a quit or a close of the window"
                      : errorText[0] ? errorText
                                     : curl_easy_strerror(result);
        reply.body.clear();
        return false;
    }
    reply.sent = true;
    return true;
}

}  // namespace platform
