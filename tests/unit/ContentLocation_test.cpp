#include "content/ContentLocation.h"

#include <gtest/gtest.h>

using namespace plumwick;

namespace {

const std::u16string kProgram = u"C:\\Program Files\\plumwick";

std::u16string Folder(std::u16string_view configured) {
    ContentFolderChoice choice = ResolveContentFolder(kProgram, configured);
    EXPECT_EQ(choice.error, "") << std::string(configured.begin(), configured.end());
    return choice.folder;
}

} // namespace

TEST(ResolveContentFolder, TakesLocalPathsMappedDrivesSharesAndPathsBesideTheProgram) {
    EXPECT_EQ(Folder(u""), u"C:\\Program Files\\plumwick\\Text\\");
    EXPECT_EQ(Folder(u"  "), u"C:\\Program Files\\plumwick\\Text\\");
    EXPECT_EQ(ResolveContentFolder(u"C:\\plumwick\\", u"").folder, u"C:\\plumwick\\Text\\");
    EXPECT_EQ(Folder(u"D:\\Shop\\Text"), u"D:\\Shop\\Text\\");
    EXPECT_EQ(Folder(u"\"D:\\My Shop\\Text\\\""), u"D:\\My Shop\\Text\\");
    EXPECT_EQ(Folder(u"n:"), u"n:\\");
    EXPECT_EQ(Folder(u"N:/content//today/"), u"N:\\content\\today\\");
    EXPECT_EQ(Folder(u"\\\\headoffice\\display\\Text"), u"\\\\headoffice\\display\\Text\\");
    EXPECT_EQ(Folder(u"//headoffice/display"), u"\\\\headoffice\\display\\");
    EXPECT_EQ(Folder(u"\\\\?\\UNC\\headoffice\\display"), u"\\\\?\\UNC\\headoffice\\display\\");
    EXPECT_EQ(Folder(u"Inhalt"), u"C:\\Program Files\\plumwick\\Inhalt\\");
    EXPECT_EQ(Folder(u"..\\Shared\\Text"), u"C:\\Program Files\\plumwick\\..\\Shared\\Text\\");
    EXPECT_EQ(Folder(u"D:\\100% sale\\Text"), u"D:\\100% sale\\Text\\"); // a '%' of a name's own
    EXPECT_NE(ResolveContentFolder(kProgram, u"%OneDrive%\\Shop").error.find("%OneDrive%"),
              std::string::npos);
}

TEST(ResolveContentFolder, RefusesPathsTheCurrentDirectoryWouldDecideAndKeepsTheDefault) {
    for (std::u16string_view bad : {u"\\Text", u"D:Text", u"\\\\server", u"\\\\server\\", u"D:\\a|b",
                                    u"D:\\what?", u"Text\\a:b", u"D:\\a\tb", u"%OneDrive%\\Shop"}) {
        ContentFolderChoice choice = ResolveContentFolder(kProgram, bad);
        EXPECT_EQ(choice.folder, u"C:\\Program Files\\plumwick\\Text\\")
            << std::string(bad.begin(), bad.end());
        EXPECT_NE(choice.error.find("ContentFolder"), std::string::npos);
        EXPECT_NE(choice.error.find("stays Text"), std::string::npos);
    }
}

TEST(UnsetContentFolder, TextBesideAWritableProgramElseThePublicDocuments) {
    EXPECT_EQ(UnsetContentFolder(u"D:\\Shop", true, u"C:\\Users\\Public\\Documents"), u"D:\\Shop\\Text\\");
    EXPECT_EQ(UnsetContentFolder(u"C:\\Program Files\\plumwick", false, u"C:\\Users\\Public\\Documents\\"),
              u"C:\\Users\\Public\\Documents\\plumwick\\Text\\");
    // No public documents named: Text\ all the same, read-only as it may be.
    EXPECT_EQ(UnsetContentFolder(u"C:\\Program Files\\plumwick", false, u""),
              u"C:\\Program Files\\plumwick\\Text\\");
}
