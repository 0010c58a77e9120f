#include "display/FontChoice.h"

#include <gtest/gtest.h>

using namespace plumwick;

TEST(FontCandidates, TheChosenFaceFirstThenTheShippedOneThenTheSystemsEachOnce) {
    using Faces = std::vector<std::u16string>;
    EXPECT_EQ(FontCandidates(u"NoSuchFont", {u"MS Shell Dlg", u"Tahoma"}),
              (Faces{u"NoSuchFont", u"Microsoft YaHei", u"MS Shell Dlg", u"Tahoma"}));
    EXPECT_EQ(FontCandidates(u"Microsoft YaHei", {u"Tahoma", u"Tahoma"}),
              (Faces{u"Microsoft YaHei", u"Tahoma"}));
    // An empty name names no font: the shipped face is the first tried.
    EXPECT_EQ(FontCandidates(u"", {u"", u"Tahoma"}), (Faces{u"Microsoft YaHei", u"Tahoma"}));
}

TEST(MissingFontNotice, NamesTheMissingFontAndTheFaceDrawingInstead) {
    std::u16string notice = MissingFontNotice(u"Fancy Sans", u"Microsoft YaHei");
    EXPECT_NE(notice.find(u"\"Fancy Sans\""), std::u16string::npos);
    EXPECT_NE(notice.find(u"\"Microsoft YaHei\""), std::u16string::npos);
}
