#pragma once
// A real ANSI code page for native tests, through glibc's iconv (GBK stands for code page 936).
#include "common/AnsiCodePage.h"
#include "common/TextUtil.h"

#include <iconv.h>

#include <cerrno>
#include <string>

namespace plumwick::test {

class IconvCodePage : public AnsiCodePage {
  public:
    explicit IconvCodePage(const char* name = "GBK") : name_(name) {}

    std::u16string ToUtf16(std::string_view bytes) const override {
        std::string utf8;
        if (!Convert(name_, "UTF-8", bytes, utf8, true)) {
            return u"";
        }
        return Utf8ToUtf16(utf8);
    }

    std::optional<std::string> FromUtf16(std::u16string_view text) const override {
        std::string out;
        if (!Convert("UTF-8", name_, Utf16ToUtf8(text), out, false)) {
            return std::nullopt;
        }
        return out;
    }

  private:
    // Converts all of `in`; with `lenient`, an undecodable byte becomes U+FFFD and conversion goes on.
    static bool Convert(const char* from, const char* to, std::string_view in, std::string& out,
                        bool lenient) {
        iconv_t cd = iconv_open(to, from);
        if (cd == reinterpret_cast<iconv_t>(-1)) {
            return false;
        }
        char* src = const_cast<char*>(in.data());
        size_t srcLeft = in.size();
        bool ok = true;
        while (srcLeft > 0) {
            char buffer[4096];
            char* dst = buffer;
            size_t dstLeft = sizeof buffer;
            size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
            out.append(buffer, dst);
            if (r == static_cast<size_t>(-1) && errno != E2BIG) {
                if (!lenient) {
                    ok = false;
                    break;
                }
                out.append("\xEF\xBF\xBD");
                ++src;
                --srcLeft;
            }
        }
        iconv_close(cd);
        return ok;
    }

    const char* name_;
};

// The code page most tests decode with: GBK, shared by the whole test binary.
inline const IconvCodePage& Gbk() {
    static const IconvCodePage codePage("GBK");
    return codePage;
}

} // namespace plumwick::test
