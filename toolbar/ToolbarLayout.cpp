#include "toolbar/ToolbarLayout.h"

#include <array>

namespace plumwick {
namespace {

using B = ToolbarButton;
using K = ControlKind;

constexpr std::array<ControlLayout, 15> kControls{{
    {"Image1", K::HintIcon, 8, 2, 26, 27, u"双击信息文字,可直接复制到剪贴板", std::nullopt},
    {"Delay2", K::Button, 40, 10, 12, 11, u"上一条信息", B::Delay2},
    {"Delay1", K::Button, 56, 10, 12, 11, u"下一条信息", B::Delay1},
    {"Image50", K::Separator, 78, 2, 2, 24, u"", std::nullopt},
    {"CmdBlue", K::Button, 94, 8, 14, 14, u"湖水蓝", B::CmdBlue},
    {"CmdGreen", K::Button, 114, 8, 14, 14, u"清新绿", B::CmdGreen},
    {"CmdRed", K::Button, 134, 8, 14, 14, u"", B::CmdRed},
    {"CmdWhite", K::Button, 150, 8, 14, 14, u"高雅灰", B::CmdWhite},
    {"CmdYellow", K::Button, 166, 8, 14, 14, u"活力黄", B::CmdYellow},
    {"Image23", K::Separator, 198, 2, 2, 24, u"", std::nullopt},
    {"CmdSet", K::Button, 208, 4, 41, 22, u"设置", B::CmdSet},
    {"CmdLrc", K::Button, 256, 4, 67, 23, u"控制面板", B::CmdLrc},
    {"Image3", K::Separator, 334, 2, 2, 24, u"", std::nullopt},
    {"CmdLock", K::Button, 350, 8, 12, 14, u"暂停与开启信息的显示", B::CmdLock},
    {"CmdEnd", K::Button, 366, 10, 11, 11, u"关闭", B::CmdEnd},
}};

} // namespace

std::span<const ControlLayout> ToolbarControls() {
    return kControls;
}

const ControlLayout& LayoutOf(ToolbarButton button) {
    for (const ControlLayout& control : kControls) {
        if (control.button == button) {
            return control;
        }
    }
    return kControls.front(); // not reached: every button has a row
}

bool IsOverDecoration(int x, int y) {
    for (const ControlLayout& control : kControls) {
        if (control.kind != ControlKind::Button && x >= control.x && x < control.x + control.width &&
            y >= control.y && y < control.y + control.height) {
            return true;
        }
    }
    return false;
}

ToolbarPlacement PlaceToolbar(float screenWidthTwips, float panelTopTwips, float widthTwips,
                              float heightTwips) {
    return {screenWidthTwips / 2 - widthTwips / 2, panelTopTwips - heightTwips / 2};
}

} // namespace plumwick
