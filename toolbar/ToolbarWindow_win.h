#pragma once
// The floating, colour-keyed toolbar with its eleven picture buttons, the colour-scheme choice and the
// font dialog. It shows and steers the message rotation, which it does not own.
#include "display/Look.h"
#include "rotation/RotationPorts.h"
#include "toolbar/ButtonPictures.h"
#include "toolbar/ToolbarHost.h"
#include "win32/Handles_win.h"
#include "win32/Window_win.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace plumwick {

class ToolbarWindow : public win::Window, public LookObserver, public RotationView {
  public:
    ToolbarWindow(Look& look, ToolbarHost& host, RotationSteering& rotation);
    ~ToolbarWindow() override;

    // Creates the hidden window, owned by the skin panel and placed against it, whose top is given.
    bool Create(HWND panel, int panelTopTwips);

    // Chooses scheme 1..5 (other numbers change no colour) and saves the settings; the text windows
    // redraw themselves as the look changes.
    void SetColor(std::int16_t scheme);
    // Every button back to its normal picture.
    void RefreshSkin();
    // The colour discs show the scheme in use.
    void LookChanged(unsigned aspects) override;

    // RotationView: the pause button shows the rotation's state; the reminder box is this window's.
    void RotationStateChanged(bool enabled) override;
    bool AskReminder(std::u16string_view text) override;

    // Buttons for what an administrator set: greyed, and a click does nothing. `schemes`: the five discs;
    // `font`: the font dialog.
    void SetAdministered(bool schemes, bool font);

    // The picture box carrying the strip (the hover watch counts it as part of the display).
    HWND PictureHandle() const;
    // Closing does nothing of its own: nothing is saved.
    void Close();

  private:
    // The picture strip and every image control on it, painted from the loaded bitmaps.
    class Strip : public win::Window {
      public:
        explicit Strip(ToolbarWindow& owner) : owner_(owner) {}
        bool Create(HWND parent);

      private:
        LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
        ToolbarWindow& owner_;
    };

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnDpiChanged(const RECT& suggested) override;
    // The window and its strip at the design size times the toolbar's DPI.
    void SizeForDpi();
    LRESULT OnStripMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnStripPaint();
    void OnStripMouseMove(int x, int y);
    void OnStripMouseDown(int x, int y, bool leftButton);
    void OnStripLeftUp(int x, int y);
    void OnStripDoubleClick(int x, int y);
    void OnClick(ToolbarButton button);
    void OnFontDialog();
    bool Administered(ToolbarButton button) const;

    // The pictures of the set drawn for this window's DPI (PictureSetDpi), under their 96-DPI names.
    void LoadPictures();
    HBITMAP Bitmap(std::string_view resource) const;
    void CreateTooltips();
    void PicturesChanged();
    // The font dialog starts from the display's font, with this window's own bold and italic.
    void SetOwnFont(const std::u16string& name, float points);

    Look& look_;
    ToolbarHost& host_;
    RotationSteering& rotation_;
    Strip pic_;
    win::UniqueBrush background_;
    HWND tooltip_ = nullptr; // owned by this window, destroyed with it
    std::map<std::string_view, win::UniqueBitmap, std::less<>> bitmaps_;
    unsigned pictureDpi_ = 96; // the DPI the loaded pictures are drawn for
    ButtonPictures pictures_;
    std::optional<ToolbarButton> clickCandidate_; // left-pressed button awaiting its release
    std::optional<ToolbarButton> lastClick_;      // the button the last left release clicked, if any

    bool schemesAdministered_ = false;
    bool fontAdministered_ = false;

    // The window's own font: only the starting value of the font dialog.
    LOGFONTW font_{};
    float fontPoints_ = 0;
};

} // namespace plumwick
