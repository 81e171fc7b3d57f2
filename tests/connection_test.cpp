// Board connection: the driver records, open and close order, failures, and
// the error texts.
#include <cstring>

#include "board/connection.h"
#include "support/board_test.h"
#include "windows/state.h"

namespace radovl::test {
namespace {

using ConnectionTest = BoardTest;

TEST(ErrorText, EveryDocumentedCode) {
    struct Case {
        uint32_t code;
        const char* text;
    };
    const Case cases[] = {
        {0x00000000, "Ok"},
        {0x90010000, "Unsupported driver version"},
        {0x900A0000, "Invalid register function"},
        {0x900B0000, "Invalid register space"},
        {0x900C0000, "Invalid register offset"},
        {0x900D0000, "Invalid register count"},
        {0x900E0000, "Error creating event"},
        {0x90130000, "Timeout during DMA transfer"},
        {0x90140000, "DMA transfer abort"},
        {0xA1010000, "The library\nis already openned"},
        {0xA1020000, "Can't communicate with\nthe driver for board #0"},
        {0xA1020001, "Can't communicate with\nthe driver for board #1"},
        {0xA1030000, "Error while closing\nthe device handle"},
        {0xA1040000, "Library version error"},
        {0xA1050000, "Driver version error"},
        {0xA1060000, "Invalid board index"},
        {0xA1070000, "Error while sending a\nrequest to the driver"},
        {0xA1080000, "Unreadable message"},
        {0xA1090000, "Error on message size"},
        {0xA10A0000, "Error no message in fifo"},
        {0xA10B0000, "Error pointer on message is NULL"},
        {0xA10C0000, "Message buffer size not enough large"},
        {0xA10D0000, "PC to DSP Descriptor not initialized"},
        {0xA10E0000, "Cannot send acknowledge message to DSP\nafter DMA success under indirect message"},
        {0xA10F0000, "Fifo message DSP to PC is corrupted\n"},
        {0xA2010000, "Illegal parameter"},
        {0xA2030000, "Error while reading file"},
        {0xA2040000, "Hardware revision unsupported\nby this SDK version"},
        {0xA2050000, "Can't read SDK's\nregistry key"},
        {0xA2060000, "Can't initialize\nboard"},
        {0xA2070000, "Can't create or\nopen board's mutex"},
        {0xA3010000, "Dsp software is too big.\n"},
        {0xA3020000, "Error while writing\nto the DSP memory."},
        {0xA3020005, "Error while writing\nto the DSP memory."},
        {0xA3030000, "Error while reading\nfrom the DSP memory."},
        {0xA3040000, "The DSP software did not\nacknowledge its start."},
        {0xA3050000, "Can't load coff file."},
        {0xA3060000, "Mapping DSP bars failed."},
        {0xA3070000, "Cannot download DSP code\nfrom PCI in this boot mode."},
        {0xA3080000, "Cannot access to the DSP memory's\nblock. Already in use."},
        {0xA3090000, "Cannot reached the end of\nblock. Outbound 4 Mo"},
        {0xA30A0000, "Cannot release mutex\non memory page"},
        {0xA30B0000, "Cannot attribute value\nto null pointer"},
        {0xA30C0000, "Cannot write code section in DSP memory\n"},
        {0xA30D0000, "Cannot write code section in DSP memory\ncause too long for DSP memory page"},
        // Undocumented reasons give their family's text with the whole code.
        {0x90FF0000, "Undocumented error for\nZUDE64 Driver : 90FF0000"},
        {0x10130000, "Undocumented error for\nZUDE64 Driver : 10130000"},
        {0xA1FF1234, "Undocumented error for\nDIDI64Zovo : A1FF1234"},
        {0xA2020000, "Undocumented Error for\nZuzU64Rade : A2020000"},
        {0xA30E0000, "Undocumented error for\nDod128Ozo : A30E0000"},
        {0x12345678, "Undocumented Error :\ncode is : 12345678"},
        {0x0000000A, "Undocumented Error :\ncode is : 0000000A"},
    };
    for (const Case& c : cases) EXPECT_STREQ(BoardErrorText(c.code), c.text) << Hex(c.code);
}

TEST_F(ConnectionTest, OpenSendsWindowQueryThenClearsPciStatus) {
    BoardConnection* connection = nullptr;
    ASSERT_EQ(BoardOpen(0, &connection), 0u);
    ASSERT_NE(connection, nullptr);
    EXPECT_STREQ(connection->mutexName, "RarU64Ruz0");
    EXPECT_EQ(connection->boardIndex, 0);
    const auto trace = Trace();
    ASSERT_EQ(trace.size(), 2u);
    EXPECT_EQ(trace[0].code, 0xC35020C3u);
    EXPECT_EQ(trace[1].code, 0xC3502047u);
    EXPECT_EQ(trace[1].function, 3u);
    EXPECT_EQ(trace[1].space, 2u);
    EXPECT_EQ(trace[1].offset, 0u);
    EXPECT_EQ(trace[1].data, 4u);
    EXPECT_EQ(trace[1].count, 1u);
    EXPECT_EQ(RadovlSim_OpenHandles(), 2);  // mutex and device

    RadovlSim_TraceClear();
    EXPECT_EQ(BoardClose(connection), 0u);
    EXPECT_EQ(Accesses(), (std::vector<std::string>{"PCI S8 4 = 0x01"}));
    EXPECT_EQ(RadovlSim_OpenHandles(), 0);
}

TEST_F(ConnectionTest, MemoryRequestRecordIsExact) {
    BoardConnection* connection = nullptr;
    ASSERT_EQ(BoardOpen(1, &connection), 0u);
    RadovlSim_TraceClear();
    EXPECT_EQ(SendMemoryRequest(9, 0, 0x203000, 0xDEADBEEF, 1, connection), 0u);
    const auto trace = Trace();
    ASSERT_EQ(trace.size(), 1u);
    EXPECT_EQ(trace[0].board, 1);
    EXPECT_EQ(trace[0].code, 0xC3502047u);
    EXPECT_EQ(trace[0].function, 9u);
    EXPECT_EQ(trace[0].space, 0u);
    EXPECT_EQ(trace[0].offset, 0x203000u);
    EXPECT_EQ(trace[0].data, 0xDEADBEEFu);
    EXPECT_EQ(trace[0].count, 1u);
    EXPECT_EQ(trace[0].status, 0);
    BoardClose(connection);
}

TEST_F(ConnectionTest, RefusedRequestReturnsDriverCodeOrSendingError) {
    BoardConnection* connection = nullptr;
    ASSERT_EQ(BoardOpen(0, &connection), 0u);
    RadovlSim_TraceClear();
    RadovlSim_FailRequests(1, 1, static_cast<int32_t>(0x900B0000));
    EXPECT_EQ(SendMemoryRequest(9, 0, 0, 1, 1, connection), 0x900B0000u);
    RadovlSim_TraceClear();
    RadovlSim_FailRequests(1, 1, 0);
    EXPECT_EQ(SendMemoryRequest(9, 0, 0, 1, 1, connection), 0xA1070000u);
    // The simulated driver checks requests as a real one does.
    RadovlSim_FailRequests(0, 0, 0);
    EXPECT_EQ(SendMemoryRequest(9, 3, 0, 1, 1, connection), 0x900B0000u);
    EXPECT_EQ(SendMemoryRequest(9, 0, 0x400000, 1, 1, connection), 0x900C0000u);
    EXPECT_EQ(SendMemoryRequest(12, 0, 0, 1, 1, connection), 0x900A0000u);
    EXPECT_EQ(SendMemoryRequest(9, 0, 0, 1, 0, connection), 0x900D0000u);
    BoardClose(connection);
}

TEST_F(ConnectionTest, AbsentDeviceFailsWithBoardNumberAndLeavesNothingOpen) {
    RadovlSim_SetBoardPresent(1, 0);
    BoardConnection* connection = reinterpret_cast<BoardConnection*>(0x1);
    EXPECT_EQ(BoardOpen(1, &connection), 0xA1020001u);
    EXPECT_EQ(connection, nullptr);
    EXPECT_EQ(RadovlSim_OpenHandles(), 0);
    EXPECT_EQ(RadovlSim_TraceCount(), 0);  // requests on an invalid handle reach no driver
}

TEST_F(ConnectionTest, MutexFailuresLeaveOutUntouched) {
    BoardConnection* const sentinel = reinterpret_cast<BoardConnection*>(0x1);
    // Creation refused, opening works: the board opens.
    RadovlSim_SetMutexFault(1);
    BoardConnection* connection = nullptr;
    ASSERT_EQ(BoardOpen(0, &connection), 0u);
    BoardClose(connection);
    // Neither: the mutex code, nothing open, out as it was.
    RadovlSim_SetMutexFault(2);
    connection = sentinel;
    EXPECT_EQ(BoardOpen(0, &connection), 0xA2070000u);
    EXPECT_EQ(connection, sentinel);
    EXPECT_EQ(RadovlSim_OpenHandles(), 0);
}

TEST_F(ConnectionTest, FailedWindowQueryClosesEverything) {
    for (int32_t status : {static_cast<int32_t>(0x90010000), 0}) {
        RadovlSim_TraceClear();
        RadovlSim_FailRequests(1, 1, status);
        BoardConnection* connection = reinterpret_cast<BoardConnection*>(0x1);
        const uint32_t expected = status == 0 ? 0xA1070000u : static_cast<uint32_t>(status);
        EXPECT_EQ(BoardOpen(0, &connection), expected);
        EXPECT_EQ(connection, nullptr);
        EXPECT_EQ(RadovlSim_OpenHandles(), 0);
        // The failed query, then the close's PciControl reset.
        const std::string query = status == 0 ? "QUERY" : "QUERY !" + Hex(expected);
        EXPECT_EQ(Accesses(), (std::vector<std::string>{query, "PCI S8 4 = 0x01"}));
    }
}

TEST_F(ConnectionTest, ClosingWithoutDeviceOnlyClosesMutex) {
    BoardConnection* connection = nullptr;
    ASSERT_EQ(BoardOpen(0, &connection), 0u);
    RadovlSim_TraceClear();
    platform::Handle device = connection->device;
    connection->device = nullptr;
    EXPECT_EQ(BoardClose(connection), 0u);
    EXPECT_EQ(RadovlSim_TraceCount(), 0);
    EXPECT_EQ(RadovlSim_OpenHandles(), 1);  // the device handle we took away
    platform::CloseHandle(device);
}

TEST_F(ConnectionTest, ClosingAnUnclosableDeviceReportsIt) {
    BoardConnection* connection = nullptr;
    ASSERT_EQ(BoardOpen(0, &connection), 0u);
    platform::CloseHandle(connection->device);  // closed behind the library's back
    EXPECT_EQ(BoardClose(connection), 0xA1030000u);
}

TEST_F(ConnectionTest, NoConnectionSendsNothing) {
    EXPECT_EQ(SendMemoryRequest(9, 0, 0, 1, 1, nullptr), 0xA1070000u);
    EXPECT_EQ(RadovlSim_TraceCount(), 0);
}

}  // namespace
}  // namespace radovl::test
