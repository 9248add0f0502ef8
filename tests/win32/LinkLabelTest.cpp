// TLinkLabel on Windows: the address a press hands to the shell (seen through a recording shell
// call, so nothing is launched), the caption rule, the mouse rules, owners and form resources.
#include "components/LinkLabel.h"
#include "tests/native/U8.h"
#include "tests/win32/ShellCalls.h"
#include "tools/forms/ComponentWriter.h"
#include "ui/Errors.h"
#include "ui/Form.h"
#include "ui/FormLoader.h"

#include <gtest/gtest.h>
#include <objbase.h>

#include <string>
#include <vector>

namespace vigrel::test {
namespace {

class LinkLabelTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = ReplaceLinkShellExecute(&RecordShellCall);
        ShellCalls().clear();
        label.SetAutoSize(false);
        label.SetBounds(10, 10, 90, 13);
        label.OnClick = [this](TComponent&) { ++clicks; };
    }
    void TearDown() override { ReplaceLinkShellExecute(previous_); }

    HWND Window() { return form.Handle(); }
    void Send(UINT message, int x = 20, int y = 15) {
        SendMessageW(Window(), message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(x, y));
    }
    std::vector<std::string> Files() const {
        std::vector<std::string> files;
        for (const ShellCall& call : ShellCalls()) {
            files.push_back(call.file);
        }
        return files;
    }

    TForm form;
    TLinkLabel& label = form.CreateComponent<TLinkLabel>(&form);
    int clicks = 0;

private:
    TShellExecute previous_ = nullptr;
};

TEST_F(LinkLabelTest, PressOpensThePrefixFollowedByTheLinkForEveryType) {
    const struct {
        tLinkType type;
        const char* link;
        const char* address;
    } cases[] = {
        {tLinkType::ltfile, "C:/docs/a.txt", "file://C:/docs/a.txt"},
        {tLinkType::ltftp, "ftp.example.org", "ftp://ftp.example.org"},
        {tLinkType::ltgopher, "gopher.example.org", "gopher://gopher.example.org"},
        {tLinkType::lthttp, "vigrel.example.org", "http://vigrel.example.org"},
        {tLinkType::lthttps, "vigrel.example.org/a?b=c", "https://vigrel.example.org/a?b=c"},
        {tLinkType::ltmailto, "team@vigrel.example.org", "mailto:team@vigrel.example.org"},
        {tLinkType::ltnews, "comp.lang.c++", "news:comp.lang.c++"},
        {tLinkType::lttelnet, "bbs.example.org", "telnet:bbs.example.org"},
        {tLinkType::ltwais, "wais.example.org", "wais:wais.example.org"},
        // The prefix is always put in front: twice over a link that has one, alone before none.
        {tLinkType::lthttp, "http://vigrel.example.org", "http://http://vigrel.example.org"},
        {tLinkType::lthttp, "", "http://"},
        {tLinkType::ltmailto, "", "mailto:"},
    };
    for (const auto& c : cases) {
        label.SetLinkType(c.type);
        label.SetHyperLink(c.link);
        ShellCalls().clear();
        Send(WM_LBUTTONDOWN);
        Send(WM_LBUTTONUP);
        EXPECT_EQ(Files(), std::vector<std::string>{c.address}) << c.address;
    }
    // The prefix never reaches the caption, which the first link filled.
    EXPECT_EQ(label.Caption(), "C:/docs/a.txt");
}

TEST_F(LinkLabelTest, ShellIsAskedToOpenWithTheParentsWindowAndNothingElse) {
    label.SetHyperLink("vigrel.example.org");
    Send(WM_LBUTTONDOWN);
    ASSERT_EQ(ShellCalls().size(), 1u);
    const ShellCall& call = ShellCalls().front();
    EXPECT_EQ(call.window, Window());
    EXPECT_EQ(call.operation, "Open");
    EXPECT_TRUE(call.noParameters);
    EXPECT_TRUE(call.noDirectory);
    EXPECT_EQ(call.show, SW_SHOWNORMAL);
}

