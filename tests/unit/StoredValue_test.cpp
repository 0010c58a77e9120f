#include "store/StoredValue.h"

#include <gtest/gtest.h>

#include <map>

using namespace plumwick;

namespace {

class MapSource : public ValueSource {
  public:
    MapSource(ValueOrigin origin, std::map<std::u16string, std::u16string> values)
        : origin_(origin), values_(std::move(values)) {}
    ValueOrigin Origin() const override { return origin_; }
    std::optional<std::u16string> Read(const StoreKey& key) const override {
        auto found = values_.find(std::u16string(key.name));
        if (found == values_.end()) {
            return std::nullopt;
        }
        return found->second;
    }

  private:
    ValueOrigin origin_;
    std::map<std::u16string, std::u16string> values_;
};

} // namespace

TEST(StoredValue, TheStrongestSourceThatHoldsAValueWinsWhateverTheOrderGiven) {
    MapSource policy(ValueOrigin::Policy, {{u"Top", u"10"}});
    MapSource user(ValueOrigin::User, {{u"Top", u"20"}, {u"time1", u"5"}});
    MapSource machine(ValueOrigin::Machine, {{u"time1", u"9"}, {u"Files", u"a.txt"}});
    MapSource defaults(ValueOrigin::Default, {{u"Split", u"0"}});
    std::vector<const ValueSource*> sources{&defaults, &machine, nullptr, &user, &policy};

    EXPECT_EQ(ReadByPrecedence(sources, kDisplayTopKey), u"10");          // policy over the user
    EXPECT_EQ(ReadByPrecedence(sources, kIntervalKey), u"5");             // the user over the machine
    EXPECT_EQ(ReadByPrecedence(sources, kPublicationFilesKey), u"a.txt"); // only the machine holds it
    EXPECT_EQ(ReadByPrecedence(sources, kPublicationSplitKey), u"0");     // the default at last
    EXPECT_EQ(ReadByPrecedence({&user}, kPublicationSplitKey), std::nullopt);
    EXPECT_EQ(ReadByPrecedence({}, kIntervalKey), std::nullopt);
}

TEST(StoredValue, AnEmptyValueHeldIsAValueAndHidesWeakerSources) {
    MapSource user(ValueOrigin::User, {{u"time1", u""}});
    MapSource shop(ValueOrigin::ShopIni, {{u"time1", u"30"}});
    EXPECT_EQ(ReadByPrecedence({&shop, &user}, kIntervalKey), u"");
}
