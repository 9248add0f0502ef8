#include "components/LinkLabel.h"

#include "ui/Errors.h"
#include "ui/Form.h"
#include "ui/Published.h"
#include "ui/WideText.h"

#include <objbase.h>
#include <shellapi.h>

#include <array>
#include <string_view>

namespace vigrel {
namespace {

constexpr std::array<std::string_view, 9> Prefixes = {
    "file://", "ftp://", "gopher://", "http://", "https://", "mailto:", "news:", "telnet:", "wais:",
};

TShellExecute& ShellCall() {
    static TShellExecute call = &ShellExecuteA;
    return call;
}

// The shell may hand an address to extensions that are COM objects, so it asks for a
// single-threaded apartment on the calling thread: one is entered for the call and left after it.
// A thread already in an apartment of the other kind keeps it, and the call is made in that one.
class ShellApartment {
public:
    ShellApartment()
        : entered_(SUCCEEDED(
              CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
    ~ShellApartment() {
        if (entered_) {
            CoUninitialize();
        }
    }
    ShellApartment(const ShellApartment&) = delete;
    ShellApartment& operator=(const ShellApartment&) = delete;

private:
    bool entered_;
};

} // namespace

TShellExecute ReplaceLinkShellExecute(TShellExecute call) {
    const TShellExecute previous = ShellCall();
    ShellCall() = call != nullptr ? call : &ShellExecuteA;
    return previous;
}

TLinkLabel::TLinkLabel(TComponent* owner) {
    if (owner != nullptr) {
        auto* form = dynamic_cast<TForm*>(owner);
        if (form == nullptr) {
            throw EInvalidCast("a link label is placed on its owner, which must be a form: " +
                               owner->Name() + " is a " + owner->ClassType().Name());
        }
        SetParent(form);
    }
    // The press opens the link and is over: nothing waits for the release.
    SetCapturesMouse(false);
    Font().SetStyle(fsUnderline);
    Font().SetColor(clBlue);
    SetCursor(TCursor::crHandPoint);
    SetCaption("");
}

const ClassInfo& TLinkLabel::StaticClass() {
    static const ClassInfo info =
        ClassBuilder<TLinkLabel>("TLinkLabel", TLabel::StaticClass())
            .Default("Cursor", static_cast<std::int64_t>(TCursor::crHandPoint))
            .Enumeration("LinkType", &TLinkLabel::LinkType, &TLinkLabel::SetLinkType,
                         tLinkType::lthttp,
                         VIGREL_ENUM_NAMES(tLinkType, ltfile, ltftp, ltgopher, lthttp, lthttps,
                                           ltmailto, ltnews, lttelnet, ltwais))
            .Text("HyperLink", &TLinkLabel::HyperLink, &TLinkLabel::SetHyperLink)
            .CreatedWithOwner();
    return info;
}

void TLinkLabel::SetLinkType(tLinkType linkType) {
    // The caption never shows the prefix: nothing to repaint.
    linkType_ = linkType;
}

void TLinkLabel::SetHyperLink(std::string hyperLink) {
    hyperLink_ = std::move(hyperLink);
    if (Caption().empty()) {
        SetCaption(hyperLink_);
    }
}

void TLinkLabel::OpenLink() {
    std::string address(Prefixes.at(static_cast<std::size_t>(linkType_)));
    address += hyperLink_;
    const std::string ansi = ToCodePage(address, CP_ACP);
    TWinControl* parent = Parent();
    const HWND window = parent != nullptr && parent->HandleAllocated() ? parent->Handle() : nullptr;
    const ShellApartment apartment;
    ShellCall()(window, "Open", ansi.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void TLinkLabel::WndProc(TMessage& message) {
    if (message.Msg == WM_LBUTTONDOWN || message.Msg == CM_DEFAULTACTION) {
        OpenLink();
        message.Result = 0;
        return;
    }
    TLabel::WndProc(message);
}

} // namespace vigrel