// The shell is called inside a single-threaded apartment, or the thread's own multithreaded one,
// and the thread is left in the apartment it was in.
TEST_F(LinkLabelTest, ThePressOpensInTheShellsApartmentAndLeavesTheThreadAsItWas) {
    constexpr DWORD none = ~DWORD{0};
    const struct {
        const char* name;
        DWORD before;
        HRESULT during;
    } cases[] = {
        {"no apartment", none, S_FALSE},
        {"single-threaded", COINIT_APARTMENTTHREADED, S_FALSE},
        {"multithreaded", COINIT_MULTITHREADED, RPC_E_CHANGED_MODE},
    };
    label.SetHyperLink("vigrel.example.org");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(ProbeApartment(COINIT_APARTMENTTHREADED), S_OK) << "the test thread has none";
        if (c.before != none) {
            ASSERT_EQ(CoInitializeEx(nullptr, c.before), S_OK);
        }
        ShellCalls().clear();
        Send(WM_LBUTTONDOWN);
        ASSERT_EQ(ShellCalls().size(), 1u);
        EXPECT_EQ(ShellCalls().front().apartment, c.during);
        if (c.before == none) {
            EXPECT_EQ(ProbeApartment(COINIT_APARTMENTTHREADED), S_OK);
        } else {
            EXPECT_EQ(ProbeApartment(c.before), S_FALSE);
            CoUninitialize();
        }
    }
}

TEST_F(LinkLabelTest, AddressReachesTheShellInTheAnsiCodePage) {
    // é is spelled out: the test macros quote their arguments as Windows-1251 text.
    const std::string link = U8(u8"пример.рф/\u00E9");
    label.SetHyperLink(link);
    Send(WM_LBUTTONDOWN);
    // Under ru_RU the Cyrillic letters are Windows-1251 and é becomes its nearest letter; under
    // en_US é is Windows-1252 and the Cyrillic letters are lost.
    // This file's narrow literals are Windows-1251.
    const std::string expected = GetACP() == 1251   ? "http://пример.рф/e"
                                 : GetACP() == 1252 ? "http://??????.??"
                                                      "/\xE9"
                                                    : "";
    ASSERT_FALSE(expected.empty()) << "code page " << GetACP();
    EXPECT_EQ(Files(), std::vector<std::string>{expected});
    EXPECT_EQ(label.Caption(), link);
}

TEST_F(LinkLabelTest, LinkFillsOnlyAnEmptyCaption) {
    label.SetHyperLink("first.example.org");
    EXPECT_EQ(label.Caption(), "first.example.org");
    label.SetHyperLink("second.example.org");
    EXPECT_EQ(label.Caption(), "first.example.org");
    EXPECT_EQ(label.HyperLink(), "second.example.org");

    auto& named = form.CreateComponent<TLinkLabel>(&form);
    named.SetCaption("Our site");
    named.SetHyperLink("vigrel.example.org");
    EXPECT_EQ(named.Caption(), "Our site");
    // Emptying the caption brings nothing back until a link is set again.
    named.SetCaption("");
    EXPECT_EQ(named.Caption(), "");
    named.SetHyperLink("other.example.org");
    EXPECT_EQ(named.Caption(), "other.example.org");
}

TEST_F(LinkLabelTest, PressOpensOnceRaisesNoClickAndTakesNoCapture) {
    Send(WM_LBUTTONDOWN);
    EXPECT_EQ(ShellCalls().size(), 1u);
    EXPECT_NE(GetCapture(), Window());
    Send(WM_LBUTTONUP);
    EXPECT_EQ(ShellCalls().size(), 1u);
    EXPECT_EQ(clicks, 0);
    // A press beside the label is the form's.
    Send(WM_LBUTTONDOWN, 150, 15);
    Send(WM_LBUTTONUP, 150, 15);
    EXPECT_EQ(ShellCalls().size(), 1u);
}

