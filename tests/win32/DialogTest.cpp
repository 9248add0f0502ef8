// The "Action Properties" dialog of the real Vigrel.tsp (DialogDriver.h): what it shows, what it
// writes back, the keys, the picture buttons, the link and the mends (modes read in any letter
// case, failures kept from the host, one dialog at a time).
#include "tests/win32/DialogDriver.h"
#include "tests/win32/FrameChecks.h"
#include "tests/win32/ShellCalls.h"
#include "ui/WideText.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vigrel::test {
namespace {

using DialogTest = DialogDriver;

TEST_F(DialogTest, ServesOnlyActionOneAndTouchesNoSlotOtherwise) {
    // A slot replaced or released after a false answer is a boundary fault of the host.
    for (const std::int32_t number : {0, 2, -1}) {
        EXPECT_FALSE(host->EditAction(number, {"a", "b", std::nullopt, "c", "d", "e", "f"}))
            << number;
        EXPECT_EQ(ShownPlugInForm(), nullptr);
    }
    EXPECT_EQ(Entry<TtsEditAction>(host->Module(), "tsEditAction")(MonitorActionNumber, nullptr),
              TsFalse);
}

TEST_F(DialogTest, OpensOwnedCentredAndLaidOutWithItsTexts) {
    const HWND host = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                      200, 100, nullptr, nullptr, nullptr, nullptr);
    SetActiveWindow(host);
    bool hostEnabled = true;
    Run(counterAction, {[&](HWND dialog) {
            EXPECT_EQ(GetWindow(dialog, GW_OWNER), host);
            hostEnabled = IsWindowEnabled(host) != FALSE;
            ExpectCentredDialogFrame(dialog, 504, 360);
            EXPECT_NE(GetWindowLongW(dialog, GWL_STYLE) & WS_SYSMENU, 0);
            for (const char* control : windowedControls) {
                EXPECT_NE(Find(dialog, control), nullptr) << control;
            }
            EXPECT_EQ(GetParent(Find(dialog, "LEdit1")), Find(dialog, "Panel1"));
            EXPECT_EQ(GetParent(Find(dialog, "ButtonOK50")), dialog);
            EXPECT_EQ(WindowTextW(Find(dialog, "LEdit1")), L"Counting");
            EXPECT_EQ(WindowTextW(Find(dialog, "LEdit3")), L"10");
            EXPECT_EQ(ComboText(Find(dialog, "ComboBox1")), L"Не равно (<>)");
            EXPECT_EQ(ComboText(Find(dialog, "ComboBox2")), L"True");
            EXPECT_EQ(WindowTextW(Find(dialog, "RadioButton1")),
                      L"Автоматически с созданием объекта");
            EXPECT_EQ(WindowTextW(Find(dialog, "RadioButton2")),
                      L"Ждать команду \"Monitor Start\"");
            EXPECT_EQ(WindowTextW(Find(dialog, "ButtonCancel50")), L"Отмена");
            EXPECT_EQ(WindowTextW(Find(dialog, "ButtonHelp")), L"Помощь");
            const HWND combo = Find(dialog, "ComboBox1");
            EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 2);
            EXPECT_EQ(SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0), 13);
            EXPECT_NE(GetWindowLongW(combo, GWL_STYLE) & CBS_DROPDOWNLIST, 0);
            EXPECT_NE(GetWindowLongW(Find(dialog, "LEdit3"), GWL_STYLE) & ES_AUTOHSCROLL, 0);
            SendMessageW(dialog, WM_CLOSE, 0, 0);
        }});
    EXPECT_FALSE(hostEnabled);
    EXPECT_TRUE(IsWindowEnabled(host));
    DestroyWindow(host);
}

