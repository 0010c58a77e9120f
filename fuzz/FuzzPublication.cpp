// The remembered publication lives in the user's registry, where anything may have been written: the file
// list, the split option, the interval and the mark of a restore under way. Whatever they hold, the start
// gets a plan that ticks only listed files and publishes only a valid interval, and a restore that never
// finished is not tried again. The input: the stored file list, then the option, the interval and the
// mark, as UTF-16 fields separated by U+001E; the first fields' names double as the content folder's
// listing.
#include "content/ContentText.h"
#include "content/PublicationMemory.h"
#include "fuzz/FuzzSupport.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using namespace plumwick;

constexpr std::u16string_view kContentFolder = u"C:\\shop\\Text\\";

std::vector<std::u16string> Fields(const std::u16string& units) {
    std::vector<std::u16string> fields(1);
    for (char16_t unit : units) {
        if (unit == 0x1E && fields.size() < 4) {
            fields.emplace_back();
        } else {
            fields.back() += unit;
        }
    }
    fields.resize(4);
    return fields;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::u16string> fields = Fields(fuzz::Utf16Units(data, size));
    const std::vector<std::u16string> files = DecodeFileList(fields[0]);
    for (const std::u16string& file : files) {
        FUZZ_CHECK(!file.empty() && file.find(u'|') == std::u16string::npos);
    }
    // What is stored again reads back the same.
    FUZZ_CHECK(DecodeFileList(EncodeFileList(files)) == files);
    const SplitOption option = DecodeSplitOption(fields[1]);
    FUZZ_CHECK(DecodeSplitOption(EncodeSplitOption(option)) == option);

    // The folder lists every other remembered file (as the scan names them: folder, then caption), so some
    // come back and some have gone.
    std::vector<ContentEntry> entries;
    for (std::size_t i = 0; i < files.size() && entries.size() < 64; i += 2) {
        const std::u16string full = std::u16string(kContentFolder) + files[i];
        const std::size_t cut = full.rfind(u'\\');
        entries.push_back({full.substr(cut + 1), full.substr(0, cut + 1)});
    }
    const RememberedPublication remembered{files, option};
    const RestorePlan plan = PlanRestore(kContentFolder, entries, remembered, fields[2]);
    FUZZ_CHECK(plan.ticks.size() == entries.size());
    FUZZ_CHECK(!plan.skipped);
    if (plan.publish) {
        FUZZ_CHECK(std::find(plan.ticks.begin(), plan.ticks.end(), true) != plan.ticks.end());
        FUZZ_CHECK(ParseInterval(fields[2]) == plan.intervalSeconds);
        FUZZ_CHECK(plan.option == option);
    }
    // Ticking what the plan ticks remembers only files that were remembered.
    const RememberedPublication again = RememberPublication(kContentFolder, entries, plan.ticks, option);
    for (const std::u16string& file : again.files) {
        FUZZ_CHECK(std::find(files.begin(), files.end(), file) != files.end());
    }
    FUZZ_CHECK(PlanRestore(kContentFolder, entries, std::nullopt, fields[2]).ticks ==
               std::vector<bool>(entries.size(), false));

    const RestorePlan checked = SkipUnfinishedRestore(plan, fields[3]);
    FUZZ_CHECK(checked.ticks == plan.ticks);
    if (fields[3] == kRestoreUnderway) {
        FUZZ_CHECK(!checked.publish && checked.skipped == plan.publish);
    } else {
        FUZZ_CHECK(checked.publish == plan.publish && !checked.skipped);
    }
    return 0;
}
