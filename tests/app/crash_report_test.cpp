#include <gtest/gtest.h>

#include "app/lib/CrashReport.h"

TEST(CrashUpload, BodyPutsFileBytesDirectlyBeforeTheNextBoundary) {
    const std::string body = BuildCrashUploadBody(std::string("abc"), std::string());
    EXPECT_EQ(body,
              "--7d72321d130552\r\n"
              "Content-Disposition: form-data; name=\"file1\"; filename=\"StartLog.log\"\r\n"
              "Content-Type: */*\r\n\r\n"
              "abc"
              "--7d72321d130552\r\n"
              "Content-Disposition: form-data; name=\"file2\"; filename=\"ErrorDump.dmp\"\r\n"
              "Content-Type: */*\r\n\r\n"
              "--7d72321d130552\r\n"
              "Content-Disposition: form-data; name=\"submit\"\r\n\r\nsubmit\r\n"
              "--7d72321d130552--\r\n");
}

TEST(CrashUpload, BinaryBytesSurviveAndHeadersAreInOrder) {
    const std::string dump("\0\xff\r\n", 4);
    const std::string body = BuildCrashUploadBody(std::nullopt, dump);
    EXPECT_EQ(body.find("file1"), std::string::npos);
    EXPECT_NE(body.find(std::string("\r\n\r\n") + dump + "--7d72321d130552\r\n"), std::string::npos);
    EXPECT_EQ(CrashUploadHeaders(),
              "Content-Transfer-Encoding: binary\r\nContent-Type: multipart/form-data; "
              "boundary=7d72321d130552\r\n");
}