TEST_F(DialogTest, PaintsItsBandsLabelsPictureAndGlyphs) {
    Run(counterAction, {[&](HWND dialog) {
            RedrawWindow(dialog, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            const HDC dc = GetDC(dialog);
            const HDC panel = GetDC(Find(dialog, "Panel1"));
            // The side band: sky blue at the top, inside its grey frame.
            EXPECT_EQ(GetPixel(dc, 40, 14), RGB(0xA6, 0xCA, 0xF0));
            EXPECT_EQ(GetPixel(dc, 10, 100), RGB(0xA0, 0xA0, 0xA4));
            // The header band: sky blue at the left, nearly white at the right.
            EXPECT_EQ(GetPixel(panel, 3, 10), RGB(0xA6, 0xCA, 0xF0));
            EXPECT_GT(GetPixel(panel, 410, 10) & 0xFF, 0xF0u);
            // The picture lies over the band: not the band's colour at its
            // middle.
            const COLORREF page = GetPixel(dc, 43, 50);
            EXPECT_NE(page, GetPixel(dc, 20, 50));
            // The glyph: red ink of the [#] sign, and its grey background
            // drawn transparent (the panel's face shows).
            int red = 0;
            for (int y = 78; y < 90; ++y) {
                for (int x = 215; x < 241; ++x) {
                    const COLORREF pixel = GetPixel(panel, x, y);
                    red += GetRValue(pixel) > 0xB0 && GetGValue(pixel) < 0x60;
                }
            }
            EXPECT_GT(red, 10);
            EXPECT_EQ(GetPixel(panel, 216, 101), GetSysColor(COLOR_BTNFACE));
            // The description: ink inside its flat band.
            int ink = 0;
            for (int x = 16; x < 300; ++x) {
                ink += GetPixel(panel, x, 270) == RGB(0, 0, 0);
            }
            EXPECT_GT(ink, 10);
            ReleaseDC(Find(dialog, "Panel1"), panel);
            ReleaseDC(dialog, dc);
            SendMessageW(dialog, WM_CLOSE, 0, 0);
        }});
}

// The dialog's texts are Russian: its font has Cyrillic letters whatever the system's code page
// (under en_US the ANSI code page is 1252), at the 11 pixels the layout is made for.
TEST_F(DialogTest, ItsFontShowsCyrillicInEveryCodePageAtElevenPixels) {
    Run(counterAction, {[&](HWND dialog) {
            for (const char* name : {"LEdit1", "ComboBox1", "RadioButton1", "ButtonOK50"}) {
                SCOPED_TRACE(name);
                const HWND control = Find(dialog, name);
                const auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
                ASSERT_NE(font, nullptr);
                const HDC dc = GetDC(control);
                const HGDIOBJ previous = SelectObject(dc, font);
                EXPECT_EQ(GetTextCharset(dc), RUSSIAN_CHARSET);
                TEXTMETRICW metrics{};
                GetTextMetricsW(dc, &metrics);
                EXPECT_EQ(metrics.tmHeight - metrics.tmInternalLeading, 11);
                const std::wstring russian = L"Равно Не равно Нет Да Имя монитора ЁёЩщЪъЯя";
                std::vector<WORD> glyphs(russian.size());
                GetGlyphIndicesW(dc, russian.c_str(), static_cast<int>(russian.size()),
                                 glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
                EXPECT_EQ(std::count(glyphs.begin(), glyphs.end(), WORD{0xFFFF}), 0);
                SelectObject(dc, previous);
                ReleaseDC(control, dc);
            }
            SendMessageW(dialog, WM_CLOSE, 0, 0);
        }});
}

TEST_F(DialogTest, FillsFromTheSlotsAndWritesBackCanonicalForms) {
    const struct {
        Slots slots;
        std::wstring condition;
        std::wstring execution;
        bool automatic;
        std::vector<std::string> written;
    } cases[] = {
        {{}, L"Равно (=)", L"False", false, {"", "", "=", "", "", "False", "False"}},
        {{"", "", "", "", "", "", ""},
         L"Равно (=)",
         L"False",
         false,
         {"", "", "=", "", "", "False", "False"}},
        {counterAction,
         L"Не равно (<>)",
         L"True",
         true,
         {"Counting", "Counter", "<>", "10", "Count", "True", "True"}},
        {{"M", "V", "==", "x", "S", "TRUE", "FALSE"},
         L"Равно (=)",
         L"True",
         false,
         {"M", "V", "=", "x", "S", "True", "False"}},
        {{"M", "V", " <>", " x ", "S", "False", "True"},
         L"Равно (=)",
         L"False",
         true,
         {"M", "V", "=", " x ", "S", "False", "True"}},
        {{"M", "V", "=", "", "S", "yes", "tRuE"},
         L"Равно (=)",
         L"False",
         true,
         {"M", "V", "=", "", "S", "False", "True"}},
        {{"M", "V", "<>", "", "S", " true", "1"},
         L"Не равно (<>)",
         L"False",
         false,
         {"M", "V", "<>", "", "S", "False", "False"}},
    };
    for (const auto& c : cases) {
        const std::size_t made = host->Ledger().PlugInAllocations();
        const std::size_t released = host->Ledger().PlugInReleases();
        const bool result = Run(c.slots, {[&](HWND dialog) {
                                    EXPECT_EQ(ComboText(Find(dialog, "ComboBox1")), c.condition);
                                    EXPECT_EQ(ComboText(Find(dialog, "ComboBox2")), c.execution);
                                    EXPECT_EQ(Checked(Find(dialog, "RadioButton1")), c.automatic);
                                    EXPECT_NE(Checked(Find(dialog, "RadioButton2")), c.automatic);
                                    ok(dialog);
                                }});
        EXPECT_TRUE(result);
        EXPECT_EQ(Texts(), c.written);
        // Each slot gets a new block, and the block it held is released.
        EXPECT_EQ(host->Ledger().PlugInAllocations() - made, 7u);
        EXPECT_EQ(host->Ledger().PlugInReleases() - released,
                  static_cast<std::size_t>(std::ranges::count_if(
                      c.slots, [](const auto& slot) { return slot.has_value(); })));
    }
}

// What another program sets on the controls (an automation or accessibility tool sends the
// controls' own messages, not clicks) is what the author sees, so it is what goes back.
TEST_F(DialogTest, WritesBackWhatTheControlsShowHoweverTheyWereSet) {
    const struct {
        Slots slots;
        WPARAM condition;
        WPARAM execution;
        bool automatic;
        std::vector<std::string> written;
    } cases[] = {
        {counterAction, 0, 0, false, {"Counting", "Counter", "=", "10", "Count", "False", "False"}},
        {{"M", "V", "=", "x", "S", "False", "False"},
         1,
         1,
         true,
         {"M", "V", "<>", "x", "S", "True", "True"}},
    };
    for (const auto& c : cases) {
        const bool result =
            Run(c.slots, {[&](HWND dialog) {
                    SendMessageW(Find(dialog, "ComboBox1"), CB_SETCURSEL, c.condition, 0);
                    SendMessageW(Find(dialog, "ComboBox2"), CB_SETCURSEL, c.execution, 0);
                    SendMessageW(Find(dialog, "RadioButton1"), BM_SETCHECK,
                                 c.automatic ? BST_CHECKED : BST_UNCHECKED, 0);
                    SendMessageW(Find(dialog, "RadioButton2"), BM_SETCHECK,
                                 c.automatic ? BST_UNCHECKED : BST_CHECKED, 0);
                    ok(dialog);
                }});
        EXPECT_TRUE(result);
        EXPECT_EQ(Texts(), c.written);
    }
}

TEST_F(DialogTest, CancelTheCloseBoxAndCloseWriteNothing) {
    const std::vector<std::function<void(HWND)>> closers{
        [](HWND dialog) { Click(dialog, "ButtonCancel50"); },
        [](HWND dialog) { SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); },
        [](HWND dialog) { PostMessageW(dialog, WM_CLOSE, 0, 0); },
        [](HWND dialog) { Key(Find(dialog, "ButtonCancel50"), VK_RETURN); },
    };
    for (std::size_t i = 0; i < closers.size(); ++i) {
        const bool result = Run(counterAction, {[&](HWND dialog) {
                                    SetWindowTextW(Find(dialog, "LEdit1"), L"Changed");
                                    SetFocus(Find(dialog, "ButtonCancel50"));
                                    closers[i](dialog);
                                }});
        EXPECT_FALSE(result) << i;
        EXPECT_EQ(host->Faults(), std::vector<std::string>{}) << "closer " << i << " wrote a slot";
    }
}

TEST_F(DialogTest, UntouchedFieldsGoBackByteForByteAndEditedOnesInTheAnsiCodePage) {
    std::string high;
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
        high.push_back(static_cast<char>(byte));
    }
    // A text the ANSI code page holds: Cyrillic where it is 1251, Latin letters elsewhere.
    const std::wstring typed = GetACP() == 1251 ? L"Привет, мир" : L"Café crème";
    ASSERT_TRUE(Run({"Mon1", "Var", "=", high, high, "false", "false"}, {[&](HWND dialog) {
                        SetWindowTextW(Find(dialog, "LEdit4"), typed.c_str());
                        ok(dialog);
                    }}));
    EXPECT_EQ(Texts()[3], high);
    EXPECT_EQ(Texts()[4], Ansi(typed));
}

