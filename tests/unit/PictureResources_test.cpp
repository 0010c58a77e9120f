// The resource script must name a bitmap of the right size for every picture the toolbar shows.
#include "common/DpiScale.h"
#include "toolbar/PictureResources.h"
#include "toolbar/ToolbarLayout.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>

using namespace plumwick;

namespace {

const std::string kSource = PLUMWICK_SOURCE_DIR;

// The bitmaps of Toolbar.rc and of the larger scales' script it includes.
std::map<std::string, std::string> ResourceScript() {
    std::map<std::string, std::string> files;
    std::regex line(R"(^\s*(\w+)\s+BITMAP\s+\"([^\"]+)\")");
    for (const char* script : {"/toolbar/Toolbar.rc", "/toolbar/ToolbarScaled.rch"}) {
        std::ifstream in(kSource + script);
        EXPECT_TRUE(in) << script;
        std::string text;
        while (std::getline(in, text)) {
            std::smatch m;
            if (std::regex_search(text, m, line)) {
                EXPECT_TRUE(files.emplace(m[1], m[2]).second) << "twice: " << m[1];
            }
        }
    }
    return files;
}

struct BmpInfo {
    bool ok = false;
    int width = 0, height = 0, bits = 0;
};

BmpInfo ReadBmpHeader(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    unsigned char h[30] = {};
    BmpInfo info;
    if (!in.read(reinterpret_cast<char*>(h), sizeof h) || h[0] != 'B' || h[1] != 'M') {
        return info;
    }
    auto i32 = [&](int at) {
        return static_cast<std::int32_t>(h[at] | h[at + 1] << 8 | h[at + 2] << 16 | h[at + 3] << 24);
    };
    info.ok = true;
    info.width = i32(18);
    info.height = i32(22);
    info.bits = h[28] | h[29] << 8;
    return info;
}

void ExpectBitmap(const std::map<std::string, std::string>& script, std::string_view name, PixelSize size) {
    auto found = script.find(std::string(name));
    ASSERT_NE(found, script.end()) << name << " is not in Toolbar.rc";
    BmpInfo bmp = ReadBmpHeader(kSource + "/" + found->second);
    ASSERT_TRUE(bmp.ok) << found->second;
    EXPECT_EQ(bmp.width, size.width) << name;
    EXPECT_EQ(std::abs(bmp.height), size.height) << name;
    EXPECT_EQ(bmp.bits, 24) << name;
}

} // namespace

TEST(PictureResources, EveryPictureIsABitmapOfItsSize) {
    auto script = ResourceScript();
    std::set<std::string_view> used;
    for (const ControlLayout& control : ToolbarControls()) {
        if (!control.button) {
            continue;
        }
        for (Picture picture : {Picture::Initial, Picture::Normal, Picture::Hover, Picture::Pressed}) {
            std::string_view name = PictureResource(*control.button, picture);
            used.insert(name);
            ExpectBitmap(script, name, PictureSize(*control.button, picture));
        }
    }
    EXPECT_EQ(used.size(), 34u); // three per button and CmdLrc's first picture
    ExpectBitmap(script, kStripResource, {kStripWidthPx, kStripHeightPx});
    ExpectBitmap(script, kHintResource, {26, 27});
    ExpectBitmap(script, kSeparatorResource, {2, 24});
}

// Every picture is drawn again for each larger scale, at its size times DPI/96 in whole pixels, so the
// toolbar at 120, 144, 168 or 192 DPI never enlarges a 96-DPI picture.
TEST(PictureResources, EachScaleHasEveryPictureAtItsOwnSize) {
    auto script = ResourceScript();
    for (unsigned dpi : kPictureSetDpis) {
        DpiScale scale(dpi);
        auto at = [&](PixelSize size) {
            return PixelSize{scale.Pixels(size.width), scale.Pixels(size.height)};
        };
        for (const ControlLayout& control : ToolbarControls()) {
            if (!control.button) {
                continue;
            }
            for (Picture picture : {Picture::Initial, Picture::Normal, Picture::Hover, Picture::Pressed}) {
                for (PictureLook look : {PictureLook::Plain, PictureLook::Chosen, PictureLook::Running}) {
                    ExpectBitmap(script,
                                 PictureResourceAt(PictureResource(*control.button, picture, look), dpi),
                                 at(PictureSize(*control.button, picture)));
                }
            }
        }
        ExpectBitmap(script, PictureResourceAt(kStripResource, dpi), at({kStripWidthPx, kStripHeightPx}));
        ExpectBitmap(script, PictureResourceAt(kHintResource, dpi), at({26, 27}));
        ExpectBitmap(script, PictureResourceAt(kSeparatorResource, dpi), at({2, 24}));
    }
    EXPECT_EQ(script.size(), 50u * kPictureSetDpis.size());
}

