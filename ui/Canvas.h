// A drawing surface over a device context it does not own. The canvas keeps a pen and a brush
// description and creates and selects the GDI objects when a drawing call needs them. Its state
// (objects, clip region, origin) can be saved and restored in nested levels; whatever the canvas
// changed in the device context is undone when it is destroyed.
#pragma once

#include "ui/Bitmap.h"
#include "ui/Graphics.h"

#include <windows.h>

#include <vector>

namespace vigrel {

struct TPenSpec {
    TColor color = clBlack;
    int width = 1;
    int style = PS_SOLID;
};

enum class TBrushStyle : std::uint8_t { bsSolid, bsClear };

struct TBrushSpec {
    TColor color = clWhite;
    TBrushStyle style = TBrushStyle::bsSolid;
};

class TCanvas {
public:
    explicit TCanvas(HDC dc);
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;
    ~TCanvas();

    HDC Handle() const { return dc_; }

    const TPenSpec& Pen() const { return pen_; }
    void SetPen(const TPenSpec& pen);
    const TBrushSpec& Brush() const { return brush_; }
    void SetBrush(const TBrushSpec& brush);

    // Outlines with the pen, filled with the brush, in logical coordinates.
    void Rectangle(const RECT& rect);
    void RoundRect(const RECT& rect, int cornerWidth, int cornerHeight);
    void Ellipse(const RECT& rect);
    // Fills with `color`, whatever the brush.
    void FillRect(const RECT& rect, TColor color);
    // Stretches the whole of `bitmap` over `target`, never tiling. On displays of more than 8 bits
    // per pixel whole source pixels are repeated or dropped, never blended; on palette displays
    // the system's halftone filter keeps the colours close.
    void StretchDraw(const RECT& target, const TBitmap& bitmap);

    POINT WindowOrigin() const;
    // Moves the origin of the logical coordinates to (x, y) of the current ones.
    void MoveOrigin(int x, int y);
    void IntersectClip(const RECT& rect);
    void ExcludeClip(const RECT& rect);
    // Narrows the clip region to its intersection with `region` (in device coordinates).
    void IntersectClip(HRGN region);
    // True when part of `rect` lies inside the clip region.
    bool RectVisible(const RECT& rect) const;

    // Saves the whole state; RestoreState brings back the latest saved one. They come in pairs; a
    // RestoreState without a SaveState does nothing.
    void SaveState();
    void RestoreState();

    // Saves the canvas state and restores it when dropped.
    class SavedState {
    public:
        explicit SavedState(TCanvas& canvas) : canvas_(canvas) { canvas_.SaveState(); }
        SavedState(const SavedState&) = delete;
        SavedState& operator=(const SavedState&) = delete;
        ~SavedState() { canvas_.RestoreState(); }

    private:
        TCanvas& canvas_;
    };

private:
    struct Level {
        int savedDC;
        TPenSpec pen;
        TBrushSpec brush;
        bool penSelected;
        bool brushSelected;
        std::size_t objects; // objects_ created before this level
        std::size_t penIndex;
        std::size_t brushIndex;
    };

    void RequirePen();
    void RequireBrush();
    // Selects `handle`, keeping `owned` (its owner, empty for a stock object) until the level it
    // was made at ends. The object of the same kind that `current` names goes at once when it was
    // made at the current level: no saved state holds it.
    void Select(HGDIOBJ handle, OwnedGdiObject owned, std::size_t& current);

    HDC dc_; // not owned
    TPenSpec pen_;
    TBrushSpec brush_;
    bool penSelected_ = false;
    bool brushSelected_ = false;
    std::size_t penIndex_ = SIZE_MAX;   // in objects_, or none
    std::size_t brushIndex_ = SIZE_MAX; // in objects_, or none
    std::vector<OwnedGdiObject> objects_;
    std::vector<Level> levels_; // levels_[0] is the state the canvas found
};

} // namespace vigrel