TEST_F(DialogTest, ATextLongerThanTheBoxIsKeptWhole) {
    const std::string longText(5000, 'z');
    ASSERT_TRUE(Run({"Mon1", "Var", "=", longText, "Sub", "false", "false"}, {[&](HWND dialog) {
                        EXPECT_EQ(GetWindowTextLengthW(Find(dialog, "LEdit3")), 5000);
                        ok(dialog);
                    }}));
    EXPECT_EQ(Texts()[3], longText);
}

TEST_F(DialogTest, ABadNameIsReportedAtOkAndStoredAsTyped) {
    const bool cyrillic = GetACP() == 1251;
    const struct {
        std::wstring name;
        bool reported;
    } cases[] = {
        {L"Mon 1", true}, {L"Mon_1", true}, {cyrillic ? L"Монитор" : L"Moniteur-é", true},
        {L"", false},     {L"Mon1", false},
    };
    for (const auto& c : cases) {
        closedBoxes.clear();
        const UINT_PTR closer = SetTimer(nullptr, 0, 30, &CloseMessageBoxes);
        const bool result = Run(counterAction, {[&](HWND dialog) {
                                    SetWindowTextW(Find(dialog, "LEdit1"), c.name.c_str());
                                    ok(dialog);
                                }});
        KillTimer(nullptr, closer);
        EXPECT_TRUE(result);
        EXPECT_EQ(Texts()[0], Ansi(c.name));
        ASSERT_EQ(closedBoxes.size(), c.reported ? 1u : 0u);
        if (c.reported) {
            EXPECT_EQ(closedBoxes[0].caption, L"Error");
            EXPECT_EQ(closedBoxes[0].text, L"Ошибка ввода имени создаваемого монитора.\n"
                                           L"Допускается ввод только латинских букв и цифр");
            EXPECT_EQ(closedBoxes[0].owner, openDialog);
        }
    }
}

