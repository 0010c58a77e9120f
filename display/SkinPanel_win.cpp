#include "display/SkinPanel_win.h"

#include "common/Twips.h"
#include "display/MainTextWindow_win.h"
#include "display/SkinLayout.h"

#include <gdiplus.h>

#include <memory>
#include <string>

namespace plumwick {

namespace {

// True when `upper` lies above `lower` in the stacking order of the top-level windows.
bool IsAbove(HWND upper, HWND lower) {
    for (HWND w = GetWindow(lower, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV)) {
        if (w == upper) {
            return true;
        }
    }
    return false;
}

// A skin image, or nothing when the file is missing or not a picture.
std::unique_ptr<Gdiplus::Bitmap> LoadSkinImage(const std::wstring& path) {
    std::unique_ptr<Gdiplus::Bitmap> image(Gdiplus::Bitmap::FromFile(path.c_str()));
    if (!image || image->GetLastStatus() != Gdiplus::Ok || image->GetWidth() == 0 ||
        image->GetHeight() == 0) {
        return nullptr;
    }
    return image;
}

// Scales the whole image into the piece's rectangle. The edges are mirrored rather than faded into
// transparency, so a stretched piece keeps its border pixels solid where it meets the next one.
void DrawPiece(Gdiplus::Graphics& graphics, Gdiplus::Bitmap* image, const SkinPiece& piece,
               const Gdiplus::ImageAttributes& attributes) {
    if (!image || piece.width <= 0 || piece.height <= 0) {
        return;
    }
    const auto width = static_cast<INT>(piece.width);
    const auto height = static_cast<INT>(piece.height);
    if (image->GetWidth() == static_cast<UINT>(width) && image->GetHeight() == static_cast<UINT>(height)) {
        graphics.DrawImage(image, static_cast<INT>(piece.x), static_cast<INT>(piece.y), width, height);
        return;
    }
    // Scaled on its own, at the origin, then copied onto whole pixels at its place: scaled straight to a
    // place inside the panel, a piece lost its first column (the see-through seam left of the right cap at
    // 150 %).
    Gdiplus::Bitmap scaled(width, height, PixelFormat32bppPARGB);
    {
        Gdiplus::Graphics scaler(&scaled);
        scaler.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
        scaler.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
        scaler.DrawImage(
            image,
            Gdiplus::RectF(0.0f, 0.0f, static_cast<Gdiplus::REAL>(width), static_cast<Gdiplus::REAL>(height)),
            0.0f, 0.0f, static_cast<Gdiplus::REAL>(image->GetWidth()),
            static_cast<Gdiplus::REAL>(image->GetHeight()), Gdiplus::UnitPixel, &attributes);
    }
    graphics.DrawImage(&scaled, static_cast<INT>(piece.x), static_cast<INT>(piece.y), width, height);
}

} // namespace

SkinPanel::SkinPanel(const Look& look, DisplayGroup& group, std::wstring skinFolder)
    : look_(look), group_(group), skinFolder_(std::move(skinFolder)), drag_(group) {}

SkinPanel::~SkinPanel() {
    // The window goes first (its timers with it), then the image, then GDI+.
    Destroy();
    surface_.Release();
    gdiplus_.reset();
}

bool SkinPanel::Create() {
    win::WindowClass cls{L"PlumwickSkinPanel"};
    if (!win::Window::Create(cls, WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST, WS_POPUP, L"FrmBack", 0,
                             0, kDesignWidthTwips / kTwipsPerPixel, kHeightTwips / kTwipsPerPixel, nullptr)) {
        return false;
    }
    gdiplus_.emplace();
    if (!gdiplus_->ok()) {
        win::CriticalMessage(L"Fehler bem laden von GDI+!", L"plumwick");
        gdiplus_.reset();
        Destroy();
        return false;
    }
    SetTimer(Handle(), kHoverTimer, kHoverIntervalMs, nullptr);
    SetTimer(Handle(), kTrimTimer, kTrimIntervalMs, nullptr);
    DrawSkin(); // raises the panel into the topmost band
    return true;
}

void SkinPanel::PlaceBelowText(int mainTopTwips) {
    StackBelowText();
    MoveTwips(0, PanelTopTwips(mainTopTwips, HeightTwips(), look_.FontSize()));
}

void SkinPanel::PlaceAt(const RECT& rect) {
    if (!Handle()) {
        return;
    }
    RECT now{};
    GetWindowRect(Handle(), &now);
    bool widthChanged = monitorWidthPx_ != rect.right - rect.left || now.right - now.left != monitorWidthPx_;
    monitorLeftPx_ = rect.left;
    monitorWidthPx_ = rect.right - rect.left;
    SetWindowPos(Handle(), nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    if (widthChanged) {
        DrawSkin();
    }
}

void SkinPanel::OnDpiChanged(const RECT&) {
    DrawSkin();
    // Back below the text windows' start-up place, which they take again at the new DPI.
    int mainTop = MainWindowTopTwips(win::ScreenHeightTwips(Scale()), MainTextWindow::kDesignHeightTwips,
                                     win::TaskbarHeightTwips(Scale()));
    PlaceBelowText(mainTop);
    group_.PlaceAgain(Scale().Dpi());
}

void SkinPanel::DrawSkin() {
    std::wstring leftPath = skinFolder_ + L"left.png";
    std::wstring midPath = skinFolder_ + L"mid.png";
    std::wstring rightPath = skinFolder_ + L"right.png";

    // As wide as the display's monitor, in the design twips the pieces are laid out in.
    int widthPx = monitorWidthPx_ > 0 ? monitorWidthPx_ : TwipsToPixels(win::ScreenWidthTwips(Scale()));
    int screenWidthTwips = PixelsToTwips(widthPx);
    RECT now{};
    GetWindowRect(Handle(), &now);
    SetWindowPos(Handle(), nullptr, monitorLeftPx_, now.top, widthPx, TwipsToPixels(kHeightTwips),
                 SWP_NOZORDER | SWP_NOACTIVATE);

    {
        win::WindowDc screen(Handle());
        if (!surface_.Create(screen.get(), ClientWidthPx(), ClientHeightPx())) {
            return;
        }
    }
    {
        // A GDI+ bitmap over the DIB's own pixels, premultiplied as the layered window wants them; the
        // PNGs' straight alpha is converted on drawing.
        Gdiplus::Bitmap canvas(surface_.width(), surface_.height(), surface_.width() * 4,
                               PixelFormat32bppPARGB, reinterpret_cast<BYTE*>(surface_.pixels()));
        Gdiplus::Graphics graphics(&canvas);
        // The pieces are laid out in design pixels and drawn on whole device pixels (DeviceSkinLayout).
        graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
        graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
        Gdiplus::ImageAttributes attributes;
        attributes.SetWrapMode(Gdiplus::WrapModeTileFlipXY);

        std::unique_ptr<Gdiplus::Bitmap> left = LoadSkinImage(leftPath);
        std::unique_ptr<Gdiplus::Bitmap> middle = LoadSkinImage(midPath);
        std::unique_ptr<Gdiplus::Bitmap> right = LoadSkinImage(rightPath);

        // Every piece takes its size from the left cap; without it there is nothing to size them by.
        int leftWidth = left ? static_cast<int>(left->GetWidth()) : 0;
        int leftHeight = left ? static_cast<int>(left->GetHeight()) : 0;
        SkinLayout layout =
            DeviceSkinLayout(ComputeSkinLayout(leftWidth, leftHeight, screenWidthTwips), Scale(), widthPx);
        DrawPiece(graphics, left.get(), layout.left, attributes);
        DrawPiece(graphics, middle.get(), layout.middle, attributes);
        DrawPiece(graphics, right.get(), layout.right, attributes);
        graphics.Flush(Gdiplus::FlushIntentionSync);
    }
    win::AddLayeredStyle(Handle());
    win::MakeTopmost(Handle());
    surface_.Present(Handle());
}

void SkinPanel::OnHoverWatch() {
    POINT cursor{};
    HWND under = GetCursorPos(&cursor) ? WindowFromPoint(cursor) : nullptr;
    if (under && (under == Handle() || group_.PartOfDisplay(under))) {
        // The text windows hide and show themselves while the panel is up; keep it below them.
        std::vector<HWND> above = group_.WindowsAbovePanel();
        if (IsVisible() && !above.empty() && IsAbove(Handle(), above.front())) {
            StackBelowText();
        }
        return;
    }
    Hide();
    group_.PointerLeft();
}

void SkinPanel::OnTrimWorkingSet() {
    SetProcessWorkingSetSize(GetCurrentProcess(), static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1));
}

void SkinPanel::OnTimer(UINT_PTR id) {
    switch (id) {
    case kHoverTimer:
        OnHoverWatch();
        break;
    case kTrimTimer:
        OnTrimWorkingSet();
        break;
    default:
        break;
    }
}

void SkinPanel::OnMouseMove(int x, int y) {
    std::optional<DragTracker::Way> way = drag_.Moved(x, y);
    if (!way) {
        group_.AlignKaraokeOverMain();
        return;
    }
    // The panel only moves up and down.
    group_.Drag(DragSource::Panel, 0, way->dy);
}

void SkinPanel::OnWindowPosChanged(const WINDOWPOS& pos) {
    if (pos.flags & SWP_SHOWWINDOW) {
        StackBelowText();
    }
}

void SkinPanel::StackBelowText() {
    std::vector<HWND> above = group_.WindowsAbovePanel();
    if (above.empty() || restacking_) {
        return;
    }
    // Showing the panel puts it on top of everything, and showing or raising an owner does not always
    // carry the windows it owns along above it (nor does every window system restack below a given
    // window), so the windows that belong above the panel are raised after it, the lowest first.
    restacking_ = true;
    for (HWND window : above) {
        if (!IsWindowVisible(window)) {
            continue;
        }
        SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    restacking_ = false;
}

void SkinPanel::OnDestroy() {
    KillTimer(Handle(), kHoverTimer);
    KillTimer(Handle(), kTrimTimer);
}

LRESULT SkinPanel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        drag_.Press(Handle(), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
    case WM_CAPTURECHANGED:
        drag_.Release(Handle());
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_TIMER:
        OnTimer(static_cast<UINT_PTR>(wParam));
        return 0;
    case WM_MOUSEACTIVATE:
    case WM_PAINT:
        return win::LayeredDisplayMessage(Handle(), message);
    case WM_WINDOWPOSCHANGED:
        OnWindowPosChanged(*reinterpret_cast<const WINDOWPOS*>(lParam));
        break;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    default:
        break;
    }
    return Default(message, wParam, lParam);
}

} // namespace plumwick
