#pragma once

#include <cstdint>

// The records, enumerations and result codes that cross the boundary of libOpalRadioConfig.
// They are plain values: a host fills them, passes them to the controller and reads them back,
// so their layout is part of the binary interface and must not change.

namespace ORC::CFG {

// Results of the controller operations. A host treats 0 as success, everything else as failure.
constexpr int32_t CFG_OK = 0;
// The module's answer could not be used.
constexpr int32_t CFG_BAD_RESPONSE = 0x02000003;
// No final answer in time; also the state of a request that has not been answered yet.
constexpr int32_t CFG_TIMEOUT = 0x02000006;
// Port missing or closed, module not in command mode, argument rejected, write failed, "ERROR".
constexpr int32_t CFG_FAILED = 0x0200001A;
// No implementation object, or no wait object, or the wait itself failed.
constexpr int32_t CFG_NOT_READY = 0x0200001B;

// The module's codes for line settings; the same numbers go into the "AMRS" command.
enum BaudRateCodeT : int32_t {
    BAUD_4800 = 4,
    BAUD_9600 = 5,
    BAUD_19200 = 6,
    BAUD_57600 = 8,
    BAUD_115200 = 9,
    BAUD_921600 = 12,
};
enum DataBitsCodeT : int32_t { DATA_BITS_8 = 1, DATA_BITS_7 = 2, DATA_BITS_6 = 3, DATA_BITS_5 = 4 };
enum StopBitsCodeT : int32_t { STOP_BITS_1 = 1, STOP_BITS_2 = 2 };
enum ParityCodeT : int32_t { PARITY_NONE = 1, PARITY_ODD = 2, PARITY_EVEN = 3 };
enum FlowControlCodeT : int32_t { FLOW_RTS_CTS = 1, FLOW_NONE = 2 };

// Line settings of the PC port and of the module's serial interface, in the module's codes.
// The fields are codes rather than the enumerations above because a module may report a code
// that has no name here, and it has to survive a read and write back unchanged.
struct RS232SettingsS {
    int32_t m_lBaudRate = BAUD_115200;
    int32_t m_lDataBits = DATA_BITS_8;
    int32_t m_lStopBits = STOP_BITS_1;
    int32_t m_lParity = PARITY_NONE;
    int32_t m_lFlowControl = FLOW_NONE;
    // DTR line driven on at the PC port.
    bool m_bDtrDsr = false;
};

// One local or remote device. 65 bytes, the texts back to back, each NUL-terminated.
struct DevNameAddressPairT {
    static constexpr int NAME_LEN = 17;
    static constexpr int ADDRESS_LEN = 48;

    char m_szName[NAME_LEN] = {};
    char m_szAddress[ADDRESS_LEN] = {};
};

// The module's version texts in the order of its "AILVI" answer, each NUL-terminated.
struct VersionInformationS {
    static constexpr int FIELD_COUNT = 5;
    static constexpr int FIELD_LEN = 2000;

    char m_szFields[FIELD_COUNT][FIELD_LEN] = {};
};

// The enumerations below hold the module's own codes. The library sends the number and does not
// interpret it (except where a controller operation says so), so any value may be passed; the
// names are those the configuration program uses.
enum ConnectionProfileT : int32_t {
    PROFILE_SERIAL_PORT = 0,
    // Read back when a role has no profile.
    PROFILE_NONE = 255,
};

// 0 is refused by the controller.
enum ConnectabilityModeT : int32_t {
    CONNECTABILITY_CLIENT_ROLE = 1,
    CONNECTABILITY_SERVER_ROLE = 2,
};

// 0 is refused by the controller.
enum DiscoverabilityModeT : int32_t {
    DISCOVERABILITY_CLIENT_ROLE = 1,
    DISCOVERABILITY_SERVER_ROLE = 3,
};

enum SecurityModeT : int32_t {};
enum PowerSaveModeT : int32_t {};
enum DtrSettingT : int32_t {};
enum DsrSettingT : int32_t {};
// Both are sent as unsigned 8-bit numbers.
enum IoPinT : int32_t {};
enum PinValueT : int32_t {};

} // namespace ORC::CFG
