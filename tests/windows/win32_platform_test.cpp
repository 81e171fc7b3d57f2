// The Win32 platform layer on a real Windows API (Wine here): kernel
// objects, the device open without a driver, the executable path, the
// display queries, and the board library's error texts against wsprintfA.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "board/connection.h"
#include "platform/platform.h"

namespace radovl::test {
namespace {

namespace platform = radovl::platform;

DWORD WINAPI TryToTake(void* mutex) {
    const DWORD result = WaitForSingleObject(mutex, 0);
    if (result == WAIT_OBJECT_0) ReleaseMutex(mutex);
    return result;
}

TEST(Win32Mutex, CreateOpensAnExistingMutexAndOpenFindsIt) {
    const char* name = "RadovlWin32TestMutex";
    EXPECT_EQ(platform::OpenNamedMutex(name), nullptr);  // not there yet
    platform::Handle first = platform::CreateNamedMutex(name);
    ASSERT_NE(first, nullptr);
    platform::Handle second = platform::CreateNamedMutex(name);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    platform::Handle opened = platform::OpenNamedMutex(name);
    ASSERT_NE(opened, nullptr);

    // Not owned at creation: another thread can take it at once.
    HANDLE thread = CreateThread(nullptr, 0, TryToTake, opened, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(thread, INFINITE);
    DWORD result = 1;
    GetExitCodeThread(thread, &result);
    CloseHandle(thread);
    EXPECT_EQ(result, static_cast<DWORD>(WAIT_OBJECT_0));

    // Opened with every access right a mutex has, and inheritable.
    DWORD flags = 0;
    ASSERT_TRUE(GetHandleInformation(opened, &flags));
    EXPECT_EQ(flags & HANDLE_FLAG_INHERIT, static_cast<DWORD>(HANDLE_FLAG_INHERIT));
    EXPECT_TRUE(ReleaseMutex(opened) == FALSE);  // MUTEX_ALL_ACCESS includes release; not owned here
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_OWNER));

    EXPECT_TRUE(platform::CloseHandle(opened));
    EXPECT_TRUE(platform::CloseHandle(second));
    EXPECT_TRUE(platform::CloseHandle(first));
    EXPECT_EQ(platform::OpenNamedMutex(name), nullptr);  // gone with its last handle
}

DWORD WINAPI EnterAndLeave(void* entered) {
    platform::EnterCall();
    static_cast<volatile LONG*>(entered)[0] = 1;
    platform::LeaveCall();
    return 0;
}

TEST(Win32CallLock, TakenAgainByItsHolderAndWaitedForByOthers) {
    platform::EnterCall();
    platform::EnterCall();  // an export's thread may take it again
    volatile LONG entered = 0;
    HANDLE thread = CreateThread(nullptr, 0, EnterAndLeave, const_cast<LONG*>(&entered), 0, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, 100), static_cast<DWORD>(WAIT_TIMEOUT));
    platform::LeaveCall();
    EXPECT_EQ(WaitForSingleObject(thread, 100), static_cast<DWORD>(WAIT_TIMEOUT));  // still held once
    EXPECT_EQ(entered, 0);
    platform::LeaveCall();
    EXPECT_EQ(WaitForSingleObject(thread, 10000), static_cast<DWORD>(WAIT_OBJECT_0));
    CloseHandle(thread);
    EXPECT_EQ(entered, 1);
}

TEST(Win32Handles, ClosingAHandleTwiceFails) {
    platform::Handle mutex = platform::CreateNamedMutex(nullptr);
    ASSERT_NE(mutex, nullptr);
    EXPECT_TRUE(platform::CloseHandle(mutex));
    EXPECT_FALSE(platform::CloseHandle(mutex));
}

TEST(Win32Device, NoDriverGivesTheInvalidHandle) {
    EXPECT_EQ(platform::OpenDevice("\\\\.\\RarU64Ruz0"), platform::InvalidHandle());
    EXPECT_EQ(platform::OpenDevice("\\\\.\\RarU64Ruz1"), platform::InvalidHandle());
}

