#include "d2xx/ftdi/FtdiDriver.h"

#include <cstring>
#include <gtest/gtest.h>

using d2xx::FtdiDriver;

namespace {

// These tests run on machines without an FTDI device.
class FtdiWithoutDevice : public ::testing::Test {
protected:
    void SetUp() override {
        DWORD count = 99;
        ASSERT_EQ(Driver.ListDevices(&count, nullptr, FT_LIST_NUMBER_ONLY), FT_OK);
        if (count != 0)
            GTEST_SKIP() << "an FTDI device is plugged in";
    }
    FtdiDriver Driver;
};

TEST_F(FtdiWithoutDevice, ListsNothingAndOpensNothing) {
    char description[FT_DESCRIPTION_SIZE];
    std::memset(description, 'x', sizeof description);
    EXPECT_EQ(Driver.ListDevices(reinterpret_cast<void*>(uintptr_t{0}), description,
                                 FT_LIST_BY_INDEX | FT_OPEN_BY_DESCRIPTION),
              FT_DEVICE_NOT_FOUND);
    EXPECT_STREQ(description, "");

    FT_HANDLE handle = reinterpret_cast<FT_HANDLE>(uintptr_t{1});
    char wanted[] = "Interface de mesure";
    EXPECT_EQ(Driver.OpenEx(wanted, FT_OPEN_BY_DESCRIPTION, &handle), FT_DEVICE_NOT_FOUND);
    EXPECT_EQ(handle, nullptr);
}

TEST_F(FtdiWithoutDevice, BadArgumentsAreRefused) {
    char description[FT_DESCRIPTION_SIZE];
    FT_HANDLE handle = nullptr;
    char wanted[] = "Interface de mesure";
    EXPECT_EQ(Driver.ListDevices(nullptr, nullptr, FT_LIST_NUMBER_ONLY), FT_INVALID_PARAMETER);
    EXPECT_EQ(Driver.ListDevices(nullptr, nullptr, FT_LIST_BY_INDEX | FT_OPEN_BY_DESCRIPTION),
              FT_INVALID_PARAMETER);
    EXPECT_EQ(Driver.ListDevices(nullptr, description, 0), FT_INVALID_PARAMETER);
    EXPECT_EQ(Driver.OpenEx(nullptr, FT_OPEN_BY_DESCRIPTION, &handle), FT_INVALID_PARAMETER);
    EXPECT_EQ(Driver.OpenEx(wanted, FT_OPEN_BY_DESCRIPTION, nullptr), FT_INVALID_PARAMETER);
    EXPECT_EQ(Driver.OpenEx(wanted, 0x40, &handle), FT_INVALID_PARAMETER);
}

TEST_F(FtdiWithoutDevice, CallsOnAHandleItDidNotOpenAreInvalid) {
    int notADevice = 0;
    for (FT_HANDLE handle : {FT_HANDLE{nullptr}, FT_HANDLE{&notADevice}}) {
        uint8_t buffer[8] = {1, 2, 3};
        DWORD count = 77;
        EXPECT_EQ(Driver.GetQueueStatus(handle, &count), FT_INVALID_HANDLE);
        EXPECT_EQ(count, 0u);
        count = 77;
        EXPECT_EQ(Driver.Write(handle, buffer, 3, &count), FT_INVALID_HANDLE);
        EXPECT_EQ(count, 0u);
        count = 77;
        EXPECT_EQ(Driver.Read(handle, buffer, 3, &count), FT_INVALID_HANDLE);
        EXPECT_EQ(count, 0u);
        EXPECT_EQ(Driver.ResetDevice(handle), FT_INVALID_HANDLE);
        EXPECT_EQ(Driver.Purge(handle, FT_PURGE_RX | FT_PURGE_TX), FT_INVALID_HANDLE);
        EXPECT_EQ(Driver.Close(handle), FT_INVALID_HANDLE);
    }
}

// What the user reads when a listed interface cannot be opened: the reason in
// French, never libusb's English name, except for errors with no plain cause.
struct ReasonCase {
    int LibusbError;
    const char* Expected;
};

class UsbFailureReasonTest : public ::testing::TestWithParam<ReasonCase> {};

TEST_P(UsbFailureReasonTest, NamesTheCauseInFrench) {
    EXPECT_EQ(d2xx::UsbFailureReason(GetParam().LibusbError), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Causes, UsbFailureReasonTest,
    ::testing::Values(
        ReasonCase{-3, "accès refusé : ce compte n'a pas le droit d'utiliser le périphérique USB "
                       "(règle udev de l'interface à installer, voir le fichier README)"},
        ReasonCase{-6, "périphérique occupé par un autre programme"},
        ReasonCase{-4, "périphérique débranché"}, ReasonCase{-5, "périphérique débranché"},
        ReasonCase{-1, "erreur USB (LIBUSB_ERROR_IO)"},
        ReasonCase{-7, "erreur USB (LIBUSB_ERROR_TIMEOUT)"}));

} // namespace
