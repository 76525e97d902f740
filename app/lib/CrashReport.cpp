#include "app/lib/CrashReport.h"

#include <cstdio>
#include <cstring>

#include "engine/core/HttpClient.h"
#include "platform/Drivers.h"
#include "platform/sys/Env.h"
#include "platform/sys/Journal.h"
#include "platform/sys/MessageBox.h"
#include "platform/sys/RegularFile.h"

namespace {

constexpr char kUnconfiguredReportHost[] = "report.marvenlot.invalid";

// Every byte of a file; nullopt when it cannot be opened or read whole.
std::optional<std::string> ReadWholeFile(const WString& path) {
    std::string bytes;
    int error = 0;
    if (!platform::ReadRegularFile(ToUtf8(path), bytes, error)) return std::nullopt;
    return bytes;
}

void AppendFilePart(std::string& body, const char* field, const char* fileName, const std::string& bytes) {
    body += "--";
    body += kCrashUploadBoundary;
    body += "\r\n";
    body += "Content-Disposition: form-data; name=\"";
    body += field;
    body += "\"; filename=\"";
    body += fileName;
    body += "\"\r\n";
    body += "Content-Type: */*\r\n\r\n";
    body += bytes;
}
}  // namespace

std::string CrashUploadHeaders() {
    return std::string("Content-Transfer-Encoding: binary\r\n") +
           "Content-Type: multipart/form-data; boundary=" + kCrashUploadBoundary + "\r\n";
}

std::string BuildCrashUploadBody(const std::optional<std::string>& log,
                                 const std::optional<std::string>& dump) {
    std::string body;
    if (log) AppendFilePart(body, "file1", "StartLog.log", *log);
    if (dump) AppendFilePart(body, "file2", "ErrorDump.dmp", *dump);
    body += "--";
    body += kCrashUploadBoundary;
    body += "\r\n";
    body += "Content-Disposition: form-data; name=\"submit\"\r\n\r\nsubmit\r\n";
    body += "--";
    body += kCrashUploadBoundary;
    body += "--\r\n";
    return body;
}

std::string CrashReportHost() {
    const std::string host = platform::GetEnv("MARVENLOT_REPORT_HOST");
    return host.empty() ? kUnconfiguredReportHost : host;
}

bool UploadCrashReport(bool sendLog, bool sendDump, const std::string& folder) {
    HttpSession session;
    if (!session.Open(FromUtf8(kCrashUploadAgent))) return false;
    HttpConnection connection;
    if (!connection.Open(session, FromUtf8(CrashReportHost()), static_cast<int>(InternetProtocol::Http)))
        return false;
    HttpRequest request;
    if (!request.Open(connection, u"POST", FromUtf8(kCrashUploadPath), u"HTTP/1.1", u"", {u"*/*"}))
        return false;

    std::optional<std::string> log;
    std::optional<std::string> dump;
    const WString base = FromUtf8(folder) + u"/";
    if (sendLog && !(log = ReadWholeFile(base + u"StartLog.log"))) return false;
    if (sendDump && !(dump = ReadWholeFile(base + u"ErrorDump.dmp"))) return false;

    request.AddHeaders(FromUtf8(CrashUploadHeaders()));
    const std::string body = BuildCrashUploadBody(log, dump);
    return request.Send(body.data(), body.size());
}

void ShowCrashDialog(const std::string& line) {
    if (platform::IsHeadless() || !platform::IsDisplayReachable()) {
        platform::JournalBox("Crash Report", {line});
        std::fprintf(stderr, "Crash Report: %s\n", line.c_str());
        std::fflush(stderr);
        return;
    }
    platform::MessageBox("Crash Report", std::string(kCrashDialogText) + "\n\n" + line,
                         platform::MB_OK | platform::MB_ICONERROR);
}

int RunCrashReporter(int argc, const char* const* argv) {
    const char* line = nullptr;
    const char* folder = ".";
    int app = -1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--line") == 0 && i + 1 < argc)
            line = argv[++i];
        else if (std::strcmp(argv[i], "--folder") == 0 && i + 1 < argc)
            folder = argv[++i];
        else if (std::strcmp(argv[i], "--app") == 0)
            app = 1;
        else if (std::strcmp(argv[i], "--no-app") == 0)
            app = 0;
        else
            line = nullptr, app = -2;
    }
    if (!line || app < 0) {
        std::fprintf(
            stderr, "usage: marvenlot-crashreport [--folder <folder>] --line <report line> --app|--no-app\n");
        return 2;
    }
    if (app == 0) {
        platform::MessageBox("Marvenlot", line, platform::MB_OK | platform::MB_ICONERROR);
        return 0;
    }
    ShowCrashDialog(line);
    // The dialog's OK and its close box both upload before the dialog goes away.
    return UploadCrashReport(true, true, folder) ? 0 : 1;
}