TEST_F(DialogTest, EnterGivesOkFromAFieldWhileEscapeAndHelpDoNothing) {
    ASSERT_TRUE(Run(counterAction, {[](HWND dialog) { Key(Find(dialog, "LEdit2"), VK_ESCAPE); },
                                    [](HWND dialog) { Click(dialog, "ButtonHelp"); },
                                    [](HWND dialog) {
                                        SetFocus(Find(dialog, "LEdit3"));
                                        Key(Find(dialog, "LEdit3"), VK_RETURN);
                                    }}));
}

TEST_F(DialogTest, TabFollowsTheDialogsOrder) {
    std::vector<std::string> visited;
    const auto note = [&](HWND dialog) {
        const HWND focus = GetFocus();
        std::string name = "?";
        for (const char* control : windowedControls) {
            if (Find(dialog, control) == focus) {
                name = control;
            }
        }
        visited.push_back(name);
        Key(focus, VK_TAB);
    };
    std::vector<std::function<void(HWND)>> script{
        [](HWND dialog) { SetFocus(Find(dialog, "ButtonOK50")); }};
    for (int i = 0; i < 12; ++i) {
        script.push_back(note);
    }
    script.push_back([](HWND dialog) { SendMessageW(dialog, WM_CLOSE, 0, 0); });
    Run(counterAction, script);
    EXPECT_EQ(visited,
              (std::vector<std::string>{"ButtonOK50", "ButtonCancel50", "ButtonHelp", "LEdit1",
                                        "LEdit2", "ComboBox1", "LEdit3", "LEdit4", "ComboBox2",
                                        "RadioButton1", "RadioButton2", "ButtonOK50"}));
}

