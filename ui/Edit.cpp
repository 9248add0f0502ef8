#include "ui/Edit.h"

#include "ui/Published.h"

namespace vigrel {
namespace {

// The etched bevel of a tiled edit box: a line of shadow above a line of highlight.
constexpr int TiledBevel = 2;

} // namespace

TEdit::TEdit() {
    SetTabStop(true);
    SetColor(clWindow);
    SetCursor(TCursor::crIBeam);
}

const ClassInfo& TEdit::StaticClass() {
    static const ClassInfo info =
        ClassBuilder<TEdit>("TEdit", TWinControl::StaticClass())
            .Text("Text", &TEdit::Text, &TEdit::SetText)
            .Enumeration("Border", &TEdit::Border, &TEdit::SetBorder, TEditBorder::ebSunken,
                         VIGREL_ENUM_NAMES(TEditBorder, ebSunken, ebTiled))
            .Default("TabStop", std::int64_t{1})
            .Default("Color", std::int64_t{clWindow})
            .Default("Cursor", std::int64_t{static_cast<int>(TCursor::crIBeam)});
    return info;
}

void TEdit::SetBorder(TEditBorder border) {
    if (border != border_) {
        border_ = border;
        if (HandleAllocated()) {
            FrameChanged();
        }
    }
}

void TEdit::FrameChanged() {
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TEdit::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = L"EDIT";
    params.SystemClass = true;
    params.Style =
        (params.Style & ~WS_CLIPCHILDREN) | ES_LEFT | ES_AUTOHSCROLL | (TabStop() ? WS_TABSTOP : 0);
    if (border_ == TEditBorder::ebSunken) {
        params.ExStyle |= WS_EX_CLIENTEDGE;
    }
}

void TEdit::CreateWnd() {
    TWinControl::CreateWnd();
    // No limit but the system's: a host text of any length is shown and read back whole.
    SendMessageW(Handle(), EM_SETLIMITTEXT, 0, 0);
    // The window measured its frame before the tiled bevel could ask for room: measure again.
    if (border_ == TEditBorder::ebTiled) {
        FrameChanged();
    }
}

void TEdit::WndProc(TMessage& message) {
    if ((message.Msg == WM_KEYDOWN || message.Msg == WM_SYSKEYDOWN) && OnKeyDown) {
        auto key = static_cast<WORD>(message.WParam);
        OnKeyDown(*this, key, (HIWORD(message.LParam) & KF_ALTDOWN) != 0);
        if (key == 0) {
            message.Result = 0;
            return;
        }
    }
    if (border_ == TEditBorder::ebTiled) {
        switch (message.Msg) {
        case WM_NCCALCSIZE: {
            DefaultHandler(message);
            auto& client = *reinterpret_cast<RECT*>(message.LParam);
            InflateRect(&client, -TiledBevel, -TiledBevel);
            return;
        }
        case WM_NCPAINT: {
            DefaultHandler(message);
            const HWND window = Handle();
            const HDC dc = GetWindowDC(window);
            RECT frame;
            GetWindowRect(window, &frame);
            OffsetRect(&frame, -frame.left, -frame.top);
            DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
            ReleaseDC(window, dc);
            message.Result = 0;
            return;
        }
        default:
            break;
        }
    }
    TWinControl::WndProc(message);
}

TBoundLabel::TBoundLabel(TLabeledEdit& edit) : edit_(edit) {
    SetTransparent(true);
}

const ClassInfo& TBoundLabel::StaticClass() {
    static const ClassInfo info = ClassBuilder<TBoundLabel>("TBoundLabel", TLabel::StaticClass())
                                      .Default("Transparent", std::int64_t{1});
    return info;
}

void TBoundLabel::AdjustBounds() {
    TLabel::AdjustBounds();
    edit_.PlaceLabel();
}

void TBoundLabel::WndProc(TMessage& message) {
    TLabel::WndProc(message);
    if (message.Msg == CM_TEXTCHANGED) {
        edit_.SetAccessibleCaption(Caption());
    }
}

TLabeledEdit::TLabeledEdit() : EditLabel(*this) {
    SetBorder(TEditBorder::ebTiled);
}

const ClassInfo& TLabeledEdit::StaticClass() {
    static const ClassInfo info =
        ClassBuilder<TLabeledEdit>("TLabeledEdit", TEdit::StaticClass())
            .Default("Border", std::int64_t{static_cast<int>(TEditBorder::ebTiled)})
            .Record("EditLabel", &TLabeledEdit::EditLabel);
    return info;
}

void TLabeledEdit::PlaceLabel() {
    EditLabel.SetBounds(Left(), Top() - EditLabel.Height() - LabelSpacing, EditLabel.Width(),
                        EditLabel.Height());
}

void TLabeledEdit::SetBounds(int left, int top, int width, int height) {
    TEdit::SetBounds(left, top, width, height);
    PlaceLabel();
}

void TLabeledEdit::SetParent(ControlParent* parent) {
    TEdit::SetParent(parent);
    EditLabel.SetParent(parent);
    PlaceLabel();
}

void TLabeledEdit::SetVisible(bool visible) {
    TEdit::SetVisible(visible);
    EditLabel.SetVisible(visible);
}

} // namespace vigrel
