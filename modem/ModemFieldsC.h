#pragma once

#include "common/ComboBoxModelC.h"

#include <string>

// The modem dialog's data: its boxes, the texts taken from them, the radio's settings as
// edited and as read, and the connection state.
class ModemFieldsC {
public:
    enum class BoxT { Port, Baud, Device, Link, Mode };

    ModemFieldsC();

    ComboBoxModelC& box(BoxT which);

    // Copies the texts of the boxes' selections into the text fields.
    void TakeFromControls();
    // Selects in each box the first entry that begins with its text field.
    void WriteToControls();
    // The port box's part of WriteToControls.
    void ShowPortText();

    ComboBoxModelC portBox;
    ComboBoxModelC baudBox;
    ComboBoxModelC deviceBox;
    ComboBoxModelC linkBox;
    ComboBoxModelC modeBox;

    std::string portText;
    std::string baudText;
    std::string deviceText;
    std::string linkText;
    std::string modeText;

    std::string currentBaud;
    std::string banner;
    int modelNumber = 2410;

    int modeIndex = -1;
    int readMode = -1;
    int deviceIndex = -1;
    int readDevice = -1;
    int readLink = -1;
    int readBaudIndex = -1;
    bool kvVariant = false;
    int power = 0;
    int readPower = 0;
    std::string band;
    std::string readBand;

    bool connected = false;
    bool settingsRead = false;
    bool serviceMode = false;

    // Control states beyond the boxes' own enabled flags.
    std::string connectLabel = "Co&nnect";
    bool saveEnabled = false;
    bool defaultEnabled = false;
    bool serviceEnabled = false;
    bool serviceVisible = false;

    static constexpr const char* kConnectLabel = "Co&nnect";
    static constexpr const char* kDisconnectLabel = "Disco&nnect";
};
