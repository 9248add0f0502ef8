// TLinkLabel: a label that looks like a web link (blue, underlined, the hand pointer) and, when
// the left button is pressed on it or a screen reader asks for its default action, asks the shell
// to open its scheme prefix followed by HyperLink. The press is the link's alone: it raises no
// click and does not capture the mouse; every other mouse message, the double click included, is
// the label's ordinary handling.
#pragma once

#include "ui/Label.h"

#include <windows.h>

#include <cstdint>
#include <string>

namespace vigrel {

// The scheme put in front of HyperLink, in ordinal order: "file://", "ftp://", "gopher://",
// "http://", "https://", "mailto:", "news:", "telnet:", "wais:".
enum class tLinkType : std::uint8_t {
    ltfile,
    ltftp,
    ltgopher,
    lthttp,
    lthttps,
    ltmailto,
    ltnews,
    lttelnet,
    ltwais,
};

// The shell call a press makes, with ShellExecuteA's arguments and result.
using TShellExecute = HINSTANCE(WINAPI*)(HWND window, LPCSTR operation, LPCSTR file,
                                         LPCSTR parameters, LPCSTR directory, INT show);

// Puts `call` in place of the shell call of every link label and gives the previous one back;
// null puts ShellExecuteA back. Tests use it so that nothing is ever launched.
TShellExecute ReplaceLinkShellExecute(TShellExecute call);

class TLinkLabel : public TLabel {
public:
    // `owner` is the component that is to own the label (form.CreateComponent<TLinkLabel>(&form)):
    // the label is placed on it, so it must be a form; any other owner throws EInvalidCast. With
    // no owner the label gets no parent.
    explicit TLinkLabel(TComponent* owner);

    VIGREL_PUBLISHED_CLASS();

    tLinkType LinkType() const { return linkType_; }
    void SetLinkType(tLinkType linkType);
    // The address without its scheme (UTF-8). Setting it also sets an empty caption to it; a
    // caption that is not empty stays.
    const std::string& HyperLink() const { return hyperLink_; }
    void SetHyperLink(std::string hyperLink);

    TAccessibleRole AccessibleRole() const override { return TAccessibleRole::arLink; }
    bool HasDefaultAction() const override { return true; }

protected:
    void WndProc(TMessage& message) override;
    // Under high contrast a link takes the system's colour for links.
    TColor HighContrastTextColor() const override { return clHotLight; }

private:
    // Opens the prefix followed by HyperLink, in the ANSI code page, inside the COM apartment the
    // shell asks for; a failure passes silently.
    void OpenLink();

    tLinkType linkType_ = tLinkType::lthttp;
    std::string hyperLink_;
};

} // namespace vigrel
