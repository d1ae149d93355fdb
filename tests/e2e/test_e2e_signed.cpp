// test_e2e_signed.cpp - a signed setup file installs as the unsigned one does. The signed
// copy of the build's setup file is made on the host by the test_sign test (scripts/sign
// with a throwaway certificate); its certificate table follows the payload.
#include <gtest/gtest.h>

#include <windows.h>
#include <imagehlp.h>

#include <filesystem>
#include <set>
#include <string>

#include "tests/e2e/e2e_fixture.h"

namespace fs = std::filesystem;

namespace e2e {
namespace {

// The number of certificates in a program's certificate table, as Windows reads it.
DWORD CertificateCount(const fs::path& file) {
    HANDLE handle = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return 0;
    DWORD count = 0;
    if (!ImageEnumerateCertificates(handle, CERT_SECTION_TYPE_ANY, &count, nullptr, 0))
        count = 0;
    CloseHandle(handle);
    return count;
}

class SignedSetup : public SetupTest {};

TEST_F(SignedSetup, InstallsEveryFileByteExact) {
    const fs::path signedFile = FromHostPath(LXV_SIGNED_SETUP_EXE);
    ASSERT_EQ(1u, CertificateCount(signedFile)) << signedFile;
    SetupDriver setup(DownloadDir(), signedFile);
    ASSERT_TRUE(setup.Placed());
    ASSERT_TRUE(setup.Start());

    const std::string typed = Dir("Signed");
    ASSERT_TRUE(setup.SetDirectory(typed));
    ASSERT_TRUE(setup.SetDeveloper(true));
    setup.Press(kInstallButton);
    ASSERT_TRUE(setup.WaitForStatus("Installation was successful."))
        << setup.Text(kStatusLine) << " / " << setup.CurrentBox().text;
    ProgramWindow readme = setup.WaitForStartedWindow("readme.txt");
    ASSERT_TRUE(readme) << "the read-me was not opened";
    EXPECT_TRUE(CloseProgram(readme));

    // Every file of the payload, with the bytes of its source, and nothing else: in
    // particular nothing of the certificate table behind the end item.
    for (const std::string& name : PayloadNames())
        EXPECT_TRUE(SameBytes(PayloadDir() / name, fs::path(typed) / name)) << name;
    EXPECT_EQ(PayloadNames(), NamesIn(typed));
    EXPECT_EQ(kAbortButton, setup.FocusId());
    EXPECT_EQ("E&xit", setup.Text(kAbortButton));

    setup.Press(kAbortButton);
    EXPECT_EQ(0, setup.WaitForExit());
    ProgramWindow product = setup.WaitForStartedWindow("Lexivane");
    ASSERT_TRUE(product) << "the product did not start";
    EXPECT_TRUE(CloseProgram(product));
}

} // namespace
} // namespace e2e
