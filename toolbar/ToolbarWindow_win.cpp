#include "toolbar/ToolbarWindow_win.h"

#include "rotation/ShowHistory.h"
#include "store/SettingsFile.h"
#include "toolbar/ButtonClicks.h"
#include "toolbar/PictureResources.h"
#include "toolbar/ToolbarLayout.h"
#include "win32/Strings_win.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cwchar>

namespace plumwick {

namespace {

constexpr COLORREF kMagenta = RGB(255, 0, 255);
static_assert(kMagenta == kToolbarColorKey);
static_assert(kHistoryBoxFlags == (MB_OKCANCEL | MB_ICONINFORMATION | MB_DEFBUTTON2));

std::wstring WideAscii(std::string_view ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

// Where a control lies on the strip as shown, in the device pixels of `scale`.
RECT ControlRect(const ControlLayout& control, const ButtonPictures& pictures, const DpiScale& scale) {
    PixelSize size{control.width, control.height};
    if (control.button) {
        size = PictureSize(*control.button, pictures.Get(*control.button));
    }
    return RECT{scale.Pixels(control.x), scale.Pixels(control.y), scale.Pixels(control.x + size.width),
                scale.Pixels(control.y + size.height)};
}

} // namespace

// --- Pic ------------------------------------------------------------------------------------------

bool ToolbarWindow::Strip::Create(HWND parent) {
    win::WindowClass cls{L"PlumwickToolbarPic"};
    cls.style = CS_DBLCLKS;
    return win::Window::Create(cls, 0, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, L"Pic", 0, 0, kStripWidthPx,
                               kStripHeightPx, parent);
}

LRESULT ToolbarWindow::Strip::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return owner_.OnStripMessage(message, wParam, lParam);
}

// --- FrmSet ---------------------------------------------------------------------------------------

ToolbarWindow::ToolbarWindow(Look& look, ToolbarHost& host, RotationSteering& rotation)
    : look_(look), host_(host), rotation_(rotation), pic_(*this) {}

ToolbarWindow::~ToolbarWindow() {
    // The strip and the tooltip go with this window; the bitmaps after them (members die last).
    Destroy();
}

bool ToolbarWindow::Create(HWND panel, int panelTopTwips) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    background_.reset(CreateSolidBrush(kMagenta));
    win::WindowClass cls{L"PlumwickToolbar"};
    if (!win::Window::Create(cls, WS_EX_TOOLWINDOW | WS_EX_TOPMOST, WS_POPUP | WS_CLIPCHILDREN, L"FrmSet", 0,
                             0, kToolbarWindowWidthPx, kToolbarWindowHeightPx, nullptr)) {
        return false;
    }
    LoadPictures();
    pic_.Create(Handle());
    SizeForDpi();
    CreateTooltips();

