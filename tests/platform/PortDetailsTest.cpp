#include "platform/PortCatalog.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <unistd.h>

namespace oryx::platform {
namespace {

namespace fs = std::filesystem;

// A device database that knows the devices it is given.
class FakeDetailsSource : public PortDetailsSourceI {
public:
    explicit FakeDetailsSource(std::map<std::string, PortDetails> known)
        : m_known(std::move(known)) {}
    void addFacts(const std::string& kernelName, PortDetails& details) const override {
        const auto found = m_known.find(kernelName);
        if (found != m_known.end()) {
            PortDetails facts = found->second;
            facts.portText = details.portText;
            facts.devicePath = details.devicePath;
            details = facts;
        }
    }

private:
    std::map<std::string, PortDetails> m_known;
};

PortDetails Usb(std::string byId, std::string driver, std::string vendor, std::string product,
                std::string maker, std::string name, std::string serial) {
    PortDetails d;
    d.byIdLink = std::move(byId);
    d.driver = std::move(driver);
    d.vendorId = std::move(vendor);
    d.productId = std::move(product);
    d.manufacturer = std::move(maker);
    d.product = std::move(name);
    d.serialNumber = std::move(serial);
    return d;
}

class PortDetailsTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_root = fs::temp_directory_path() / ("oryx-details-" + std::to_string(::getpid()));
        fs::remove_all(m_root);
        for (const char* tty : {"ttyUSB10", "ttyUSB2", "ttyACM0", "ttyS0"}) {
            fs::create_directories(m_root / "sys" / tty);
            fs::create_directory_symlink(m_root, m_root / "sys" / tty / "device");
        }
        fs::create_directories(m_root / "sim");
        fs::create_symlink("/dev/null", m_root / "sim" / "modem-2410");
    }
    void TearDown() override { fs::remove_all(m_root); }

    PortCatalog catalog() const {
        PortDetails uart;
        uart.driver = "serial8250";
        return PortCatalog(
            PortEnumerator((m_root / "sys").string(), (m_root / "sim").string()),
            std::make_unique<FakeDetailsSource>(std::map<std::string, PortDetails>{
                {"ttyUSB2", Usb("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K-if00-port0",
                                "ftdi_sio", "0403", "6001", "FTDI", "FT232R USB UART", "A10K")},
                {"ttyUSB10", Usb("", "pl2303", "067b", "2303", "Prolific", "USB-Serial", "")},
                {"ttyS0", uart}}));
    }

    fs::path m_root;
};

TEST_F(PortDetailsTest, ListsEachPortInOrderWithWhatTheDatabaseKnows) {
    struct Row {
        std::string port, device, byId, driver, usbId, maker, product, serial;
        bool simulated;
    };
    const std::string link = (m_root / "sim" / "modem-2410").string();
    const std::vector<Row> expected{
        {link, "/dev/null", "", "simulator", "", "", "modem-2410", "", true},
        {"ttyACM0", "/dev/ttyACM0", "", "", "", "", "", "", false},
        {"ttyS0", "/dev/ttyS0", "", "serial8250", "", "", "", "", false},
        {"ttyUSB2", "/dev/ttyUSB2", "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K-if00-port0",
         "ftdi_sio", "0403:6001", "FTDI", "FT232R USB UART", "A10K", false},
        {"ttyUSB10", "/dev/ttyUSB10", "", "pl2303", "067b:2303", "Prolific", "USB-Serial", "",
         false},
    };
    const std::vector<PortDetails> ports = catalog().listPorts(PortCatalog::OpenCheck::Skip);
    ASSERT_EQ(ports.size(), expected.size());
    for (size_t i = 0; i < ports.size(); ++i) {
        const PortDetails& got = ports[i];
        const Row& want = expected[i];
        SCOPED_TRACE(want.port);
        EXPECT_EQ(got.portText, want.port);
        EXPECT_EQ(got.devicePath, want.device);
        EXPECT_EQ(got.byIdLink, want.byId);
        EXPECT_EQ(got.driver, want.driver);
        EXPECT_EQ(got.usbId(), want.usbId);
        EXPECT_EQ(got.manufacturer, want.maker);
        EXPECT_EQ(got.product, want.product);
        EXPECT_EQ(got.serialNumber, want.serial);
        EXPECT_EQ(got.simulated, want.simulated);
        EXPECT_FALSE(got.openState) << "listing without the open test opens nothing";
    }
}

TEST_F(PortDetailsTest, ATypedPortTextIsDescribedAsTheDeviceItNames) {
    // "1" is COM1, the first built-in port.
    const PortDetails com1 = catalog().describe("1", PortCatalog::OpenCheck::Skip);
    EXPECT_EQ(com1.driver, "serial8250");
    EXPECT_EQ(catalog().describe("/dev/ttyUSB2", PortCatalog::OpenCheck::Skip).describe(),
              "Device: /dev/ttyUSB2\n"
              "By id: /dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K-if00-port0\n"
              "Driver: ftdi_sio\n"
              "USB id: 0403:6001\n"
              "Manufacturer: FTDI\n"
              "Product: FT232R USB UART\n"
              "Serial number: A10K");
}

} // namespace
} // namespace oryx::platform
