#include "IsolatedLogC.h"
#include "ScriptedModemViewC.h"
#include "common/ComboBoxModelC.h"
#include "common/EventLogFileC.h"
#include "modem/ModemLinkC.h"
#include "modem/ModemSessionC.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

class ClosedLinkTest : public ::testing::Test {
protected:
    IsolatedLogC logDir;
    EventLogFileC log{logDir.path(), 500};
    ModemLinkC link{log};
};

TEST(HexToInt, DecodesLikeTheRadioToolsAlwaysDid) {
    EXPECT_EQ(ModemLinkC::HexToInt("ff"), 255);
    EXPECT_EQ(ModemLinkC::HexToInt("0b"), 11);
    EXPECT_EQ(ModemLinkC::HexToInt("1A"), 26);
    EXPECT_EQ(ModemLinkC::HexToInt(""), 0);
    EXPECT_EQ(ModemLinkC::HexToInt("1 "), 16) << "a trailing non-digit keeps the shift";
    EXPECT_EQ(ModemLinkC::HexToInt("x1"), 1);
    EXPECT_EQ(ModemLinkC::HexToInt("01"), 1);
}

TEST_F(ClosedLinkTest, FilterBufferKeepsTextFromTheStartCharacterWithoutLineEnds) {
    char buffer[ModemLinkC::kBufferSize] = "\r\nwb?01\r\n";
    EXPECT_EQ(link.FilterBuffer(buffer, sizeof buffer, 'w'), 0);
    EXPECT_STREQ(buffer, "wb?01");

    char missing[ModemLinkC::kBufferSize] = "\r\n01\r\n";
    EXPECT_EQ(link.FilterBuffer(missing, sizeof missing, 'w'), 1);
    EXPECT_STREQ(missing, "\r\n01\r\n") << "unchanged when the start character is missing";

    // A buffer without any terminator stops at its end instead of running past it.
    char full[8];
    std::memset(full, 'W', sizeof full);
    EXPECT_EQ(link.FilterBuffer(full, sizeof full, 'W'), 1);
    EXPECT_EQ(std::strlen(full), sizeof full - 1);

    EXPECT_EQ(logDir.texts(),
              (std::vector<std::string>{"ERROR: FilterBuffer 1.", "ERROR: FilterBuffer 2."}));
}

TEST_F(ClosedLinkTest, EveryPrimitiveOnAClosedPortReportsItself) {
    char byte = 0;
    char buffer[ModemLinkC::kBufferSize];
    EXPECT_EQ(link.ReadChar(byte), RC_PORT_NOT_OPEN);
    EXPECT_EQ(link.WriteStr("wb?"), RC_PORT_NOT_OPEN);
    EXPECT_EQ(link.ReadStr(buffer, sizeof buffer), RC_PORT_NOT_OPEN);
    EXPECT_EQ(link.ReadTerminatedStr(buffer, sizeof buffer, '>'), RC_PORT_NOT_OPEN);
    int value = -1;
    EXPECT_EQ(link.RadioCommand("wb?", value), RC_UNDEFINED);
    EXPECT_EQ(link.CloseModemPort(), RC_OK);
    EXPECT_FALSE(link.modemPortOpen());

    std::vector<std::string> expected = {
        "ERROR: ReadChar RC_PORT_NOT_OPEN.", "ERROR: WriteStr RC_PORT_NOT_OPEN.",
        "ERROR: ReadStr RC_PORT_NOT_OPEN.",  "ERROR: ReadTerminatedStr RC_PORT_NOT_OPEN.",
        "ERROR: ReadStr RC_PORT_NOT_OPEN.",  "ERROR: RadioCommand error 1"};
    EXPECT_EQ(logDir.texts(), expected);
}

TEST_F(ClosedLinkTest, OpeningAMissingPortReportsOnlyWhenAsked) {
    EXPECT_EQ(link.OpenModemPort("/nonexistent/oryx-port", "9600"), RC_PORT_SETUP_FAILED);
    EXPECT_NE(link.openError(), 0);
    EXPECT_TRUE(logDir.texts().empty()) << "the link leaves telling the user to its caller";

    ScriptedModemViewC view;
    ModemSessionC session{log, view};
    session.fields().portBox.SetEntries({"/nonexistent/oryx-port"});
    session.fields().portBox.Select(0);
    EXPECT_EQ(session.OpenModemPort("9600", false), RC_PORT_SETUP_FAILED);
    EXPECT_TRUE(view.boxes.empty());
    EXPECT_EQ(session.OpenModemPort("9600", true), RC_PORT_SETUP_FAILED);
    ASSERT_EQ(view.boxes.size(), 1u);
    EXPECT_EQ(view.boxes[0].caption, "Error");
    EXPECT_EQ(view.boxes[0].icon, ModemViewI::IconT::None);
    EXPECT_EQ(view.boxes[0].text.rfind("Couldn't open port /nonexistent/oryx-port. rc=", 0), 0u);
    EXPECT_EQ(view.boxes[0].text.substr(view.boxes[0].text.size() - 2), "\r\n");
    // The log line ends in CR LF itself, which leaves an empty line behind it.
    auto texts = logDir.texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[1], "");
}

TEST(ComboBoxModel, WritingATextSelectsTheFirstEntryItBeginsWith) {
    ComboBoxModelC box;
    box.SetEntries({"1", "2", "30"});
    EXPECT_TRUE(box.SelectPrefix("3"));
    EXPECT_EQ(box.SelectedText(), "30");
    EXPECT_FALSE(box.SelectPrefix("")) << "an empty text leaves the selection";
    EXPECT_EQ(box.Selected(), 2);
    EXPECT_FALSE(box.SelectPrefix("4"));
    EXPECT_EQ(box.Selected(), -1);

    box.SetEntries({"Remote", "Base"});
    EXPECT_TRUE(box.SelectPrefix("base"));
    EXPECT_EQ(box.Selected(), 1);
}

} // namespace
