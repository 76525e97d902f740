#include "app/lib/CrashReport.h"

namespace {
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
    return std::string("Content-Transfer-Encoding: binary\r\n") + "Content-Type: multipart/form-data; boundary=" +
           kCrashUploadBoundary + "\r\n";
}

std::string BuildCrashUploadBody(const std::optional<std::string>& log, const std::optional<std::string>& dump) {
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
