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
std::string BuildCrashUploadBody(const std::optional<std::string>& log, const std::optional<std::string>& dump);