    ToolbarPlacement place =
        PlaceToolbar(static_cast<float>(win::ScreenWidthTwips(Scale())), static_cast<float>(panelTopTwips));
    MoveTwips(place.leftTwips, place.topTwips);
    // Owned by the panel, so it always floats above the panel it straddles, whichever was shown last.
    if (panel && panel != Handle()) {
        SetWindowLongPtrW(Handle(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(panel));
    }
    SetOwnFont(look_.FontName(), look_.FontSize());
    pictures_.SetChosenScheme(look_.ColorScheme());

    LONG_PTR exStyle = GetWindowLongPtrW(Handle(), GWL_EXSTYLE);
    SetWindowLongPtrW(Handle(), GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
    SetLayeredWindowAttributes(Handle(), kMagenta, 0, LWA_COLORKEY);
    SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return true;
}

void ToolbarWindow::SizeForDpi() {
    const DpiScale& scale = Scale();
    SetWindowPos(Handle(), nullptr, 0, 0, scale.Pixels(kToolbarWindowWidthPx),
                 scale.Pixels(kToolbarWindowHeightPx), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (pic_.Exists()) {
        SetWindowPos(pic_.Handle(), nullptr, 0, 0, scale.Pixels(kStripWidthPx), scale.Pixels(kStripHeightPx),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void ToolbarWindow::OnDpiChanged(const RECT&) {
    SizeForDpi();
    if (PictureSetDpi(Scale().Dpi()) != pictureDpi_) {
        LoadPictures();
    }
    // Back across the panel's top edge, where the panel has gone at the new DPI.
    RECT owner{};
    if (HWND panel = GetWindow(Handle(), GW_OWNER); panel && GetWindowRect(panel, &owner)) {
        // Centred on the panel, which spans the display's monitor (not always the primary one).
        ToolbarPlacement place = PlaceToolbar(static_cast<float>(PixelsToTwips(owner.right - owner.left)),
                                              static_cast<float>(PixelsToTwips(owner.top)));
        MoveTwips(place.leftTwips + PixelsToTwips(owner.left), place.topTwips);
    }
    PicturesChanged();
}

void ToolbarWindow::LoadPictures() {
    pictureDpi_ = PictureSetDpi(Scale().Dpi());
    bitmaps_.clear();
    auto load = [this](std::string_view name) {
        if (bitmaps_.count(name)) {
            return;
        }
        std::wstring wide = WideAscii(PictureResourceAt(name, pictureDpi_));
        // A missing picture leaves its control blank; the button still works.
        auto bitmap = static_cast<HBITMAP>(
            LoadImageW(win::ModuleInstance(), wide.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        if (bitmap) {
            bitmaps_.emplace(name, win::UniqueBitmap(bitmap));
        }
    };
    load(kStripResource);
    load(kHintResource);
    load(kSeparatorResource);
    for (const ControlLayout& control : ToolbarControls()) {
        if (control.button) {
            for (Picture picture : {Picture::Initial, Picture::Normal, Picture::Hover, Picture::Pressed}) {
                for (PictureLook look : {PictureLook::Plain, PictureLook::Chosen, PictureLook::Running}) {
                    load(PictureResource(*control.button, picture, look));
                }
            }
        }
    }
}

HBITMAP ToolbarWindow::Bitmap(std::string_view resource) const {
    auto found = bitmaps_.find(resource);
    return found == bitmaps_.end() ? nullptr : found->second.get();
}

void ToolbarWindow::CreateTooltips() {
    if (!pic_.Exists()) {
        return;
    }
    // Always-tip: the toolbar is never the active window.
    tooltip_ = CreateWindowExW(
        WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr, win::ModuleInstance(), nullptr);
    if (!tooltip_) {
        return;
    }
    win::GuardControl(tooltip_);
    auto controls = ToolbarControls();
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (controls[i].tooltip.empty()) {
            continue;
        }
        std::wstring text = win::ToWide(controls[i].tooltip);
        TTTOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE; // also accepted by the older common controls
        tool.uFlags = TTF_SUBCLASS;
        tool.hwnd = pic_.Handle();
        tool.uId = i;
        tool.rect = ControlRect(controls[i], pictures_, Scale());
        tool.lpszText = text.data();
        SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void ToolbarWindow::PicturesChanged() {
    if (tooltip_) {
        auto controls = ToolbarControls();
        for (std::size_t i = 0; i < controls.size(); ++i) {
            if (controls[i].tooltip.empty() || !controls[i].button) {
                continue;
            }
            TTTOOLINFOW tool{};
            tool.cbSize = TTTOOLINFOW_V2_SIZE;
            tool.hwnd = pic_.Handle();
            tool.uId = i;
            tool.rect = ControlRect(controls[i], pictures_, Scale());
            SendMessageW(tooltip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
        }
    }
    if (pic_.Exists()) {
        InvalidateRect(pic_.Handle(), nullptr, FALSE);
    }
}

void ToolbarWindow::SetOwnFont(const std::u16string& name, float points) {
    font_ = LOGFONTW{};
    std::wstring face = win::ToWide(name);
    wcsncpy(font_.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    font_.lfHeight = -static_cast<LONG>(std::lround(points * static_cast<float>(Scale().Dpi()) / 72.0f));
    font_.lfWeight = FW_NORMAL;
    font_.lfCharSet = DEFAULT_CHARSET;
    fontPoints_ = points;
}

void ToolbarWindow::SetColor(std::int16_t scheme) {
    look_.ApplyScheme(scheme);
    host_.SaveSettings();
}

void ToolbarWindow::LookChanged(unsigned aspects) {
    // The disc of the scheme in use shows its chosen picture; saving turns "none chosen" into 1.
    if ((aspects & kLookScheme) && pictures_.SetChosenScheme(look_.ColorScheme())) {
        PicturesChanged();
    }
}

void ToolbarWindow::RefreshSkin() {
    bool changed = false;
    for (const ControlLayout& control : ToolbarControls()) {
        changed = changed || (control.button && pictures_.Get(*control.button) != Picture::Normal);
    }
    pictures_.MouseMoveOverStrip();
    if (changed) {
        PicturesChanged();
    }
}

HWND ToolbarWindow::PictureHandle() const {
    return pic_.Handle();
}
void ToolbarWindow::Close() {
    Hide();
}

LRESULT ToolbarWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE; // the toolbar never takes the focus from the shop's programs
    case WM_ERASEBKGND: {
        // Magenta, the colour key: the margins around the strip are see-through. Only this window's own
        // DC is painted on: another process can send any handle here.
        HDC dc = reinterpret_cast<HDC>(wParam);
        if (WindowFromDC(dc) != Handle()) {
            return 0;
        }
        RECT client{};
        GetClientRect(Handle(), &client);
        FillRect(dc, &client, background_.get());
        return 1;
    }
    case WM_CLOSE:
        // Only the END command ends the program; Alt+F4 on a toolbar is not a way out.
        return 0;
    default:
        break;
    }
    return Default(message, wParam, lParam);
}

LRESULT ToolbarWindow::OnStripMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    // The strip is laid out in design pixels and shown at the toolbar's DPI.
    const int x = Scale().ToDesign(GET_X_LPARAM(lParam));
    const int y = Scale().ToDesign(GET_Y_LPARAM(lParam));
    switch (message) {
    case WM_PAINT:
        OnStripPaint();
        return 0;
    case WM_ERASEBKGND:
        return 1; // the paint covers every pixel
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_MOUSEMOVE:
        OnStripMouseMove(x, y);
        return 0;
    case WM_LBUTTONDOWN:
        OnStripMouseDown(x, y, true);
        return 0;
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        OnStripMouseDown(x, y, false);
        return 0;
    case WM_LBUTTONUP:
        OnStripLeftUp(x, y);
        return 0;
    case WM_LBUTTONDBLCLK:
        OnStripDoubleClick(x, y);
        return 0;
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
        OnStripMouseDown(x, y, false);
        return 0;
    case WM_CAPTURECHANGED:
        clickCandidate_.reset();
        return 0;
    default:
        break;
    }
    return DefWindowProcW(pic_.Handle(), message, wParam, lParam);
}

void ToolbarWindow::OnStripPaint() {
    HWND hwnd = pic_.Handle();
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (!dc) {
        return;
    }
    // Composed off screen from the pictures drawn for the set's DPI and copied in one go, so a picture
    // change never flickers.
    const DpiScale set(pictureDpi_);
    const int setWidth = set.Pixels(kStripWidthPx);
    const int setHeight = set.Pixels(kStripHeightPx);
    win::UniqueDc buffer(CreateCompatibleDC(dc));
    // A top-down 32-bit canvas whose pixels the greying of administered buttons can reach.
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = setWidth;
    format.bmiHeader.biHeight = -setHeight;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    win::UniqueBitmap canvas(CreateDIBSection(dc, &format, DIB_RGB_COLORS, &bits, nullptr, 0));
    win::UniqueDc source(CreateCompatibleDC(dc));
    if (buffer && canvas && source) {
        win::SelectGuard canvasInBuffer(buffer.get(), canvas.get());
        RECT all{0, 0, setWidth, setHeight};
        win::UniqueBrush magenta(CreateSolidBrush(kMagenta));
        FillRect(buffer.get(), &all, magenta.get());
        auto blit = [&](HBITMAP bitmap, int x, int y) {
            BITMAP info{};
            if (!bitmap || !GetObjectW(bitmap, sizeof info, &info)) {
                return;
            }
            win::SelectGuard inSource(source.get(), bitmap);
            BitBlt(buffer.get(), set.Pixels(x), set.Pixels(y), info.bmWidth, info.bmHeight, source.get(), 0,
                   0, SRCCOPY);
        };
        blit(Bitmap(kStripResource), 0, 0);
        for (const ControlLayout& control : ToolbarControls()) {
            switch (control.kind) {
            case ControlKind::HintIcon:
                blit(Bitmap(kHintResource), control.x, control.y);
                break;
            case ControlKind::Separator:
                blit(Bitmap(kSeparatorResource), control.x, control.y);
                break;
            case ControlKind::Button:
                blit(Bitmap(PictureResource(*control.button, pictures_.Get(*control.button),
                                            pictures_.LookOf(*control.button))),
                     control.x, control.y);
                break;
            }
        }
        // Administered buttons in grey, lighter than any picture; the magenta around them stays see-through.
        GdiFlush();
        auto* pixels = static_cast<std::uint32_t*>(bits);
        for (const ControlLayout& control : ToolbarControls()) {
            if (!pixels || control.kind != ControlKind::Button || !Administered(*control.button)) {
                continue;
            }
            PixelSize size = PictureSize(*control.button, pictures_.Get(*control.button));
            const int top = std::max(0, set.Pixels(control.y));
            const int bottom = std::min(setHeight, set.Pixels(control.y + size.height));
            const int left = std::max(0, set.Pixels(control.x));
            const int right = std::min(setWidth, set.Pixels(control.x + size.width));
            for (int y = top; y < bottom; ++y) {
                for (int x = left; x < right; ++x) {
                    std::uint32_t& pixel = pixels[y * setWidth + x];
                    std::uint32_t rgb = pixel & 0xffffffu;
                    if (rgb == 0xff00ffu) {
                        continue;
                    }
                    std::uint32_t grey = (((rgb >> 16) & 0xff) + ((rgb >> 8) & 0xff) + (rgb & 0xff)) / 3;
                    grey = 128 + grey / 2;
                    pixel = (grey << 16) | (grey << 8) | grey;
                }
            }
        }
        // At a set's own DPI a plain copy; between two sets the rest of the way nearest-neighbour, so the
        // see-through magenta stays exactly magenta.
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, 0, 0, Scale().Pixels(kStripWidthPx), Scale().Pixels(kStripHeightPx), buffer.get(), 0,
                   0, setWidth, setHeight, SRCCOPY);
    }
    EndPaint(hwnd, &ps);
}

void ToolbarWindow::OnStripMouseMove(int x, int y) {
    if (x < 0 || y < 0 || x >= kStripWidthPx || y >= kStripHeightPx || IsOverDecoration(x, y)) {
        return; // outside while captured, or on a decoration, which swallows the strip's moves
    }
    if (std::optional<ToolbarButton> button = ButtonAt(x, y, pictures_)) {
        if (pictures_.Get(*button) != Picture::Hover) {
            pictures_.MouseMoveOver(*button);
            PicturesChanged();
        }
        return;
    }
    host_.AlignKaraokeOverMain();
    RefreshSkin();
}

void ToolbarWindow::OnStripMouseDown(int x, int y, bool leftButton) {
    std::optional<ToolbarButton> button = ButtonAt(x, y, pictures_);
    if (!button || IsOverDecoration(x, y)) {
        return;
    }
    pictures_.MouseDownOn(*button);
    PicturesChanged();
    if (leftButton) {
        clickCandidate_ = button;
        SetCapture(pic_.Handle());
    }
}

void ToolbarWindow::OnStripLeftUp(int x, int y) {
    std::optional<ToolbarButton> pressed = clickCandidate_;
    clickCandidate_.reset();
    if (GetCapture() == pic_.Handle()) {
        ReleaseCapture();
    }
    // A click is a press and a release on the same button; the pressed picture stays (no mouse-up look).
    std::optional<ToolbarButton> clicked;
    if (pressed && ButtonAt(x, y, pictures_) == pressed) {
        clicked = pressed;
    }
    lastClick_ = clicked;
    if (clicked) {
        OnClick(*clicked);
    }
}

void ToolbarWindow::OnStripDoubleClick(int x, int y) {
    if (IsOverDecoration(x, y)) {
        return;
    }
    if (std::optional<ToolbarButton> button = ButtonAt(x, y, pictures_)) {
        // The second press of a quick pair: pressed either way, a click only where that is wanted.
        OnStripMouseDown(x, y, SecondPressClicks(lastClick_, *button));
        return;
    }
    host_.ShowAbout();
}

bool ToolbarWindow::Administered(ToolbarButton button) const {
    switch (button) {
    case ToolbarButton::CmdBlue:
    case ToolbarButton::CmdGreen:
    case ToolbarButton::CmdRed:
    case ToolbarButton::CmdWhite:
    case ToolbarButton::CmdYellow:
        return schemesAdministered_;
    case ToolbarButton::CmdSet:
        return fontAdministered_;
    default:
        return false;
    }
}

void ToolbarWindow::SetAdministered(bool schemes, bool font) {
    if (schemes == schemesAdministered_ && font == fontAdministered_) {
        return;
    }
    schemesAdministered_ = schemes;
    fontAdministered_ = font;
    if (Handle()) {
        PicturesChanged();
    }
}

void ToolbarWindow::OnClick(ToolbarButton button) {
    if (Administered(button)) {
        return; // set by the administrator: shown, not changed here
    }
    switch (button) {
    case ToolbarButton::Delay2:
        rotation_.Previous();
        break;
    case ToolbarButton::Delay1:
        rotation_.Next();
        break;
    case ToolbarButton::CmdBlue:
        SetColor(1);
        break;
    case ToolbarButton::CmdGreen:
        SetColor(2);
        break;
    case ToolbarButton::CmdRed:
        SetColor(3);
        break;
    case ToolbarButton::CmdWhite:
        SetColor(4);
        break;
    case ToolbarButton::CmdYellow:
        SetColor(5);
        break;
    case ToolbarButton::CmdSet:
        OnFontDialog();
        break;
    case ToolbarButton::CmdLrc:
        host_.ToggleContentManager();
        break;
    case ToolbarButton::CmdLock:
        rotation_.ToggleLock();
        break;
    case ToolbarButton::CmdEnd:
        // The interpreter ends the program inside this call; nothing may follow it.
        host_.EndProgram();
        return;
    }
}

void ToolbarWindow::OnFontDialog() {
    LOGFONTW chosen = font_;
    CHOOSEFONTW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = Handle();
    dialog.lpLogFont = &chosen;
    // The dialog itself refuses sizes the display cannot show; the check after it covers a dialog that
    // does not.
    dialog.Flags = CF_BOTH | CF_INITTOLOGFONTSTRUCT | CF_LIMITSIZE;
    dialog.nSizeMin = static_cast<INT>(kMinFontSize);
    dialog.nSizeMax = static_cast<INT>(kMaxFontSize);
    if (!ChooseFontW(&dialog) || !IsUsableFontSize(dialog.iPointSize / 10.0)) {
        return; // Cancel, or the dialog failed: nothing changes
    }
    // Bold and italic stay with this window's font; the display takes only the face and the size.
    font_ = chosen;
    fontPoints_ = static_cast<float>(dialog.iPointSize) / 10.0f;
    look_.SetFont(win::ToU16(font_.lfFaceName), fontPoints_);
    host_.SaveSettings();
}

bool ToolbarWindow::AskReminder(std::u16string_view text) {
    std::wstring wide = win::ToWide(text);
    std::wstring title = win::ToWide(kReminderTitle);
    return MessageBoxW(Handle(), wide.c_str(), title.c_str(), kHistoryBoxFlags) == IDOK;
}

void ToolbarWindow::RotationStateChanged(bool enabled) {
    if (Handle() && pictures_.SetRotationRunning(enabled)) {
        PicturesChanged();
    }
}

} // namespace plumwick
