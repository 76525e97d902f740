#pragma once
// The crash report upload: the start-up log and the crash dump in one multipart form post.

#include <optional>
#include <string>
#include <string_view>

inline constexpr char kCrashUploadBoundary[] = "7d72321d130552";
inline constexpr char kCrashUploadPath[] = "/file/up_file_pro.asp";
inline constexpr char kCrashUploadAgent[] = "ErrorReport";
inline constexpr char kCrashDialogText[] =
    "Program terminated by eroor/crash..\n\nCrash dump will be send to server for debug..";

// The request header block of the upload.
std::string CrashUploadHeaders();

// The body: each given file as a form part named file1 (the log) and file2 (the dump), the submit
// field and the closing boundary. A file's last byte is followed directly by the next boundary line,
// as the report server expects.
std::string BuildCrashUploadBody(const std::optional<std::string>& log,
                                 const std::optional<std::string>& dump);

// The crash-report host: MARVENLOT_REPORT_HOST (host or host:port); when unset a name that never
// resolves, so an unconfigured client fails the upload at once instead of posting anywhere.
std::string CrashReportHost();

// Posts "StartLog.log" (sendLog) and "ErrorDump.dmp" (sendDump) of the folder to the report host.
// False when a wanted file cannot be opened or read, or the request could not be sent; the answer is
// not read.
bool UploadCrashReport(bool sendLog, bool sendDump, const std::string& folder = ".");

// The report dialog with the report line. Headless, or without a display, the line
// "Crash Report: <line>" goes to stderr and the dialog is answered at once.
void ShowCrashDialog(const std::string& line);

// The reporter process: arguments "--line <line>", "--app" or "--no-app", and "--folder <folder>"
// of the log and the dump (the current folder when left out). With the application
// object the report dialog shows and the upload follows; without it a plain error box with caption
// "Marvenlot" and nothing is uploaded. Returns the process exit code (2 for bad arguments).
int RunCrashReporter(int argc, const char* const* argv);