TEST(Win32Device, DeviceControlFailsOnAHandleThatIsNoDevice) {
    uint32_t record[7] = {0, 9, 2, 8, 0, 1, 0};
    EXPECT_FALSE(platform::DeviceControl(platform::InvalidHandle(), 0xC3502047, record, sizeof record, nullptr));
    // An ordinary file answers no driver request.
    char directory[MAX_PATH];
    char file[MAX_PATH];
    ASSERT_NE(GetTempPathA(MAX_PATH, directory), 0u);
    ASSERT_NE(GetTempFileNameA(directory, "rdv", 0, file), 0u);
    HANDLE handle = CreateFileA(file, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(platform::DeviceControl(handle, 0xC3502047, record, sizeof record, nullptr));
    CloseHandle(handle);
    DeleteFileA(file);
}

#if defined(_WIN64)
// A read whose destination lies above 4 GiB, on a handle that has no buffer
// below 4 GiB (it is no open device), is refused before any request: the
// destination reads 0 and the record keeps its data word.
TEST(Win32Device, HighReadDestinationWithoutALowBufferIsRefused) {
    auto* destination = static_cast<uint32_t*>(
        VirtualAlloc(nullptr, 4096, MEM_RESERVE | MEM_COMMIT | MEM_TOP_DOWN, PAGE_READWRITE));
    ASSERT_NE(destination, nullptr);
    if (reinterpret_cast<uint64_t>(destination) < (uint64_t{1} << 32)) {
        VirtualFree(destination, 0, MEM_RELEASE);
        GTEST_SKIP() << "no memory above 4 GiB here";
    }
    for (uint32_t function : {0u, 4u, 8u}) {  // 8-, 16- and 32-bit reads
        *destination = 0xFFFFFFFF;
        uint32_t record[7] = {0, function, 0, 0x40, 0, 1, 0x1234};
        EXPECT_FALSE(platform::DeviceControl(platform::InvalidHandle(), 0xC3502047, record, sizeof record, destination));
        const uint32_t untouched = function == 0 ? 0xFFFFFF00 : function == 4 ? 0xFFFF0000 : 0;
        EXPECT_EQ(*destination, untouched) << "function " << function;
        EXPECT_EQ(record[6], 0x1234u);
        EXPECT_EQ(record[0], 0u);
    }
    VirtualFree(destination, 0, MEM_RELEASE);
}
#endif

TEST(Win32Connection, OpeningABoardWithoutItsDriverLeavesNothingOpen) {
    BoardConnection* connection = reinterpret_cast<BoardConnection*>(0x1);
    EXPECT_EQ(BoardOpen(1, &connection), 0xA1020001u);
    EXPECT_EQ(connection, nullptr);
    // The board mutex was closed with the failed open.
    EXPECT_EQ(platform::OpenNamedMutex("RarU64Ruz1"), nullptr);
}

TEST(Win32Process, ExecutablePathIsThisProgramWithBackslashes) {
    char expected[MAX_PATH * 4] = {};
    const DWORD n = GetModuleFileNameA(nullptr, expected, sizeof expected);
    ASSERT_GT(n, 0u);
    const std::string path = platform::ExecutablePath();
    EXPECT_EQ(path, std::string(expected, n));
    EXPECT_EQ(platform::PathSeparator(), '\\');
    const size_t last = path.rfind('\\');
    ASSERT_NE(last, std::string::npos);
    EXPECT_EQ(path.substr(last + 1), "radovl_win32_test.exe");
    EXPECT_EQ(path.find('/'), std::string::npos);
}

TEST(Win32Process, SleepWaits) {
    const ULONGLONG before = GetTickCount64();
    platform::Sleep(50);
    EXPECT_GE(GetTickCount64() - before, 30u);
}

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(monitor, &info)) reinterpret_cast<std::vector<RECT>*>(list)->push_back(info.rcMonitor);
    return TRUE;
}

std::vector<RECT> Monitors() {
    std::vector<RECT> out;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&out));
    return out;
}

bool Same(const platform::Rect& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(Win32Display, ScreenClipBoxIsTheScreen) {
    const platform::Rect box = platform::ScreenClipBox();
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.top, 0);
    EXPECT_EQ(box.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(box.bottom, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_GT(box.right, 0);
    EXPECT_GT(box.bottom, 0);
}

TEST(Win32Display, ScreenClipBoxReleasesItsDeviceContext) {
    const DWORD before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    for (int i = 0; i < 200; ++i) platform::ScreenClipBox();
    EXPECT_LE(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), before + 1);
}

TEST(Win32Display, PointsGoToTheirMonitorOrTheNearest) {
    const std::vector<RECT> monitors = Monitors();
    ASSERT_FALSE(monitors.empty());
    const platform::Rect primary = platform::MonitorOfPoint(0, 0);
    EXPECT_EQ(primary.left, 0);
    EXPECT_EQ(primary.top, 0);
    EXPECT_GT(primary.right, 0);
    EXPECT_GT(primary.bottom, 0);
    // Points far outside every monitor are measured against one of them.
    for (const POINT p : {POINT{-100000, 5}, POINT{100000, 100000}, POINT{5, -100000}}) {
        const platform::Rect r = platform::MonitorOfPoint(p.x, p.y);
        bool known = false;
        for (const RECT& m : monitors) known = known || Same(r, m);
        EXPECT_TRUE(known) << p.x << "," << p.y;
    }
}

// The board library formats its texts as wsprintfA does.
TEST(Win32ErrorTexts, AsWsprintfFormatsThem) {
    struct Case {
        uint32_t code;
        const char* format;  // the text with the code's number in it
        uint32_t argument;
    };
    const Case cases[] = {
        {0xA1020000, "Can't communicate with\nthe driver for board #%d", 0},
        {0xA1020001, "Can't communicate with\nthe driver for board #%d", 1},
        {0xA102FFFF, "Can't communicate with\nthe driver for board #%d", 65535},
        {0x10130000, "Undocumented error for\nZUDE64 Driver : %08X", 0x10130000},
        {0x90FF0000, "Undocumented error for\nZUDE64 Driver : %08X", 0x90FF0000},
        {0xA1FF0001, "Undocumented error for\nDIDI64Zovo : %08X", 0xA1FF0001},
        {0xA2000000, "Undocumented Error for\nZuzU64Rade : %08X", 0xA2000000},
        {0xA30E00AB, "Undocumented error for\nDod128Ozo : %08X", 0xA30E00AB},
        {0x12345678, "Undocumented Error :\ncode is : %08X", 0x12345678},
        {0x0000000A, "Undocumented Error :\ncode is : %08X", 0x0000000A},
        {0xFFFFFFFF, "Undocumented Error :\ncode is : %08X", 0xFFFFFFFF},
    };
    for (const Case& c : cases) {
        char expected[1100];
        wsprintfA(expected, c.format, c.argument);
        EXPECT_STREQ(BoardErrorText(c.code), expected) << std::hex << c.code;
    }
    EXPECT_STREQ(BoardErrorText(0x0000000A), "Undocumented Error :\ncode is : 0000000A");
    EXPECT_STREQ(BoardErrorText(0xA1020001), "Can't communicate with\nthe driver for board #1");
}

}  // namespace
}  // namespace radovl::test
