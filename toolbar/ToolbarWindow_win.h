#pragma once
// The floating, colour-keyed toolbar with its eleven picture buttons, the colour-scheme choice,
// the font dialog and the message rotation with its show history.
#include "display/Look.h"
#include "toolbar/ButtonPictures.h"
#include "toolbar/Rotation.h"
#include "toolbar/RotationControl.h"
#include "toolbar/ToolbarHost.h"
#include "win32/Handles_win.h"
#include "win32/Window_win.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace plumwick {

class ToolbarWindow : public win::Window, public LookObserver, private RotationHost {
  public:
    ToolbarWindow(Look& look, ToolbarHost& host);
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

    // The rotation timer, as the content manager's publish drives it; a start shows the first message of
    // the new list at once.
    void StopRotation();
    void StartRotation(unsigned intervalMs);
    // Running with the interval, the next message one interval from now (a publication restored at start,
    // which leaves the welcome line up for that long).
    void ResumeRotation(unsigned intervalMs);
    const ShowHistory& History() const { return rotation_.History(); }
    const RotationControl& Rotation() const { return rotation_; }
    // Keeps the rotation off the shown line for that long (HLD); EndHold ends it early (CKT).
    void HoldLine(unsigned seconds) { rotation_.Hold(seconds); }
    void EndHold() { rotation_.EndHold(); }
    // InfoLines and InfoIndex, which the rotation owns.
    MessageList& Messages() { return rotation_.Messages(); }

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

    enum Timer : UINT_PTR { kRotationTimer = 1, kHoldTimer = 2 };

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
    void OnTimer(UINT_PTR id);
    void OnRotationTick();
    void OnFontDialog();

    void LoadPictures();
    HBITMAP Bitmap(std::string_view resource) const;
    void CreateTooltips();
    void PicturesChanged();
    // The font dialog starts from the display's font, with this window's own bold and italic.
    void SetOwnFont(const std::u16string& name, float points);

    // RotationHost
    void StartKaraokeTimer() override;
    void DrawMain(const std::u16string& line) override;
    bool AskReminder(std::u16string_view text) override;
    void ApplyTimer(bool runs, unsigned intervalMs) override;
    void ApplyHoldTimer(bool runs, unsigned ms) override;

    Look& look_;
    ToolbarHost& host_;
    Strip pic_;
    win::UniqueBrush background_;
    HWND tooltip_ = nullptr; // owned by this window, destroyed with it
    std::map<std::string_view, win::UniqueBitmap, std::less<>> bitmaps_;
    ButtonPictures pictures_;
    std::optional<ToolbarButton> clickCandidate_; // left-pressed button awaiting its release
    std::optional<ToolbarButton> lastClick_;      // the button the last left release clicked, if any

    // The window's own font: only the starting value of the font dialog.
    LOGFONTW font_{};
    float fontPoints_ = 0;

    RotationControl rotation_;
    RandomSource random_;
    bool inTick_ = false;
};

} // namespace plumwick