TEST_F(DialogTest, PictureButtonsDoNothingWithoutTheHostsPickLists) {
    const UINT_PTR closer = SetTimer(nullptr, 0, 30, &CloseMessageBoxes);
    Run(counterAction, {[](HWND dialog) { ClickAt(dialog, DrawnCentre(dialog, Kn1)); },
                        [](HWND dialog) { ClickAt(dialog, DrawnCentre(dialog, Kn3)); },
                        [](HWND dialog) {
                            EXPECT_EQ(WindowTextW(Find(dialog, "LEdit2")), L"Counter");
                            SendMessageW(dialog, WM_CLOSE, 0, 0);
                        }});
    KillTimer(nullptr, closer);
    EXPECT_TRUE(closedBoxes.empty());
    EXPECT_TRUE(interfaceRequests.empty());
}

TEST_F(DialogTest, PictureButtonsAskTheHostAndKeepTheRulesOfItsStrings) {
    RegisterInterfaceAccess();
    interfaceAnswer = [](std::int32_t request,
                         const std::string& asked) -> std::optional<std::string> {
        if (request == RequestPickVariable && asked == "Counter") {
            return std::nullopt;
        }
        return request == RequestSubroutineList ? "Count\r\nReached" : "Picked" + asked;
    };
    const UINT_PTR closer = SetTimer(nullptr, 0, 30, &CloseMessageBoxes);
    ASSERT_TRUE(Run(counterAction, {[](HWND dialog) { ClickAt(dialog, DrawnCentre(dialog, Kn1)); },
                                    [](HWND dialog) { ClickAt(dialog, DrawnCentre(dialog, Kn2)); },
                                    [](HWND dialog) { ClickAt(dialog, DrawnCentre(dialog, Kn3)); },
                                    [](HWND) {}, [](HWND dialog) { ok(dialog); }}));
    KillTimer(nullptr, closer);
    EXPECT_EQ(interfaceRequests, (std::vector<std::int32_t>{14, 14, 5}));
    EXPECT_EQ(interfaceTexts, (std::vector<std::string>{"Counter", "10", "Count"}));
    EXPECT_EQ(Texts()[1], "Counter"); // declined: unchanged
    EXPECT_EQ(Texts()[3], "Picked10");
    EXPECT_EQ(Texts()[4], "Count"); // the list never changes the field
    ASSERT_EQ(closedBoxes.size(), 1u);
    EXPECT_EQ(closedBoxes[0].caption, L"Information");
    EXPECT_EQ(closedBoxes[0].text, L"Список подпрограмм\r\rCount\r\nReached");
}

TEST_F(DialogTest, AnEmptyOrDeclinedSubroutineListSaysThereAreNone) {
    RegisterInterfaceAccess();
    for (const bool answer : {true, false}) {
        interfaceAnswer = [answer](std::int32_t, const std::string&) -> std::optional<std::string> {
            return answer ? std::optional<std::string>("") : std::nullopt;
        };
        closedBoxes.clear();
        const UINT_PTR closer = SetTimer(nullptr, 0, 30, &CloseMessageBoxes);
        Run(counterAction,
            {[](HWND dialog) { ClickAt(dialog, DrawnCentre(dialog, Kn3)); }, [](HWND) {},
             [](HWND dialog) { SendMessageW(dialog, WM_CLOSE, 0, 0); }});
        KillTimer(nullptr, closer);
        ASSERT_EQ(closedBoxes.size(), 1u) << answer;
        EXPECT_EQ(closedBoxes[0].text, L"Подпрограммы отсутствуют") << answer;
    }
}

