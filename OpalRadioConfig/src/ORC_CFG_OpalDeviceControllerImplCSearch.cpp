// Device search and pairing: the inquiry with its chain of result lines, the name of each device
// found, and the default remote peer.
#include "FWK_DBG_PerformanceLogC.h"
#include "Fwk_Tsk/FWK_TSK_GuardC.h"
#include "ORC_CFG_BasicStringResponseParamC.h"
#include "ORC_CFG_ControllerLog.h"
#include "ORC_CFG_DeviceInquiryRequestC.h"
#include "ORC_CFG_InquiryResultRequestC.h"
#include "ORC_CFG_OpalDeviceControllerImplC.h"
#include "ORC_CFG_OpalDeviceRequestC.h"
#include "ORC_CFG_ResponseParamI.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace ORC::CFG {

namespace {
using FWK::DBG::PerformanceLogC;
using FWK::TSK::GuardC;

constexpr uint8_t INQUIRY_LENGTH = 10;
constexpr InquiryTypeT INQUIRY_TYPE = 2;
constexpr uint8_t MAX_DEVICES = 15;
constexpr uint32_t INQUIRY_TIMEOUT_MS = 15000;
// The one kind of device the search lists.
constexpr long WANTED_CLASS_OF_DEVICE = 7978;
constexpr int NAME_ATTEMPTS = 2;
constexpr uint32_t NAME_TIMEOUT_MS = 4000;
constexpr uint32_t REMOTE_PEER_TIMEOUT_MS = 5000;
constexpr uint8_t PAIRING_PEER_INDEX = 0;
constexpr unsigned long PAIRING_PEER_CODE = 130;
constexpr size_t NAME_COPY_LEN = DevNameAddressPairT::NAME_LEN - 1;
constexpr size_t ADDRESS_COPY_LEN = DevNameAddressPairT::ADDRESS_LEN - 1;

bool isWantedDevice(const InquiryResultRequestC& rResult) {
    return rResult.getResult() == CFG_OK &&
           rResult.getClassOfDevice().getValue() == WANTED_CLASS_OF_DEVICE;
}
} // namespace

int32_t OpalDeviceControllerImplC::queryDeviceName(const std::string& rAddress,
                                                   DevNameAddressPairT& rNamed) {
    for (int iAttempt = 0; iAttempt < NAME_ATTEMPTS; ++iAttempt) {
        OpalDeviceRequestC nameQuery("AGND", RF_SET, NAME_TIMEOUT_MS);
        nameQuery.appendString(rAddress.c_str(), false);
        nameQuery.closeCommand();
        BasicStringResponseParamC name;
        nameQuery.addResponseParam(&name);
        if (exchange(nameQuery) == CFG_OK) {
            rNamed = DevNameAddressPairT();
            copyCut(rNamed.m_szName, name.getValue(), NAME_COPY_LEN);
            copyCut(rNamed.m_szAddress, rAddress, ADDRESS_COPY_LEN);
            return CFG_OK;
        }
    }
    return CFG_FAILED;
}

int32_t OpalDeviceControllerImplC::searchDevices(std::vector<DevNameAddressPairT>& rDevices) {
    GuardC guard(m_lock);
    PerformanceLogC trace(&controllerLoggable(), "OpalDeviceControllerImplC::searchDevices");
    DeviceInquiryRequestC inquiry("AGI", INQUIRY_LENGTH, INQUIRY_TYPE, MAX_DEVICES,
                                  INQUIRY_TIMEOUT_MS);
    // An inquiry that failed is reported as such, also to a caller whose list already held
    // devices: an earlier search must not make a refused one look successful.
    if (const int32_t lResult = exchange(inquiry); lResult != CFG_OK) {
        return lResult;
    }
    for (OpalDeviceRequestC* pMember = inquiry.getSiblingRequest(); pMember != nullptr;
         pMember = pMember->getSiblingRequest()) {
        const auto& rResult = static_cast<const InquiryResultRequestC&>(*pMember);
        if (!isWantedDevice(rResult)) {
            continue;
        }
        DevNameAddressPairT named;
        if (queryDeviceName(rResult.getAddress().getValue(), named) == CFG_OK) {
            rDevices.push_back(named);
        }
    }
    return rDevices.empty() ? CFG_FAILED : CFG_OK;
}

int32_t OpalDeviceControllerImplC::configureDefaultRemotePeer(unsigned char unIndex,
                                                              DevNameAddressPairT device,
                                                              unsigned long ulPeerCode,
                                                              bool bPeerFlag, bool bPersistent) {
    GuardC guard(m_lock);
    PerformanceLogC trace(&controllerLoggable(),
                          "OpalDeviceControllerImplC::configureDefaultRemotePeer");
    // The record may come from anywhere: its texts count only up to the end of their fields.
    const bool bHasName = strnlen(device.m_szName, sizeof(device.m_szName)) > 0;
    const bool bHasAddress = strnlen(device.m_szAddress, sizeof(device.m_szAddress)) > 0;
    device.m_szName[NAME_COPY_LEN] = '\0';
    device.m_szAddress[ADDRESS_COPY_LEN] = '\0';
    if (!bHasName || !bHasAddress || !isConnected()) {
        return CFG_FAILED;
    }
    return sendSetting("ADWDRP",
                       {byte(unIndex), text(device.m_szAddress),
                        number(static_cast<int32_t>(ulPeerCode)), byte(bPeerFlag),
                        quoted(device.m_szName), byte(bPersistent)},
                       REMOTE_PEER_TIMEOUT_MS);
}

int32_t OpalDeviceControllerImplC::pairDevice(const DevNameAddressPairT& rDevice,
                                              bool bPersistent) {
    GuardC guard(m_lock);
    PerformanceLogC trace(&controllerLoggable(), "OpalDeviceControllerImplC::pairDevice");
    return configureDefaultRemotePeer(PAIRING_PEER_INDEX, rDevice, PAIRING_PEER_CODE, false,
                                      bPersistent);
}

int32_t OpalDeviceControllerImplC::getPairedDevice(DevNameAddressPairT& rDevice) {
    GuardC guard(m_lock);
    PerformanceLogC trace(&controllerLoggable(), "OpalDeviceControllerImplC::getPairedDevice");
    OpalDeviceRequestC query("ADRDRP", RF_SET, DEFAULT_TIMEOUT_MS);
    query.appendNumber(0);
    query.closeCommand();
    BasicStringResponseParamC address;
    ResponseParamI skipped[2];
    BasicStringResponseParamC name;
    query.addResponseParam(&address);
    query.addResponseParam(&skipped[0]);
    query.addResponseParam(&skipped[1]);
    query.addResponseParam(&name);
    const int32_t lResult = exchange(query);
    if (lResult == CFG_OK) {
        copyCut(rDevice.m_szAddress, address.getValue(), ADDRESS_COPY_LEN);
        copyCut(rDevice.m_szName, name.getValue(), NAME_COPY_LEN);
    }
    return lResult;
}

} // namespace ORC::CFG
