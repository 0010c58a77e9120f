#include "app/ManagedRules.h"

#include "about/HomePage.h"
#include "command/StatusBoard.h"
#include "common/Monitors.h"
#include "common/TextUtil.h"
#include "content/ContentLocation.h"
#include "content/ContentText.h"
#include "content/PublicationMemory.h"
#include "hotkey/UnlockHotkey.h"

namespace plumwick {

namespace {

// A path below the content folder: no drive, no root, no step up out of it.
bool BelowContentFolder(std::u16string_view path) {
    if (path.empty() || path.front() == u'\\' || path.front() == u'/' || path.find(u':') != path.npos) {
        return false;
    }
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find_first_of(u"\\/", start);
        std::u16string_view part = path.substr(start, end == path.npos ? path.npos : end - start);
        if (TrimBlanks(part) == u"..") {
            return false;
        }
        if (end == path.npos) {
            break;
        }
        start = end + 1;
    }
    return true;
}

} // namespace

ManagedRule ProgramRules(std::u16string programFolder, ExpandVariables expand) {
    return [programFolder = std::move(programFolder), expand = std::move(expand)](
               const ManagedValue& entry, std::u16string_view value) -> std::optional<std::u16string> {
        const std::u16string_view name = entry.name;
        if (name == u"ContentFolder") {
            std::u16string expanded = expand ? expand(value) : std::u16string(value);
            // Only what is wrong: a weaker source, not necessarily Text\ beside the program, applies instead.
            if (ContentFolderChoice choice = ResolveContentFolder(programFolder, expanded);
                !choice.error.empty()) {
                return Utf8ToUtf16(choice.reason);
            }
        } else if (name == u"StatusFolder") {
            // The same rule as shop.ini's: a full path, wherever the program was started from.
            if (std::optional<std::u16string> problem =
                    StatusFolderProblem(value, expand ? expand(value) : std::u16string(value))) {
                return *problem;
            }
        } else if (name == u"Publication") {
            std::vector<std::u16string> files = DecodeFileList(value);
            if (files.empty()) {
                return u"it names no file";
            }
            for (const std::u16string& file : files) {
                if (!BelowContentFolder(file)) {
                    return u"\"" + file + u"\" is not a path below the content folder";
                }
            }
        } else if (name == u"Interval") {
            if (!ParseInterval(value)) {
                return u"must be a whole number of seconds from 0 to 60";
            }
        } else if (name == u"UnlockHotkey") {
            if (ChooseUnlockHotkey(value).refused) {
                return u"must be a modifier, a comma and a key code, such as Ctrl+Alt,87";
            }
        } else if (name == u"Monitor") {
            if (!ParseMonitorChoice(value)) {
                return u"must be primary, secondary or a display number";
            }
        } else if (name == u"HomePage") {
            if (std::optional<std::u16string> notice = ChooseHomePage(value, programFolder).notice) {
                return *notice;
            }
        } else if (name == u"FontName") {
            // LOGFONT holds 31 characters of a face name.
            if (value.size() > 31) {
                return u"is longer than a font name can be";
            }
        }
        return std::nullopt;
    };
}

} // namespace plumwick