TEST_F(DialogTest, TheLinkOpensTheProjectsAddressWithTheDialogAsOwner) {
    ShellCalls().clear();
    const ImportPatch fake = PatchImport(host->Module(), "SHELL32.dll", "ShellExecuteA",
                                         reinterpret_cast<void*>(&RecordShellCall));
    ASSERT_TRUE(fake) << fake.error;
    Run(counterAction,
        {[](HWND dialog) { ClickAt(dialog, DrawnCentre(dialog, L"vigrel.example.org")); },
         [](HWND dialog) { SendMessageW(dialog, WM_CLOSE, 0, 0); }});
    PatchImport(host->Module(), "SHELL32.dll", "ShellExecuteA", fake.previous);
    ASSERT_EQ(ShellCalls().size(), 1u);
    EXPECT_EQ(ShellCalls()[0].window, openDialog);
    EXPECT_EQ(ShellCalls()[0].operation, "Open");
    EXPECT_EQ(ShellCalls()[0].file, "http://vigrel.example.org");
    EXPECT_TRUE(ShellCalls()[0].noParameters);
    EXPECT_TRUE(ShellCalls()[0].noDirectory);
    EXPECT_EQ(ShellCalls()[0].show, SW_SHOWNORMAL);
}

TEST_F(DialogTest, MonitorsKeepTickingWhileTheDialogIsOpen) {
    ASSERT_TRUE(
        host->ExecAction(MonitorActionNumber, {"Tick", "V", "=", "x", "Sub", "true", "true"}));
    std::uint64_t readsBefore = 0;
    std::vector<std::function<void(HWND)>> script{[&](HWND) { readsBefore = host->Reads(); }};
    for (int i = 0; i < 15; ++i) {
        script.push_back([](HWND) {});
    }
    script.push_back([&](HWND dialog) {
        EXPECT_GE(host->Reads() - readsBefore, 3u);
        SendMessageW(dialog, WM_CLOSE, 0, 0);
    });
    Run(counterAction, script);
}

TEST_F(DialogTest, ASecondCallWhileTheDialogIsOpenGivesFalseAndTouchesNothing) {
    Run(counterAction, {[&](HWND dialog) {
            Slots inner(7);
            inner[0] = "a";
            inner[2] = "b";
            EXPECT_FALSE(host->EditAction(MonitorActionNumber, inner));
            EXPECT_EQ(host->Faults(), std::vector<std::string>{}) << "the second call wrote a slot";
            SendMessageW(dialog, WM_CLOSE, 0, 0);
        }});
}

// Fails every allocation from the given count on.
int allocationsLeft = -1;
void* realGlobalAlloc = nullptr;
HGLOBAL WINAPI FailingGlobalAlloc(UINT flags, SIZE_T size) {
    if (allocationsLeft == 0) {
        return nullptr;
    }
    --allocationsLeft;
    return reinterpret_cast<decltype(&GlobalAlloc)>(realGlobalAlloc)(flags, size);
}

TEST_F(DialogTest, AFailureWhileWritingBackReachesTheHostAsFalse) {
    const ImportPatch failing = PatchImport(host->Module(), "KERNEL32.dll", "GlobalAlloc",
                                            reinterpret_cast<void*>(&FailingGlobalAlloc));
    ASSERT_TRUE(failing) << failing.error;
    realGlobalAlloc = failing.previous;
    allocationsLeft = -1;
    const bool result = Run(counterAction, {[](HWND dialog) {
                                allocationsLeft = 2; // the name and the variable have their
                                                     // blocks, the condition's fails
                                ok(dialog);
                            }});
    PatchImport(host->Module(), "KERNEL32.dll", "GlobalAlloc", realGlobalAlloc);
    EXPECT_FALSE(result);
    EXPECT_EQ(ShownPlugInForm(), nullptr);
    // No slot changes unless all do: the host finds every slot as it gave it.
    EXPECT_EQ(host->Faults(), std::vector<std::string>{});
    // The dialog is gone for good: the next call opens a new one.
    EXPECT_TRUE(Run(counterAction, {ok}));
}

TEST_F(DialogTest, OpensFiftyTimesAndAgainAfterAReloadWithoutGrowing) {
    Run(counterAction, {[](HWND dialog) { SendMessageW(dialog, WM_CLOSE, 0, 0); }});
    const DWORD gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    const DWORD user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    for (int i = 0; i < 50; ++i) {
        EXPECT_FALSE(Run(counterAction, {[](HWND dialog) { Click(dialog, "ButtonCancel50"); }}));
    }
    EXPECT_LE(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), gdi);
    EXPECT_LE(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), user);
    LoadHost();
    EXPECT_TRUE(Run(counterAction, {ok}));
}

} // namespace
} // namespace vigrel::test
