#include "store/SettingsLocation.h"

#include <gtest/gtest.h>

using namespace plumwick;

TEST(SettingsLocation, TheProgramFolderWinsWhileItsFileCanBeWritten) {
    // A per-user copy left from a time the folder was locked does not hide the shop's own file.
    for (bool perUser : {false, true}) {
        EXPECT_EQ(ChooseSettingsLocation(true, perUser),
                  (SettingsLocation{SettingsPlace::ProgramFolder, SettingsPlace::ProgramFolder}));
    }
}

TEST(SettingsLocation, ALockedFolderHandsOverToThePerUserCopy) {
    // The first start in a locked folder reads the shop's file and saves per user ...
    EXPECT_EQ(ChooseSettingsLocation(false, false),
              (SettingsLocation{SettingsPlace::ProgramFolder, SettingsPlace::PerUser}));
    // ... and later starts read what was saved there.
    EXPECT_EQ(ChooseSettingsLocation(false, true),
              (SettingsLocation{SettingsPlace::PerUser, SettingsPlace::PerUser}));
}

TEST(SettingsLocation, NoticesNameTheFileAndTheReason) {
    std::u16string kept =
        SettingsKeptPerUserNotice(u"C:\\Users\\shop\\AppData\\Roaming\\plumwick\\desktoplrc.pst");
    EXPECT_NE(kept.find(u"\r\nC:\\Users\\shop\\AppData\\Roaming\\plumwick\\desktoplrc.pst\r\n"),
              std::u16string::npos);
    std::u16string failed = SettingsNotSavedNotice(u"D:\\p.pst", u"CreateFileW failed: denied");
    EXPECT_NE(failed.find(u"D:\\p.pst\r\nCreateFileW failed: denied\r\n"), std::u16string::npos);
}