// A toolbar draws from the set made for its DPI, or the largest below it; only what lies between two
// sets is stretched.
TEST(PictureResources, TheSetForADpiIsTheLargestDrawnForItOrLess) {
    EXPECT_EQ(PictureSetDpi(72), 96u);
    EXPECT_EQ(PictureSetDpi(96), 96u);
    EXPECT_EQ(PictureSetDpi(119), 96u);
    EXPECT_EQ(PictureSetDpi(120), 120u);
    EXPECT_EQ(PictureSetDpi(143), 120u);
    EXPECT_EQ(PictureSetDpi(144), 144u);
    EXPECT_EQ(PictureSetDpi(168), 168u);
    EXPECT_EQ(PictureSetDpi(191), 168u);
    EXPECT_EQ(PictureSetDpi(192), 192u);
    EXPECT_EQ(PictureSetDpi(288), 192u);
    EXPECT_EQ(PictureResourceAt("TB_BLUENOR", 96), "TB_BLUENOR");
    EXPECT_EQ(PictureResourceAt("TB_BLUENOR", 144), "TB_BLUENOR_144");
}

TEST(PictureResources, StatePicturesAreOwnBitmapsOfTheSameSizes) {
    auto script = ResourceScript();
    std::set<std::string_view> plain;
    std::set<std::string_view> shown;
    for (const ControlLayout& control : ToolbarControls()) {
        if (!control.button) {
            continue;
        }
        for (Picture picture : {Picture::Initial, Picture::Normal, Picture::Hover, Picture::Pressed}) {
            plain.insert(PictureResource(*control.button, picture));
            for (PictureLook look : {PictureLook::Chosen, PictureLook::Running}) {
                std::string_view name = PictureResource(*control.button, picture, look);
                shown.insert(name);
                ExpectBitmap(script, name, PictureSize(*control.button, picture));
            }
        }
    }
    // Ten for the chosen discs (normal and pressed), three for the running rotation.
    std::set<std::string_view> added;
    for (std::string_view name : shown) {
        if (!plain.count(name)) {
            added.insert(name);
        }
    }
    EXPECT_EQ(added.size(), 13u);
    EXPECT_NE(PictureResource(ToolbarButton::CmdLock, Picture::Hover, PictureLook::Running),
              PictureResource(ToolbarButton::CmdLock, Picture::Hover));
    EXPECT_EQ(PictureResource(ToolbarButton::CmdBlue, Picture::Hover, PictureLook::Chosen),
              PictureResource(ToolbarButton::CmdBlue, Picture::Hover));
    EXPECT_EQ(PictureResource(ToolbarButton::CmdEnd, Picture::Normal, PictureLook::Chosen),
              PictureResource(ToolbarButton::CmdEnd, Picture::Normal));
}

TEST(PictureResources, NoButtonPictureContainsTheColourKey) {
    // A magenta pixel would be a hole in the button that lets the pointer through.
    auto script = ResourceScript();
    for (const auto& [name, file] : script) {
        std::ifstream in(kSource + "/" + file, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), {});
        ASSERT_GT(bytes.size(), 54u) << file;
        BmpInfo bmp = ReadBmpHeader(kSource + "/" + file);
        std::size_t offset = static_cast<unsigned char>(bytes[10]) | static_cast<unsigned char>(bytes[11])
                                                                         << 8;
        std::size_t stride = (static_cast<std::size_t>(bmp.width) * 3 + 3) & ~std::size_t{3};
        int magenta = 0;
        for (int row = 0; row < std::abs(bmp.height); ++row) {
            for (int x = 0; x < bmp.width; ++x) {
                std::size_t at = offset + row * stride + x * 3;
                ASSERT_LT(at + 2, bytes.size()) << file;
                if (static_cast<unsigned char>(bytes[at]) == 255 && bytes[at + 1] == 0 &&
                    static_cast<unsigned char>(bytes[at + 2]) == 255) {
                    ++magenta;
                }
            }
        }
        // Only the strip has magenta: its rounded top corners, three pixels each at 96 DPI, and those
        // pixels' cells in the sets for the larger scales.
        int expected = 0;
        for (unsigned dpi : kPictureSetDpis) {
            if (name == PictureResourceAt(kStripResource, dpi)) {
                DpiScale scale(dpi);
                auto cell = [&](int x, int y) {
                    return (scale.Pixels(x + 1) - scale.Pixels(x)) * (scale.Pixels(y + 1) - scale.Pixels(y));
                };
                expected = cell(0, 0) + cell(1, 0) + cell(387, 0) + cell(388, 0) + cell(0, 1) + cell(388, 1);
            }
        }
        EXPECT_EQ(magenta, expected) << file;
    }
}