TEST_F(LinkLabelTest, DoubleClickOpensOnceAndItsSecondPressIsTheLabelsOwn) {
    Send(WM_LBUTTONDOWN);
    Send(WM_LBUTTONUP);
    Send(WM_LBUTTONDBLCLK);
    Send(WM_LBUTTONUP);
    EXPECT_EQ(ShellCalls().size(), 1u);
    // The double-click press is ordinary label handling: its release clicks.
    EXPECT_EQ(clicks, 1);
    EXPECT_NE(GetCapture(), Window());
}

TEST(LinkLabelOwner, AnythingButAFormIsRefusedAndKeepsNothing) {
    TWinControl panel;
    EXPECT_THROW(panel.CreateComponent<TLinkLabel>(&panel), EInvalidCast);
    EXPECT_EQ(panel.ComponentCount(), 0u);
    EXPECT_EQ(panel.ControlCount(), 0u);
    TComponent plain;
    EXPECT_THROW(plain.CreateComponent<TLinkLabel>(&plain), EInvalidCast);
    EXPECT_EQ(plain.ComponentCount(), 0u);
    const TLinkLabel alone(nullptr);
    EXPECT_EQ(alone.Parent(), nullptr);
}

ClassRegistry Classes() {
    return {&TForm::StaticClass(), &TWinControl::StaticClass(), &TLinkLabel::StaticClass()};
}

TEST(LinkLabelForm, ReadsOnAFormAndWritesOnlyWhatDiffers) {
    TForm form;
    ReadComponentResource(form,
                          "object Form1: TForm\n"
                          "  object LinkLabel1: TLinkLabel\n"
                          "    Left = 83\n"
                          "    Cursor = crHandPoint\n"
                          "    LinkType = ltmailto\n"
                          "    HyperLink = \"team@vigrel.example.org\"\n"
                          "  end\n"
                          "end\n",
                          Classes());
    ASSERT_EQ(form.ComponentCount(), 1u);
    auto& label = dynamic_cast<TLinkLabel&>(form.Components(0));
    EXPECT_EQ(label.Parent(), &form);
    EXPECT_EQ(label.LinkType(), tLinkType::ltmailto);
    EXPECT_EQ(label.Caption(), "team@vigrel.example.org");
    const std::string written = WriteComponentResource(form);
    EXPECT_NE(written.find("    LinkType = ltmailto\n"), std::string::npos) << written;
    EXPECT_NE(written.find("    HyperLink = \"team@vigrel.example.org\"\n"), std::string::npos);
    // The hand pointer is what a link label starts with.
    EXPECT_EQ(written.find("Cursor"), std::string::npos) << written;

    TForm copy;
    ReadComponentResource(copy, written, Classes());
    const auto& read = dynamic_cast<const TLinkLabel&>(copy.Components(0));
    EXPECT_EQ(read.HyperLink(), label.HyperLink());
    EXPECT_EQ(read.Caption(), label.Caption());
    // What the text leaves out is the link look the label starts with.
    EXPECT_EQ(read.Cursor(), TCursor::crHandPoint);
    EXPECT_EQ(read.Font().Style(), fsUnderline);
    EXPECT_EQ(read.Font().Color(), clBlue);
}

TEST(LinkLabelForm, OnAnotherRootTheReadFailsAtTheLabelsLine) {
    TWinControl root;
    try {
        ReadComponentResource(root,
                              "object Panel1: TWinControl\n"
                              "  object LinkLabel1: TLinkLabel\n"
                              "  end\n"
                              "end\n",
                              Classes());
        ADD_FAILURE() << "a link label was read onto a panel";
    } catch (const SourceError& error) {
        EXPECT_EQ(std::string(error.what()).rfind("line 2:", 0), 0u) << error.what();
    }
    EXPECT_EQ(root.ComponentCount(), 0u);
    EXPECT_EQ(root.ControlCount(), 0u);
}

} // namespace
} // namespace vigrel::test
